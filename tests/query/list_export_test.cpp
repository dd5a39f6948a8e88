// The export of the result list: the question, the file's name and bytes (golden files
// made by hand), the photo paths, the list's order, and exports that cannot be written.
#include "query/list_export.h"

#include <sys/stat.h>

#include <QApplication>

#include "query/photo_path.h"
#include "query/result_sort.h"
#include "query_test_support.h"

using namespace querytest;

namespace {

std::string golden(const std::string& name) {
    return readBytes(std::string(LOOKUP_TEST_DATA_DIR) + "/" + name);
}

class ListExportTest : public QueryProgramTest {
  protected:
    // Six pupils S0001..S0006 (一班: 1-3, 二班: 4-6), a photo for S0001 only.
    query::采像窗口& openPupils(const std::string& searchText = "*") {
        writePupils("名单.csv", 6);
        writeStandardConfig("名单.csv");
        write("photo/一班/S0001.jpg", jpegBytes());
        query::采像窗口* record = search(start(), searchText);
        EXPECT_NE(record, nullptr);
        return *record;
    }

    // Clicks "导出列表" answering the question; returns the path the final message names
    // (GBK) and whether it was the success message.
    std::pair<std::string, bool> exportList(query::采像窗口& record,
                                            ui::dialogs::Answer photoLessOnly) {
        ui::dialogs::script::answerMessage(photoLessOnly);
        ui::dialogs::script::answerMessage(ui::dialogs::Answer::Ok);
        const size_t before = ui::dialogs::script::shown().size();
        QTest::mouseClick(record.form().button("按钮_导出列表").widget(), Qt::LeftButton);
        const auto& shown = ui::dialogs::script::shown();
        EXPECT_EQ(shown.size(), before + 2);
        if (shown.size() != before + 2) return {};
        EXPECT_EQ(utf8(shown[before].title), "友情提醒！");
        EXPECT_EQ(
            utf8(shown[before].text),
            "本操作将会把列表框的内容导出成文本文件（如果想导出所有的，请用*号搜索，显示所有内容，"
            "再导出），仅导出不含照片的吗？");
        EXPECT_EQ(utf8(shown[before + 1].title), "友情提示:");
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        const std::string success = G("文件已经写出，保存在 ");
        const std::string& text = shown[before + 1].text;
        if (text.rfind(success, 0) == 0) return {text.substr(success.size()), true};
        const std::string failure = G("文件没有写出：无法创建或写入 ");
        EXPECT_EQ(text.rfind(failure, 0), 0u) << utf8(text);
        return {text.substr(failure.size()), false};
    }
};

TEST(ExportFileName, TimePartFollowsTheFirstNonZeroOfSecondsMinutesHours) {
    const std::string table = G("[Sheet1$]");
    auto name = [&](int h, int m, int s) {
        return codepage::gbkToUtf8(query::exportFileName(table, {2026, 12, 7, h, m, s}));
    };
    EXPECT_EQ(name(22, 5, 3), "[Sheet1$]_2026年12月7日22时5分3秒.txt");
    EXPECT_EQ(name(22, 0, 3), "[Sheet1$]_2026年12月7日22时0分3秒.txt");
    EXPECT_EQ(name(22, 5, 0), "[Sheet1$]_2026年12月7日22时5分.txt");
    EXPECT_EQ(name(22, 0, 0), "[Sheet1$]_2026年12月7日22时.txt");
    EXPECT_EQ(name(0, 0, 0), "[Sheet1$]_2026年12月7日.txt");
    EXPECT_EQ(name(0, 5, 0), "[Sheet1$]_2026年12月7日0时5分.txt");
}

TEST_F(ListExportTest, AnEmptyListWritesTheHeaderLineOnly) {
    query::采像窗口& record = openPupils("没有这个人");
    ASSERT_EQ(record.form().reportList("list").rowCount(), 0);
    const auto [file, written] = exportList(record, ui::dialogs::Answer::No);
    ASSERT_TRUE(written);
    // Program directory + "/" + table with its brackets + "_" + date-time + ".txt".
    const std::string prefix = dir_ + "/[名单.csv]_";
    EXPECT_EQ(utf8(file).rfind(prefix, 0), 0u) << utf8(file);
    EXPECT_NE(utf8(file).find("日"), std::string::npos);
    EXPECT_EQ(readBytes(utf8(file)), golden("export_header_only.txt"));
}

TEST_F(ListExportTest, PhotoLessModeLeavesOutRowsWhosePhotoExists) {
    query::采像窗口& record = openPupils();
    const auto [file, written] = exportList(record, ui::dialogs::Answer::Yes);
    ASSERT_TRUE(written);
    EXPECT_EQ(readBytes(utf8(file)), golden("export_without_photos.txt"));
}

TEST_F(ListExportTest, RowsWithAPhotoEndWithItsPathInTheListsOrder) {
    query::采像窗口& record = openPupils();
    ui::ReportList list = record.form().reportList("list");
    query::排序列表(list, 0, 0, 1);     // S0006 first, S0001 last
    list.setCellText(5, 1, G("张三"));  // the photo is now S0001_张三.jpg ...
    write("photo/一班/S0001_张三.jpg", jpegBytes());
    list.setCellText(4, 2, "");  // ... and S0002's lies in the photo folder itself
    write("photo/S0002.jpg", jpegBytes());

    const auto [file, written] = exportList(record, ui::dialogs::Answer::No);
    ASSERT_TRUE(written);
    const std::string bytes = readBytes(utf8(file));
    const std::string tail = "\t\t\t\t\t\t\t";
    const std::string expected =
        G("序号\t\t班级\t姓名" + tail + "有无图片\r\n") +
        G("S0006\t\t二班\t学生6" + tail + "\r\n") + G("S0005\t\t二班\t学生5" + tail + "\r\n") +
        G("S0004\t\t二班\t学生4" + tail + "\r\n") + G("S0003\t\t一班\t学生3" + tail + "\r\n") +
        G("S0002\t\t\t学生2" + tail + dir_ + "/photo/S0002.jpg\r\n") +
        G("S0001\t张三\t一班\t学生1" + tail + dir_ + "/photo/一班/S0001_张三.jpg\r\n");
    EXPECT_EQ(bytes, expected);
    // The export changes nothing in the window.
    EXPECT_EQ(cell(record, 0, 0), "S0006");
}

TEST_F(ListExportTest, AnExportThatCannotBeWrittenSaysSoAndLeavesNoFile) {
    query::采像窗口& record = openPupils();
    // A folder nobody may create files in, root included.
    paths::overrideProgramDirectory("/proc");
    const auto [file, written] = exportList(record, ui::dialogs::Answer::No);
    EXPECT_FALSE(written);
    EXPECT_EQ(utf8(file).rfind("/proc/[名单.csv]_", 0), 0u) << utf8(file);
    EXPECT_FALSE(std::filesystem::exists(utf8(file)));
}

TEST_F(ListExportTest, WritingRefusesReadOnlyFilesAndNamesThatLeaveTheFolder) {
    const std::string folder = codepage::fromLocalPath(dir_);
    // A read-only file of the same name stays as it was (root would be let through by open()).
    write("old.txt", "old");
    ASSERT_EQ(::chmod(local("old.txt").c_str(), 0444), 0);
    EXPECT_FALSE(query::writeExportFile(folder, "old.txt", "new"));
    EXPECT_EQ(readBytes(local("old.txt")), "old");
    // A table text holding "/" names a file in another folder.
    std::filesystem::create_directories(local("[a"));
    EXPECT_FALSE(query::writeExportFile(folder, "[a/b]_2026.txt", "x"));
    EXPECT_TRUE(std::filesystem::is_empty(local("[a")));
    // An earlier export of the same name is replaced whole, no temporary file left behind.
    ASSERT_TRUE(query::writeExportFile(folder, "same.txt", "first, longer"));
    ASSERT_TRUE(query::writeExportFile(folder, "same.txt", "second"));
    EXPECT_EQ(readBytes(local("same.txt")), "second");
    int entries = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
        entries += entry.path().filename().string()[0] == '.';
    EXPECT_EQ(entries, 0);
}

}  // namespace

