// The record window's candidate-list handlers: 查询编辑框 and 列表框1 (see
// candidate_list.h). Enter in the search box starts the second search and hides the list.
#include "query/globals.h"
#include "query/query_window.h"
#include "query/record_window.h"

namespace query {

void 采像窗口::bindCandidateHandlers() {
    // The candidates come through the query window's component, the one both windows share.
    candidates_ = std::make_unique<CandidateList>(
        form_, owner_.查询窗口外部数据库,
        CandidateSetup{"查询编辑框", "查询按钮", "声母查询选择框", &候选记录集_采像, &上次候选文本_采像,
                       [this] { 查询按钮_被单击(); }, [] { return true; }});
    form_.on("查询编辑框", ui::Event::GotFocus, [this] { 查询编辑框_获得焦点(); });
    form_.on("查询编辑框", ui::Event::LostFocus, [this] { 查询编辑框_失去焦点(); });
    form_.on("查询编辑框", ui::Event::ContentChanged, [this] { 查询编辑框_内容被改变(); });
    form_.on("查询编辑框", ui::Event::KeyReleased, [this](int key) { 查询编辑框_放开某键(key); });
    form_.on("列表框1", ui::Event::KeyReleased, [this](int key) { 列表框1_放开某键_采像(key); });
    form_.on("列表框1", ui::Event::LeftButtonReleased, [this] { 列表框1_鼠标左键被放开_采像(); });
    form_.on("列表框1", ui::Event::LostFocus, [this] { 列表框1_失去焦点_采像(); });
}

void 采像窗口::查询编辑框_获得焦点() { candidates_->openSource(); }

void 采像窗口::查询编辑框_失去焦点() { candidates_->closeSource(); }

void 采像窗口::查询编辑框_内容被改变() { candidates_->run(); }

void 采像窗口::查询编辑框_放开某键(int key) {
    if (key == 13) {
        查询按钮_被单击();
        form_.listBox("列表框1").setVisible(false);
    } else {
        candidates_->searchBoxKeyReleased(key);
    }
}

void 采像窗口::列表框1_放开某键_采像(int key) { candidates_->listKeyReleased(key); }

void 采像窗口::列表框1_鼠标左键被放开_采像() { candidates_->listButtonReleased(); }

void 采像窗口::列表框1_失去焦点_采像() { candidates_->listLostFocus(); }

}  // namespace query
