// The record window: the hits of a search in the result list, the record sheet and photo
// of the current row, a second search of its own, stepping through the rows and the list
// font. It belongs to the query window, which stays hidden until this window closes.
#pragma once

#include "platform/database/external_database.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/form.h"
#include "query/candidate_list.h"

namespace query {

class 查询窗口;

class 采像窗口 {
public:
    explicit 采像窗口(查询窗口& owner);
    采像窗口(const 采像窗口&) = delete;
    采像窗口& operator=(const 采像窗口&) = delete;

    // Loads the form owned by the query window; the created handler runs the search of
    // `当前表名` and `查询条件` and fills the list before this returns.
    bool load();
    ui::Form& form() { return form_; }

    // The result list's connection; each search opens it again.
    db::ExternalDatabase 外部数据库1;

    void 采像窗口_创建完毕();
    void 采像窗口_将被销毁();
    void 置单选框标题();
    // Fill the list from `结果记录集`; the second drops one leading "'" of every value.
    void 填充列表();
    void 填充列表_去单引号();
    void list_当前行被改变();
    void list_被单击();
    void 查询按钮_被单击();
    void 查询按钮_按下某键(int key);
    void 下一记录按钮_被单击();
    void 上一记录按钮_被单击();
    void 按钮_listset_被单击();
    // Sorting (result_sort.cpp) and the export (list_export.cpp).
    void list_表头被单击(int column);
    void 按钮_导出列表_被单击();

    // The candidate list under 查询编辑框 (record_window_candidates.cpp).
    void 查询编辑框_获得焦点();
    void 查询编辑框_失去焦点();
    void 查询编辑框_内容被改变();
    void 查询编辑框_放开某键(int key);
    void 列表框1_放开某键_采像(int key);
    void 列表框1_鼠标左键被放开_采像();
    void 列表框1_失去焦点_采像();

private:
    // Opens the result record set of 查询条件 on a new connection. A failed statement
    // leaves the list empty; when the data file itself could not be read (missing,
    // unreadable, damaged) the user is also told why, so that it is not taken for
    // "no match".
    void openResults();
    void fillList(bool dropLeadingApostrophe);
    void bindCandidateHandlers();

    查询窗口& owner_;
    // Before the form: handlers that the form's teardown may still run find it alive.
    std::unique_ptr<CandidateList> candidates_;
    ui::Form form_;
    // Kept between font dialogs so the style bits the user chose come back.
    ui::dialogs::FontChoice listFont_;
    bool filling_ = false;
};

}  // namespace query
