// The search condition that both searching windows append to "select * from [table] ".
//
// One pure function builds it from the search text, the three configured search fields,
// the checked field radio and the exact / numeric options, so the query window's search
// and the record window's second search cannot drift apart. All texts are GBK bytes.
// Nothing here touches a control or a program-wide variable; the callers read their own
// controls and store the result in `查询条件`.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace query {

struct SearchRequest {
    // The search text as typed; it is trimmed here, and "*" alone means every record.
    std::string text;
    // `searchname1` to `searchname3`, as configured.
    std::array<std::string, 3> fields;
    // Which field radio is checked: 0, 1 or 2; -1 when none is (the previous
    // condition is then rewritten instead of a new one).
    int checkedField = 0;
    bool exact = false;
    bool numeric = false;
};

// The new condition text, e.g. "where [姓名] like '%张三%'", "where [班级] = '三班'",
// "where [序号] = 0123", or "" for every record. `previous` is the condition of the
// last search; it is used only when no field radio is checked.
//
// Exact match rewrites the whole condition text, field name and search text included:
// every "%" is dropped and every "like" becomes "=" (case-sensitive), and with numeric
// also ticked and an all-digit text every "'" is dropped. A "'" in the search text is
// doubled inside the literal, so a name such as O'Neil finds itself instead of breaking
// the statement.
std::string searchCondition(const SearchRequest& request, std::string_view previous);

// True when every byte of T is "0" to "9"; the empty text is all digits. A byte of a
// two-byte character is never a digit.
bool 是否全数字(const std::string& T);

}  // namespace query
