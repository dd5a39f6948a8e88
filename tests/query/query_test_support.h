// What the query program's window tests share: one form runtime for the test program, a
// fresh program directory per test (quillmar.ini, data files and photos written there),
// scripted dialog answers, and ways to start the program and to search as a user would.
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

#include "common/text/codepage.h"
#include "common/program/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/globals.h"
#include "query/program.h"
#include "query/query_window.h"
#include "query/record_window.h"
#include "query/start_window.h"

namespace querytest {

inline std::string G(std::string_view utf8) { return codepage::utf8ToGbk(utf8); }

inline std::string readBytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void writeBytes(const std::string& file, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(file).parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Lines given in UTF-8, written in GBK with CR LF, as Windows peers write them.
inline std::string gbkLines(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += G(line) + "\r\n";
    return bytes;
}

// A small JPEG of one colour, as the capture program would leave it.
inline std::string jpegBytes(int width = 60, int height = 80) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(200, 120, 40));
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return data.toStdString();
}

class QueryProgramTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "test_query";
        static char* argv[] = {name, nullptr};
        static ui::Application* application = new ui::Application(argc, argv);
        (void)application;
    }

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "lookup-query-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir_ = pattern;
        paths::overrideProgramDirectory(codepage::fromLocalPath(dir_));
        ui::dialogs::script::begin();
    }

    void TearDown() override {
        query::releaseWindows();
        query::释放全局变量();
        QTest::qWait(1);  // let destroyed widgets go
        EXPECT_EQ(ui::dialogs::script::pending(), 0) << "a scripted answer was not used";
        ui::dialogs::script::reset();
        paths::overrideProgramDirectory("");
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // A file in the program directory (name in UTF-8).
    std::string local(const std::string& name) const { return dir_ + "/" + name; }
    void write(const std::string& name, const std::string& bytes) const { writeBytes(local(name), bytes); }

    // quillmar.ini from UTF-8 lines.
    void writeConfig(const std::vector<std::string>& lines) const { write("quillmar.ini", gbkLines(lines)); }

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

    std::string dir_;
};

}  // namespace querytest
