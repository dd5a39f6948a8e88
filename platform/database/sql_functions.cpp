// Jet's LIKE and the typed-value conversions as SQLite functions.
#include "platform/database/sql_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <string>

#include "common/text/date_reading.h"

#include "platform/database/column_value.h"
#include "platform/database/display_format.h"
#include "platform/database/fast_codec.h"
#include "platform/database/like_pattern.h"
#include "platform/database/value.h"

namespace db {
namespace {

std::string_view textOf(sqlite3_value* value) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(value));
    return text ? std::string_view(text, static_cast<size_t>(sqlite3_value_bytes(value))) : std::string_view();
}

void like(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) return;
    // A constant pattern is compiled once per statement and kept with it.
    auto* pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
    if (!pattern) {
        pattern = new LikePattern(textOf(argv[0]));
        sqlite3_set_auxdata(context, 0, pattern, [](void* p) { delete static_cast<LikePattern*>(p); });
        pattern = static_cast<LikePattern*>(sqlite3_get_auxdata(context, 0));
        if (!pattern) {  // not kept (a pattern that changes per row, or out of memory)
            const LikePattern once(textOf(argv[0]));
            sqlite3_result_int(context, once.matches(textOf(argv[1])) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, pattern->matches(textOf(argv[1])) ? 1 : 0);
}

void jetText(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const int type = sqlite3_value_int(argv[1]);
    if (type < static_cast<int>(ColumnType::Text) || type > static_cast<int>(ColumnType::Bytes)) {
        sqlite3_result_value(context, argv[0]);
        return;
    }
    // The two buffers are reused from row to row: one call per row of a whole table.
    thread_local std::string gbk, utf8;
    utf8.clear();
    const int storage = sqlite3_value_type(argv[0]);
    if (type == static_cast<int>(ColumnType::DateTime) && (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)) {
        // The common search of a date column, written in UTF-8 at once.
        appendDateText(dateFromSerialDays(sqlite3_value_double(argv[0])), utf8, kUtf8DateUnits);
    } else {
        gbk.clear();
        appendValueText(argv[0], static_cast<ColumnType>(type), gbk);
        codec::appendGbkAsUtf8(gbk, utf8);
    }
    sqlite3_result_text(context, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void jetDate(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const auto date = gbk::readDate(codec::utf8ToGbk(textOf(argv[0])));
    if (!date) return;  // NULL: equal to nothing
    const double days = serialDaysFromDate(*date);
    if (std::isfinite(days)) sqlite3_result_double(context, days);
}

}  // namespace

bool registerJetFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    return sqlite3_create_function(db, "like", 2, flags, nullptr, like, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function(db, "jet_text", 2, flags, nullptr, jetText, nullptr, nullptr) == SQLITE_OK &&
           sqlite3_create_function(db, "jet_date", 1, flags, nullptr, jetDate, nullptr, nullptr) == SQLITE_OK;
}

}  // namespace db
