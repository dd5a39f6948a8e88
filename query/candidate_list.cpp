// The candidate list of a search window (see candidate_list.h).
#include "query/candidate_list.h"

#include <algorithm>

#include "text/gbk_text.h"
#include "query/globals.h"
#include "query/pinyin_reading.h"
#include "query/record_connection.h"

namespace query {
namespace {

constexpr int kEnter = 13, kBackspace = 8, kSpace = 32, kUp = 38, kDown = 40;

}  // namespace

CandidateList::CandidateList(ui::Form& form, db::ExternalDatabase& database, CandidateSetup setup)
    : form_(form), database_(database), setup_(std::move(setup)) {}

void CandidateList::openSource() {
    openRecordConnection(database_, 数据库扩展名, dbname, 数据库密码);
    const std::string* fields[] = {&searchname1, &searchname2, &searchname3};
    const char* radios[] = {"单选框4", "单选框5", "单选框6"};
    for (int k = 0; k < 3; ++k) {
        if (!form_.radio(radios[k]).isChecked()) continue;
        // The field goes in as configured, without brackets: a name with a space fails
        // here and the list stays empty.
        *setup_.recordSet = database_.openRecordSet("select DISTINCT " + *fields[k] + " from " + 当前表名);
        database_.moveFirst(*setup_.recordSet);
        atFirstRecord_ = *setup_.recordSet;
    }
    values_.clear();
    valuesOf_ = 0;
    if (setup_.active()) values();
    ui::EditBox box = form_.edit(setup_.searchBox);
    box.setSelectionStart(static_cast<int>(box.text().size()));
}

void CandidateList::closeSource() {
    database_.closeRecordSet(*setup_.recordSet);
    database_.close();
    values_.clear();
    valuesOf_ = 0;
}

const std::vector<std::string>* CandidateList::values() {
    const int set = *setup_.recordSet;
    // A closed record set (its search box has lost the focus, or the search closed the
    // database) is at its end: no candidates.
    if (database_.fieldCount(set) == 0) return nullptr;
    if (valuesOf_ != set) {
        values_.clear();
        initials_.clear();
        initialsRead_ = false;
        std::string text;
        // Moving to the first record runs the statement again; just opened, it is there.
        if (atFirstRecord_ != set) database_.moveFirst(set);
        atFirstRecord_ = 0;
        for (; !database_.atEnd(set); database_.moveNext(set)) {
            database_.fieldText(set, 1, text);
            values_.push_back(text);
        }
        // Every run lists a subset of these values; a subset of the sorted values keeps
        // their order, so each run hands the list its matches already sorted.
        listOrder_ = form_.listBox("列表框1").sortOrder(values_);
        valuesOf_ = set;
    }
    return &values_;
}

void CandidateList::run() {
    ui::EditBox box = form_.edit(setup_.searchBox);
    ui::ListBox list = form_.listBox("列表框1");
    const std::string t = box.text();
    if (t.empty()) {
        list.clear();
        hideList();
        return;
    }
    if (gbk::trim(t) == *setup_.lastRunText) return;

    list.setVisible(true);
    list.clear();
    const std::vector<std::string>* all = values();
    if (all && !all->empty()) {
        const bool pinyin = form_.checkBox(setup_.pinyinOption).isChecked();
        // Without the option the text is matched as typed, spaces included; with it the
        // typed text's initials, asked of the library only when there is a value to match.
        const std::string a = pinyin ? 取拼音(box.text()) : t;
        if (pinyin && !initialsRead_) {
            initials_.clear();
            initials_.reserve(values_.size());
            for (const std::string& v : values_) initials_.push_back(取拼音(v));
            initialsRead_ = true;
        }
        const std::vector<std::string>& keys = pinyin ? initials_ : values_;
        // Item data: the match's number in record order.
        matchNumbers_.assign(values_.size(), -1);
        int n = 0;
        for (size_t k = 0; k < keys.size(); ++k)
            if (gbk::beginsWith(keys[k], a)) matchNumbers_[k] = n++;
        std::vector<std::string> texts;
        std::vector<int64_t> data;
        texts.reserve(static_cast<size_t>(n));
        data.reserve(static_cast<size_t>(n));
        for (int k : listOrder_) {
            const int number = matchNumbers_[static_cast<size_t>(k)];
            if (number < 0) continue;
            texts.push_back(values_[static_cast<size_t>(k)]);
            data.push_back(number);
        }
        list.addItemsInOrder(texts, data);
    }
    if (list.count() == 0) hideList();
    *setup_.lastRunText = gbk::trim(box.text());
}

void CandidateList::hideList() {
    ui::ListBox list = form_.listBox("列表框1");
    // A list that hides while it holds the focus (its own Space or Enter put in a text
    // that finds nothing) hands it to the search button, where its keys send it. Left to
    // itself the focus would move on to the next control, the record sheet, and the
    // following keys would overwrite the record shown there.
    if (list.hasFocus()) form_.button(setup_.searchButton).setFocus();
    list.setVisible(false);
}

void CandidateList::searchBoxKeyReleased(int key) {
    ui::ListBox list = form_.listBox("列表框1");
    const int n = list.count();
    if (key == kDown) {
        const int s = list.currentIndex();
        if (s == n - 1) return;
        list.setCurrentIndex(s + 1);
        list.setFocus();
    } else if (key == kUp) {
        list.setCurrentIndex(n - 1);
        // An empty list is hidden, and a hidden control cannot hold the focus: the box
        // would keep it and the focus would move on by itself once the list appeared,
        // into the record sheet, where the next keys overwrite what it shows. Shown empty,
        // the list takes the keys (Space, Enter, Backspace) and hides when it loses them.
        if (n == 0) list.setVisible(true);
        list.setFocus();
    }
}

void CandidateList::listKeyReleased(int key) {
    ui::ListBox list = form_.listBox("列表框1");
    if (key == kSpace) {
        form_.edit(setup_.searchBox).setText(list.itemText(list.currentIndex()));
        form_.button(setup_.searchButton).setFocus();
    } else if (key == kBackspace) {
        form_.edit(setup_.searchBox).setFocus();
    } else if (key == kEnter) {
        form_.edit(setup_.searchBox).setText(list.itemText(list.currentIndex()));
        setup_.search();
    }
}

void CandidateList::listButtonReleased() {
    ui::ListBox list = form_.listBox("列表框1");
    form_.edit(setup_.searchBox).setText(list.itemText(list.currentIndex()));
    list.setVisible(false);
    form_.button(setup_.searchButton).setFocus();
}

void CandidateList::listLostFocus() {
    ui::ListBox list = form_.listBox("列表框1");
    list.clear();
    list.setVisible(false);
}

}  // namespace query
