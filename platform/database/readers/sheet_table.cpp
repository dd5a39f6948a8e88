// Sheet cells to a table; Excel day numbers; distinct field names (see sheet_table.h).
#include "platform/database/readers/sheet_table.h"

#include <cmath>
#include <unordered_set>

#include "common/codepage.h"
#include "common/gbk_text.h"

namespace db::sheet {
namespace {

// The text the record window shows for a value: what a Text column holds instead of a
// number, date or boolean, and what a header cell of such a kind is named.
std::string valueAsText(const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) return *text;
    if (const auto* number = std::get_if<double>(&value)) return gbk::toText(*number);
    if (const auto* integer = std::get_if<int64_t>(&value)) return gbk::toText(*integer);
    if (const auto* date = std::get_if<gbk::DateTime>(&value)) return gbk::toText(*date);
    if (const auto* flag = std::get_if<bool>(&value)) return *flag ? "1" : "0";
    return {};
}

bool isEmpty(const Value& value) {
    if (std::holds_alternative<Null>(value)) return true;
    const auto* text = std::get_if<std::string>(&value);
    return text != nullptr && text->empty();
}

struct ColumnKinds {
    bool number = false, date = false, boolean = false, other = false;
};

ColumnType decideType(const ColumnKinds& k) {
    if (k.other) return ColumnType::Text;
    if (k.date) return (k.number || k.boolean) ? ColumnType::Text : ColumnType::DateTime;
    if (k.number) return ColumnType::Float;
    if (k.boolean) return ColumnType::Boolean;
    return ColumnType::Text;  // no data at all
}

// Puts a value into the shape its column's type asks for (see buildSheetTable).
void fitToColumn(Value& value, ColumnType type) {
    if (std::holds_alternative<Null>(value)) return;
    if (type == ColumnType::Text) {
        if (!std::holds_alternative<std::string>(value)) value = valueAsText(value);
        return;
    }
    if (type == ColumnType::Float) {
        if (const auto* flag = std::get_if<bool>(&value))
            value = *flag ? 1.0 : 0.0;
        else if (const auto* integer = std::get_if<int64_t>(&value))
            value = static_cast<double>(*integer);
    }
}

std::string asciiLower(std::string_view name) { return gbk::lower(name); }

}  // namespace

std::string message(std::string_view utf8) { return codepage::utf8ToGbk(utf8); }

void makeDistinctNames(std::vector<std::string>& names) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i].empty()) names[i] = "F" + std::to_string(i + 1);
    std::unordered_set<std::string> original;
    for (const auto& name : names) original.insert(asciiLower(name));
    std::unordered_set<std::string> used;
    for (auto& name : names) {
        std::string key = asciiLower(name);
        if (used.insert(key).second) continue;
        for (int n = 1;; ++n) {
            std::string candidate = name + std::to_string(n);
            std::string candidateKey = asciiLower(candidate);
            if (original.count(candidateKey) == 0 && used.count(candidateKey) == 0) {
                used.insert(candidateKey);
                name = std::move(candidate);
                break;
            }
        }
    }
}

bool buildSheetTable(std::vector<Cell>&& cells, LoadedTable& out, std::string& error) {
    out = LoadedTable{};
    uint32_t lastRow = 0, columns = 0;
    bool any = false;
    for (const auto& cell : cells) {
        if (isEmpty(cell.value)) continue;
        any = true;
        lastRow = std::max(lastRow, cell.row);
        columns = std::max(columns, cell.column + 1);
    }
    if (!any) {
        out.names = {"F1"};
        out.types = {ColumnType::Text};
        return true;
    }
    if ((static_cast<uint64_t>(lastRow) + 1) * columns > kMaxTableCells) {
        error = message("工作表太大，无法读取（超过 ") + std::to_string(kMaxTableCells) +
                message(" 个单元格）。");
        return false;
    }

    std::vector<Value> header(columns);
    out.rows.assign(lastRow, std::vector<Value>(columns));
    for (auto& cell : cells) {
        if (isEmpty(cell.value)) continue;
        Value& slot = cell.row == 0 ? header[cell.column] : out.rows[cell.row - 1][cell.column];
        slot = std::move(cell.value);
    }
    cells.clear();
    cells.shrink_to_fit();

    out.names.resize(columns);
    for (uint32_t c = 0; c < columns; ++c) out.names[c] = valueAsText(header[c]);
    makeDistinctNames(out.names);

    std::vector<ColumnKinds> kinds(columns);
    for (const auto& row : out.rows) {
        for (uint32_t c = 0; c < columns; ++c) {
            const Value& v = row[c];
            if (std::holds_alternative<Null>(v)) continue;
            if (std::holds_alternative<double>(v) || std::holds_alternative<int64_t>(v))
                kinds[c].number = true;
            else if (std::holds_alternative<gbk::DateTime>(v))
                kinds[c].date = true;
            else if (std::holds_alternative<bool>(v))
                kinds[c].boolean = true;
            else
                kinds[c].other = true;
        }
    }
    out.types.resize(columns);
    for (uint32_t c = 0; c < columns; ++c) out.types[c] = decideType(kinds[c]);
    for (auto& row : out.rows)
        for (uint32_t c = 0; c < columns; ++c) fitToColumn(row[c], out.types[c]);
    return true;
}

int64_t daysFromCivil(int year, int month, int day) {
    // Howard Hinnant's algorithm: whole eras of 400 years, then the day of the era.
    const int64_t y = static_cast<int64_t>(year) - (month <= 2 ? 1 : 0);
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

int daysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12) return 0;
    if (month == 2 && (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0))) return 29;
    return kDays[month - 1];
}

bool serialToDateTime(double serial, bool date1904, gbk::DateTime& out) {
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466.0) return false;
    const auto totalSeconds = static_cast<int64_t>(std::llround(serial * 86400.0));
    int64_t dayNumber = totalSeconds / 86400;
    const int64_t secondOfDay = totalSeconds % 86400;
    int64_t days;
    if (date1904) {
        days = daysFromCivil(1904, 1, 1) + dayNumber;
    } else {
        // Before Excel's phantom 1900-02-29 its day numbers run one ahead of the
        // Windows date type, which starts at 1899-12-30.
        if (dayNumber >= 1 && dayNumber < 60) dayNumber += 1;
        days = daysFromCivil(1899, 12, 30) + dayNumber;
    }
    civilFromDays(days, out.year, out.month, out.day);
    if (out.year > 9999) return false;
    out.hour = static_cast<int>(secondOfDay / 3600);
    out.minute = static_cast<int>(secondOfDay / 60 % 60);
    out.second = static_cast<int>(secondOfDay % 60);
    return true;
}

}  // namespace db::sheet
