// The query program's entry and exit (see program.h).
#include "query/program.h"

#include <memory>

#include "common/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/program_runner.h"
#include "query/globals.h"
#include "query/query_window.h"
#include "query/start_window.h"

namespace query {
namespace {

struct ProgramWindows {
    std::unique_ptr<启动窗口> start;
    std::unique_ptr<查询窗口> query;
};

ProgramWindows& windows() { return ui::programWindows<ProgramWindows>(); }

}  // namespace

int 程序入口(int argc, char** argv) { return ui::runProgram(argc, argv, startProgram, releaseWindows); }

void startProgram() {
    ui::beginProgram(paths::programFolderProblem(), 建立全局数组, 释放全局变量);
    运行启动程序();
    windows().start = std::make_unique<启动窗口>();
    if (!windows().start->load()) ui::fatalError(gbkText("载入启动窗口失败"));
}

void 建立全局数组() {
    显示字段数组.clear();
    表名数组.clear();
}

void 释放全局变量() {
    for (std::string* text : {&dbname, &searchname1, &searchname2, &searchname3, &标记字段, &logo,
                              &数据库扩展名, &数据库密码, &当前表名, &查询条件, &照片目录,
                              &上次候选文本_查询, &上次候选文本_采像})
        text->clear();
    for (int k = 1; k <= 10; ++k) displayField(k).clear();
    表名数组.clear();
    显示字段数组.clear();
    已选表序号 = 0;
    结果记录集 = 0;
    行计数 = 0;
    候选记录集_查询 = 0;
    候选记录集_采像 = 0;
}

int 运行启动程序() {
    启动程序();
    return 0;
}

void 启动程序() {}

启动窗口* startWindow() { return windows().start.get(); }
查询窗口* queryWindow() { return windows().query.get(); }

查询窗口& loadQueryWindow() {
    windows().query = std::make_unique<查询窗口>();
    if (!windows().query->load()) ui::fatalError(gbkText("载入查询窗口失败"));
    return *windows().query;
}

void releaseWindows() {
    // The query window first: it owns the record window.
    windows().query.reset();
    windows().start.reset();
}

}  // namespace query
