#include "widgets/NameList.h"

#include <algorithm>
#include <utility>

#include <QBitmap>
#include <QDataStream>
#include <QDrag>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

NameList::DragRunner& dragRunner()
{
    static NameList::DragRunner runner;
    return runner;
}

NameList*& currentDragSource()
{
    static NameList* source = nullptr;
    return source;
}

// Only the left button works the list; another button's event ends here.
bool otherButton(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        return false;
    event->accept();
    return true;
}

} // namespace

// ---------------------------------------------------------------- NameLines

void NameLines::reserve(std::size_t count)
{
    m_texts.reserve(count);
    m_markers.reserve(count);
    m_recNos.reserve(count);
}

void NameLines::add(QString text, std::uint8_t marker, std::uint32_t recNo)
{
    m_texts.push_back(std::move(text));
    m_markers.push_back(marker);
    m_recNos.push_back(recNo);
}

// A gap has record number 0, which no row has.
void NameLines::place(std::size_t line, QString text, std::uint8_t marker, std::uint32_t recNo)
{
    if (line >= m_texts.size()) {
        m_texts.resize(line + 1);
        m_markers.resize(line + 1);
        m_recNos.resize(line + 1, 0);
    }
    m_texts[line] = std::move(text);
    m_markers[line] = marker;
    m_recNos[line] = recNo;
}

void NameLines::closeGaps()
{
    std::size_t kept = 0;
    for (std::size_t line = 0; line < m_recNos.size(); ++line) {
        if (m_recNos[line] == 0)
            continue;
        if (kept != line) {
            m_texts[kept] = std::move(m_texts[line]);
            m_markers[kept] = m_markers[line];
            m_recNos[kept] = m_recNos[line];
        }
        ++kept;
    }
    m_texts.resize(kept);
    m_markers.resize(kept);
    m_recNos.resize(kept);
}

// ---------------------------------------------------------------- model

void NameListModel::setLines(NameLines lines)
{
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

void NameListModel::setMarker(int line, std::uint8_t marker)
{
    if (line < 0 || line >= rowCount())
        return;
    m_lines.m_markers[static_cast<std::size_t>(line)] = marker;
    const QModelIndex at = index(line);
    emit dataChanged(at, at, {MarkerRole});
}

int NameListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant NameListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole)
        return m_lines.m_texts[row];
    if (role == MarkerRole)
        return m_lines.m_markers[row];
    return {};
}

Qt::ItemFlags NameListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QStringList NameListModel::mimeTypes() const
{
    return {NameList::mimeType()};
}

QMimeData* NameListModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> lines;
    for (const QModelIndex& index : indexes)
        if (index.isValid())
            lines << index.row();
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream << lines;
    auto* data = new QMimeData; // the drag takes it over
    data->setData(NameList::mimeType(), bytes);
    return data;
}

Qt::DropActions NameListModel::supportedDragActions() const
{
    return Qt::CopyAction;
}

// ---------------------------------------------------------------- delegate

class NameList::Delegate : public QStyledItemDelegate {
public:
    Delegate(NameList& list) : QStyledItemDelegate(&list), m_list(list) {}

    void setMarkers(std::vector<QPixmap> markers) { m_markers = std::move(markers); }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (option.state & QStyle::State_Active)                                ? QPalette::Active
                                                                                   : QPalette::Inactive;
        painter->fillRect(r, option.palette.brush(group, selected ? QPalette::Highlight : QPalette::Base));

        const std::size_t marker = index.data(NameListModel::MarkerRole).toUInt();
        int markerWidth = 0;
        if (marker < m_markers.size() && !m_markers[marker].isNull()) {
            const QPixmap& m = m_markers[marker];
            markerWidth = m.width();
            painter->drawPixmap(r.left() + 2, r.top() + (m_list.itemHeight() - m.height()) / 2, m);
        }

        painter->setFont(option.font);
        painter->setPen(option.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text));
        const QRect textRect(r.left() + markerWidth + 6, r.top(), r.width() - markerWidth - 6, r.height());
        painter->drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                          index.data(Qt::DisplayRole).toString());

        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(&m_list);
            focus.rect = r;
            focus.backgroundColor = option.palette.color(group, selected ? QPalette::Highlight : QPalette::Base);
            m_list.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, &m_list);
        }
    }

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return {1, m_list.itemHeight()};
    }

private:
    NameList& m_list;
    std::vector<QPixmap> m_markers;
};

// ---------------------------------------------------------------- view

NameList::NameList(QWidget* parent)
    : QListView(parent), m_model(new NameListModel(this)), m_delegate(new Delegate(*this))
{
    setModel(m_model);
    setItemDelegate(m_delegate);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setScreenFont(font());
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { emit currentLineChanged(current.isValid() ? current.row() : -1); });
}

NameList::~NameList() = default;

QString NameList::mimeType()
{
    return QStringLiteral("application/x-marlex-namelist-lines");
}

