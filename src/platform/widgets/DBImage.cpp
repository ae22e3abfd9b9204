#include "widgets/DBImage.h"

#include <QPainter>

#include "dbase/DbaseError.h"
#include "graphics/Picture.h"

namespace widgets {

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
            picture = graphics::decodePicture(f->asBytes(), QString::fromStdString(f->name()));
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
