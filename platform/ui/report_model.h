// The table model behind a report list (runtime only): the list's own copy of every cell
// text (GBK), its columns, and the rows' application values.
//
// Rows appended at the end are announced to the view in batches (at the next event
// processing, or before anything that needs the view to know them), so that filling
// 100,000 rows one insert at a time costs no more than filling them at once.
//
// A row's texts are packed into one record in large shared blocks, so a row costs no heap
// block of its own and emptying the list frees a few dozen blocks instead of a million
// strings. A row whose cell is changed afterwards moves to a vector of its own.
#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

class QTableView;

namespace ui {

class ReportModel : public QAbstractTableModel {
public:
    explicit ReportModel(QTableView* view);

    // Sets a fresh model on `view` and gives the view the list-view looks (full-row,
    // single selection, grid, no row header, header not sorting by itself).
    static ReportModel* install(QTableView* view);
    static ReportModel* of(const QTableView* view);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Stored rows, including those not yet announced to the view.
    int storedRows() const { return static_cast<int>(rows_.size()); }
    int storedColumns() const { return static_cast<int>(columns_.size()); }

    void addColumn(const std::string& caption, int width, Qt::Alignment align);
    void removeAllColumns();
    std::string columnCaption(int column) const;

    int insertRow(int row);
    // Appends a row holding copies of `cells` (cut or padded to the column count).
    int appendRow(std::span<const std::string> cells);
    void deleteAllRows();
    void setCell(int row, int column, const std::string& text);
    // The cell's text, valid until the list's rows next change; "" out of range.
    std::string_view cell(int row, int column) const;
    void setRowValue(int row, intptr_t value);
    intptr_t rowValue(int row) const;
    void sortRows(const std::function<int(intptr_t, intptr_t)>& compare);

    int currentRow();
    // Selects the row and makes it current; raises the view's current-row signal when it
    // changes. Out of range clears the selection.
    void selectRow(int row);
    void clearSelection(QTableView* view);

    // Tells the view about rows appended since the last announcement.
    void flush();
    // True while the runtime itself moves the current row (deleting, sorting, clearing):
    // those moves raise no event.
    bool quiet() const { return quiet_ > 0; }

private:
    // Packed rows live in blocks that are only ever appended to and are freed all at once.
    // A record is: uint32 cell count n, uint32 end offset of each cell's text, the texts.
    class TextArena {
    public:
        // Copies the texts into a record the arena owns until clear(); nullptr when they
        // exceed 4 GB together (the offsets are 32-bit).
        const uint32_t* pack(std::span<const std::string> cells);
        void clear() {
            blocks_.clear();
            next_ = nullptr;
            free_ = 0;
        }
    private:
        std::vector<std::unique_ptr<uint32_t[]>> blocks_;
        uint32_t* next_ = nullptr;
        size_t free_ = 0;  // uint32 words left after next_
    };
    struct Row {
        const uint32_t* packed = nullptr;  // in arena_; nullptr: every cell empty
        intptr_t value = 0;
        int loose = -1;                    // index in looseRows_ once a cell was set
    };
    static_assert(std::is_trivially_copyable_v<Row>);
    struct Column {
        std::string caption;
        Qt::Alignment align;
    };
    void scheduleFlush();

    QTableView* view_;
    std::vector<Row> rows_;
    TextArena arena_;
    std::vector<std::vector<std::string>> looseRows_;
    std::vector<Column> columns_;
    int announced_ = 0;
    bool flushScheduled_ = false;
    int quiet_ = 0;
};

}  // namespace ui
