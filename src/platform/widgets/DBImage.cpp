#include "widgets/DBImage.h"

#include <QPainter>

#include "dbase/DbaseError.h"
#include "graphics/GraphicsError.h"

namespace widgets {

graphics::Picture decodePicture(const QByteArray& bytes, const QString& origin)
{
    try {
        return graphics::Picture::fromData(bytes, {}, origin);
    } catch (const graphics::GraphicsError& error) {
        // The database engine's picture fields may carry a small header of
        // their own (count, type, size) before the bitmap.
        const qsizetype start = bytes.indexOf("BM");
        if (start > 0 && start <= 16) {
            try {
                return graphics::Picture::fromData(bytes.mid(start), QStringLiteral("BMP"), origin);
            } catch (const graphics::GraphicsError&) {
            }
        }
        // A damaged picture in one record must not stop the browsing.
        qWarning("%s", error.what());
        return {};
    }
}

DBImage::DBImage(QWidget* parent) : QFrame(parent) {}

void DBImage::setStretchWhenLarger(bool on)
{
    m_stretchWhenLarger = on;
    update();
}

void DBImage::setCenter(bool on)
{
    m_center = on;
    update();
}

void DBImage::setPicture(graphics::Picture picture)
{
    m_picture = std::move(picture);
    update();
}

void DBImage::showField()
{
    const auto f = link().shownField();
    graphics::Picture picture;
    try {
        if (f)
            picture = decodePicture(f->asBytes(), QString::fromStdString(f->name()));
    } catch (const dbase::DbaseError& error) {
        qWarning("%s", error.what()); // a damaged memo file: no picture
    }
    setPicture(std::move(picture));
}

QRect DBImage::pictureRect() const
{
    if (m_picture.isEmpty())
        return {};
    const QRect area = contentsRect();
    const QSize size = m_picture.size();
    if (m_stretchWhenLarger && (size.width() > area.width() || size.height() > area.height()))
        return area;
    if (!m_center)
        return QRect(area.topLeft(), size);
    return QRect(area.left() + (area.width() - size.width()) / 2,
                 area.top() + (area.height() - size.height()) / 2, size.width(), size.height());
}

void DBImage::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isEmpty())
        return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    m_picture.draw(painter, pictureRect());
}

} // namespace widgets
