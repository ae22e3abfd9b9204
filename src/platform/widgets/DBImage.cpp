#include "widgets/DBImage.h"

#include <QPainter>

namespace widgets {

QImage decodePicture(const QByteArray& bytes)
{
    if (bytes.isEmpty())
        return {};
    QImage image = QImage::fromData(bytes);
    if (image.isNull()) {
        // Some writers put a small header of their own before the bitmap.
        const qsizetype start = bytes.indexOf("BM");
        if (start > 0 && start <= 16)
            image = QImage::fromData(bytes.mid(start), "BMP");
    }
    return image;
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

void DBImage::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void DBImage::showField()
{
    const auto f = link().shownField();
    setPicture(f ? decodePicture(f->asBytes()) : QImage());
}

QRect DBImage::pictureRect() const
{
    if (m_picture.isNull())
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
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.drawImage(pictureRect(), m_picture);
}

} // namespace widgets
