// The query program's program-wide variables (see globals.h).
#include "query/globals.h"

namespace query {

std::string dbname;
std::string searchname1, searchname2, searchname3;
std::string display1, display2, display3, display4, display5;
std::string display6, display7, display8, display9, display10;
std::string 标记字段;
std::string logo;
std::string 数据库扩展名;
std::string 数据库密码;
std::vector<std::string> 表名数组;
std::vector<std::string> 显示字段数组;
std::string 当前表名;
int 已选表序号 = 0;
std::string 查询条件;
std::string 照片目录;
int 结果记录集 = 0;
int 行计数 = 0;
int 候选记录集_查询 = 0, 候选记录集_采像 = 0;
std::string 上次候选文本_查询, 上次候选文本_采像;

std::string& displayField(int number) {
    static std::string* const fields[] = {&display1, &display2, &display3, &display4, &display5,
                                          &display6, &display7, &display8, &display9, &display10};
    return *fields[number - 1];
}

}  // namespace query
