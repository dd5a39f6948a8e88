// What both programs tell the user when quillmar.ini cannot be read or written (GBK).
#pragma once

#include <string>

#include "common/config_file.h"

namespace config {

// The file at `path` is a FIFO, a device or a folder, and is not read.
std::string notRegularFileMessage(const std::string& path);

// The settings were not saved into the file at `path`, and why.
std::string notSavedMessage(const std::string& path, const WriteProblem& problem);

}  // namespace config
