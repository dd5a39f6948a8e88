// The search condition of both searching windows (see search_condition.h).
#include "query/search_condition.h"

#include "text/gbk_text.h"

namespace query {

bool 是否全数字(const std::string& T) {
    for (unsigned char c : T) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

std::string searchCondition(const SearchRequest& request, std::string_view previous) {
    const std::string T = gbk::trim(request.text);
    std::string condition(previous);
    if (request.checkedField >= 0 && request.checkedField < 3) {
        // Inside a quoted literal the data source reads "''" as one "'"; left single, the
        // quote would end the literal early and the statement would fail to run.
        const std::string literal = gbk::replaceAll(T, "'", "''");
        condition = "where [" + request.fields[static_cast<size_t>(request.checkedField)] +
                    "] like '%" + literal + "%'";
    }
    if (request.exact) {
        // Over the whole text on purpose: configurations and users rely on a "%" typed
        // into the box or a field name holding "like" being rewritten the same way.
        condition = gbk::replaceAll(condition, "%", "");
        condition = gbk::replaceAll(condition, "like", "=");
        // An all-digit text holds no "'", so the doubling above never meets this.
        if (request.numeric && 是否全数字(T)) condition = gbk::replaceAll(condition, "'", "");
    }
    if (T == "*") condition.clear();
    return condition;
}

}  // namespace query
