// Jet's LIKE and the typed-value conversions as SQLite functions.
#include "platform/database/sql_functions.h"

#include <sqlite3.h>

#include <cmath>
#include <string>

#include "text/date_reading.h"
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

// The text LIKE compares for its argument: a marked value's display text (UTF-8, in a
// buffer reused from row to row), anything else as SQLite gives it.
std::string_view comparedText(sqlite3_value* value) {
    const unsigned mark = sqlite3_value_subtype(value);
    const int storage = sqlite3_value_type(value);
    if (mark == 0 || storage == SQLITE_TEXT) return textOf(value);
    const auto type = static_cast<ColumnType>(mark - 1);
    thread_local std::string gbk, utf8;
    utf8.clear();
    if (type == ColumnType::DateTime && (storage == SQLITE_INTEGER || storage == SQLITE_FLOAT)) {
        // The common search of a date column, written in UTF-8 at once.
        appendDateText(dateFromSerialDays(sqlite3_value_double(value)), utf8, kUtf8DateUnits);
    } else {
        gbk.clear();
        appendValueText(value, type, gbk);
        codec::appendGbkAsUtf8(gbk, utf8);
    }
    return utf8;
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
            sqlite3_result_int(context, once.matches(comparedText(argv[1])) ? 1 : 0);
            return;
        }
    }
    sqlite3_result_int(context, pattern->matches(comparedText(argv[1])) ? 1 : 0);
}

// The value itself, marked with its column type: the text is made only where LIKE needs
// it, so a search of a whole table copies no text per row.
void jetTyped(sqlite3_context* context, int, sqlite3_value** argv) {
    sqlite3_result_value(context, argv[0]);
    const int type = sqlite3_value_int(argv[1]);
    if (type >= static_cast<int>(ColumnType::Text) && type <= static_cast<int>(ColumnType::Single))
        sqlite3_result_subtype(context, static_cast<unsigned>(type) + 1);
}

void jetDate(sqlite3_context* context, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) return;
    const auto date = gbk::readDate(codec::utf8ToGbk(textOf(argv[0])));
    if (!date) return;  // NULL: equal to nothing
    const double days = serialDaysFromDate(*date);
    if (std::isfinite(days)) sqlite3_result_double(context, days);
}

// SQLite from 3.45 on passes a subtype on only from functions that declare they set one.
#ifdef SQLITE_RESULT_SUBTYPE
constexpr int kSetsSubtype = SQLITE_RESULT_SUBTYPE;
#else
constexpr int kSetsSubtype = 0;
#endif

}  // namespace

bool registerJetFunctions(sqlite3* db) {
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    auto add = [db](const char* name, int arguments, int moreFlags, void (*function)(sqlite3_context*, int, sqlite3_value**)) {
        return sqlite3_create_function(db, name, arguments, flags | moreFlags, nullptr, function, nullptr, nullptr) ==
               SQLITE_OK;
    };
    return add("like", 2, SQLITE_SUBTYPE, like) && add("jet_typed", 2, kSetsSubtype, jetTyped) &&
           add("jet_date", 1, 0, jetDate);
}

}  // namespace db
