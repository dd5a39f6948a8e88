// Sheet cells to a table; Excel day numbers; distinct field names (see sheet_table.h).
#include "platform/database/readers/sheet_table.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_set>

#include "text/codepage.h"
#include "text/gbk_text.h"

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

// --- the compact cell store ---------------------------------------------------------
//
// Each cell is one kind byte (bit 4 set when the cell's row differs from the previous
// cell's, which is then given), the column, and the payload; numbers as unsigned LEB128
// varints, signed ones zigzagged. A cell never straddles two blocks.

namespace {

enum CellKind : unsigned char { kDouble, kWhole, kText, kShared, kDate, kTrue, kFalse };
constexpr unsigned char kKindMask = 0x0F, kNewRow = 0x10;
constexpr size_t kBlockBytes = 64 * 1024;
constexpr size_t kVarintMax = 10;

unsigned char* putVarint(unsigned char* p, uint64_t value) {
    while (value >= 0x80) {
        *p++ = static_cast<unsigned char>(value | 0x80);
        value >>= 7;
    }
    *p++ = static_cast<unsigned char>(value);
    return p;
}
unsigned char* putSigned(unsigned char* p, int64_t value) {
    return putVarint(p, (static_cast<uint64_t>(value) << 1) ^ static_cast<uint64_t>(value >> 63));
}
uint64_t getVarint(const unsigned char*& p) {
    uint64_t value = 0;
    for (int shift = 0;; shift += 7) {
        const unsigned char byte = *p++;
        value |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0) return value;
    }
}
int64_t getSigned(const unsigned char*& p) {
    const uint64_t raw = getVarint(p);
    return static_cast<int64_t>(raw >> 1) ^ -static_cast<int64_t>(raw & 1);
}

// One decoded cell; `payload` points into its block.
struct CellRef {
    uint32_t row = 0, column = 0;
    unsigned char kind = kDouble;
    const unsigned char* payload = nullptr;
};

}  // namespace

void StringPool::add(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(static_cast<uint32_t>(bytes_.size()));
}

unsigned char* SheetCells::reserve(uint32_t row, uint32_t column, size_t payloadBound, unsigned char kind) {
    const size_t bound = 1 + 2 * kVarintMax + payloadBound;
    if (blocks_.empty() || blocks_.back().capacity - blocks_.back().size < bound) {
        Block block;
        block.capacity = std::max(kBlockBytes, bound);
        block.bytes = std::make_unique_for_overwrite<unsigned char[]>(block.capacity);  // no zero fill: written before read
        blocks_.push_back(std::move(block));
    }
    const bool newRow = count_ == 0 || row != previousRow_;
    if (row < previousRow_) ordered_ = false;
    previousRow_ = row;
    lastRow_ = std::max(lastRow_, row);
    columns_ = std::max(columns_, column + 1);
    ++count_;
    Block& block = blocks_.back();
    unsigned char* p = block.bytes.get() + block.size;
    *p++ = static_cast<unsigned char>(kind | (newRow ? kNewRow : 0));
    if (newRow) p = putVarint(p, row);
    return putVarint(p, column);
}

void SheetCells::commit(unsigned char* end) {
    Block& block = blocks_.back();
    block.size = static_cast<size_t>(end - block.bytes.get());
}

void SheetCells::addNumber(uint32_t row, uint32_t column, double value) {
    // Whole numbers (serial dates, codes, counts) mostly fit in a few bytes.
    if (value == std::trunc(value) && std::fabs(value) < 9.0e15 && !(value == 0 && std::signbit(value))) {
        commit(putSigned(reserve(row, column, kVarintMax, kWhole), static_cast<int64_t>(value)));
        return;
    }
    unsigned char* p = reserve(row, column, sizeof value, kDouble);
    std::memcpy(p, &value, sizeof value);
    commit(p + sizeof value);
}

void SheetCells::addText(uint32_t row, uint32_t column, std::string_view gbk) {
    if (gbk.empty()) return;
    unsigned char* p = putVarint(reserve(row, column, kVarintMax + gbk.size(), kText), gbk.size());
    std::memcpy(p, gbk.data(), gbk.size());
    commit(p + gbk.size());
}

void SheetCells::addShared(uint32_t row, uint32_t column, uint64_t index) {
    if (shared_ == nullptr || index >= shared_->size() || shared_->at(index).empty()) return;
    commit(putVarint(reserve(row, column, kVarintMax, kShared), index));
}

void SheetCells::addDate(uint32_t row, uint32_t column, const gbk::DateTime& date) {
    unsigned char* p = reserve(row, column, 6 * kVarintMax, kDate);
    for (int part : {date.year, date.month, date.day, date.hour, date.minute, date.second}) p = putSigned(p, part);
    commit(p);
}

void SheetCells::addBoolean(uint32_t row, uint32_t column, bool value) {
    commit(reserve(row, column, 0, value ? kTrue : kFalse));
}

