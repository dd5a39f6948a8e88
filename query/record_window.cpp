// The record window's handlers (see record_window.h).
#include "query/record_window.h"

#include <sys/stat.h>

#include <chrono>

#include "text/codepage.h"
#include "common/file_replace.h"
#include "text/gbk_text.h"
#include "common/paths.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/fill_progress.h"
#include "query/globals.h"
#include "query/photo_path.h"
#include "query/query_window.h"
#include "query/record_connection.h"
#include "query/search_controls.h"

namespace query {
namespace {

// One level, like the capture program expects; a failure shows later as a missing photo.
void makeFolderIfMissing(const std::string& folder) {
    if (folder.empty() || paths::fileExists(folder)) return;
    ::mkdir(codepage::toLocalPath(folder).c_str(), 0777);
}

std::string numbered(const char* nameUtf8, int k) { return nameUtf8 + std::to_string(k); }

}  // namespace

采像窗口::采像窗口(查询窗口& owner) : owner_(owner) {
    form_.on(ui::WindowEvent::Created, [this] { 采像窗口_创建完毕(); });
    form_.on(ui::WindowEvent::AboutToBeDestroyed, [this] { 采像窗口_将被销毁(); });
    form_.on("list", ui::Event::CurrentRowChanged, [this] { list_当前行被改变(); });
    form_.on("list", ui::Event::Clicked, [this] { list_被单击(); });
    form_.on("查询按钮", ui::Event::Clicked, [this] { 查询按钮_被单击(); });
    form_.on("查询按钮", ui::Event::KeyPressed, [this](int key) { 查询按钮_按下某键(key); });
    form_.on("下一记录按钮", ui::Event::Clicked, [this] { 下一记录按钮_被单击(); });
    form_.on("上一记录按钮", ui::Event::Clicked, [this] { 上一记录按钮_被单击(); });
    form_.on("按钮_listset", ui::Event::Clicked, [this] { 按钮_listset_被单击(); });
    form_.on("list", ui::Event::HeaderClicked, [this](int column) { list_表头被单击(column); });
    form_.on("按钮_导出列表", ui::Event::Clicked, [this] { 按钮_导出列表_被单击(); });
    bindCandidateHandlers();
}

bool 采像窗口::load() { return form_.load(":/query/forms/采像窗口.ui", &owner_.form()); }

void 采像窗口::采像窗口_创建完毕() {
    置单选框标题();
    for (int k = 1; k <= 10; ++k) form_.label(numbered("标签", k)).setCaption(displayField(k));
    照片目录 = photoFolderOf(paths::programDirectory());
    makeFolderIfMissing(照片目录);

    ui::ReportList list = form_.reportList("list");
    for (const std::string& field : 显示字段数组) list.addColumn(field, 105, ui::ReportList::Align::Centre);

    openResults();
    if (owner_.form().checkBox("选择框_去除单引号").isChecked())
        填充列表_去单引号();
    else
        填充列表();
}

void 采像窗口::采像窗口_将被销毁() { owner_.form().setVisible(true); }

void 采像窗口::置单选框标题() {
    form_.radio("单选框4").setCaption(gbkText("按") + searchname1 + gbkText("查"));
    form_.radio("单选框5").setCaption(gbkText("按") + searchname2 + gbkText("查"));
    form_.radio("单选框6").setCaption(gbkText("按") + searchname3 + gbkText("查"));
}

void 采像窗口::openResults() {
    openRecordConnection(外部数据库1, 数据库扩展名, dbname, 数据库密码);
    结果记录集 = 外部数据库1.openRecordSet("select * from " + 当前表名 + " " + 查询条件);
    if (结果记录集 == 0 && 外部数据库1.lastFailureWasDataFile())
        ui::dialogs::messageBox(外部数据库1.lastError(), ui::dialogs::Buttons::Ok, gbkText("警告！"));
}

void 采像窗口::填充列表() { fillList(false); }
void 采像窗口::填充列表_去单引号() { fillList(true); }

void 采像窗口::fillList(bool dropLeadingApostrophe) {
    filling_ = true;
    ui::ReportList list = form_.reportList("list");
    ui::ProgressBar bar = form_.progressBar("进度条_列表");
    list.deleteAllRows();
    行计数 = 0;
    外部数据库1.moveFirst(结果记录集);

    bar.setRange(0, 100);
    bar.setVisible(true);
    bar.setTop(list.top() + list.height() - 35);

    // A display field named again later shows the first one's texts (after the apostrophe
    // rule), so such a column is copied rather than read a second time; and each field's
    // column in the record set is found once, not once per cell.
    const std::vector<std::string>& fields = 显示字段数组;
    const int columns = static_cast<int>(fields.size());
    std::vector<int> copiedFrom(fields.size(), -1);
    for (int i = 1; i < columns; ++i) {
        for (int j = 0; j < i; ++j) {
            if (fields[j] == fields[i]) {
                copiedFrom[i] = j;
                break;
            }
        }
    }
    const std::vector<std::string> names = 外部数据库1.fieldNames(结果记录集);
    std::vector<int> columnNumber(fields.size(), 0);  // 1-based; 0: the record set has no such column
    for (int i = 0; i < columns; ++i) {
        for (size_t k = 0; k < names.size(); ++k) {
            if (names[k] == fields[i]) {
                columnNumber[i] = static_cast<int>(k) + 1;
                break;
            }
        }
    }

    FillProgress progress(0, 100);
    auto lastRepaint = FillProgress::Clock::now();
    // One set of strings serves every row: each field is written over the previous row's
    // text in place (no allocation once the strings have grown), and the list copies the
    // row into its own packed storage in one call.
    std::vector<std::string> texts(fields.size());
    while (!外部数据库1.atEnd(结果记录集)) {
        for (int i = 0; i < columns; ++i) {
            std::string& text = texts[i];
            if (copiedFrom[i] >= 0) {
                text = texts[copiedFrom[i]];
            } else if (columnNumber[i]) {
                外部数据库1.fieldText(结果记录集, columnNumber[i], text);
                if (dropLeadingApostrophe && !text.empty() && text.front() == '\'') text.erase(0, 1);
            } else {
                text.clear();
            }
        }
        list.appendRow(texts);
        外部数据库1.moveNext(结果记录集);
        ++行计数;
        if (progress.step(行计数)) {
            bar.setPosition(progress.position());
            const auto now = FillProgress::Clock::now();
            if (now - lastRepaint >= fillRepaintInterval()) {
                ui::processPendingEvents();
                lastRepaint = now;
            }
        }
    }

    // The repeated fields' columns were copied above; the bar still counts the fields.
    bar.setPosition(0);
    bar.setMaximum(columns - 1);
    for (int i = 1; i < columns; ++i) bar.setPosition(bar.position() + 1);

    form_.setCaption(logo + gbkText("－－符合记录的条件有：") + gbk::toText(行计数) + gbkText("个。"));
    外部数据库1.closeRecordSet(结果记录集);
    if (行计数 > 0) list.selectRow(0);
    bar.setVisible(false);
    filling_ = false;
}

void 采像窗口::list_当前行被改变() { list_被单击(); }

void 采像窗口::list_被单击() {
    ui::ReportList list = form_.reportList("list");
    std::string values[11];
    for (int k = 1; k <= 10; ++k) {
        ui::EditBox box = form_.edit(numbered("编辑框", k));
        box.setText(list.cellText(list.currentRow(), k - 1));
        values[k] = box.text();
    }
    form_.label("标签_标记字段").setCaption(list.cellText(list.currentRow(), 10));
    form_.label("标签_图片1说明").setCaption(values[10] + "\r\n" + values[2] + "  " + values[1]);

    makeFolderIfMissing(photoSubfolder(照片目录, values[3]));
    std::string bytes;
    const std::string photo = photoPath(照片目录, values[1], values[2], values[3]);
    if (!photo.empty()) fileio::readWholeFile(codepage::toLocalPath(photo), bytes);
    form_.picture("图片框1").setPicture(bytes);

    const int r = list.currentRow();
    form_.groupBox("分组框_记录单").setCaption(gbkText("记录单--") + gbk::toText(r + 1) + "/" +
                                               gbk::toText(list.rowCount()));
}

void 采像窗口::查询按钮_被单击() {
    // The fill lets the window repaint now and then, which also lets a click through; a
    // search started inside a running fill would pull its record set away from under it.
    if (filling_) return;
    const std::string T = gbk::trim(form_.edit("查询编辑框").text());
    if (T.empty()) return;
    查询条件 = searchCondition(searchRequestFrom(form_, T), 查询条件);

    openResults();
    if (form_.checkBox("选择框_去除单引号").isChecked())
        填充列表_去单引号();
    else
        填充列表();
    form_.reportList("list").setFocus();
}

void 采像窗口::查询按钮_按下某键(int key) {
    if (key == 13) 查询按钮_被单击();
}

void 采像窗口::下一记录按钮_被单击() {
    ui::ReportList list = form_.reportList("list");
    list.keyDown(40);
    list.setFocus();
}

void 采像窗口::上一记录按钮_被单击() {
    ui::ReportList list = form_.reportList("list");
    list.keyDown(38);
    list.setFocus();
}

void 采像窗口::按钮_listset_被单击() {
    ui::ReportList list = form_.reportList("list");
    listFont_.pointSize = list.fontSize();
    listFont_.colour = list.textColour();
    listFont_.face = list.fontFace();
    ui::dialogs::chooseFont(listFont_);  // a cancelled dialog keeps the preset: nothing changes
    list.setFontSize(listFont_.pointSize);
    list.setTextColour(listFont_.colour);
    list.setFontFace(listFont_.face);
}

}  // namespace query
