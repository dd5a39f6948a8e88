// Parsing of ODBC and Jet OLE DB connection strings.
#include "platform/database/connection_string.h"

#include <map>
#include <string_view>

#include "text/codepage.h"
#include "text/gbk_text.h"

namespace db {
namespace {

std::string_view trimSpaces(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && gbk::lower(text.substr(0, prefix.size())) == prefix;
}

// key (lower-cased, trimmed) -> value (braces removed). A later duplicate key wins, as
// with the driver manager.
std::map<std::string, std::string> splitPairs(std::string_view text) {
    std::map<std::string, std::string> pairs;
    size_t i = 0;
    while (i < text.size()) {
        size_t eq = text.find('=', i), semi = text.find(';', i);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            if (semi == std::string_view::npos) break;
            i = semi + 1;  // a piece without "=" is ignored
            continue;
        }
        const std::string key = gbk::lower(trimSpaces(text.substr(i, eq - i)));
        size_t v = eq + 1;
        std::string value;
        if (v < text.size() && text[v] == '{') {
            const size_t close = text.find('}', v + 1);
            if (close != std::string_view::npos) {
                value = std::string(text.substr(v + 1, close - v - 1));
                semi = text.find(';', close);
                pairs[key] = value;
                i = semi == std::string_view::npos ? text.size() : semi + 1;
                continue;
            }
        }
        semi = text.find(';', v);
        const size_t end = semi == std::string_view::npos ? text.size() : semi;
        pairs[key] = std::string(text.substr(v, end - v));
        i = end + 1;
    }
    return pairs;
}

}  // namespace

bool parseConnectionString(const std::string& text, ConnectionTarget& out, std::string& error) {
    std::string_view rest = text;
    if (startsWithNoCase(rest, "odbc;")) rest.remove_prefix(5);
    auto pairs = splitPairs(rest);
    auto get = [&pairs](const char* key) -> const std::string* {
        auto found = pairs.find(key);
        return found == pairs.end() ? nullptr : &found->second;
    };

    ConnectionTarget target;
    const std::string* path = get("dbq");
    if (const std::string* driver = get("driver")) {
        const std::string name(trimSpaces(*driver));
        if (startsWithNoCase(name, "microsoft text driver")) target.kind = SourceKind::Text;
        else if (startsWithNoCase(name, "microsoft dbase driver")) target.kind = SourceKind::Dbase;
        else if (startsWithNoCase(name, "microsoft excel driver")) target.kind = SourceKind::Workbook;
        else if (startsWithNoCase(name, "microsoft access driver")) target.kind = SourceKind::Access;
        else {
            error = codepage::utf8ToGbk("找不到数据源驱动程序：") + name;
            return false;
        }
    } else if (const std::string* provider = get("provider");
               provider && startsWithNoCase(trimSpaces(*provider), "microsoft.jet.oledb")) {
        const std::string* properties = get("extended properties");
        const bool excel = properties && gbk::find(gbk::lower(*properties), "excel") > 0;
        target.kind = excel ? SourceKind::Workbook : SourceKind::Access;
        path = get("data source");
    } else {
        error = codepage::utf8ToGbk("连接字符串中没有指定驱动程序");
        return false;
    }
    if (!path || path->empty()) {
        error = codepage::utf8ToGbk("连接字符串中没有指定数据源（DBQ）");
        return false;
    }
    target.path = *path;
    for (const char* key : {"pwd", "password", "jet oledb:database password"})
        if (const std::string* password = get(key)) target.password = *password;
    out = target;
    return true;
}

}  // namespace db
