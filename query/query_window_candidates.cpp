// The query window's candidate-list handlers: 编辑框1 and 列表框1 (see candidate_list.h).
// The candidate search runs only while "动态查询(慢)" is ticked; Enter in the search box
// starts the search.
#include "query/globals.h"
#include "query/query_window.h"

namespace query {

void 查询窗口::bindCandidateHandlers() {
    candidates_ = std::make_unique<CandidateList>(
        form_, 查询窗口外部数据库,
        CandidateSetup{"编辑框1", "按钮1", "选择框3", &候选记录集_查询, &上次候选文本_查询,
                       [this] { 按钮1_被单击_查询(); },
                       [this] { return form_.checkBox("选择框1").isChecked(); }});
    form_.on("编辑框1", ui::Event::GotFocus, [this] { 编辑框1_获得焦点(); });
    form_.on("编辑框1", ui::Event::LostFocus, [this] { 编辑框1_失去焦点(); });
    form_.on("编辑框1", ui::Event::ContentChanged, [this] { 编辑框1_内容被改变(); });
    form_.on("编辑框1", ui::Event::KeyReleased, [this](int key) { 编辑框1_放开某键(key); });
    form_.on("列表框1", ui::Event::KeyReleased, [this](int key) { 列表框1_放开某键_查询(key); });
    form_.on("列表框1", ui::Event::LeftButtonReleased, [this] { 列表框1_鼠标左键被放开_查询(); });
    form_.on("列表框1", ui::Event::LostFocus, [this] { 列表框1_失去焦点_查询(); });
}

void 查询窗口::编辑框1_获得焦点() { candidates_->openSource(); }

void 查询窗口::编辑框1_失去焦点() { candidates_->closeSource(); }

void 查询窗口::编辑框1_内容被改变() {
    if (form_.checkBox("选择框1").isChecked()) candidates_->run();
}

void 查询窗口::编辑框1_放开某键(int key) {
    if (key == 13)
        按钮1_被单击_查询();
    else
        candidates_->searchBoxKeyReleased(key);
}

void 查询窗口::列表框1_放开某键_查询(int key) { candidates_->listKeyReleased(key); }

void 查询窗口::列表框1_鼠标左键被放开_查询() { candidates_->listButtonReleased(); }

void 查询窗口::列表框1_失去焦点_查询() { candidates_->listLostFocus(); }

}  // namespace query