std::optional<std::vector<int>> NameList::linesFromMimeData(const QMimeData* data)
{
    if (!data || !data->hasFormat(mimeType()))
        return std::nullopt;
    QList<int> lines;
    QDataStream stream(data->data(mimeType()));
    stream >> lines;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    return std::vector<int>(lines.begin(), lines.end());
}

void NameList::setMarkerImages(const std::vector<QImage>& images)
{
    std::vector<QPixmap> markers;
    markers.reserve(images.size());
    for (const QImage& image : images) {
        QPixmap pixmap = QPixmap::fromImage(image);
        if (!pixmap.isNull())
            pixmap.setMask(QBitmap::fromImage(image.createMaskFromColor(qRgb(255, 255, 255))));
        markers.push_back(std::move(pixmap));
    }
    m_delegate->setMarkers(std::move(markers));
    viewport()->update();
}

void NameList::setScreenFont(const QFont& font)
{
    setFont(font);
    m_itemHeight = QFontMetrics(font).height();
    scheduleDelayedItemsLayout();
}

void NameList::setLines(NameLines lines)
{
    m_model->setLines(std::move(lines));
}

int NameList::count() const
{
    return m_model->rowCount();
}

QString NameList::text(int line) const
{
    return m_model->data(m_model->index(line), Qt::DisplayRole).toString();
}

std::uint8_t NameList::marker(int line) const
{
    return static_cast<std::uint8_t>(m_model->data(m_model->index(line), NameListModel::MarkerRole).toUInt());
}

std::uint32_t NameList::recNo(int line) const
{
    const auto& recNos = m_model->lines().recNos();
    return line >= 0 && line < count() ? recNos[static_cast<std::size_t>(line)] : 0;
}

int NameList::lineOfRecNo(std::uint32_t recNo) const
{
    const auto& recNos = m_model->lines().recNos();
    const auto it = std::find(recNos.begin(), recNos.end(), recNo);
    return it == recNos.end() ? -1 : static_cast<int>(it - recNos.begin());
}

void NameList::setMarker(int line, std::uint8_t marker)
{
    m_model->setMarker(line, marker);
}

int NameList::itemIndex() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void NameList::setItemIndex(int line)
{
    if (line < 0 || line >= count()) {
        selectionModel()->clear();
        return;
    }
    selectionModel()->setCurrentIndex(m_model->index(line), QItemSelectionModel::ClearAndSelect);
    scrollTo(m_model->index(line));
}

bool NameList::isSelected(int line) const
{
    return selectionModel()->isSelected(m_model->index(line));
}

void NameList::setSelected(int line, bool selected)
{
    if (line >= 0 && line < count())
        selectionModel()->select(m_model->index(line),
                                 selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

std::vector<int> NameList::selectedLines() const
{
    std::vector<int> lines;
    for (const QModelIndex& index : selectionModel()->selectedIndexes())
        lines.push_back(index.row());
    std::sort(lines.begin(), lines.end());
    return lines;
}

void NameList::keyPressEvent(QKeyEvent* event)
{
    const int before = itemIndex();
    QListView::keyPressEvent(event);
    if (itemIndex() != before)
        emit lineClicked();
}

void NameList::mousePressEvent(QMouseEvent* event)
{
    if (otherButton(event))
        return; // the right button's popup follows as an event of its own
    QListView::mousePressEvent(event);
    // The pressed line is current now, and is shown before a drag from it
    // can begin: what is dropped is what the user sees.
    if (indexAt(event->position().toPoint()).isValid())
        emit lineClicked();
}

void NameList::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton && !(event->buttons() & Qt::LeftButton)) {
        event->accept(); // dragging with another button neither selects nor drags
        return;
    }
    const int before = itemIndex();
    QListView::mouseMoveEvent(event);
    // Sweeping over lines to select them moves the current line along.
    if (itemIndex() != before)
        emit lineClicked();
}

void NameList::mouseReleaseEvent(QMouseEvent* event)
{
    if (!otherButton(event))
        QListView::mouseReleaseEvent(event);
}

void NameList::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!otherButton(event))
        QListView::mouseDoubleClickEvent(event);
}

void NameList::startDrag(Qt::DropActions supportedActions)
{
    const QModelIndexList lines = selectedIndexes();
    if (lines.isEmpty())
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(m_model->mimeData(lines));
    struct Source {
        NameList* previous;
        explicit Source(NameList* list) : previous(std::exchange(currentDragSource(), list)) {}
        ~Source() { currentDragSource() = previous; }
    } source(this);
    if (const DragRunner& runner = dragRunner()) {
        runner(*drag);
        drag->deleteLater();
    } else {
        drag->exec(supportedActions, defaultDropAction()); // Qt deletes the drag afterwards
    }
}

NameList* NameList::dragSource()
{
    return currentDragSource();
}

ScopedDragRunner::ScopedDragRunner(NameList::DragRunner runner)
    : m_previous(std::exchange(dragRunner(), std::move(runner)))
{
}

ScopedDragRunner::~ScopedDragRunner()
{
    dragRunner() = std::move(m_previous);
}

} // namespace widgets
