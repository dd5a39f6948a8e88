// Handles to the controls of a loaded form: thin value types over the Qt widgets that
// the .ui file created, with a GBK std::string interface.
//
// A handle is cheap to copy and never owns its widget. When the window has been
// destroyed a handle is dead: setters do nothing and getters give "", 0, false or -1.
// Every text in or out is GBK; control names are UTF-8, as written in the source and the
// .ui files. Setting a value from the program raises no event, except where a function
// says so (EditBox::setText, ReportList::selectRow).
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include <QPointer>
#include <QWidget>

namespace ui {

class Form;

// Any control: geometry, visibility, focus, caption and tag.
class Control {
public:
    Control() = default;
    Control(Form* form, QWidget* widget) : form_(form), widget_(widget) {}

    bool isValid() const { return !widget_.isNull(); }
    // The object name the form gives the control (UTF-8); a copy made at run time has a
    // name of its own.
    std::string name() const;

    // Position relative to the parent control (or the window's client area), in pixels.
    int left() const;
    int top() const;
    int width() const;
    int height() const;
    void setLeft(int x);
    void setTop(int y);
    void setWidth(int w);   // negative sizes count as 0
    void setHeight(int h);
    void setGeometry(int x, int y, int w, int h);

    bool isVisible() const;  // the control's own visibility flag, not its window's
    void setVisible(bool visible);
    bool isEnabled() const;
    void setEnabled(bool enabled);

    // Moves the keyboard focus here. The lost-focus handler of the control that had the
    // focus and then the got-focus handler of this one have run when this returns
    // (the window is made active first when nothing else activated it).
    void setFocus();
    bool hasFocus() const;

    // The caption of a button, check box, radio button, label or group box; the text of
    // an edit or editable combo box (setting an edit box's text this way raises its
    // content-changed event like EditBox::setText).
    std::string caption() const;
    void setCaption(const std::string& text);

    // A free text the program attaches to the control ("" until set).
    std::string tag() const;
    void setTag(const std::string& tag);

    // Font of the control (points, face in GBK); style bits stay as they are.
    int fontSize() const;
    void setFontSize(int points);
    std::string fontFace() const;
    void setFontFace(const std::string& face);

    QWidget* widget() const { return widget_.data(); }
    Form* form() const { return form_; }

protected:
    Form* form_ = nullptr;
    QPointer<QWidget> widget_;
};

// QLineEdit. Content changed: once per setText (also when the text is unchanged, before
// setText returns) and once per change the user makes.
class EditBox : public Control {
public:
    using Control::Control;
    std::string text() const;
    void setText(const std::string& text);
    // Caret (selection start) as a byte offset into the GBK text; an offset inside a
    // two-byte character or beyond the end is moved to the next character boundary.
    int selectionStart() const;
    void setSelectionStart(int bytes);
    bool isReadOnly() const;
    void setReadOnly(bool readOnly);
};

// QPushButton.
class Button : public Control {
public:
    using Control::Control;
};

// QCheckBox. setChecked raises no clicked event.
class CheckBox : public Control {
public:
    using Control::Control;
    bool isChecked() const;
    void setChecked(bool checked);
};

// QRadioButton. Radios with the same parent form one group; the user cannot uncheck the
// checked one. setChecked(true) unchecks the others of the group; no event.
class RadioButton : public Control {
public:
    using Control::Control;
    bool isChecked() const;
    void setChecked(bool checked);
};

// QGroupBox.
class GroupBox : public Control {
public:
    using Control::Control;
};

// QLabel showing text.
class Label : public Control {
public:
    using Control::Control;
};

// A horizontal or vertical line (QFrame with an HLine/VLine shape).
class LineShape : public Control {
public:
    using Control::Control;
};

// QLabel showing a picture.
class PictureBox : public Control {
public:
    using Control::Control;
    enum class Fit { KeepAspect, Stretch };
    // Shows the image in `bytes` (JPEG through libjpeg, else any format Qt reads),
    // fitted into the box: by default scaled to fit keeping its aspect ratio and centred.
    // Bytes that are not a decodable image (none, truncated, garbage) give an empty
    // picture; returns whether an image is shown.
    bool setPicture(const std::string& bytes);
    // The same, read from a file or a Qt resource (":/..."); the path is UTF-8 as written
    // in the source, like Form::load's. A missing file gives an empty picture.
    bool setPictureFile(const std::string& path);
    // Plays an animated picture (GIF) from a file or Qt resource (UTF-8 path), in a loop,
    // unscaled and centred. Returns false (and shows nothing) when it cannot be read.
    bool setAnimation(const std::string& path);
    void clear();
    bool hasPicture() const;
    void setFit(Fit fit);
};

// A panel with a background picture (stretched to the panel's size, also after a resize)
// over which child controls, such as a marker picture box, can be moved.
class DrawingBoard : public Control {
public:
    using Control::Control;
    bool setPicture(const std::string& bytes);
    bool setPictureFile(const std::string& path);
};

// QComboBox, drop-down list or editable (as the form says). Selecting from the program
// raises no item-selected event; the user's choice raises it.
class ComboBox : public Control {
public:
    using Control::Control;
    int count() const;
    void clear();  // removes the items; an editable box keeps its typed text
    // Appends an item; its item value defaults to its position (as for the form's items).
    void addItem(const std::string& text);
    void addItem(const std::string& text, int64_t value);
    std::string itemText(int index) const;  // "" out of range
    int64_t itemValue(int index) const;     // -1 out of range
    // The selected position: -1 when nothing is selected.
    int currentIndex() const;
    // Clamped: above the last item selects the last item; -1 or below selects nothing.
    void setCurrentIndex(int index);
    // The value of the selected item, -1 when nothing is selected.
    int64_t currentValue() const;
    // The box's text: the typed text of an editable box, the selected item's otherwise.
    std::string text() const;
    // Sets an editable box's text (no event); selects the first item with this text in a
    // drop-down list (nothing selected when there is none).
    void setText(const std::string& text);
    // First item whose text equals `text` exactly, -1 when none.
    int findItem(const std::string& text) const;
};

// QListWidget as a list box, unsorted or sorted (sorted when the .ui sets the
// "sortingEnabled" property). A sorted list keeps its items in Chinese (pinyin) order,
// case-insensitive, whatever order they are added in.
class ListBox : public Control {
public:
    using Control::Control;
    int count() const;
    void clear();
    // Adds an item (at the end, or at its sorted place); returns its index.
    int addItem(const std::string& text, int64_t data = 0);
    // Adds texts[k] with item data firstData + k, for every k: the same items in the same
    // places as adding them one by one, faster for many.
    void addItems(std::span<const std::string> texts, int64_t firstData = 0);
    // The order this list would hold texts in: order[k] is the index in texts of the k-th
    // item, equal texts in the order given (an unsorted list keeps the order given). A
    // caller that adds subsets of one set of texts many times computes it once.
    std::vector<int> sortOrder(std::span<const std::string> texts) const;
    // Adds texts[k] with item data data[k], the texts already in this list's order (as
    // sortOrder gives it): into an empty list they are appended without comparisons; into
    // a list with items each goes to its place as addItem puts it. From then on the
    // list lays its rows out as of equal size.
    void addItemsInOrder(std::span<const std::string> texts, std::span<const int64_t> data);
    std::string itemText(int index) const;  // "" out of range
    int64_t itemData(int index) const;      // 0 out of range
    // The chosen item, -1 when none; already the new one inside an item-selected handler.
    int currentIndex() const;
    // Selects index (no event); out of range selects nothing.
    void setCurrentIndex(int index);
    bool isSorted() const;
};

// QListWidget whose items carry check marks (one current item).
// Count, items, item data and the current item work as in ListBox.
class CheckListBox : public ListBox {
public:
    using ListBox::ListBox;
    // Adds an item with an empty check mark at the end; returns its index.
    int addItem(const std::string& text, int64_t data = 0);
    // Sets or clears the check mark of the item at index; outside the list does nothing.
    void setChecked(int index, bool checked);
    bool isChecked(int index) const;  // false out of range
};

// QTabWidget. Setting the page from the program shows it and raises no page-changed event.
class TabControl : public Control {
public:
    using Control::Control;
    int currentPage() const;
    void setCurrentPage(int page);
    int pageCount() const;
};

// QProgressBar. A position above the maximum shows a full bar, below the minimum an
// empty one; position() gives back what was set.
class ProgressBar : public Control {
public:
    using Control::Control;
    void setRange(int minimum, int maximum);
    void setMinimum(int minimum);
    void setMaximum(int maximum);
    int minimum() const;
    int maximum() const;
    void setPosition(int position);
    int position() const;
};

// Report-style list view (a QTableView over the runtime's own table model): columns with
// caption, width and alignment; rows of text cells, kept in insertion order until
// sortRows. Rows and columns count from 0. Full-row, single selection; the selection
// stays visible when the list does not have the focus.
class ReportList : public Control {
public:
    using Control::Control;
    enum class Align { Left, Centre, Right };

