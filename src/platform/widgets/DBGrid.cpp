#include "widgets/DBGrid.h"

#include <algorithm>
#include <cmath>

#include <QComboBox>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTimer>

#include "dbase/DbaseError.h"
#include "dbase/TextCheck.h"
#include "widgets/DisabledText.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace widgets {

// ---------------------------------------------------------------- model

GridModel::GridModel(QObject* parent) : QAbstractTableModel(parent) {}


dbase::Table* GridModel::table() const
{
    return m_source && m_source->active() ? m_source->dataSet() : nullptr;
}

void GridModel::setDataSource(DataSource* source)
{
    if (source == m_source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (m_source) {
        connect(m_source, &DataSource::dataSetChanged, this, &GridModel::scheduleRefresh);
        connect(m_source, &DataSource::activeChanged, this, &GridModel::scheduleRefresh);
        connect(m_source, &DataSource::stateChanged, this, &GridModel::stateChanged);
        connect(m_source, &DataSource::fieldChanged, this, &GridModel::fieldChanged);
        connect(m_source, &QObject::destroyed, this, &GridModel::refresh); // no rows without it
        connect(m_source, &DataSource::recordChanged, this, [this] {
            if (waiting())
                return; // the rows read later show the record as current
            // The row indicator moves from the row it was on to the current one.
            for (int row : {m_indicatorRow, currentRow()})
                if (row >= 0 && row < rowCount())
                    emit headerDataChanged(Qt::Vertical, row, row);
            m_indicatorRow = currentRow();
            if (table() && !m_insertRow && m_indicatorRow < 0 && !m_source->dataSet()->isEmpty())
                scheduleRefresh(); // a record the rows do not know yet
        });
    }
    requestRows();
}

void GridModel::setColumns(std::vector<GridColumn> columns)
{
    beginReset();
    m_columns = std::move(columns);
    endReset();
    requestRows();
}

const dbase::FieldDef* GridModel::columnField(int column) const
{
    const int f = fieldIndex(column);
    return f < 0 ? nullptr : &table()->layout().field(f);
}

int GridModel::fieldIndex(int column) const
{
    const dbase::Table* t = table();
    if (!t || column < 0 || column >= columnCount())
        return -1;
    return t->layout().indexOf(m_columns[static_cast<std::size_t>(column)].fieldName.toStdString());
}

QStringList GridModel::readTexts(dbase::Table& table, const std::vector<int>& fields) const
{
    QStringList texts;
    texts.reserve(static_cast<qsizetype>(fields.size()));
    for (const int f : fields)
        texts << (f < 0 ? QString() : table.field(f).asString());
    return texts;
}

void GridModel::scheduleRefresh()
{
    m_stale = true;
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    // Never inside the table's own notification: the walk would move the
    // cursor under an operation that is still running.
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        if (m_stale)
            requestRows();
    });
}

// The views ask for rows while they take in a reset; they get the rows the
// reset gave them.
void GridModel::beginReset()
{
    m_resetting = true;
    beginResetModel();
}

void GridModel::endReset()
{
    endResetModel();
    m_resetting = false;
}

void GridModel::requestRows()
{
    if (m_heldBack)
        m_stale = true;
    else
        refresh();
}

void GridModel::setReadingHeldBack(bool held)
{
    m_heldBack = held;
    if (!held && m_stale)
        refresh();
}

// Whoever asks for a row gets it as the table has it, seen or not.
void GridModel::readIfWaiting() const
{
    if (waiting() && !m_resetting)
        const_cast<GridModel*>(this)->refresh();
}

