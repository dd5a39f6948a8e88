// The table model behind a report list (runtime only): the list's own copy of every cell
// text (GBK), its columns, and the rows' application values.
//
// Rows appended at the end are announced to the view in batches (at the next event
// processing, or before anything that needs the view to know them), so that filling
// 100,000 rows one insert at a time costs no more than filling them at once.
#pragma once

#include <QAbstractTableModel>
#include <QFont>

#include <cstdint>
#include <functional>
#include <string>
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
    // Appends a row whose cells are `cells` (moved in; cut or padded to the column count).
    int appendRow(std::vector<std::string>&& cells);
    void deleteAllRows();
    void setCell(int row, int column, const std::string& text);
    const std::string& cell(int row, int column) const;
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
    struct Row {
        std::vector<std::string> cells;
        intptr_t value = 0;
    };
    struct Column {
        std::string caption;
        Qt::Alignment align;
    };
    void scheduleFlush();

    QTableView* view_;
    std::vector<Row> rows_;
    std::vector<Column> columns_;
    int announced_ = 0;
    bool flushScheduled_ = false;
    int quiet_ = 0;
};

}  // namespace ui
