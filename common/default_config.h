// What quillmar.ini holds when nobody has written it: the default configuration text that
// the query program creates, and each program's own default for every key it reads.
//
// All texts here are GBK bytes. The reading and writing of the file itself is
// config_file.h; the rules for the values (paths, numbers) belong to their users.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace config {

// The 44 lines of the default configuration text, each ended by CR LF, GBK, no BOM.
const std::string& defaultConfigText();

// One key of quillmar.ini as the two programs see it.
struct KeyInfo {
    std::string section;
    std::string key;
    // The query program's default; std::nullopt where the key has no effect on it.
    std::optional<std::string> queryDefault;
    std::string settingsDefault;
};

// The settings program's 27 keys in the order it writes them on saving (each section is
// created by its first key when the file lacks it, so this order fixes the section order
// of a file the settings program creates: reg, database, photo, search, display).
const std::vector<KeyInfo>& settingsKeysInWriteOrder();

// The entry for a key name (exact GBK bytes as spelled above), or nullptr.
const KeyInfo* findKey(std::string_view key);

// Convenience lookups by key name; "" for an unknown key or one the query program ignores.
std::string queryDefault(std::string_view key);
std::string settingsDefault(std::string_view key);

}  // namespace config
