// The control handles: geometry, captions and the per-kind operations, each a thin layer
// over the Qt widget with GBK text at the edge.
#include "platform/ui/controls.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCollator>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTableView>

#include <algorithm>

#include "text/codepage.h"
#include "platform/ui/colour_ref.h"
#include "platform/ui/form.h"
#include "platform/ui/form_private.h"
#include "platform/ui/report_model.h"

namespace ui {

namespace {

constexpr int kDataRole = Qt::UserRole + 1;

QString q(const std::string& gbk) { return codepage::toQString(gbk); }
std::string g(const QString& text) { return codepage::fromQString(text); }

void fireContentChanged(Form* form, QWidget* w) {
    if (form) form->impl()->fire(w, Event::ContentChanged);
}

}  // namespace

// --- Control ---

std::string Control::name() const { return widget_ ? widget_->objectName().toStdString() : std::string(); }
int Control::left() const { return widget_ ? widget_->x() : 0; }
int Control::top() const { return widget_ ? widget_->y() : 0; }
int Control::width() const { return widget_ ? widget_->width() : 0; }
int Control::height() const { return widget_ ? widget_->height() : 0; }
void Control::setLeft(int x) { if (widget_) widget_->move(x, widget_->y()); }
void Control::setTop(int y) { if (widget_) widget_->move(widget_->x(), y); }
void Control::setWidth(int w) { if (widget_) widget_->resize(std::max(0, w), widget_->height()); }
void Control::setHeight(int h) { if (widget_) widget_->resize(widget_->width(), std::max(0, h)); }

void Control::setGeometry(int x, int y, int w, int h) {
    if (widget_) widget_->setGeometry(x, y, std::max(0, w), std::max(0, h));
}

bool Control::isVisible() const { return widget_ && !widget_->isHidden(); }
void Control::setVisible(bool visible) { if (widget_) widget_->setVisible(visible); }
bool Control::isEnabled() const { return widget_ && widget_->isEnabled(); }
void Control::setEnabled(bool enabled) { if (widget_) widget_->setEnabled(enabled); }

void Control::setFocus() {
    if (!widget_) return;
    // Focus events are synchronous only in the active window; where the window system
    // has not activated ours, the runtime does.
    QWidget* top = widget_->window();
    if (top->isVisible() && QApplication::activeWindow() != top) activateWindow(top);
    widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::hasFocus() const {
    if (!widget_) return false;
    QWidget* focus = QApplication::focusWidget();
    if (focus == widget_) return true;
    // An editable combo box has the focus through its line edit.
    return focus && qobject_cast<QComboBox*>(widget_.data()) && widget_->isAncestorOf(focus);
}

std::string Control::caption() const {
    QWidget* w = widget_;
    if (!w) return {};
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return g(b->text());
    if (auto* l = qobject_cast<QLabel*>(w)) return g(l->text());
    if (auto* gb = qobject_cast<QGroupBox*>(w)) return g(gb->title());
    if (auto* e = qobject_cast<QLineEdit*>(w)) return g(e->text());
    if (auto* c = qobject_cast<QComboBox*>(w)) return g(c->currentText());
    if (w->isWindow()) return g(w->windowTitle());
    return {};
}

void Control::setCaption(const std::string& text) {
    QWidget* w = widget_;
    if (!w) return;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) b->setText(q(text));
    else if (auto* l = qobject_cast<QLabel*>(w)) l->setText(q(text));
    else if (auto* gb = qobject_cast<QGroupBox*>(w)) gb->setTitle(q(text));
    else if (qobject_cast<QLineEdit*>(w)) EditBox(form_, w).setText(text);
    else if (auto* c = qobject_cast<QComboBox*>(w)) ComboBox(form_, c).setText(text);
}

std::string Control::tag() const {
    return widget_ ? widget_->property("lookupTag").toByteArray().toStdString() : std::string();
}

void Control::setTag(const std::string& tag) {
    if (widget_) widget_->setProperty("lookupTag", QByteArray::fromStdString(tag));
}

int Control::fontSize() const {
    return widget_ ? std::max(0, widget_->font().pointSize()) : 0;
}

void Control::setFontSize(int points) {
    if (!widget_ || points <= 0) return;
    QFont font = widget_->font();
    font.setPointSize(points);
    widget_->setFont(font);
}

std::string Control::fontFace() const { return widget_ ? g(widget_->font().family()) : std::string(); }

void Control::setFontFace(const std::string& face) {
    if (!widget_ || face.empty()) return;
    QFont font = widget_->font();
    font.setFamily(q(face));
    widget_->setFont(font);
}

// --- EditBox ---

namespace {
QLineEdit* lineEdit(QWidget* w) { return qobject_cast<QLineEdit*>(w); }

// Character position of a byte offset into the GBK form of `text`, rounded up to the
// next character boundary.
int charPosition(const QString& text, int bytes) {
    int used = 0, pos = 0;
    while (pos < text.size() && used < bytes) {
        const int len = (pos + 1 < text.size() && text[pos].isHighSurrogate()) ? 2 : 1;
        used += static_cast<int>(codepage::fromQString(text.mid(pos, len)).size());
        pos += len;
    }
    return pos;
}
}  // namespace

std::string EditBox::text() const {
    QLineEdit* e = lineEdit(widget_);
    return e ? g(e->text()) : std::string();
}

void EditBox::setText(const std::string& text) {
    QLineEdit* e = lineEdit(widget_);
    if (!e) return;
    e->setText(q(text));
    // Qt leaves the caret after the last character and scrolls a long text to its end; a
    // filled-in value is read from its start, so the caret goes there (before the handler,
    // which may move it).
    e->setCursorPosition(0);
    // Set by the program: content changed once, now, even when nothing changed.
    fireContentChanged(form_, widget_);
}

int EditBox::selectionStart() const {
    QLineEdit* e = lineEdit(widget_);
    if (!e) return 0;
    const int pos = e->hasSelectedText() ? e->selectionStart() : e->cursorPosition();
    return static_cast<int>(codepage::fromQString(e->text().left(pos)).size());
}

void EditBox::setSelectionStart(int bytes) {
    QLineEdit* e = lineEdit(widget_);
    if (!e) return;
    e->setCursorPosition(charPosition(e->text(), std::max(0, bytes)));
}

bool EditBox::isReadOnly() const { return lineEdit(widget_) && lineEdit(widget_)->isReadOnly(); }
void EditBox::setReadOnly(bool readOnly) { if (auto* e = lineEdit(widget_)) e->setReadOnly(readOnly); }

// --- CheckBox / RadioButton ---

namespace {
bool checkedOf(QWidget* w) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    return b && b->isChecked();
}
void setCheckedOf(QWidget* w, bool checked) {
    auto* b = qobject_cast<QAbstractButton*>(w);
    if (!b) return;
    const QSignalBlocker quiet(b);
    b->setChecked(checked);
}
}  // namespace