void GridModel::refresh()
{
    dbase::Table* t = table();
    if (t && t->state() != dbase::TableState::Browse) {
        m_stale = true; // walking would post the record being edited
        return;
    }
    m_stale = false;
    std::vector<Row> rows;
    QString failure;
    if (t) {
        DataSource::Silence silence(*m_source);
        const std::uint32_t saved = t->recNo();
        try {
            // The columns' fields looked up once, not for every cell.
            std::vector<int> fields;
            for (int c = 0; c < columnCount(); ++c)
                fields.push_back(fieldIndex(c));
            for (t->first(); !t->eof(); t->next())
                rows.push_back({t->recNo(), readTexts(*t, fields)});
            const bool back = saved != 0 && t->gotoRecNo(saved);
            if (!back && !rows.empty())
                t->first();
        } catch (const dbase::DbaseError& error) {
            failure = widgets::errorText(error);
        }
        if (saved != t->recNo()) // the record shown before is gone
            QTimer::singleShot(0, m_source.data(), &DataSource::recordChanged);
    }

    const bool sameRows = rows.size() == m_rows.size() && !m_insertRow
        && std::equal(rows.begin(), rows.end(), m_rows.begin(),
                      [](const Row& a, const Row& b) { return a.recNo == b.recNo; });
    if (sameRows) {
        m_rows = std::move(rows);
        if (!m_rows.empty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    } else {
        beginReset();
        m_rows = std::move(rows);
        m_insertRow = false;
        m_rowOfRecNo.clear();
        for (std::size_t i = 0; i < m_rows.size(); ++i)
            m_rowOfRecNo.emplace(m_rows[i].recNo, static_cast<int>(i));
        endReset();
    }
    emit rowsRead();
    if (!failure.isEmpty())
        MessageBox::error(nullptr, failure);
}

void GridModel::stateChanged()
{
    const dbase::Table* t = table();
    const bool inserting = t && t->state() == dbase::TableState::Insert;
    if (inserting && !m_insertRow) {
        const int row = static_cast<int>(m_rows.size());
        beginInsertRows({}, row, row);
        m_insertRow = true;
        endInsertRows();
    } else if (!inserting && m_insertRow) {
        const int row = static_cast<int>(m_rows.size());
        beginRemoveRows({}, row, row);
        m_insertRow = false;
        endRemoveRows();
    }
    if (waiting())
        return; // the rows are read as they are when asked for
    // Cancel puts the stored values back into the current row.
    if (const int row = currentRow(); row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    if (m_stale && t && t->state() == dbase::TableState::Browse)
        scheduleRefresh();
}

void GridModel::fieldChanged(int)
{
    if (waiting())
        return;
    if (const int row = currentRow(); row >= 0)
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

int GridModel::currentRow() const
{
    readIfWaiting();
    const dbase::Table* t = table();
    if (!t)
        return -1;
    if (m_insertRow)
        return static_cast<int>(m_rows.size());
    const auto it = m_rowOfRecNo.find(t->recNo());
    return it == m_rowOfRecNo.end() ? -1 : it->second;
}

bool GridModel::isLiveRow(int row) const
{
    return row >= 0 && row == currentRow();
}

bool GridModel::moveTo(int row)
{
    readIfWaiting();
    dbase::Table* t = table();
    if (!t || row < 0 || row >= rowCount())
        return false;
    if (row == currentRow())
        return true;
    if (m_insertRow && row == static_cast<int>(m_rows.size()))
        return true;
    try {
        if (t->gotoRecNo(m_rows[static_cast<std::size_t>(row)].recNo))
            return true;
    } catch (const dbase::DbaseError& error) {
        // Leaving the record posted it, and the post was refused.
        MessageBox::error(nullptr, widgets::errorText(error));
        return false;
    }
    scheduleRefresh();
    return false;
}

int GridModel::rowCount(const QModelIndex& parent) const
{
    readIfWaiting();
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size()) + (m_insertRow ? 1 : 0);
}

int GridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant GridModel::data(const QModelIndex& index, int role) const
{
    readIfWaiting();
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const auto& column = m_columns[static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
        if (isLiveRow(index.row())) {
            const int f = fieldIndex(index.column());
            try {
                return f < 0 ? QString() : table()->field(f).asString();
            } catch (const dbase::DbaseError&) {
                return QString(); // a damaged memo; reading the rows reports it
            }
        }
        if (index.row() >= static_cast<int>(m_rows.size()))
            return QString();
        return m_rows[static_cast<std::size_t>(index.row())].texts.value(index.column());
    }
    case Qt::FontRole:
        return column.bold ? QVariant(m_bold) : QVariant();
    case Qt::TextAlignmentRole: {
        const int f = fieldIndex(index.column());
        if (f >= 0) {
            const auto type = table()->layout().field(f).type;
            if (type == dbase::FieldType::Numeric || type == dbase::FieldType::Float)
                return QVariant(Qt::AlignRight | Qt::AlignVCenter);
        }
        return QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    }
    default:
        return {};
    }
}

bool GridModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    // A cell is written only on the table's current record: the view moves
    // the cursor first, and an editor left over from a record the program
    // moved away from must not pull the cursor back.
    if (role != Qt::EditRole || !isLiveRow(index.row()))
        return false;
    const int f = fieldIndex(index.column());
    if (f < 0)
        return false;
    const QString text = value.toString();
    try {
        dbase::checkText(*table(), f, text);
        if (table()->field(f).asString() == text || !m_source->edit())
            return false;
        table()->field(f).setAsString(text);
    } catch (const dbase::RecordDeletedError& error) {
        // Another user deleted the row meanwhile: the grid reads the rows again.
        MessageBox::error(nullptr, widgets::errorText(error));
        scheduleRefresh();
        return false;
    } catch (const dbase::DbaseError& error) {
        MessageBox::error(nullptr, widgets::errorText(error));
        return false;
    }
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (fieldIndex(index.column()) >= 0 && !table()->readOnly())
        flags |= Qt::ItemIsEditable;
    return flags;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount())
            return {};
        const auto& column = m_columns[static_cast<std::size_t>(section)];
        return column.title.isEmpty() ? column.fieldName : column.title;
    }
    if (section != currentRow())
        return QString();
    return m_insertRow ? QStringLiteral("*") : QStringLiteral("\u25B6");
}

