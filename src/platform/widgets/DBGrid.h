#pragma once

#include <optional>
#include <unordered_map>
#include <vector>

#include <QAbstractTableModel>
#include <QPointer>
#include <QStringList>
#include <QTableView>

class QLineEdit;

#include "widgets/DataSource.h"

namespace widgets {

struct GridColumn {
    GridColumn(QString field, QString columnTitle = {}, int pixels = -1, QStringList values = {},
               bool boldText = false)
        : fieldName(std::move(field)), title(std::move(columnTitle)), width(pixels),
          pickList(std::move(values)), bold(boldText)
    {
    }

    QString fieldName;
    QString title;        // empty: the field name
    int width = -1;       // pixels; -1: the grid's default
    QStringList pickList; // values offered when the cell is edited
    bool bold = false;
    // The width is the least the column has: in a larger font it grows to
    // what its field's data and title need, as a column without a width.
    bool atLeastWidth = false;
};

// The visible rows of a data source's table in its current order, for the
// grid. The rows are read in one walk over the table while it is browsing,
// again whenever its rows change as a whole; the current record is always
// shown live, with what is being typed into it. A record being inserted is
// an extra last row until it is posted. While the reading is held back
// (nobody sees the rows yet), a change of the rows only marks them out of
// date, and they are read when something first asks for them.
class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridModel(QObject* parent = nullptr);

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_source; }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return m_columns; }
    void setBoldFont(const QFont& font) { m_bold = font; }

    // Reads the rows again now (when the table is browsing; otherwise as
    // soon as it is).
    void refresh();
    // Held back, the rows are read only when asked for; released, at once
    // if they are out of date.
    void setReadingHeldBack(bool held);
    // Rows out of date that nobody has asked for yet.
    bool waiting() const { return m_heldBack && m_stale; }
    // Reads rows that are out of date before they are answered for.
    void readIfWaiting() const;
    // Row of the table's current record; -1 when it has none shown.
    int currentRow() const;
    // The field a column shows; nullptr while the table is closed or has no
    // field of the column's name.
    const dbase::FieldDef* columnField(int column) const;
    // Moves the table's cursor to a row; false when the row is gone (the
    // rows are then read again).
    bool moveTo(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The rows were read again; the view puts its current row back.
    void rowsRead();

private:
    struct Row {
        std::uint32_t recNo;
        QStringList texts;
    };
    dbase::Table* table() const;
    int fieldIndex(int column) const;
    QStringList readTexts(dbase::Table& table, const std::vector<int>& fields) const;
    bool isLiveRow(int row) const;
    void requestRows();
    void beginReset();
    void endReset();
    void scheduleRefresh();
    void stateChanged();
    void fieldChanged(int field);

    QPointer<DataSource> m_source;
    std::vector<GridColumn> m_columns;
    std::vector<Row> m_rows;
    std::unordered_map<std::uint32_t, int> m_rowOfRecNo;
    bool m_insertRow = false;
    int m_indicatorRow = -1;
    bool m_stale = false;
    bool m_refreshQueued = false;
    bool m_heldBack = false;
    bool m_resetting = false;
    QFont m_bold;
};

// Grid over a data source: the current row follows the table's cursor and
// moves it; cell edits write into the current record, which is posted when
// the cursor leaves it. A grid placed in a window reads its rows when it is
// first shown, or when a row, a cell or a key asks for them before; a page
// not shown at the start costs nothing. A grid standing alone reads them at
// once. The grid adds no rows and deletes none of its own. Column enter and exit and key presses are told to the
// program, which reads selectedIndex() and selectedField() in its handlers.
class DBGrid : public QTableView {
    Q_OBJECT
public:
    explicit DBGrid(QWidget* parent = nullptr);
    ~DBGrid() override;
    using QTableView::edit;

    void setDataSource(DataSource* source);
    DataSource* dataSource() const { return m_model->dataSource(); }
    void setColumns(std::vector<GridColumn> columns);
    const std::vector<GridColumn>& columns() const { return m_model->columns(); }

    std::vector<int> columnWidths() const;
    // Widths of their own for the first columns; extra values are ignored,
    // and a negative one leaves its column as it is.
    void setColumnWidths(const std::vector<int>& widths);
    // Per column whether it has a width of its own (set, or dragged by the
    // user) rather than the one fitted to its data and title.
    std::vector<bool> ownColumnWidths() const;

    // Cell editing (off: browsing only) and whole-row selection.
    void setCellEditing(bool on);
    bool cellEditing() const;
    void setRowSelect(bool on);
    bool rowSelect() const;

    // The current column, and its field in the current record.
    int selectedIndex() const { return m_selectedIndex; }
    void setSelectedIndex(int column);
    std::optional<dbase::Field> selectedField() const;

    GridModel& gridModel() const { return *m_model; }
    // Reads the rows again now.
    void refresh();

signals:
    // Sent before the current column changes (selectedIndex() is the old one)
    // and after (the new one). A move to a cell of another row and column
    // leaves the column on the old row, then moves the cursor, then enters.
    void colExit();
    void colEnter();
    // Before the grid handles a key; accept the event to keep it from the grid.
    void keyPressed(QKeyEvent* event);
    // Ctrl+Del: the grid deletes no row itself; whoever owns the rows
    // decides, and asks.
    void deleteRequested();

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    class Delegate;
    // The line a cell editor is typed into.
    static QLineEdit* editLine(QWidget* editor);
    void followCursor();
    void fontChanged();
    // Fits again the columns that still have the width they were fitted to.
    void refitColumns();
    void fitColumn(int column);
    int dataWidth(int column) const;

    GridModel* m_model; // owned by the grid
    int m_selectedIndex = 0;
    int m_enteringColumn = -1; // the column a move to another row goes into
    bool m_following = false;
    std::vector<int> m_fittedWidths; // per column the width fitted to its data and title; -1: a width of its own
};

} // namespace widgets
