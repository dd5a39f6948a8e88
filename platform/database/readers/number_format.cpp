// Date and time number formats (see number_format.h).
#include "platform/database/readers/number_format.h"

namespace db::sheet {

bool isDateFormatCode(std::string_view code) {
    bool quoted = false;
    for (size_t i = 0; i < code.size(); ++i) {
        const char c = code[i];
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted) continue;
        if (c == '\\' || c == '_' || c == '*') {
            ++i;
            continue;
        }
        if (c == '[') {
            const size_t close = code.find(']', i);
            if (close == std::string_view::npos) return false;
            const std::string_view inside = code.substr(i + 1, close - i - 1);
            if (!inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos)
                return true;
            i = close;
            continue;
        }
        // "General" is no date; "aaa" (weekday) and "e" (era year of the Chinese
        // editions) are, unless the e is an exponent (0.00E+00).
        if ((c == 'G' || c == 'g') && code.size() - i >= 7) {
            std::string_view word = code.substr(i, 7);
            bool general = true;
            for (size_t k = 0; k < 7; ++k) general = general && (word[k] | 0x20) == "general"[k];
            if (general) {
                i += 6;
                continue;
            }
        }
        if ((c == 'a' || c == 'A') && code.substr(i, 3).size() == 3 && (code[i + 1] | 0x20) == 'a' &&
            (code[i + 2] | 0x20) == 'a')
            return true;
        if ((c == 'e' || c == 'E') && (i + 1 == code.size() || (code[i + 1] != '+' && code[i + 1] != '-')))
            return true;
        switch (c) {
            case 'd':
            case 'D':
            case 'm':
            case 'M':
            case 'y':
            case 'Y':
            case 'h':
            case 'H':
            case 's':
            case 'S':
                return true;
            default:
                break;
        }
    }
    return false;
}

bool isBuiltInDateFormat(uint64_t id) {
    return (id >= 14 && id <= 22) || (id >= 27 && id <= 36) || (id >= 45 && id <= 47) ||
           (id >= 50 && id <= 58);
}

}  // namespace db::sheet
