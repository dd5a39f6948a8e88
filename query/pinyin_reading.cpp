// 取拼音 over the pinyin library (see pinyin_reading.h).
#include "query/pinyin_reading.h"

#include <cstring>

#include "text/gbk_text.h"
#include "platform/ui/library_function.h"

namespace query {

std::string 取拼音(const std::string& text, bool initials) {
    static ui::LibraryFunction<int(char*, const char*, const char*)> getPinYin("pinyin.dll", "GetPinYin");
    static ui::LibraryFunction<int(char*, const char*)> getPinYinLeader("pinyin.dll", "GetPinYinLeader");
    // Each buffer is 100 spaces and its terminator; the library writes at most 100 bytes
    // there, its own terminator included, and the spaces it leaves go with the trim.
    std::string full(100, ' ');
    std::string leader(100, ' ');
    if (!text.empty()) {
        getPinYin(full.data(), text.c_str(), "");
        getPinYinLeader(leader.data(), text.c_str());
    }
    std::string& wanted = initials ? leader : full;
    wanted.resize(std::strlen(wanted.c_str()));
    return gbk::trim(wanted);
}

}  // namespace query
