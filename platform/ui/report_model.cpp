// The report list's table model: storage, batched row announcement, selection and the
// sort with the program's comparison function.
#include "platform/ui/report_model.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QPalette>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstring>

#include "text/codepage.h"

namespace ui {

namespace {

// Large enough that a fill of 100,000 rows needs a few dozen blocks, small enough that a
// list of a few rows does not hold megabytes.
constexpr size_t kBlockWords = 64 * 1024;

// Bottom-up merge sort of row positions. The program's comparison may be inconsistent
// (a whole-number comparison whose difference wraps at 32 bits gives wrong signs);
// std::sort may then run past the ends, a merge never does.
void mergeSort(std::vector<int>& order, const std::function<bool(int, int)>& before) {
    const size_t n = order.size();
    std::vector<int> buffer(n);
    for (size_t width = 1; width < n; width *= 2) {
        for (size_t lo = 0; lo < n; lo += 2 * width) {
            const size_t mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            size_t i = lo, j = mid, k = lo;
            // Stable: a right element goes first only when it is strictly before.
            while (i < mid && j < hi) buffer[k++] = before(order[j], order[i]) ? order[j++] : order[i++];
            while (i < mid) buffer[k++] = order[i++];
            while (j < hi) buffer[k++] = order[j++];
        }
        order.swap(buffer);
    }
}

}  // namespace

const uint32_t* ReportModel::TextArena::pack(std::span<const std::string> cells) {
    size_t bytes = 0;
    for (const std::string& text : cells) bytes += text.size();
    if (bytes > UINT32_MAX) return nullptr;
    const size_t words = 1 + cells.size() + (bytes + 3) / 4;
    uint32_t* record;
    if (words > kBlockWords / 4) {
        // A row this long gets a block of its own; the shared block stays in use.
        blocks_.push_back(std::make_unique_for_overwrite<uint32_t[]>(words));
        record = blocks_.back().get();
    } else {
        if (words > free_) {
            blocks_.push_back(std::make_unique_for_overwrite<uint32_t[]>(kBlockWords));
            next_ = blocks_.back().get();
            free_ = kBlockWords;
        }
        record = next_;
        next_ += words;
        free_ -= words;
    }
    const size_t n = cells.size();
    record[0] = static_cast<uint32_t>(n);
    char* texts = reinterpret_cast<char*>(record + 1 + n);
    uint32_t end = 0;
    for (size_t c = 0; c < n; ++c) {
        if (!cells[c].empty()) std::memcpy(texts + end, cells[c].data(), cells[c].size());
        end += static_cast<uint32_t>(cells[c].size());
        record[1 + c] = end;
    }
    return record;
}

ReportModel::ReportModel(QTableView* view) : QAbstractTableModel(view), view_(view) {}

ReportModel* ReportModel::install(QTableView* view) {
    auto* model = new ReportModel(view);
    QItemSelectionModel* old = view->selectionModel();
    view->setModel(model);
    delete old;
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setShowGrid(true);
    view->setSortingEnabled(false);
    view->setWordWrap(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 4);
    view->horizontalHeader()->setSectionsClickable(true);
    view->horizontalHeader()->setHighlightSections(false);
    view->horizontalHeader()->setStretchLastSection(false);
    view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // The selection stays visible while another control has the focus.
    QPalette palette = view->palette();
    for (auto role : {QPalette::Highlight, QPalette::HighlightedText})
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    view->setPalette(palette);
    return model;
}

ReportModel* ReportModel::of(const QTableView* view) {
    return view ? dynamic_cast<ReportModel*>(view->model()) : nullptr;
}

int ReportModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : announced_;
}

int ReportModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant ReportModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= announced_) return {};
    if (role == Qt::DisplayRole) return codepage::toQString(cell(index.row(), index.column()));
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[index.column()].align | Qt::AlignVCenter);
    return {};
}

QVariant ReportModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= storedColumns()) return {};
    if (role == Qt::DisplayRole) return codepage::toQString(columns_[section].caption);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(columns_[section].align | Qt::AlignVCenter);
    return {};
}

void ReportModel::addColumn(const std::string& caption, int width, Qt::Alignment align) {
    flush();
    const int column = storedColumns();
    beginInsertColumns({}, column, column);
    columns_.push_back({caption, align});
    endInsertColumns();
    view_->horizontalHeader()->resizeSection(column, std::max(0, width));
}

void ReportModel::removeAllColumns() {
    ++quiet_;
    beginResetModel();
    rows_.clear();
    arena_.clear();
    looseRows_.clear();
    columns_.clear();
    announced_ = 0;
    endResetModel();
    --quiet_;
}

std::string ReportModel::columnCaption(int column) const {
    return column >= 0 && column < storedColumns() ? columns_[column].caption : std::string();
}

