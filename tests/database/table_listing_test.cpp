// Table lists: Access user tables, workbook sheets under the Excel driver's names, and the
// reminder with its one retry when a workbook cannot be opened.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/table_listing.h"
#include "shared_files.h"
#include "temp_folder.h"

namespace {

const std::string kHeaders = std::string(LOOKUP_TEST_DATA_DIR) + "/xls/headers.xls";

struct Reminders {
    int shown = 0;
    std::string caption, text;
    ReminderBox box(std::function<void()> also = {}) {
        return [this, also](const std::string& c, const std::string& t) {
            ++shown;
            caption = c;
            text = t;
            if (also) also();
        };
    }
};

TEST(TableListing, AccessTables) {
    REQUIRE_SHARED_FILE("fixtures/mdb/pupils.mdb");
    std::vector<std::string> list{"stale"};
    EXPECT_TRUE(列出MDB表(sharedFile("fixtures/mdb/pupils.mdb"), "", list));
    EXPECT_EQ(list, (std::vector<std::string>{"\xD1\xA7\xC9\xFA\xC3\xFB\xB5\xA5", "\xBD\xF8\xB6\xC8\xB2\xE2\xCA\xD4",
                                              "apw", "cpw", "\xBD\xCC\xCA\xA6"}));
    EXPECT_TRUE(列出MDB表(sharedFile("fixtures/mdb/no_tables.mdb"), "", list));
    EXPECT_TRUE(list.empty());

    list = {"stale"};
    EXPECT_FALSE(列出MDB表(sharedFile("fixtures/mdb/pupils_password.mdb"), "wrong", list));
    EXPECT_TRUE(list.empty());
    EXPECT_FALSE(列出MDB表(sharedFile("fixtures/mdb/pupils_password.mdb"), "", list));
    EXPECT_TRUE(列出MDB表(sharedFile("fixtures/mdb/pupils_password.mdb"), "abc123", list));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_FALSE(列出MDB表("/nonexistent/club.mdb", "", list));
}

TEST(TableListing, SheetNamesAsTheDriverGivesThem) {
    EXPECT_EQ(excelSheetTableName("Sheet1"), "Sheet1$");
    EXPECT_EQ(excelSheetTableName("_x9"), "_x9$");
    EXPECT_EQ(excelSheetTableName("\xD1\xA7\xC9\xFA"), "\xD1\xA7\xC9\xFA$");          // 学生
    EXPECT_EQ(excelSheetTableName("\xA3\xC1\xA3\xE2"), "\xA3\xC1\xA3\xE2$");          // Ａｂ, full-width letters
    EXPECT_EQ(excelSheetTableName("my sheet"), "'my sheet$'");
    EXPECT_EQ(excelSheetTableName("simple "), "'simple $'");
    EXPECT_EQ(excelSheetTableName("a-b"), "'a-b$'");
    EXPECT_EQ(excelSheetTableName("2024"), "'2024$'");
    EXPECT_EQ(excelSheetTableName("O'Neil"), "'O''Neil$'");
    EXPECT_EQ(excelSheetTableName("\xA3\xA8\xD7\xA2\xA3\xA9"), "'\xA3\xA8\xD7\xA2\xA3\xA9$'");  // （注）
    EXPECT_EQ(excelSheetTableName("\xD1\xA7\xA1\xA1\xC9\xFA"), "'\xD1\xA7\xA1\xA1\xC9\xFA$'");  // full-width space
}

TEST(TableListing, WorkbookSheetsInOrder) {
    Reminders reminders;
    std::vector<std::string> list{"stale"};
    列出Excel表(kHeaders, list, WorkbookListingVariant::SettingsProgram, reminders.box());
    EXPECT_EQ(list, (std::vector<std::string>{"\xC3\xFB\xB5\xA5$", "\xBF\xD5\xB8\xF1$", "A1\xBF\xD5$",
                                              "\xBF\xED\xB1\xED$", "'my sheet$'", "'2024$'", "'O''Neil$'"}));
    EXPECT_EQ(reminders.shown, 0);
}

TEST(TableListing, NamedRangesFollowTheSheets) {
    std::vector<std::string> list;
    列出Excel表(std::string(LOOKUP_TEST_DATA_DIR) + "/xls/formats.xls", list, WorkbookListingVariant::QueryProgram, {});
    // 日期$ 数字$ 名单$ 公式$ 隐藏$, then 班级表 and 名单$Print_Area
    EXPECT_EQ(list, (std::vector<std::string>{"\xC8\xD5\xC6\xDA$", "\xCA\xFD\xD7\xD6$", "\xC3\xFB\xB5\xA5$",
                                              "\xB9\xAB\xCA\xBD$", "\xD2\xFE\xB2\xD8$", "\xB0\xE0\xBC\xB6\xB1\xED",
                                              "\xC3\xFB\xB5\xA5$Print_Area"}));
}

TEST(TableListing, CorpusWorkbooksByTheirSignature) {
    REQUIRE_SHARED_FILE("corpus/xlsx/easyexcel__simple07.xlsx");
    Reminders reminders;
    std::vector<std::string> list;
    列出Excel表(sharedFile("corpus/xls/hutool__aaa.xls"), list, WorkbookListingVariant::QueryProgram, reminders.box());
    EXPECT_EQ(list, (std::vector<std::string>{"Sheet1$", "\xD0\xA3\xD4\xB0\xC8\xEB\xD1\xA7$", "Sheet3$"}));
    列出Excel表(sharedFile("corpus/xlsx/easyexcel__simple07.xlsx"), list, WorkbookListingVariant::QueryProgram,
              reminders.box());
    EXPECT_EQ(list, (std::vector<std::string>{"Sheet1$", "'simple $'", "Sheet3$"}));
    EXPECT_EQ(reminders.shown, 0);

    // The name says nothing: an .xlsx package under another name is still read as one.
    TempFolder folder;
    const std::string renamed = folder.file("book.xls");
    std::filesystem::copy_file(sharedFile("corpus/xlsx/hutool__aaa.xlsx"), renamed);
    列出Excel表(renamed, list, WorkbookListingVariant::QueryProgram, reminders.box());
    EXPECT_EQ(list, (std::vector<std::string>{"Sheet1$", "Sheet2$", "'12$'"}));
    EXPECT_EQ(reminders.shown, 0);
}

TEST(TableListing, UnopenableWorkbookRemindsOnceAndRetriesOnce) {
    TempFolder folder;
    for (const auto variant : {WorkbookListingVariant::QueryProgram, WorkbookListingVariant::SettingsProgram}) {
        for (const std::string& file : {folder.file("missing.xls"), folder.write("text.xls", "not a workbook")}) {
            Reminders reminders;
            std::vector<std::string> list{"stale"};
            列出Excel表(file, list, variant, reminders.box());
            EXPECT_EQ(reminders.shown, 1);
            EXPECT_TRUE(list.empty());
            EXPECT_EQ(reminders.caption, workbookReminder(variant).caption);
            EXPECT_EQ(reminders.text, workbookReminder(variant).text);
        }
    }
    EXPECT_EQ(workbookReminder(WorkbookListingVariant::QueryProgram).caption, "2");
    EXPECT_EQ(workbookReminder(WorkbookListingVariant::SettingsProgram).caption, "\xCC\xE1\xD0\xD1\xA3\xBA");  // 提醒：
}

TEST(TableListing, RetryAfterTheReminderListsTheWorkbook) {
    // The user makes the workbook available while the reminder is open.
    TempFolder folder;
    const std::string file = folder.file("later.xls");
    Reminders reminders;
    std::vector<std::string> list;
    列出Excel表(file, list, WorkbookListingVariant::SettingsProgram,
              reminders.box([&] { std::filesystem::copy_file(kHeaders, file); }));
    EXPECT_EQ(reminders.shown, 1);
    ASSERT_EQ(list.size(), 7u);
    EXPECT_EQ(list.front(), "\xC3\xFB\xB5\xA5$");
}

}  // namespace
