// The settings window 设置程序窗口: one tab control with the pages "基本设置" (data file,
// program title, photo and video sizes, caption mark) and "搜索与显示设置" (the data
// file's tables and the 14 field choices). It reads quillmar.ini when it opens, and
// "确定" writes the 27 keys it owns back; "取消" or closing the window writes nothing.
#pragma once

#include <string>
#include <vector>

#include "platform/ui/form.h"
#include "settings/photo_page.h"

namespace settings {

class 设置程序窗口 {
public:
    设置程序窗口();
    设置程序窗口(const 设置程序窗口&) = delete;
    设置程序窗口& operator=(const 设置程序窗口&) = delete;

    // Loads the form; its created handler runs inside. False when the form cannot be read
    // (form().loadError() says why when a binding failed).
    bool load();
    ui::Form& form() { return form_; }

    void 设置程序窗口_创建完毕();
    // Reads the 27 keys into the configuration variables, each with this program's default.
    void 读取配置();
    // Writes the 27 keys and closes the window; when quillmar.ini cannot be written it
    // says so and stays open, the file unchanged.
    void 按钮_确定_被单击();
    void 按钮1_被单击_设置();

    // Resolves the typed path, decides the kind, repairs a text file, lists the tables.
    void 文件名编辑框_数据库位置_内容被改变();
    void 按钮_打开_被单击();
    void 按钮_下一步_被单击();
    // Checks the path; on page 1 lays out one radio per table and shows table 1's fields.
    void 选择夹1_子夹被改变();

    // A table radio: lists that table's fields into the 14 boxes.
    void 单选框1_被单击();
    // Refills the 14 boxes and the field list from 字段名数组, then 选中已存字段; with no
    // field to offer the boxes show the saved names instead.
    void 填充字段组合框();
    // Selects in each box the first item that begins with the value read at start-up.
    void 选中已存字段();

private:
    // The field names of table k (1-based) by the data-source kind into 字段名数组; a
    // component message is shown once.
    void listFields(int k);
    // The table radios for 表名数组 (单选框1 and its copies); with no table none is shown.
    void layOutTableRadios();
    // Each of the 14 boxes shows the name saved for it, without items.
    void showSavedFieldNames();

    ui::Form form_;
    // Page 0's photo sizes and caption mark.
    PhotoPage photoPage_{form_};
    // Copies of 单选框1 made so far; a later visit reuses them and hides the ones it does
    // not need, so that every radio that can be clicked names a table of the current list.
    std::vector<ui::RadioButton> tableRadios_;
    // The file-open dialog offers the last file confirmed in it.
    std::string lastChosenFile_;
    // Why the data file's tables could not be listed (GBK), told when the page of tables
    // is shown empty; cleared on every change of the path.
    std::string listingError_;
};

}  // namespace settings
