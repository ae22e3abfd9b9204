#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include <QAbstractListModel>
#include <QListView>
#include <QPixmap>

class QDrag;
class QMimeData;

namespace widgets {

// The lines of a name list, filled in one pass and handed over whole.
class NameLines {
public:
    void reserve(std::size_t count);
    // `marker` indexes the list's marker pictures; `recNo` is the physical
    // record number of the line's row.
    void add(QString text, std::uint8_t marker, std::uint32_t recNo);
    // For lines found in another order than they are shown in: puts one at
    // `line`, leaving the lines before it that are not placed yet as gaps,
    // which closeGaps() then removes.
    void place(std::size_t line, QString text, std::uint8_t marker, std::uint32_t recNo);
    void closeGaps();
    std::size_t size() const { return m_texts.size(); }

    const std::vector<QString>& texts() const { return m_texts; }
    const std::vector<std::uint8_t>& markers() const { return m_markers; }
    const std::vector<std::uint32_t>& recNos() const { return m_recNos; }

private:
    friend class NameListModel;
    std::vector<QString> m_texts;
    std::vector<std::uint8_t> m_markers;
    std::vector<std::uint32_t> m_recNos;
};

// The lines as a list model: three parallel vectors, no item objects, so a
// hundred thousand lines load at once.
class NameListModel : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int MarkerRole = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    void setLines(NameLines lines);
    const NameLines& lines() const { return m_lines; }
    void setMarker(int line, std::uint8_t marker);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    NameLines m_lines;
};

// The owner-drawn, multi-select name list. Each line: the line's marker
// picture (white drawn as transparent) at 2 pixels from the left, centred in
// the line's height, and the text at the marker's width + 6 pixels. Lines
// are one font height high. Dragging takes the selected line numbers along
// under mimeType().
//
// As a list box does, only the left button moves the current line: a right
// click leaves line and selection as they are, for the popup of the current
// line.
class NameList : public QListView {
    Q_OBJECT
public:
    explicit NameList(QWidget* parent = nullptr);
    ~NameList() override;

    static QString mimeType();
    // The line numbers a drag from a name list carries; nullopt for any
    // other drag.
    static std::optional<std::vector<int>> linesFromMimeData(const QMimeData* data);

    // Marker pictures by marker index; white pixels become transparent.
    void setMarkerImages(const std::vector<QImage>& images);
    // The font of the lines; the line height follows it.
    void setScreenFont(const QFont& font);
    int itemHeight() const { return m_itemHeight; }

    void setLines(NameLines lines);
    void clear() { setLines({}); }
    int count() const;
    QString text(int line) const;
    std::uint8_t marker(int line) const;
    std::uint32_t recNo(int line) const;
    // The first line whose row has this record number; -1 when none.
    int lineOfRecNo(std::uint32_t recNo) const;
    void setMarker(int line, std::uint8_t marker);

    // The focused line, -1 without one.
    int itemIndex() const;
    // Makes the line current and the only selected one; -1 clears both.
    void setItemIndex(int line);
    bool isSelected(int line) const;
    void setSelected(int line, bool selected);
    std::vector<int> selectedLines() const; // ascending

    NameListModel& lineModel() const { return *m_model; }

    // The name list whose drag is under way; nullptr when none is.
    static NameList* dragSource();
    // Carries a drag from the list to its drop and returns the action taken:
    // the platform's drag unless a ScopedDragRunner puts one in its place
    // (tests drop with one where the platform cannot drag).
    using DragRunner = std::function<Qt::DropAction(QDrag& drag)>;

signals:
    void currentLineChanged(int line);
    // The user pressed the left button on a line, or moved the current line
    // with the mouse or the keyboard.
    void lineClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    class Delegate;
    NameListModel* m_model;       // owned by the view
    Delegate* m_delegate;         // owned by the view
    int m_itemHeight = 0;
};

// Installs a drag runner for its lifetime and puts the earlier one back.
class ScopedDragRunner {
public:
    explicit ScopedDragRunner(NameList::DragRunner runner);
    ~ScopedDragRunner();
    ScopedDragRunner(const ScopedDragRunner&) = delete;
    ScopedDragRunner& operator=(const ScopedDragRunner&) = delete;

private:
    NameList::DragRunner m_previous;
};

} // namespace widgets
