// The query window, the program's main window: it reads the configuration, opens the data
// file and lists its tables, takes the search (table, field, options, text), opens the
// record window on it and hides until that window closes. It also starts the settings
// program and reloads afterwards, keeps the notification-area icon, plays the tune and
// repairs a TAB-separated text data file.
#pragma once

#include <memory>

#include "platform/database/external_database.h"
#include "platform/ui/form.h"
#include "query/candidate_list.h"

namespace query {

class 采像窗口;

class 查询窗口 {
public:
    查询窗口();
    ~查询窗口();
    查询窗口(const 查询窗口&) = delete;
    查询窗口& operator=(const 查询窗口&) = delete;

    // Loads the form; its created handler runs inside. False when the form cannot be read.
    bool load();
    ui::Form& form() { return form_; }
    // The record window while it is loaded, else null.
    采像窗口* recordWindow() const;

    // The candidate lists' connection (both windows use it).
    db::ExternalDatabase 查询窗口外部数据库;

    // Reads the configuration and the data file's tables (also a reload). A missing data
    // file ends the program with exit code 0 after its message.
    void 查询窗口_创建完毕();
    void 查询窗口_将被销毁();
    void 查询窗口_托盘事件(int type);
    void 按钮1_被单击_查询();
    void 按钮1_字符输入_查询(int character);
    void 单选框4_字符输入(int character);
    void 单选框5_字符输入(int character);
    void 单选框6_字符输入(int character);
    void 选择列表框1_列表项被选择();
    void 配置按钮_被单击();
    void 选择框1_被单击();
    void 选择框3_被单击();
    void 选择框2_被单击();
    void 按钮_校正文本文件_被单击();

    // The candidate list under 编辑框1 (query_window_candidates.cpp).
    void 编辑框1_获得焦点();
    void 编辑框1_失去焦点();
    void 编辑框1_内容被改变();
    void 编辑框1_放开某键(int key);
    void 列表框1_放开某键_查询(int key);
    void 列表框1_鼠标左键被放开_查询();
    void 列表框1_失去焦点_查询();

private:
    // Icon, tune, outline and the controls' opening state: once, at the first creation.
    void dressWindow();
    // The table step of the creation: password, listing, brackets, the check-list box.
    void listTables();
    void bindCandidateHandlers();

    // Before the form: handlers that the form's teardown may still run find it alive.
    std::unique_ptr<CandidateList> candidates_;
    ui::Form form_;
    std::unique_ptr<采像窗口> record_;
    bool dressed_ = false;
};

}  // namespace query