// ---------------------------------------------------------------- editor

// Cell editors: the column's pick list in an editable box, or a line that
// takes at most the field's width.
class DBGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(DBGrid& grid) : QStyledItemDelegate(&grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override
    {
        const auto& column = m_grid.columns().at(static_cast<std::size_t>(index.column()));
        if (!column.pickList.isEmpty()) {
            auto* box = new QComboBox(parent);
            box->setEditable(true);
            box->setInsertPolicy(QComboBox::NoInsert);
            box->setCompleter(nullptr); // typed digits stay the amount typed
            box->addItems(column.pickList);
            return box;
        }
        auto* edit = new QLineEdit(parent);
        edit->setFrame(false);
        if (const auto f = fieldOf(index); f && f->def().type == dbase::FieldType::Character)
            edit->setMaxLength(f->def().length);
        return edit;
    }

    // The value comes selected, so that a key that opens the editor types
    // over it; the grid puts the caret at its end for F2 and a double-click.
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* box = qobject_cast<QComboBox*>(editor))
            box->setCurrentIndex(box->findText(text)); // the list opens on the value
        if (QLineEdit* line = editLine(editor)) {
            line->setText(text);
            line->selectAll();
        }
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override
    {
        if (QLineEdit* line = editLine(editor))
            model->setData(index, line->text(), Qt::EditRole);
    }

private:
    std::optional<dbase::Field> fieldOf(const QModelIndex& index) const
    {
        DataSource* source = m_grid.dataSource();
        if (!source || !source->active())
            return std::nullopt;
        const auto& column = m_grid.columns().at(static_cast<std::size_t>(index.column()));
        const int f = source->dataSet()->layout().indexOf(column.fieldName.toStdString());
        return f < 0 ? std::nullopt : std::optional<dbase::Field>(source->dataSet()->field(f));
    }

    DBGrid& m_grid;
};

QLineEdit* DBGrid::editLine(QWidget* editor)
{
    if (auto* box = qobject_cast<QComboBox*>(editor))
        return box->lineEdit();
    return qobject_cast<QLineEdit*>(editor);
}

// ---------------------------------------------------------------- grid

