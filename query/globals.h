// The query program's program-wide variables: the configuration values, the data file's
// kind, password and tables, the display fields, the chosen table, the search condition
// and what the record window keeps between its fills.
//
// They exist from the start to the end of the program, start empty (texts "", integers
// 0, arrays without elements) and are shared by the windows' handlers. Every text is GBK.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/gbk_literal.h"

namespace query {

// The data file: made absolute; for "txt", "csv" and "dbf" cut down to its directory,
// up to and including the last "/".
extern std::string dbname;
extern std::string searchname1, searchname2, searchname3;
extern std::string display1, display2, display3, display4, display5;
extern std::string display6, display7, display8, display9, display10;
extern std::string 标记字段;
extern std::string logo;
extern std::string 数据库扩展名;
extern std::string 数据库密码;
// The tables in listing order; after the table step every entry but "apw" and "cpw"
// carries square brackets.
extern std::vector<std::string> 表名数组;
// display1 to display10, then 标记字段: one result-list column each.
extern std::vector<std::string> 显示字段数组;
// The table a search reads, brackets included.
extern std::string 当前表名;
extern int 已选表序号;
// Appended to "select * from " + table + " "; "" means every record.
extern std::string 查询条件;
// Program directory + "/photo".
extern std::string 照片目录;
// The record window's open result record set (0 when its open failed).
extern int 结果记录集;
// Rows inserted by the last (or running) fill of the result list.
extern int 行计数;
// The candidate lists of the query window (_查询) and the record window (_采像): the
// number of the distinct-value record set on 查询窗口外部数据库, and the trimmed search
// text of the last completed candidate run.
extern int 候选记录集_查询, 候选记录集_采像;
extern std::string 上次候选文本_查询, 上次候选文本_采像;

// display1 to display10 by number (1 to 10); the caller keeps within that range.
std::string& displayField(int number);

// A text written in the source (UTF-8) as the program holds texts (GBK).
using codepage::gbkText;

}  // namespace query