bool CheckBox::isChecked() const { return checkedOf(widget_); }
void CheckBox::setChecked(bool checked) { setCheckedOf(widget_, checked); }
bool RadioButton::isChecked() const { return checkedOf(widget_); }
void RadioButton::setChecked(bool checked) { setCheckedOf(widget_, checked); }

// --- ComboBox ---

namespace {
QComboBox* comboOf(QWidget* w) { return qobject_cast<QComboBox*>(w); }
}

int ComboBox::count() const { return comboOf(widget_) ? comboOf(widget_)->count() : 0; }

void ComboBox::clear() {
    QComboBox* c = comboOf(widget_);
    if (!c) return;
    const QSignalBlocker quiet(c);
    const QString typed = c->isEditable() ? c->currentText() : QString();
    c->clear();
    if (c->isEditable()) c->setEditText(typed);
}

void ComboBox::addItem(const std::string& text) { addItem(text, count()); }

void ComboBox::addItem(const std::string& text, int64_t value) {
    QComboBox* c = comboOf(widget_);
    if (!c) return;
    const QSignalBlocker quiet(c);
    // A drop-down list selects nothing until told to (Qt would select the first item).
    const int before = c->currentIndex();
    const QString typed = c->currentText();
    c->addItem(q(text), QVariant::fromValue<qlonglong>(value));
    if (before < 0) {
        c->setCurrentIndex(-1);
        if (c->isEditable()) c->setEditText(typed);
    }
}