DBGrid::DBGrid(QWidget* parent) : QTableView(parent), m_model(new GridModel(this))
{
    setModel(m_model);
    setItemDelegate(new Delegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    horizontalHeader()->setDefaultSectionSize(64);
    horizontalHeader()->setMinimumSectionSize(0); // stored widths are taken as they are
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(12);
    m_model->setReadingHeldBack(parent != nullptr);
    fontChanged();
    setCellEditing(true);
    keepTextReadableWhenDisabled(*this);
    connect(m_model, &GridModel::rowsRead, this, &DBGrid::followCursor);
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &DBGrid::followCursor);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &DBGrid::followCursor);
}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(DataSource* source)
{
    if (DataSource* old = m_model->dataSource())
        disconnect(old, nullptr, this, nullptr);
    if (source) {
        connect(source, &DataSource::recordChanged, this, &DBGrid::followCursor);
    }
    m_model->setDataSource(source);
    if (!source)
        return;
    // The fields, and with them the widths their data needs, are known once
    // the table is open; a table closed meanwhile leaves the widths as they
    // are.
    const auto fitToFields = [this, source] {
        if (source->active())
            refitColumns();
    };
    connect(source, &DataSource::activeChanged, this, fitToFields);
    connect(source, &DataSource::dataSetChanged, this, fitToFields);
    fitToFields();
}

// Rows one line of the grid's font high; bold columns in its bold cut.
void DBGrid::fontChanged()
{
    verticalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    QFont bold = font();
    bold.setBold(true);
    m_model->setBoldFont(bold);
    // Data and titles in another font need other widths.
    refitColumns();
    viewport()->update();
}

// A column someone has given a width keeps it.
void DBGrid::refitColumns()
{
    for (int i = 0; i < static_cast<int>(m_fittedWidths.size()); ++i)
        if (m_fittedWidths[static_cast<std::size_t>(i)] == columnWidth(i))
            fitColumn(i);
}

// A column without a width of its own is as wide as its field's data needs,
// as its title needs, or as the grid's default, whichever is most, so that
// neither a title nor a value is cut.
void DBGrid::fitColumn(int column)
{
    const GridColumn& designed = columns()[static_cast<std::size_t>(column)];
    const int width = std::max({horizontalHeader()->defaultSectionSize(), horizontalHeader()->sectionSizeHint(column),
                                dataWidth(column), designed.atLeastWidth ? designed.width : 0});
    setColumnWidth(column, width);
    m_fittedWidths[static_cast<std::size_t>(column)] = width;
}

// As a desktop grid sizes a column by its field: the field's display width
// in characters, each as wide as a digit of the column's font, and the
// margins a cell keeps around its text and for its grid line. 0 while the
// field is not known.
int DBGrid::dataWidth(int column) const
{
    const dbase::FieldDef* field = m_model->columnField(column);
    if (!field)
        return 0;
    QFont cellFont = font();
    cellFont.setBold(columns()[static_cast<std::size_t>(column)].bold);
    const int textMargin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int gridLine = showGrid() ? 1 : 0;
    // A digit's advance is fractional; rounded once per character it would
    // come short over a wide field.
    const double text = dbase::displayWidth(*field) * QFontMetricsF(cellFont).horizontalAdvance(u'0');
    return static_cast<int>(std::ceil(text)) + 2 * textMargin + gridLine;
}

void DBGrid::changeEvent(QEvent* event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fontChanged();
}

void DBGrid::setColumns(std::vector<GridColumn> columns)
{
    m_model->setColumns(std::move(columns));
    m_fittedWidths.assign(this->columns().size(), -1);
    for (int i = 0; i < static_cast<int>(this->columns().size()); ++i) {
        const GridColumn& column = this->columns()[static_cast<std::size_t>(i)];
        if (column.width >= 0 && !column.atLeastWidth)
            setColumnWidth(i, column.width);
        else
            fitColumn(i);
    }
    m_selectedIndex = 0;
    followCursor();
}

std::vector<int> DBGrid::columnWidths() const
{
    std::vector<int> widths;
    for (int i = 0; i < m_model->columnCount(); ++i)
        widths.push_back(columnWidth(i));
    return widths;
}

void DBGrid::setColumnWidths(const std::vector<int>& widths)
{
    const int count = std::min(static_cast<int>(widths.size()), m_model->columnCount());
    for (int i = 0; i < count; ++i) {
        if (widths[static_cast<std::size_t>(i)] < 0)
            continue;
        setColumnWidth(i, widths[static_cast<std::size_t>(i)]);
        m_fittedWidths[static_cast<std::size_t>(i)] = -1;
    }
}