    int columnCount() const;
    // Appends a column.
    void addColumn(const std::string& caption, int width, Align align = Align::Left);
    void removeAllColumns();  // also deletes all rows
    std::string columnCaption(int column) const;

    int rowCount() const;
    // Inserts a row of empty cells at `row` (at the end when row >= rowCount, at 0 when
    // below 0); returns the index it got. Rows after it move down.
    int insertRow(int row);
    // Appends a row holding `texts` (GBK), texts[c] in column c: the same as
    // insertRow(rowCount()) and one setCellText per column, without a call per cell.
    // Texts beyond the last column are dropped, missing ones leave empty cells. Returns
    // the row's index (-1 when the list is gone).
    int appendRow(std::vector<std::string>&& texts);
    // The same with copies of `texts`: a fill can keep one set of strings for every row
    // and so build no strings per row.
    int appendRow(std::span<const std::string> texts);
    // Removes every row; raises no current-row event.
    void deleteAllRows();
    // Replaces a cell's text; a cell that does not exist is left alone.
    void setCellText(int row, int column, const std::string& text);
    // The cell's whole text; "" when row or column does not exist (also -1).
    std::string cellText(int row, int column) const;

    // The selected row, -1 when none.
    int currentRow() const;
    // Selects row and gives it the focus state, which raises current-row-changed (when
    // it was not already current). Out of range clears the selection (no event).
    void selectRow(int row);
    // The list handles the key as if pressed in it: 40 Down / 38 Up move the selection
    // one row (nothing at the last / first row; the first row when none is selected),
    // 36 Home / 35 End to the first / last row, 33/34 by a page; each move raises
    // current-row-changed. Other keys do nothing.
    void keyDown(int windowsKeyCode);

    // Per-row application value, carried along when rows move (0 when never set or out of
    // range).
    void setRowValue(int row, intptr_t value);
    intptr_t rowValue(int row) const;
    // Reorders the rows with compare(value of row a, value of row b): negative when a
    // goes first. Stable. The selected row stays selected (it may move); no event.
    void sortRows(const std::function<int(intptr_t, intptr_t)>& compare);

    // Text colour 0x00BBGGRR.
    uint32_t textColour() const;
    void setTextColour(uint32_t colour);
};

}  // namespace ui