std::string ComboBox::itemText(int index) const {
    QComboBox* c = comboOf(widget_);
    return c && index >= 0 && index < c->count() ? g(c->itemText(index)) : std::string();
}

int64_t ComboBox::itemValue(int index) const {
    QComboBox* c = comboOf(widget_);
    if (!c || index < 0 || index >= c->count()) return -1;
    // Items listed in a form carry no data: their value is their position, as for addItem.
    const QVariant data = c->itemData(index);
    return data.isValid() ? data.toLongLong() : index;
}

int ComboBox::currentIndex() const { return comboOf(widget_) ? comboOf(widget_)->currentIndex() : -1; }

void ComboBox::setCurrentIndex(int index) {
    QComboBox* c = comboOf(widget_);
    if (!c) return;
    const QSignalBlocker quiet(c);
    if (index < 0 || c->count() == 0) c->setCurrentIndex(-1);
    else c->setCurrentIndex(std::min(index, c->count() - 1));
}

int64_t ComboBox::currentValue() const { return itemValue(currentIndex()); }

std::string ComboBox::text() const { return comboOf(widget_) ? g(comboOf(widget_)->currentText()) : std::string(); }

void ComboBox::setText(const std::string& text) {
    QComboBox* c = comboOf(widget_);
    if (!c) return;
    const QSignalBlocker quiet(c);
    if (c->isEditable()) {
        c->setEditText(q(text));
        if (QLineEdit* e = c->lineEdit()) e->setCursorPosition(0);  // the start shows, as in an edit box
    }
    else c->setCurrentIndex(c->findText(q(text), Qt::MatchExactly | Qt::MatchCaseSensitive));
}

int ComboBox::findItem(const std::string& text) const {
    QComboBox* c = comboOf(widget_);
    return c ? c->findText(q(text), Qt::MatchExactly | Qt::MatchCaseSensitive) : -1;
}

// --- ListBox / CheckListBox ---

namespace {
QListWidget* listOf(QWidget* w) { return qobject_cast<QListWidget*>(w); }

// Windows keeps a sorted list box in the user's collation: for Chinese, letters and
// digits first (without regard to case), then characters in pinyin order. ICU's Chinese
// collation alone would put the characters first.
const QCollator& listCollator() {
    static const QCollator collator = [] {
        QCollator c(QLocale(QLocale::Chinese, QLocale::China));
        c.setCaseSensitivity(Qt::CaseInsensitive);
        return c;
    }();
    return collator;
}

bool startsWide(const QString& text) { return !text.isEmpty() && text[0].unicode() >= 0x80; }

int compareListTexts(const QString& a, const QString& b) {
    const bool aWide = startsWide(a);
    const bool bWide = startsWide(b);
    if (aWide != bWide) return aWide ? 1 : -1;
    return listCollator().compare(a, b);
}

int addTo(QListWidget* list, const std::string& text, int64_t data, bool checkable) {
    const QSignalBlocker quiet(list);
    const QString t = q(text);
    auto* item = new QListWidgetItem(t);
    item->setData(kDataRole, QVariant::fromValue<qlonglong>(data));
    if (checkable) {
        // The program alone sets the marks; the user chooses items.
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setCheckState(Qt::Unchecked);
    }
    int row = list->count();
    if (list->property("lookupSorted").toBool()) {
        // After the last item that does not sort after it, as a Windows list box does.
        int lo = 0, hi = list->count();
        while (lo < hi) {
            const int mid = (lo + hi) / 2;
            if (compareListTexts(list->item(mid)->text(), t) <= 0) lo = mid + 1;
            else hi = mid;
        }
        row = lo;
    }
    list->insertItem(row, item);
    return row;
}

// The texts as QStrings, as q() gives each. Opening the codec costs more than decoding a
// short text, so the texts are decoded together, each ended by a zero byte (a one-byte
// character that no GBK character contains); a text the joined decoding does not give
// back one for one is decoded on its own.
QStringList decodeAll(std::span<const std::string> texts) {
    std::string joined;
    size_t bytes = 0;
    for (const std::string& t : texts) bytes += t.size() + 1;
    joined.reserve(bytes);
    for (const std::string& t : texts) {
        joined += t;
        joined += '\0';
    }
    QStringList parts = q(joined).split(QChar(0));
    if (!parts.isEmpty()) parts.removeLast();  // after the last zero byte
    if (static_cast<size_t>(parts.size()) != texts.size()) {
        parts.clear();
        parts.reserve(static_cast<qsizetype>(texts.size()));
        for (const std::string& t : texts) parts.push_back(q(t));
    }
    return parts;
}

bool sortedList(QListWidget* list) {
    // Qt's own sorting would reorder by code points; the runtime keeps the order itself.
    if (list->isSortingEnabled()) {
        list->setSortingEnabled(false);
        list->setProperty("lookupSorted", true);
    }
    return list->property("lookupSorted").toBool();
}
}  // namespace