std::vector<bool> DBGrid::ownColumnWidths() const
{
    std::vector<bool> own;
    for (int i = 0; i < static_cast<int>(m_fittedWidths.size()); ++i)
        own.push_back(m_fittedWidths[static_cast<std::size_t>(i)] != columnWidth(i));
    return own;
}

void DBGrid::setCellEditing(bool on)
{
    setEditTriggers(on ? QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                             | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                       : QAbstractItemView::NoEditTriggers);
}

bool DBGrid::cellEditing() const
{
    return editTriggers() != QAbstractItemView::NoEditTriggers;
}

void DBGrid::setRowSelect(bool on)
{
    setSelectionBehavior(on ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems);
    if (currentIndex().isValid())
        selectionModel()->select(currentIndex(), QItemSelectionModel::ClearAndSelect
                                                     | (on ? QItemSelectionModel::Rows : QItemSelectionModel::NoUpdate));
}

bool DBGrid::rowSelect() const
{
    return selectionBehavior() == QAbstractItemView::SelectRows;
}

void DBGrid::setSelectedIndex(int column)
{
    if (column < 0 || column >= m_model->columnCount())
        return;
    const int row = currentIndex().isValid() ? currentIndex().row() : m_model->currentRow();
    if (row >= 0)
        setCurrentIndex(m_model->index(row, column));
    else
        m_selectedIndex = column;
}

std::optional<dbase::Field> DBGrid::selectedField() const
{
    DataSource* source = dataSource();
    if (!source || !source->active() || m_selectedIndex >= m_model->columnCount())
        return std::nullopt;
    const auto& column = columns()[static_cast<std::size_t>(m_selectedIndex)];
    const int f = source->dataSet()->layout().indexOf(column.fieldName.toStdString());
    if (f < 0)
        return std::nullopt;
    return source->dataSet()->field(f);
}

void DBGrid::refresh()
{
    m_model->refresh();
}

void DBGrid::showEvent(QShowEvent* event)
{
    m_model->setReadingHeldBack(false);
    QTableView::showEvent(event);
}

void DBGrid::followCursor()
{
    if (m_model->waiting())
        return; // the rows, once read, put the cursor's row current
    const int row = m_model->currentRow();
    if (row < 0 || m_model->columnCount() == 0)
        return;
    // While a click or key moves to another row and column, the cursor
    // follows into the column being entered, not back into the old one.
    const int column = m_enteringColumn >= 0 ? m_enteringColumn : m_selectedIndex;
    const QModelIndex target = m_model->index(row, std::min(column, m_model->columnCount() - 1));
    if (currentIndex() == target)
        return;
    m_following = true;
    setCurrentIndex(target);
    m_following = false;
    scrollTo(target);
}

void DBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Commits an open editor into the record it was opened on, which is
    // still the current one.
    QTableView::currentChanged(current, previous);
    if (m_following || !current.isValid())
        return;
    const bool columnMoves = current.column() != m_selectedIndex;
    if (columnMoves)
        emit colExit();
    if (!previous.isValid() || current.row() != previous.row()) {
        m_enteringColumn = current.column();
        const bool moved = m_model->moveTo(current.row());
        m_enteringColumn = -1;
        if (!moved)
            QTimer::singleShot(0, this, &DBGrid::followCursor); // back to where the cursor is
    }
    if (columnMoves) {
        m_selectedIndex = current.column();
        emit colEnter();
    }
}

// A key types over the cell's value, as in a spreadsheet; F2, a double-click
// or a click on the current cell open it to be changed, the caret at its end.
bool DBGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (!QTableView::edit(index, trigger, event))
        return false;
    if (trigger != AnyKeyPressed)
        if (QLineEdit* line = editLine(indexWidget(index)))
            line->end(false);
    return true;
}

void DBGrid::keyPressEvent(QKeyEvent* event)
{
    m_model->readIfWaiting(); // a key moves from the current row
    event->ignore();
    emit keyPressed(event);
    if (event->isAccepted())
        return;
    event->accept();
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier && state() != EditingState) {
        emit deleteRequested();
        return;
    }
    QTableView::keyPressEvent(event);
}

} // namespace widgets