void SheetCells::add(uint32_t row, uint32_t column, const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) addText(row, column, *text);
    else if (const auto* number = std::get_if<double>(&value)) addNumber(row, column, *number);
    else if (const auto* integer = std::get_if<int64_t>(&value)) addNumber(row, column, static_cast<double>(*integer));
    else if (const auto* date = std::get_if<gbk::DateTime>(&value)) addDate(row, column, *date);
    else if (const auto* flag = std::get_if<bool>(&value)) addBoolean(row, column, *flag);
    else if (const auto* bytes = std::get_if<Bytes>(&value))
        addText(row, column, std::string_view(reinterpret_cast<const char*>(bytes->data.data()), bytes->data.size()));
}

namespace {

// Reads the cells of a SheetCells store in the order they were added.
class CellReader {
public:
    explicit CellReader(const std::vector<const unsigned char*>& blocks, const std::vector<size_t>& sizes)
        : blocks_(blocks), sizes_(sizes) {}

    size_t block() const { return block_; }
    size_t offset() const { return offset_; }
    void seek(size_t block, size_t offset, uint32_t row) {
        block_ = block;
        offset_ = offset;
        row_ = row;
    }
    // The next cell, false at the end. `startsRow` tells whether its row was given.
    bool next(CellRef& cell, bool& startsRow) {
        while (block_ < blocks_.size() && offset_ >= sizes_[block_]) ++block_, offset_ = 0;
        if (block_ >= blocks_.size()) return false;
        const unsigned char* p = blocks_[block_] + offset_;
        const unsigned char head = *p++;
        startsRow = (head & kNewRow) != 0;
        if (startsRow) row_ = static_cast<uint32_t>(getVarint(p));
        cell.row = row_;
        cell.column = static_cast<uint32_t>(getVarint(p));
        cell.kind = head & kKindMask;
        cell.payload = p;
        switch (cell.kind) {
        case kDouble: p += sizeof(double); break;
        case kWhole:
        case kShared: getVarint(p); break;
        case kText: p += getVarint(p); break;
        case kDate:
            for (int i = 0; i < 6; ++i) getVarint(p);
            break;
        default: break;
        }
        offset_ = static_cast<size_t>(p - blocks_[block_]);
        return true;
    }

private:
    const std::vector<const unsigned char*>& blocks_;
    const std::vector<size_t>& sizes_;
    size_t block_ = 0, offset_ = 0;
    uint32_t row_ = 0;
};

Value decodeCell(const CellRef& cell, const StringPool* shared) {
    const unsigned char* p = cell.payload;
    switch (cell.kind) {
    case kDouble: {
        double value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    case kWhole: return static_cast<double>(getSigned(p));
    case kText: {
        const auto length = static_cast<size_t>(getVarint(p));
        return std::string(reinterpret_cast<const char*>(p), length);
    }
    case kShared: return std::string(shared->at(static_cast<size_t>(getVarint(p))));
    case kDate: {
        gbk::DateTime date;
        for (int* part : {&date.year, &date.month, &date.day, &date.hour, &date.minute, &date.second})
            *part = static_cast<int>(getSigned(p));
        return date;
    }
    case kTrue: return true;
    case kFalse: return false;
    default: return Null{};
    }
}

// decodeCell into `value`, reusing the room a text already there holds: the rows of a
// large sheet then pass through the same strings instead of one allocation per text.
void decodeCellInto(const CellRef& cell, const StringPool* shared, Value& value) {
    std::string_view text;
    const unsigned char* p = cell.payload;
    if (cell.kind == kText) {
        const auto length = static_cast<size_t>(getVarint(p));
        text = std::string_view(reinterpret_cast<const char*>(p), length);
    } else if (cell.kind == kShared) {
        text = shared->at(static_cast<size_t>(getVarint(p)));
    } else {
        value = decodeCell(cell, shared);
        return;
    }
    if (auto* held = std::get_if<std::string>(&value)) held->assign(text);
    else value.emplace<std::string>(text);
}

}  // namespace

std::vector<Value> rowValues(const SheetCells& cells, uint32_t row) {
    std::vector<const unsigned char*> blockStarts;
    std::vector<size_t> blockSizes;
    for (const auto& block : cells.blocks_) {
        blockStarts.push_back(block.bytes.get());
        blockSizes.push_back(block.size);
    }
    std::vector<Value> values;
    CellReader reader(blockStarts, blockSizes);
    CellRef cell;
    bool startsRow = false;
    // Every cell is visited, so that a later cell at the same place replaces an earlier
    // one in whatever order the rows came.
    while (reader.next(cell, startsRow)) {
        if (cell.row != row) continue;
        if (cell.column >= values.size()) values.resize(cell.column + 1);
        values[cell.column] = decodeCell(cell, cells.shared_);
    }
    return values;
}

bool buildSheetTable(SheetCells&& cells, TableSink& sink, std::string& error) {
    // The store is taken over here and gone when this returns, whatever happens.
    SheetCells store(std::move(cells));
    cells = SheetCells(store.shared_);
    if (store.count_ == 0) return sink.begin({"F1"}, {ColumnType::Text}, error);
    const uint32_t lastRow = store.lastRow_, columns = store.columns_;
    if ((static_cast<uint64_t>(lastRow) + 1) * columns > kMaxTableCells) {
        error = message("工作表太大，无法读取（超过 ") + std::to_string(kMaxTableCells) +
                message(" 个单元格）。");
        return false;
    }

    std::vector<const unsigned char*> blockStarts;
    std::vector<size_t> blockSizes;
    for (const auto& block : store.blocks_) {
        blockStarts.push_back(block.bytes.get());
        blockSizes.push_back(block.size);
    }
    // Rows that went back (a sheet written out of order): the stretches of cells of one
    // row, sorted by row, stable so that a later cell still replaces an earlier one.
    struct Stretch {
        uint32_t row;
        uint32_t block;
        size_t offset;
    };
    std::vector<Stretch> stretches;
    if (!store.ordered_) {
        CellReader reader(blockStarts, blockSizes);
        CellRef cell;
        bool startsRow = false;
        for (;;) {
            const size_t block = reader.block(), offset = reader.offset();
            if (!reader.next(cell, startsRow)) break;
            if (startsRow) stretches.push_back({cell.row, static_cast<uint32_t>(block), offset});
        }
        std::stable_sort(stretches.begin(), stretches.end(),
                         [](const Stretch& a, const Stretch& b) { return a.row < b.row; });
    }

    // Calls onRow(row, cells) for every row holding a cell, in row order. With `release`
    // (cells in order only) each block is freed once every cell in it has been used.
    std::vector<CellRef> rowCells;
    auto forEachRow = [&](bool release, auto&& onRow) -> bool {
        CellReader reader(blockStarts, blockSizes);
        CellRef cell;
        bool startsRow = false;
        rowCells.clear();
        if (store.ordered_) {
            size_t freed = 0;
            while (reader.next(cell, startsRow)) {
                if (startsRow && !rowCells.empty()) {
                    if (!onRow(rowCells.front().row, rowCells)) return false;
                    rowCells.clear();
                    for (; release && freed < reader.block(); ++freed) store.blocks_[freed].bytes.reset();
                }
                rowCells.push_back(cell);
            }
        } else {
            for (const Stretch& stretch : stretches) {
                if (!rowCells.empty() && rowCells.front().row != stretch.row) {
                    if (!onRow(rowCells.front().row, rowCells)) return false;
                    rowCells.clear();
                }
                reader.seek(stretch.block, stretch.offset, stretch.row);
                for (bool first = true; reader.next(cell, startsRow) && (first || !startsRow); first = false)
                    rowCells.push_back(cell);
            }
        }
        return rowCells.empty() || onRow(rowCells.front().row, rowCells);
    };

    // First pass: the header and what kinds of value each column holds.
    std::vector<Value> header(columns);
    std::vector<ColumnKinds> kinds(columns);
    constexpr unsigned char kNoCell = 0xFF;
    std::vector<unsigned char> lastKind(columns, kNoCell);
    forEachRow(false, [&](uint32_t row, const std::vector<CellRef>& cellsOfRow) {
        if (row == 0) {
            for (const CellRef& cell : cellsOfRow) header[cell.column] = decodeCell(cell, store.shared_);
            return true;
        }
        for (const CellRef& cell : cellsOfRow) lastKind[cell.column] = cell.kind;
        for (const CellRef& cell : cellsOfRow) {
            unsigned char& kind = lastKind[cell.column];
            if (kind == kNoCell) continue;
            ColumnKinds& k = kinds[cell.column];
            if (kind == kDouble || kind == kWhole) k.number = true;
            else if (kind == kDate) k.date = true;
            else if (kind == kTrue || kind == kFalse) k.boolean = true;
            else k.other = true;
            kind = kNoCell;
        }
        return true;
    });

    std::vector<std::string> names(columns);
    for (uint32_t c = 0; c < columns; ++c) names[c] = valueAsText(header[c]);
    makeDistinctNames(names);
    std::vector<ColumnType> types(columns);
    for (uint32_t c = 0; c < columns; ++c) types[c] = decideType(kinds[c]);
    if (!sink.begin(names, types, error)) return false;

    // Second pass: the rows, with the empty ones between them. A column is cleared only
    // when the row has no cell for it; the others are overwritten in place.
    std::vector<Value> values(columns);
    std::vector<uint32_t> filledInRow(columns, 0);  // the row that last gave the column a cell
    uint32_t nextRow = 1;
    auto emptyRowsUntil = [&](uint32_t end) {
        for (; nextRow < end; ++nextRow) {
            std::fill(values.begin(), values.end(), Value{});
            if (!sink.addRow(values, error)) return false;
        }
        return true;
    };
    const bool ok = forEachRow(store.ordered_, [&](uint32_t row, const std::vector<CellRef>& cellsOfRow) {
        if (row == 0) return true;
        if (!emptyRowsUntil(row)) return false;
        for (const CellRef& cell : cellsOfRow) {
            decodeCellInto(cell, store.shared_, values[cell.column]);
            filledInRow[cell.column] = row;
        }
        for (uint32_t c = 0; c < columns; ++c) {
            if (filledInRow[c] != row) values[c] = Null{};
            fitToColumn(values[c], types[c]);
        }
        ++nextRow;
        return sink.addRow(values, error);
    });
    return ok && emptyRowsUntil(lastRow + 1);
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