namespace {

// The export lists each photo folder once instead of testing every file; the answers must
// stay those of the program's file-exists test, wildcards and dangling links included.
TEST(ExportText, PhotoTestAgreesWithFileExists) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "lookup-export-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    const std::string dir = pattern;
    writeBytes(dir + "/photo/一班/S0001.jpg", "x");
    writeBytes(dir + "/photo/S0003_张三.jpg", "x");
    std::filesystem::create_symlink(dir + "/nowhere", dir + "/photo/一班/S0004.jpg");

    const std::vector<std::vector<std::string>> rows{
        {"S0001", "", "一班"}, {"S000?", "", "一班"},  {"S0002", "", "一班"},
        {"S0001", "", "三班"}, {"S0003", "张三", ""},  {"S0004", "", "一班"},
        {"..", "", "一班"},    {"S0001", "", "一班\\"}};
    query::ExportSource source;
    source.rowCount = static_cast<int>(rows.size());
    source.cell = [&rows](int row, int column) {
        return column < 3 ? G(rows[row][column]) : std::string();
    };
    source.photoFolder = codepage::fromLocalPath(dir + "/photo");
    const std::string text = query::exportText(source, false);

    size_t start = text.find("\r\n") + 2;
    for (const auto& row : rows) {
        const size_t end = text.find("\r\n", start);
        const std::string line = text.substr(start, end - start);
        start = end + 2;
        const std::string path =
            query::photoPath(source.photoFolder, G(row[0]), G(row[1]), G(row[2]));
        const bool exists = !path.empty() && paths::fileExists(path);
        EXPECT_EQ(line.substr(line.rfind('\t') + 1), exists ? path : "") << row[0] << " " << row[2];
    }
    EXPECT_EQ(start, text.size());
    std::filesystem::remove_all(dir);
}

}  // namespace