int ListBox::count() const { return listOf(widget_) ? listOf(widget_)->count() : 0; }

void ListBox::clear() {
    if (QListWidget* l = listOf(widget_)) {
        const QSignalBlocker quiet(l);
        l->clear();
    }
}

int ListBox::addItem(const std::string& text, int64_t data) {
    QListWidget* l = listOf(widget_);
    if (!l) return -1;
    sortedList(l);
    return addTo(l, text, data, false);
}

void ListBox::addItems(std::span<const std::string> texts, int64_t firstData) {
    const std::vector<int> order = sortOrder(texts);
    std::vector<std::string> ordered;
    std::vector<int64_t> data;
    ordered.reserve(order.size());
    data.reserve(order.size());
    for (int k : order) {
        ordered.push_back(texts[static_cast<size_t>(k)]);
        data.push_back(firstData + k);
    }
    addItemsInOrder(ordered, data);
}

std::vector<int> ListBox::sortOrder(std::span<const std::string> texts) const {
    std::vector<int> order(texts.size());
    for (size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
    QListWidget* l = listOf(widget_);
    if (!l || !sortedList(l)) return order;
    // One stable sort on collation keys puts the texts where adding them one by one would
    // (after every item that does not sort after them), without a collator comparison per
    // step of a binary search.
    struct Key {
        bool wide;
        QCollatorSortKey key;
    };
    std::vector<Key> keys;
    keys.reserve(texts.size());
    for (const QString& t : decodeAll(texts)) keys.push_back({startsWide(t), listCollator().sortKey(t)});
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) {
        const Key& ka = keys[static_cast<size_t>(a)];
        const Key& kb = keys[static_cast<size_t>(b)];
        if (ka.wide != kb.wide) return kb.wide;
        return ka.key.compare(kb.key) < 0;
    });
    return order;
}

void ListBox::addItemsInOrder(std::span<const std::string> texts, std::span<const int64_t> data) {
    QListWidget* l = listOf(widget_);
    if (!l) return;
    const size_t n = std::min(texts.size(), data.size());
    if (sortedList(l) && l->count() != 0) {
        for (size_t k = 0; k < n; ++k) addTo(l, texts[k], data[k], false);
        return;
    }
    if (n == 0) return;
    // One insertion of all rows: a row-by-row insert makes the view and the selection
    // model handle each row on its own, which dominates for thousands of items. Every
    // item of a list box is one line of text, as high as any other, so the view need not
    // measure each one (measuring 20,000 rows takes several frames); the width it scrolls
    // to sideways is then that of one row.
    const QStringList labels = decodeAll(texts.first(n));
    const QSignalBlocker quiet(l);
    l->setUniformItemSizes(true);
    const int first = l->count();
    l->addItems(labels);
    {
        // The item data is part of the insertion: no change per item to announce.
        QAbstractItemModel* model = l->model();
        const QSignalBlocker quietModel(model);
        for (size_t k = 0; k < n; ++k)
            l->item(first + static_cast<int>(k))->setData(kDataRole, QVariant::fromValue<qlonglong>(data[k]));
    }
}

std::string ListBox::itemText(int index) const {
    QListWidget* l = listOf(widget_);
    return l && index >= 0 && index < l->count() ? g(l->item(index)->text()) : std::string();
}

int64_t ListBox::itemData(int index) const {
    QListWidget* l = listOf(widget_);
    return l && index >= 0 && index < l->count() ? l->item(index)->data(kDataRole).toLongLong() : 0;
}

