// What the query program's window tests add to the shared program-folder fixture: the
// usual configuration and data, and ways to start the program and to search as a user
// would.
#pragma once

#include <gtest/gtest.h>

#include <QBuffer>
#include <QImage>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "text/codepage.h"
#include "support/program_test.h"
#include "common/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/globals.h"
#include "query/program.h"
#include "query/query_window.h"
#include "query/record_window.h"
#include "query/start_window.h"

namespace querytest {

using programtest::G;
using programtest::gbkLines;
using programtest::jpegBytes;
using programtest::readBytes;
using programtest::writeBytes;

class QueryProgramTest : public programtest::ProgramFolderTest {
protected:
    void releaseProgram() override {
        query::releaseWindows();
        query::释放全局变量();
    }

    // The usual configuration over `dbname`: search by 姓名 / 班级 / 序号, display 序号,
    // (none), 班级, 姓名, caption mark 姓名, title 测试.
    void writeStandardConfig(const std::string& dbnameUtf8) const {
        writeConfig({"[database]", "dbname=" + dbnameUtf8, "[search]", "searchname1=姓名",
                     "searchname2=班级", "searchname3=序号", "[display]", "display1=序号", "display2=",
                     "display3=班级", "display4=姓名", "[photo]", "标记字段=姓名", "[reg]", "logo=测试"});
    }

    // A text table of pupils: 序号 S0001..., 姓名, 班级 (一班 / 二班 by halves).
    void writePupils(const std::string& name, int count, const std::vector<std::string>& extraRowsUtf8 = {}) const {
        std::vector<std::string> lines{"序号,姓名,班级"};
        for (int n = 1; n <= count; ++n) {
            char number[16];
            std::snprintf(number, sizeof number, "S%04d", n);
            lines.push_back(std::string(number) + ",学生" + std::to_string(n) + "," +
                            (n <= (count + 1) / 2 ? "一班" : "二班"));
        }
        for (const std::string& row : extraRowsUtf8) lines.push_back(row);
        write(name, gbkLines(lines));
    }

    // Starts the program as 程序入口 does, up to the message loop, and runs events until
    // the start window has opened the query window and gone.
    query::查询窗口& start() {
        query::startProgram();
        const bool opened = QTest::qWaitFor(
            [] {
                return query::queryWindow() && query::queryWindow()->form().isLoaded() &&
                       !query::startWindow()->form().isLoaded();
            },
            5000);
        EXPECT_TRUE(opened) << "the start window did not open the query window";
        return *query::queryWindow();
    }

    // Types `textUtf8` into the query window's search box and clicks "进入采像界面".
    query::采像窗口* search(query::查询窗口& window, const std::string& textUtf8) {
        window.form().edit("编辑框1").setText(G(textUtf8));
        QTest::mouseClick(window.form().button("按钮1").widget(), Qt::LeftButton);
        return window.recordWindow();
    }

    static std::string cell(query::采像窗口& record, int row, int column) {
        return codepage::gbkToUtf8(record.form().reportList("list").cellText(row, column));
    }
    static std::string utf8(const std::string& gbk) { return codepage::gbkToUtf8(gbk); }
};

}  // namespace querytest
