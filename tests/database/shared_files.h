// Where the Access fixtures and the file corpus lie (../shared beside the checkout), and
// a skip when they are absent. The files are read in place, never copied into the tree.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

inline std::string sharedFile(const std::string& relative) {
    return std::string(LOOKUP_SHARED_DIR) + "/" + relative;
}

// Skips the calling test, saying which file is missing.
#define REQUIRE_SHARED_FILE(relative)                                                     \
    do {                                                                                  \
        if (!std::filesystem::exists(sharedFile(relative)))                               \
            GTEST_SKIP() << "shared test file absent: " << sharedFile(relative);          \
    } while (0)
