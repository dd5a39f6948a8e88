// The query window's handlers (see query_window.h).
#include "query/query_window.h"

#include "common/config_keys.h"
#include "common/config_messages.h"
#include "common/data_source.h"
#include "text/gbk_text.h"
#include "common/paths.h"
#include "common/source_tables.h"
#include "common/repair_window.h"
#include "platform/ui/application.h"
#include "platform/ui/dialogs.h"
#include "query/globals.h"
#include "query/record_window.h"
#include "query/search_controls.h"

namespace query {
namespace {

std::string configValue(const std::string& keyUtf8) {
    return config::readOwnKey(config::Program::Query, gbkText(keyUtf8));
}

std::string radioCaption(const std::string& field) { return gbkText("按") + field + gbkText("查"); }

}  // namespace

查询窗口::查询窗口() {
    form_.on(ui::WindowEvent::Created, [this] { 查询窗口_创建完毕(); });
    form_.on(ui::WindowEvent::AboutToBeDestroyed, [this] { 查询窗口_将被销毁(); });
    form_.on(ui::WindowEvent::TrayEvent, [this](int type) { 查询窗口_托盘事件(type); });
    form_.on("按钮1", ui::Event::Clicked, [this] { 按钮1_被单击_查询(); });
    form_.on("按钮1", ui::Event::CharTyped, [this](int c) { 按钮1_字符输入_查询(c); });
    form_.on("单选框4", ui::Event::CharTyped, [this](int c) { 单选框4_字符输入(c); });
    form_.on("单选框5", ui::Event::CharTyped, [this](int c) { 单选框5_字符输入(c); });
    form_.on("单选框6", ui::Event::CharTyped, [this](int c) { 单选框6_字符输入(c); });
    form_.on("选择列表框1", ui::Event::ItemSelected, [this] { 选择列表框1_列表项被选择(); });
    form_.on("配置按钮", ui::Event::Clicked, [this] { 配置按钮_被单击(); });
    form_.on("选择框1", ui::Event::Clicked, [this] { 选择框1_被单击(); });
    form_.on("选择框3", ui::Event::Clicked, [this] { 选择框3_被单击(); });
    form_.on("选择框2", ui::Event::Clicked, [this] { 选择框2_被单击(); });
    form_.on("按钮_校正文本文件", ui::Event::Clicked, [this] { 按钮_校正文本文件_被单击(); });
    bindCandidateHandlers();
}

查询窗口::~查询窗口() {
    // The record window goes first: its form is owned by this one.
    record_.reset();
}

bool 查询窗口::load() { return form_.load(":/query/forms/查询窗口.ui"); }

采像窗口* 查询窗口::recordWindow() const {
    return record_ && record_->form().isLoaded() ? record_.get() : nullptr;
}

void 查询窗口::dressWindow() {
    if (dressed_) return;
    dressed_ = true;
    form_.setIconFile(":/query/lookup.ico");
    form_.setTuneFile(":/query/tune.mid");
    form_.setTunePlayMode(2);
    form_.setFixedSize();
    form_.setRoundedRegion();
    form_.centreOnScreen();
    form_.button("按钮_校正文本文件").setVisible(false);
    form_.listBox("列表框1").setVisible(false);
}

void 查询窗口::查询窗口_创建完毕() {
    dressWindow();
    数据库密码.clear();
    form_.label("标签1").setCaption(
        gbkText("动态输入是指输入的文字能够动态提示；拼音声母则是指可以只输入声母。"));

    // Told before anything opens it: opening a FIFO would wait for a writer for good, and
    // the defaults in its place would open another data file than the user set.
    if (config::isUnusableFile(paths::configPath())) {
        ui::dialogs::messageBox(config::notRegularFileMessage(paths::configPath()), ui::dialogs::Buttons::Ok,
                                gbkText("严重错误！"));
        ui::endProgram(0);
        return;
    }
    dbname = configValue("dbname");
    if (!dbname.empty()) dbname = paths::resolveDataPath(dbname);
    if (dbname.empty() || !paths::fileExists(dbname)) {
        ui::dialogs::messageBox(gbkText("没有找到数据库，请运行‘设置’程序！"), ui::dialogs::Buttons::Ok,
                                gbkText("严重错误！"));
        ui::endProgram(0);
    }
    数据库扩展名 = datasource::kindOf(dbname);

    searchname1 = configValue("searchname1");
    searchname2 = configValue("searchname2");
    searchname3 = configValue("searchname3");
    for (int k = 1; k <= 10; ++k) displayField(k) = configValue("display" + std::to_string(k));
    标记字段 = configValue("标记字段");
    logo = configValue("logo");
    form_.setCaption(logo);

    显示字段数组.clear();
    for (int k = 1; k <= 10; ++k) 显示字段数组.push_back(displayField(k));
    显示字段数组.push_back(标记字段);

    form_.radio("单选框4").setCaption(radioCaption(searchname1));
    form_.radio("单选框5").setCaption(radioCaption(searchname2));
    form_.radio("单选框6").setCaption(radioCaption(searchname3));

    listTables();
}

void 查询窗口::listTables() {
    const datasource::Kind kind = datasource::kindFromText(数据库扩展名);
    if (kind == datasource::Kind::TextTable) form_.button("按钮_校正文本文件").setVisible(true);
    SourceTables source = listSourceTables(dbname, kind, WorkbookListingVariant::QueryProgram);
    dbname = source.dbname;
    数据库密码 = source.password;
    表名数组 = std::move(source.tables);

    if (表名数组.empty()) {
        ui::dialogs::messageBox(gbkText("怎么尽是倒霉事儿，这个数据库中居然还没有表！"),
                                ui::dialogs::Buttons::Ok, gbkText("信息："));
        return;
    }

    std::vector<std::string> listed;
    for (std::string& entry : 表名数组) {
        // Access keeps its own password tables under these names; they are not for users.
        if (entry == "apw" || entry == "cpw") continue;
        entry = "[" + entry + "]";
        listed.push_back(entry);
    }
    ui::CheckListBox tables = form_.checkList("选择列表框1");
    tables.clear();
    for (size_t k = 0; k < listed.size(); ++k) tables.addItem(listed[k], static_cast<int64_t>(k + 1));
    tables.setChecked(0, true);
    已选表序号 = 0;
    当前表名 = tables.itemText(0);
    form_.label("标签_表名提示").setCaption(gbkText("当前所选表名：") + 当前表名);
    form_.button("按钮1").setFocus();
    form_.setTrayIcon(logo);
}

void 查询窗口::查询窗口_将被销毁() {}

void 查询窗口::查询窗口_托盘事件(int type) {
    if (采像窗口* record = recordWindow(); record && (type == 1 || type == 3)) {
        record->form().showNormal();
        record->form().setTopMost(true);
        record->form().setTopMost(false);
    }
    if (!recordWindow()) {
        form_.showNormal();
        form_.setTopMost(true);
        form_.setTopMost(false);
    }
}

void 查询窗口::按钮1_被单击_查询() {
    // This window hides once the record window has loaded, but a long first fill lets
    // events in while it is still shown; a second search then would delete the record
    // window under its own running fill.
    if (recordWindow()) return;
    ui::EditBox box = form_.edit("编辑框1");
    box.setText(gbk::trim(box.text()));
    查询窗口外部数据库.close();
    const std::string T = gbk::trim(box.text());
    if (T.empty()) return;

    查询条件 = searchCondition(searchRequestFrom(form_, T), 查询条件);

    // A record window left from an earlier search is replaced; its form goes with it.
    record_ = std::make_unique<采像窗口>(*this);
    record_->load();
    // A record window closed by the user during its fill goes once this handler has
    // returned, and its AboutToBeDestroyed then shows this window again. One that could
    // not be loaded leaves this window shown.
    if (record_->form().isLoaded()) form_.setVisible(false);
}

void 查询窗口::按钮1_字符输入_查询(int character) {
    if (character == 13) 按钮1_被单击_查询();
}
void 查询窗口::单选框4_字符输入(int character) {
    if (character == 13) 按钮1_被单击_查询();
}
void 查询窗口::单选框5_字符输入(int character) {
    if (character == 13) 按钮1_被单击_查询();
}
void 查询窗口::单选框6_字符输入(int character) {
    if (character == 13) 按钮1_被单击_查询();
}

void 查询窗口::选择列表框1_列表项被选择() {
    ui::CheckListBox tables = form_.checkList("选择列表框1");
    const int i = tables.currentIndex();
    当前表名 = tables.itemText(i);
    tables.setChecked(已选表序号, false);
    tables.setChecked(i, true);
    已选表序号 = i;
    form_.label("标签_表名提示").setCaption(gbkText("当前所选表名：") + 当前表名);
}

void 查询窗口::配置按钮_被单击() {
    // Whether it could be started does not matter: the question comes either way.
    ui::runAndWait("\"" + paths::programDirectory() + gbkText("/设置") + "\"");
    const auto answer = ui::dialogs::messageBox(gbkText("按 是 重新装载，否则退出程序！"),
                                                ui::dialogs::Buttons::YesNo, gbkText("友情提醒："));
    if (answer == ui::dialogs::Answer::Yes)
        查询窗口_创建完毕();
    else
        form_.destroy();
}

void 查询窗口::选择框1_被单击() {
    if (!form_.checkBox("选择框1").isChecked()) form_.checkBox("选择框3").setChecked(false);
}

void 查询窗口::选择框3_被单击() {
    if (form_.checkBox("选择框3").isChecked()) form_.checkBox("选择框1").setChecked(true);
}

void 查询窗口::选择框2_被单击() {
    form_.setTunePlayMode(form_.checkBox("选择框2").isChecked() ? 0 : 2);
}

void 查询窗口::按钮_校正文本文件_被单击() {
    std::string name;
    if (!表名数组.empty()) name = gbk::replaceAll(gbk::replaceAll(表名数组.front(), "[", ""), "]", "");
    const datasource::Kind kind = datasource::kindFromText(数据库扩展名);
    if (kind != datasource::Kind::TextTable) {
        ui::dialogs::messageBox(gbkText("仅支持扩展名为txt与csv的文件"), ui::dialogs::Buttons::Ok,
                                gbkText("信息："));
        return;
    }
    // The waiting caption is shown while the file is rewritten.
    校正文本文件(dbname + name, repairWindowOf(form_, RepairProgress::ShowCaptionNow));
}

}  // namespace query
