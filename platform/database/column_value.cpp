// Reading typed values out of the loaded tables.
#include "platform/database/column_value.h"

#include <sqlite3.h>

#include "platform/database/fast_codec.h"

namespace db {

Value readColumn(sqlite3_stmt* stmt, int index, ColumnType type) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_NULL:
        if (type == ColumnType::Integer) return int64_t{0};
        if (type == ColumnType::Float) return 0.0;
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

std::string readColumnText(sqlite3_stmt* stmt, int index, ColumnType type) {
    switch (sqlite3_column_type(stmt, index)) {
    case SQLITE_NULL:
        return (type == ColumnType::Integer || type == ColumnType::Float) ? "0" : "";
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, index));
        return codec::utf8ToGbk(std::string_view(text, static_cast<size_t>(sqlite3_column_bytes(stmt, index))));
    }
    case SQLITE_INTEGER:
        if (type != ColumnType::Boolean && type != ColumnType::DateTime)
            return gbk::toText(static_cast<int64_t>(sqlite3_column_int64(stmt, index)));
        break;
    default: break;
    }
    return toDisplayText(readColumn(stmt, index, type), type);
}

}  // namespace db
