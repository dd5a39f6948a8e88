// Choosing a data source (see source_tables.h).
#include "common/source_tables.h"

#include <filesystem>

#include "text/codepage.h"
#include "text/gbk_literal.h"
#include "platform/ui/dialogs.h"

using codepage::gbkText;

namespace {

bool isRegularFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(codepage::toLocalPath(path), ec);
}

void showReminder(const std::string& caption, const std::string& text) {
    ui::dialogs::messageBox(text, ui::dialogs::Buttons::Ok, caption);
}

}  // namespace

SourceTables listSourceTables(const std::string& dbname, datasource::Kind kind,
                              WorkbookListingVariant variant) {
    SourceTables source;
    source.dbname = dbname;
    switch (kind) {
    case datasource::Kind::Access: {
        const auto answer = ui::dialogs::inputBox(gbkText("有密码吗？"),
                                                  gbkText("如果数据库包含密码，请输入，无则直接退出！"));
        source.password = answer.value_or(std::string());
        列出MDB表(dbname, source.password, source.tables, source.error);
        break;
    }
    case datasource::Kind::TextTable:
    case datasource::Kind::DBaseTable: {
        const datasource::TableSplit split = datasource::splitTablePath(dbname);
        source.tables = {split.table};
        source.dbname = split.directory;
        break;
    }
    case datasource::Kind::Workbook:
        if (variant == WorkbookListingVariant::SettingsProgram && !isRegularFile(dbname)) break;
        列出Excel表(dbname, source.tables, variant, showReminder, source.error);
        break;
    }
    return source;
}
