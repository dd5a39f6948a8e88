// Typed values as the database component hands them to the programs.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "common/gbk_text.h"

namespace db {

struct Null {
    bool operator==(const Null&) const = default;
};
struct Bytes {
    std::vector<unsigned char> data;
    bool operator==(const Bytes&) const = default;
};

// Text is GBK bytes. Integer, Float, DateTime, Boolean and Bytes are what the readers
// found in the file; Null is a missing value (an empty cell, a NULL column).
using Value = std::variant<Null, std::string, int64_t, double, gbk::DateTime, bool, Bytes>;

// The declared type of a column, which decides what a NULL shows as.
enum class ColumnType { Text, Integer, Float, DateTime, Boolean, Bytes };

// A value made a text the way the record window shows it: NULL gives "" in text, date
// and other columns and "0" in integer and floating-point columns; numbers and dates by
// the runtime's to-text rules; true/false as "-1"/"0" would be Windows' VARIANT_BOOL
// text, but the text drivers show "1"/"0"; we follow the drivers.
std::string toDisplayText(const Value& value, ColumnType column);

}  // namespace db
