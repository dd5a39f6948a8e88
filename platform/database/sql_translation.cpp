// Translation of the programs' Jet statements to SQLite.
#include "platform/database/sql_translation.h"

#include "text/codepage.h"
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

bool isWord(const std::string& word, const char* lower) {
    size_t i = 0;
    for (; i < word.size() && lower[i]; ++i)
        if ((word[i] | 0x20) != lower[i]) return false;
    return i == word.size() && !lower[i];
}

// A column that LIKE reads through its display text rather than its stored value.
bool comparedAsShown(ColumnType type) {
    return isNumberColumn(type) || type == ColumnType::DateTime || type == ColumnType::Boolean;
}

// The column just written to the output, for the operator that may follow it.
struct Operand {
    size_t begin = 0, end = 0;
    const ColumnType* type = nullptr;  // null: no operand, or not a column of the table
    bool negated = false;              // NOT came after it
};

}  // namespace

const ColumnType* TableColumns::find(std::string_view name) const {
    auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& candidate = names[i];
        if (candidate.size() != name.size()) continue;
        size_t k = 0;
        while (k < name.size() && lower(candidate[k]) == lower(name[k])) ++k;
        if (k == name.size()) return &types[i];
    }
    return nullptr;
}

std::string quoteIdentifier(const std::string& name) {
    std::string out = "\"";
    for (char c : name) {
        out += c;
        if (c == '"') out += '"';
    }
    return out + "\"";
}

bool translateStatement(const std::string& gbkSql, TranslatedStatement& out, std::string& error,
                        const TableColumns* columns) {
    Scanner in(gbkSql);
    std::string sql;  // GBK until the end
    bool haveTable = false;
    std::string table;
    auto fail = [&error](const char* utf8) {
        error = codepage::utf8ToGbk(utf8);
        return false;
    };
    Operand operand;
    bool dateEquals = false;  // "<date column> =" written: a string next is a date
    auto columnType = [columns](const std::string& gbkName) -> const ColumnType* {
        return columns ? columns->find(codec::gbkToUtf8(gbkName)) : nullptr;
    };
    auto addString = [&](const std::string& text) {
        sql += dateEquals ? "jet_date(" + quoteString(text) + ")" : quoteString(text);
        operand = {};
        dateEquals = false;
    };
    auto addColumn = [&](const std::string& gbkName, const std::string& written) {
        // The second half of a qualified name ("T"."F") is left alone: wrapping it alone
        // would break the name apart.
        size_t last = sql.size();
        while (last > 0 && isSpace(static_cast<unsigned char>(sql[last - 1]))) --last;
        const bool qualified = last > 0 && sql[last - 1] == '.';
        operand = {sql.size(), sql.size() + written.size(), qualified ? nullptr : columnType(gbkName)};
        sql += written;
        dateEquals = false;
    };
    while (!in.done()) {
        const unsigned char c = in.peek();
        if (c == '\'') {
            in.skip();
            std::string text;
            if (!in.delimited('\'', true, text)) return fail("SQL 语句中的字符串没有结束引号");
            addString(text);
        } else if (c == '"') {
            in.skip();
            std::string text;
            if (!in.delimited('"', true, text)) return fail("SQL 语句中的字符串没有结束引号");
            addString(text);
        } else if (c == '[') {
            in.skip();
            std::string name;
            if (!in.delimited(']', false, name)) return fail("SQL 语句中的“[”没有对应的“]”");
            addColumn(name, quoteIdentifier(name));
        } else if (isWordByte(c)) {
            std::string word;
            while (!in.done() && isWordByte(in.peek())) word += in.takeChar();
            if (isWord(word, "like")) {
                if (operand.type && comparedAsShown(*operand.type)) {
                    sql.insert(operand.end, ", " + std::to_string(static_cast<int>(*operand.type)) + ")");
                    sql.insert(operand.begin, "jet_typed(");
                }
                sql += word;
                operand = {};
                dateEquals = false;
                continue;
            }
            if (isWord(word, "not") && operand.type && !operand.negated) {
                operand.negated = true;
                sql += word;
                continue;
            }
            if (!isWord(word, "from")) {
                if (word[0] >= '0' && word[0] <= '9') {
                    sql += word;
                    operand = {};
                    dateEquals = false;
                } else {
                    addColumn(word, word);
                }
                continue;
            }
            operand = {};
            dateEquals = false;
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
            if (!isSpace(c)) {
                dateEquals = c == '=' && operand.type && *operand.type == ColumnType::DateTime && !operand.negated;
                operand = {};
            }
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
