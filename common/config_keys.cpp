// Reading a key with the reading program's default (see config_keys.h).
#include "common/config_keys.h"

#include "common/config_file.h"
#include "common/default_config.h"
#include "common/paths.h"

namespace config {

std::string readOwnKey(Program program, std::string_view key) {
    const KeyInfo* info = findKey(key);
    if (!info) return {};
    const std::string fallback =
        program == Program::Query ? info->queryDefault.value_or(std::string()) : info->settingsDefault;
    return readKey(paths::configPath(), info->section, info->key, fallback);
}

}  // namespace config
