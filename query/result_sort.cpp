// The result list's sort and the record window's header-click handler (see result_sort.h).
#include "query/result_sort.h"

#include "common/sort_keys.h"
#include "platform/ui/application.h"
#include "query/record_window.h"

namespace query {

int 排序方向 = 0;
int 比较方向 = 1;
int 比较类型 = 1;

namespace {

// The keys of the running sort; the rows' values index them.
const gbk::ColumnSortKeys* runningKeys = nullptr;

}  // namespace

void 排序列表(ui::ReportList list, int column, int direction, int sortType) {
    比较类型 = static_cast<int>(gbk::sortTypeFromValue(sortType));
    比较方向 = direction;

    const int n = list.rowCount();
    // Each cell is read once; the texts live only as long as this sort.
    std::vector<std::string> texts(static_cast<size_t>(n));
    for (int r = 0; r < n; ++r) {
        texts[r] = list.cellText(r, column);
        list.setRowValue(r, r);
    }
    const gbk::ColumnSortKeys keys(static_cast<gbk::SortType>(比较类型), texts.size(),
                                   [&texts](size_t i) { return std::string_view(texts[i]); });
    runningKeys = &keys;
    list.sortRows([](intptr_t a, intptr_t b) { return 比较表项_回调(a, b, 0); });
    runningKeys = nullptr;
}

int 比较表项(intptr_t p1, intptr_t p2) {
    if (!runningKeys) return 0;
    const auto a = static_cast<size_t>(p1), b = static_cast<size_t>(p2);
    if (a >= runningKeys->size() || b >= runningKeys->size()) return 0;
    return 比较方向 != 0 ? runningKeys->compare(a, b) : runningKeys->compare(b, a);
}

int 比较表项_回调(intptr_t value1, intptr_t value2, intptr_t) { return 比较表项(value1, value2); }

void 采像窗口::list_表头被单击(int column) {
    if (!form_.checkBox("选择框_是否排序").isChecked()) return;
    排序方向 = 1 - 排序方向;
    ui::showBusyCursor();
    const auto sortType = static_cast<int>(form_.combo("组合框_排序类型").currentValue());
    排序列表(form_.reportList("list"), column, 排序方向, sortType);
    ui::restoreCursor();
}

}  // namespace query
