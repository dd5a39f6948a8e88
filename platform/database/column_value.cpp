// Reading typed values out of the loaded tables.
#include "platform/database/column_value.h"

#include <sqlite3.h>

#include "platform/database/display_format.h"
#include "platform/database/fast_codec.h"

namespace db {

Value readColumn(sqlite3_stmt* stmt, int index, ColumnType type) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_NULL:
        if (type == ColumnType::Integer) return int64_t{0};
        if (type == ColumnType::Float || type == ColumnType::Single) return 0.0;
        return std::string();
    case SQLITE_INTEGER: {
        // A date at midnight is stored as an integer: the DATETIME column's numeric
        // affinity turns a whole REAL into one.
        const int64_t v = sqlite3_column_int64(stmt, index);
        if (type == ColumnType::Boolean) return v != 0;
        if (type == ColumnType::DateTime) return dateFromSerialDays(static_cast<double>(v));
        return v;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_column_double(stmt, index);
        if (type == ColumnType::DateTime) return dateFromSerialDays(v);
        return v;
    }
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
        return codec::utf8ToGbk(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, index))));
    }
    default: {
        const auto* data = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, index));
        Bytes bytes;
        if (data) bytes.data.assign(data, data + sqlite3_column_bytes(stmt, index));
        return bytes;
    }
    }
}

void appendValueText(sqlite3_value* value, ColumnType type, std::string& text) {
    switch (sqlite3_value_type(value)) {
    case SQLITE_NULL:
        if (isNumberColumn(type)) text += '0';
        return;
    case SQLITE_TEXT: {
        const auto* utf8 = reinterpret_cast<const char*>(sqlite3_value_text(value));
        codec::appendUtf8AsGbk(std::string_view(utf8, static_cast<size_t>(sqlite3_value_bytes(value))), text);
        return;
    }
    case SQLITE_INTEGER: {
        const int64_t v = sqlite3_value_int64(value);
        if (type == ColumnType::Boolean)
            text += v != 0 ? '1' : '0';
        else if (type == ColumnType::DateTime)
            appendDateText(dateFromSerialDays(static_cast<double>(v)), text);
        else
            appendIntegerText(v, text);
        return;
    }
    case SQLITE_FLOAT: {
        const double v = sqlite3_value_double(value);
        if (type == ColumnType::DateTime)
            appendDateText(dateFromSerialDays(v), text);
        else if (type == ColumnType::Single)
            text += gbk::toTextSingle(static_cast<float>(v));
        else
            appendNumberText(v, text);
        return;
    }
    default: {
        const auto* data = static_cast<const unsigned char*>(sqlite3_value_blob(value));
        Bytes bytes;
        if (data) bytes.data.assign(data, data + sqlite3_value_bytes(value));
        text += toDisplayText(bytes, type);
    }
    }
}

void readColumnText(sqlite3_stmt* stmt, int index, ColumnType type, std::string& text) {
    text.clear();
    // One call that reaches into the statement, then cheap reads of the value it hands
    // back: each sqlite3_column_* call checks the statement and its error state again,
    // which for a million cells costs more than the conversions. The value is used only
    // here, on the statement's own thread, before the statement moves on.
    appendValueText(sqlite3_column_value(stmt, index), type, text);
}

std::string readColumnText(sqlite3_stmt* stmt, int index, ColumnType type) {
    std::string text;
    readColumnText(stmt, index, type, text);
    return text;
}

}  // namespace db
