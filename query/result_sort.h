// Sorting the record window's result list by a clicked column: the direction kept for the
// whole run, the sort of one column and the comparison of two rows.
//
// The list itself reorders its rows (stably) and asks for the comparison of two rows by
// their per-row values; during a sort each row's value is its index into the sort's keys.
#pragma once

#include <cstdint>

#include "platform/ui/controls.h"

namespace query {

// The direction of the next counted header click: 0 at program start, reversed by every
// counted click, one value for all columns, kept while the program runs.
extern int 排序方向;
// The running sort's direction (0 descending, anything else ascending) and comparison
// (0 whole numbers, 1 text, 2 dates).
extern int 比较方向;
extern int 比较类型;

// Sorts the list's rows by the cells of `column`. A sort type outside 0..2 sorts as text.
void 排序列表(ui::ReportList list, int column, int direction = 1, int sortType = 1);

// The two rows' values during a sort: negative when the first goes first, positive when
// the second does, 0 when equal, by `比较类型` and `比较方向`. 0 outside a sort.
int 比较表项(intptr_t p1, intptr_t p2);
// The comparison handed to the list; its application value is ignored.
int 比较表项_回调(intptr_t value1, intptr_t value2, intptr_t applicationValue);

}  // namespace query
