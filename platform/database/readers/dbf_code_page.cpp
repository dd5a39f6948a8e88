// dBASE code pages (see dbf_code_page.h).
#include "platform/database/readers/dbf_code_page.h"

#include <cctype>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "text/codepage.h"

namespace db {

std::string dbfCodecName(const std::string& localPath, unsigned char languageDriver) {
    namespace fs = std::filesystem;
    const fs::path table(localPath);
    std::string cpg;
    for (const char* ext : {".cpg", ".CPG", ".Cpg"}) {
        fs::path candidate = table;
        candidate.replace_extension(ext);
        if (std::FILE* file = std::fopen(candidate.c_str(), "rb")) {
            char line[64] = {};
            const size_t got = std::fread(line, 1, sizeof line - 1, file);
            std::fclose(file);
            cpg.assign(line, got);
            break;
        }
    }
    if (!cpg.empty()) {
        const size_t end = cpg.find_first_of("\r\n");
        if (end != std::string::npos) cpg.resize(end);
        while (!cpg.empty() && cpg.back() == ' ') cpg.pop_back();
        while (!cpg.empty() && cpg.front() == ' ') cpg.erase(0, 1);
        std::string upper = cpg;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        for (const char* prefix : {"ANSI ", "OEM ", "CP", "WINDOWS-"})
            if (upper.rfind(prefix, 0) == 0) upper.erase(0, std::strlen(prefix));
        if (upper == "UTF-8" || upper == "UTF8" || upper == "65001") return "UTF-8";
        if (upper == "936" || upper == "GBK" || upper == "GB2312" || upper == "GB18030") return {};
        int number = 0;
        auto [ptr, ec] = std::from_chars(upper.data(), upper.data() + upper.size(), number);
        if (ec == std::errc() && ptr == upper.data() + upper.size()) {
            if (number >= 1250 && number <= 1258) return "windows-" + std::to_string(number);
            switch (number) {
                case 437:
                case 737:
                case 850:
                case 852:
                case 855:
                case 857:
                case 860:
                case 861:
                case 862:
                case 863:
                case 865:
                case 866:
                case 869:
                    return "IBM" + std::to_string(number);
                case 874:
                    return "windows-874";
                case 932:
                    return "Shift_JIS";
                case 949:
                    return "windows-949";
                case 950:
                    return "Big5";
                case 88591:
                    return "ISO-8859-1";
                default:
                    return {};
            }
        }
        return cpg;  // a codec name as such ("ISO-8859-5", "KOI8-R"); checked by the caller
    }
    switch (languageDriver) {
        case 0x26:
        case 0x65:
            return "IBM866";
        case 0x64:
            return "IBM852";
        case 0x6A:
        case 0x86:
            return "IBM737";
        case 0x6B:
        case 0x87:
            return "IBM857";
        case 0xC8:
            return "windows-1250";
        case 0xC9:
            return "windows-1251";
        case 0xCA:
            return "windows-1254";
        case 0xCB:
            return "windows-1253";
        case 0x7D:
            return "windows-1255";
        case 0x7E:
            return "windows-1256";
        case 0x7C:
        case 0x50:
            return "windows-874";
        case 0x13:
        case 0x7B:
            return "Shift_JIS";
        case 0x4E:
        case 0x79:
            return "windows-949";
        case 0x4F:
        case 0x78:
            return "Big5";
        default:
            return {};  // GBK (0x4D, 0x7A), unmarked (0x00), or "ANSI"/Western
    }
}

DbfTextDecoder::DbfTextDecoder(const std::string& codec) {
    if (codec.empty()) return;
    decoder_ = QStringDecoder(codec.c_str(), QStringConverter::Flag::Stateless);
    convert_ = decoder_.isValid();
}

std::string DbfTextDecoder::operator()(std::string_view bytes) {
    if (!convert_) return std::string(bytes);
    bool ascii = true;
    for (unsigned char c : bytes)
        if (c >= 0x80) {
            ascii = false;
            break;
        }
    if (ascii) return std::string(bytes);
    return codepage::fromQString(
        decoder_.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size()))));
}

}  // namespace db