int ReportModel::insertRow(int row) {
    const int stored = storedRows();
    row = std::clamp(row, 0, stored);
    if (row == stored) {
        rows_.push_back({});
        scheduleFlush();
        return row;
    }
    flush();
    beginInsertRows({}, row, row);
    rows_.insert(rows_.begin() + row, Row{});
    ++announced_;
    endInsertRows();
    return row;
}

int ReportModel::appendRow(std::span<const std::string> cells) {
    if (cells.size() > columns_.size()) cells = cells.first(columns_.size());
    Row fresh;
    if (!cells.empty() && !(fresh.packed = arena_.pack(cells))) {
        // Over 4 GB of text in one row: kept as it is rather than packed.
        fresh.loose = static_cast<int>(looseRows_.size());
        looseRows_.emplace_back(cells.begin(), cells.end());
    }
    rows_.push_back(fresh);
    scheduleFlush();
    return storedRows() - 1;
}

void ReportModel::deleteAllRows() {
    ++quiet_;
    beginResetModel();
    rows_.clear();
    arena_.clear();
    looseRows_.clear();
    announced_ = 0;
    endResetModel();
    view_->selectionModel()->clear();
    --quiet_;
}

void ReportModel::setCell(int row, int column, const std::string& text) {
    if (row < 0 || row >= storedRows() || column < 0 || column >= storedColumns()) return;
    Row& target = rows_[row];
    if (target.loose < 0) {
        // The packed record cannot grow in place: the row gets strings of its own.
        std::vector<std::string> cells(columns_.size());
        for (int c = 0; c < storedColumns(); ++c) cells[c] = cell(row, c);
        target.loose = static_cast<int>(looseRows_.size());
        looseRows_.push_back(std::move(cells));
    }
    auto& cells = looseRows_[target.loose];
    if (cells.size() <= static_cast<size_t>(column)) cells.resize(columns_.size());
    cells[column] = text;
    if (row < announced_) {
        const QModelIndex at = index(row, column);
        emit dataChanged(at, at, {Qt::DisplayRole});
    }
}

std::string_view ReportModel::cell(int row, int column) const {
    if (row < 0 || row >= storedRows() || column < 0) return {};
    const Row& r = rows_[row];
    if (r.loose >= 0) {
        const auto& cells = looseRows_[r.loose];
        return static_cast<size_t>(column) < cells.size() ? std::string_view(cells[column]) : std::string_view();
    }
    if (!r.packed || static_cast<uint32_t>(column) >= r.packed[0]) return {};
    const uint32_t* ends = r.packed + 1;
    const char* texts = reinterpret_cast<const char*>(ends + r.packed[0]);
    const uint32_t begin = column ? ends[column - 1] : 0;
    return {texts + begin, ends[column] - begin};
}

void ReportModel::setRowValue(int row, intptr_t value) {
    if (row >= 0 && row < storedRows()) rows_[row].value = value;
}

intptr_t ReportModel::rowValue(int row) const {
    return row >= 0 && row < storedRows() ? rows_[row].value : 0;
}

void ReportModel::sortRows(const std::function<int(intptr_t, intptr_t)>& compare) {
    flush();
    const int n = storedRows();
    if (n < 2 || !compare) return;
    std::vector<int> order(n);
    for (int i = 0; i < n; ++i) order[i] = i;
    mergeSort(order, [&](int a, int b) { return compare(rows_[a].value, rows_[b].value) < 0; });

    ++quiet_;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<Row> sorted(n);
    std::vector<int> newRowOf(n);
    for (int i = 0; i < n; ++i) {
        newRowOf[order[i]] = i;
        sorted[i] = rows_[order[i]];
    }
    rows_.swap(sorted);
    // The selection and the current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& old : before)
        after.push_back(index(newRowOf[old.row()], old.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
    --quiet_;
}

int ReportModel::currentRow() {
    flush();
    const QModelIndexList selected = view_->selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex& i : selected)
        if (first < 0 || i.row() < first) first = i.row();
    return first;
}

void ReportModel::selectRow(int row) {
    flush();
    QItemSelectionModel* selection = view_->selectionModel();
    if (row < 0 || row >= storedRows()) {
        clearSelection(view_);
        return;
    }
    const QModelIndex at = index(row, 0);
    selection->setCurrentIndex(at, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(at);
}

void ReportModel::clearSelection(QTableView* view) {
    ++quiet_;
    view->selectionModel()->clearSelection();
    --quiet_;
}

void ReportModel::scheduleFlush() {
    if (flushScheduled_) return;
    flushScheduled_ = true;
    QTimer::singleShot(0, this, [this] { flush(); });
}

void ReportModel::flush() {
    flushScheduled_ = false;
    const int stored = storedRows();
    if (announced_ >= stored) return;
    beginInsertRows({}, announced_, stored - 1);
    announced_ = stored;
    endInsertRows();
}

}  // namespace ui
