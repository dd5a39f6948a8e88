// The candidate list under a search box, as both search windows run it: the distinct
// values of the chosen search field that begin with the typed text (or, with the pinyin
// option, whose initials begin with the typed text's initials), in a sorted list box the
// user moves into with the arrow keys and takes a value from with Enter, Space or the
// mouse.
//
// The windows' handlers call one CandidateList each; what differs between the windows
// (which controls, whether the change handler runs, what Enter in the search box does)
// stays in the windows.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/database/external_database.h"
#include "platform/ui/form.h"

namespace query {

// The controls and variables of one window's candidate list.
struct CandidateSetup {
    const char* searchBox;     // the edit box typed in
    const char* searchButton;  // the button that starts the window's search
    const char* pinyinOption;  // the check box of the pinyin option
    int* recordSet;            // the window's candidate record-set variable
    std::string* lastRunText;  // the window's last-run text
    std::function<void()> search;  // the window's search (its button's clicked handler)
    std::function<bool()> active;  // whether the window's change handler runs candidates
};

class CandidateList {
public:
    CandidateList(ui::Form& form, db::ExternalDatabase& database, CandidateSetup setup);

    // Got focus of the search box: connects the database, opens the distinct values of
    // the field of the selected radio and puts the caret at the end of the text. Where
    // the window's candidate search is on, the values are read now, so that the first
    // keystroke does not wait for them.
    void openSource();
    // Lost focus of the search box: closes the record set and the database.
    void closeSource();
    // Content changed of the search box: the candidate run.
    void run();
    // Down and Up released in the search box (other keys are the window's).
    void searchBoxKeyReleased(int key);
    // Space, Backspace and Enter released in the list.
    void listKeyReleased(int key);
    // Left button released in the list.
    void listButtonReleased();
    // Lost focus of the list: emptied and hidden.
    void listLostFocus();

private:
    // The values of the window's record set in record order, read once per opening:
    // every run of one opening reads the same rows, so the record set is read, the
    // values' list order found and (once a pinyin run needs them) their initials asked of
    // the library only at the first run that needs them. Null when the set is closed.
    const std::vector<std::string>* values();
    // Hides the list; the focus it holds goes to the search button.
    void hideList();

    ui::Form& form_;
    db::ExternalDatabase& database_;
    CandidateSetup setup_;
    std::vector<std::string> values_;
    std::vector<std::string> initials_;  // values_' initials, empty until a pinyin run
    std::vector<int> listOrder_;  // indices into values_ in the list's sorted order
    std::vector<int> matchNumbers_;  // per run: a value's number among the matches, -1: none
    int valuesOf_ = 0;  // the record set values_ was read from; 0: none
    int atFirstRecord_ = 0;  // the record set openSource left on its first record
    bool initialsRead_ = false;
};

}  // namespace query