int ListBox::currentIndex() const {
    // The current row, not the selection: a mouse press moves the current row (and raises
    // item-selected) before Qt updates the selection, so inside the handler the selection
    // still names the previous item. The runtime moves both together everywhere else.
    QListWidget* l = listOf(widget_);
    return l ? l->currentRow() : -1;
}

void ListBox::setCurrentIndex(int index) {
    QListWidget* l = listOf(widget_);
    if (!l) return;
    const QSignalBlocker quiet(l);
    if (index < 0 || index >= l->count()) {
        l->clearSelection();
        l->setCurrentRow(-1);
    } else {
        l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        l->scrollToItem(l->item(index));
    }
}

bool ListBox::isSorted() const { return listOf(widget_) && sortedList(listOf(widget_)); }


int CheckListBox::addItem(const std::string& text, int64_t data) {
    QListWidget* l = listOf(widget_);
    if (!l) return -1;
    sortedList(l);
    return addTo(l, text, data, true);
}


void CheckListBox::setChecked(int index, bool checked) {
    QListWidget* l = listOf(widget_);
    if (!l || index < 0 || index >= l->count()) return;
    const QSignalBlocker quiet(l);
    l->item(index)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

bool CheckListBox::isChecked(int index) const {
    QListWidget* l = listOf(widget_);
    return l && index >= 0 && index < l->count() && l->item(index)->checkState() == Qt::Checked;
}


// --- TabControl ---

int TabControl::currentPage() const {
    auto* t = qobject_cast<QTabWidget*>(widget_.data());
    return t ? t->currentIndex() : -1;
}

void TabControl::setCurrentPage(int page) {
    auto* t = qobject_cast<QTabWidget*>(widget_.data());
    if (!t || page < 0 || page >= t->count()) return;
    const QSignalBlocker quiet(t);
    t->setCurrentIndex(page);
}

int TabControl::pageCount() const {
    auto* t = qobject_cast<QTabWidget*>(widget_.data());
    return t ? t->count() : 0;
}

// --- ProgressBar ---

namespace {
QProgressBar* barOf(QWidget* w) { return qobject_cast<QProgressBar*>(w); }

// QProgressBar repaints itself at once for every new value or range, a fraction of a
// millisecond each time; a long fill sets the bar often, and the screen shows only what
// the fill lets through when it runs pending events. So a change only schedules the
// repaint (re-enabling updates posts one), and the new value is there for the next paint.
template <class Change>
void changeWithoutRepaint(QProgressBar* bar, Change change) {
    const bool updating = bar->updatesEnabled();
    if (updating) bar->setUpdatesEnabled(false);
    change();
    if (updating) bar->setUpdatesEnabled(true);
}

void showPosition(QProgressBar* bar) {
    const int position = bar->property("lookupPosition").toInt();
    // Qt ignores a value outside the range; Windows shows it as full (or empty).
    const int shown = std::clamp(position, bar->minimum(), std::max(bar->minimum(), bar->maximum()));
    if (bar->value() != shown) changeWithoutRepaint(bar, [&] { bar->setValue(shown); });
}
}  // namespace

void ProgressBar::setRange(int minimum, int maximum) {
    if (QProgressBar* b = barOf(widget_)) {
        changeWithoutRepaint(b, [&] { b->setRange(minimum, std::max(minimum, maximum)); });
        showPosition(b);
    }
}
void ProgressBar::setMinimum(int minimum) { setRange(minimum, std::max(minimum, this->maximum())); }
void ProgressBar::setMaximum(int maximum) { setRange(std::min(this->minimum(), maximum), maximum); }
int ProgressBar::minimum() const { return barOf(widget_) ? barOf(widget_)->minimum() : 0; }
int ProgressBar::maximum() const { return barOf(widget_) ? barOf(widget_)->maximum() : 0; }

void ProgressBar::setPosition(int position) {
    if (QProgressBar* b = barOf(widget_)) {
        b->setProperty("lookupPosition", position);
        showPosition(b);
    }
}

int ProgressBar::position() const {
    return barOf(widget_) ? barOf(widget_)->property("lookupPosition").toInt() : 0;
}

// --- ReportList ---

namespace {
ReportModel* modelOf(QWidget* w) { return ReportModel::of(qobject_cast<QTableView*>(w)); }
}

int ReportList::columnCount() const { return modelOf(widget_) ? modelOf(widget_)->storedColumns() : 0; }

void ReportList::addColumn(const std::string& caption, int width, Align align) {
    if (ReportModel* m = modelOf(widget_)) {
        const Qt::Alignment a = align == Align::Centre ? Qt::AlignHCenter
                                : align == Align::Right ? Qt::AlignRight
                                                        : Qt::AlignLeft;
        m->addColumn(caption, width, a);
    }
}

void ReportList::removeAllColumns() { if (ReportModel* m = modelOf(widget_)) m->removeAllColumns(); }
std::string ReportList::columnCaption(int column) const {
    return modelOf(widget_) ? modelOf(widget_)->columnCaption(column) : std::string();
}
int ReportList::rowCount() const { return modelOf(widget_) ? modelOf(widget_)->storedRows() : 0; }
int ReportList::insertRow(int row) { return modelOf(widget_) ? modelOf(widget_)->insertRow(row) : -1; }
int ReportList::appendRow(std::vector<std::string>&& texts) { return appendRow(std::span<const std::string>(texts)); }
int ReportList::appendRow(std::span<const std::string> texts) {
    ReportModel* m = modelOf(widget_);
    return m ? m->appendRow(texts) : -1;
}
void ReportList::deleteAllRows() { if (ReportModel* m = modelOf(widget_)) m->deleteAllRows(); }

void ReportList::setCellText(int row, int column, const std::string& text) {
    if (ReportModel* m = modelOf(widget_)) m->setCell(row, column, text);
}

std::string ReportList::cellText(int row, int column) const {
    return modelOf(widget_) ? std::string(modelOf(widget_)->cell(row, column)) : std::string();
}

int ReportList::currentRow() const { return modelOf(widget_) ? modelOf(widget_)->currentRow() : -1; }
void ReportList::selectRow(int row) { if (ReportModel* m = modelOf(widget_)) m->selectRow(row); }

void ReportList::keyDown(int code) {
    ReportModel* m = modelOf(widget_);
    if (!m) return;
    const int rows = m->storedRows();
    if (rows == 0) return;
    auto* view = qobject_cast<QTableView*>(widget_.data());
    // A click below the rows unselects but leaves the focus on its row; the list's own
    // arrow keys go on from there, and so must a key sent by the program.
    int current = m->currentRow();
    if (current < 0 && view->currentIndex().isValid()) current = view->currentIndex().row();
    const int rowHeight = std::max(1, view->verticalHeader()->defaultSectionSize());
    const int page = std::max(1, view->viewport()->height() / rowHeight - 1);
    int target = current;
    switch (code) {
    case 40: target = current < 0 ? 0 : std::min(current + 1, rows - 1); break;
    case 38: target = current < 0 ? 0 : std::max(current - 1, 0); break;
    case 36: target = 0; break;
    case 35: target = rows - 1; break;
    case 34: target = current < 0 ? 0 : std::min(current + page, rows - 1); break;
    case 33: target = current < 0 ? 0 : std::max(current - page, 0); break;
    default: return;
    }
    if (target != current) m->selectRow(target);
}

void ReportList::setRowValue(int row, intptr_t value) { if (ReportModel* m = modelOf(widget_)) m->setRowValue(row, value); }
intptr_t ReportList::rowValue(int row) const { return modelOf(widget_) ? modelOf(widget_)->rowValue(row) : 0; }

void ReportList::sortRows(const std::function<int(intptr_t, intptr_t)>& compare) {
    if (ReportModel* m = modelOf(widget_)) m->sortRows(compare);
}

uint32_t ReportList::textColour() const {
    if (!widget_) return 0;
    return toColourRef(widget_->palette().color(QPalette::Active, QPalette::Text));
}

void ReportList::setTextColour(uint32_t colour) {
    if (!widget_) return;
    const QColor c = toQColor(colour);
    QPalette palette = widget_->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Text, c);
    widget_->setPalette(palette);
}

}  // namespace ui
