// Translation of the programs' Jet statements to SQLite.
#include "platform/database/sql_translation.h"

#include "common/text/codepage.h"
#include "platform/database/fast_codec.h"

namespace db {
namespace {

constexpr char kPlaceholder[] = "\x01T\x01";

bool isWordByte(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c >= 0x80;
}
bool isSpace(unsigned char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Steps through GBK text by whole characters so that a trail byte ("[", "]", "\" and
// letters occur) is never read as syntax.
class Scanner {
public:
    explicit Scanner(const std::string& s) : s_(s) {}
    bool done() const { return i_ >= s_.size(); }
    unsigned char peek() const { return static_cast<unsigned char>(s_[i_]); }
    size_t charLength() const { return (peek() >= 0x81 && i_ + 1 < s_.size()) ? 2 : 1; }
    std::string takeChar() {
        std::string c = s_.substr(i_, charLength());
        i_ += c.size();
        return c;
    }
    void skip() { ++i_; }
    // The text up to `close` (consumed, not returned); with `doubling`, a doubled close
    // stands for one. False when the text ends first.
    bool delimited(char close, bool doubling, std::string& out) {
        while (!done()) {
            if (peek() == static_cast<unsigned char>(close)) {
                ++i_;
                if (doubling && !done() && peek() == static_cast<unsigned char>(close)) {
                    out += close;
                    ++i_;
                    continue;
                }
                return true;
            }
            out += takeChar();
        }
        return false;
    }

private:
    const std::string& s_;
    size_t i_ = 0;
};

std::string quoteString(const std::string& text) {
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') out += '\'';
    }
    return out + "'";
}

}  // namespace

std::string quoteIdentifier(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

bool translateStatement(const std::string& gbkSql, TranslatedStatement& out, std::string& error) {
    Scanner in(gbkSql);
    std::string sql;  // GBK until the end
    bool haveTable = false;
    std::string table;
    auto fail = [&error](const char* utf8) {
        error = codepage::utf8ToGbk(utf8);
        return false;
    };
    while (!in.done()) {
        const unsigned char c = in.peek();
        if (c == '\'') {
            in.skip();
            std::string text;
            if (!in.delimited('\'', true, text)) return fail("SQL 语句中的字符串没有结束引号");
            sql += quoteString(text);
        } else if (c == '"') {
            in.skip();
            std::string text;
            if (!in.delimited('"', true, text)) return fail("SQL 语句中的字符串没有结束引号");
            sql += quoteString(text);
        } else if (c == '[') {
            in.skip();
            std::string name;
            if (!in.delimited(']', false, name)) return fail("SQL 语句中的“[”没有对应的“]”");
            sql += quoteIdentifier(name);
        } else if (isWordByte(c)) {
            std::string word;
            while (!in.done() && isWordByte(in.peek())) word += in.takeChar();
            if (word.size() != 4 || (word[0] | 0x20) != 'f' || (word[1] | 0x20) != 'r' ||
                (word[2] | 0x20) != 'o' || (word[3] | 0x20) != 'm') {
                sql += word;
                continue;
            }
            sql += word;
            while (!in.done() && isSpace(in.peek())) sql += in.takeChar();
            std::string name;
            if (in.done()) return fail("SQL 语句在 FROM 之后没有表名");
            if (in.peek() == '[') {
                in.skip();
                if (!in.delimited(']', false, name)) return fail("SQL 语句中的“[”没有对应的“]”");
            } else if (in.peek() == '"') {
                in.skip();
                if (!in.delimited('"', true, name)) return fail("SQL 语句中的表名没有结束引号");
            } else if (in.peek() == '\'') {
                in.skip();
                std::string quoted;
                if (!in.delimited('\'', true, quoted)) return fail("SQL 语句中的表名没有结束引号");
                name = "'" + quoted + "'";
            } else {
                while (!in.done() && !isSpace(in.peek()) && in.peek() != ',' && in.peek() != ';' &&
                       in.peek() != '(' && in.peek() != ')')
                    name += in.takeChar();
            }
            if (name.empty()) return fail("SQL 语句在 FROM 之后没有表名");
            if (haveTable && name != table) return fail("一条 SQL 语句只能查询一个表");
            haveTable = true;
            table = name;
            sql += kPlaceholder;
        } else {
            sql += in.takeChar();
        }
    }
    if (!haveTable) return fail("SQL 语句中没有 FROM 表名");
    out.sql = codec::gbkToUtf8(sql);
    out.table = table;
    return true;
}

std::string bindTableName(const TranslatedStatement& statement, const std::string& internalName) {
    const std::string quoted = quoteIdentifier(internalName);
    std::string out;
    const std::string& s = statement.sql;
    size_t i = 0;
    for (size_t at; (at = s.find(kPlaceholder, i)) != std::string::npos; i = at + 3) {
        out.append(s, i, at - i);
        out += quoted;
    }
    out.append(s, i, std::string::npos);
    return out;
}

}  // namespace db
