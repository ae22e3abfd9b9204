#include "app/SymbolBild.h"

#include <QPainter>

SymbolBild::SymbolBild(QWidget* parent) : QFrame(parent)
{
    setMinimumSize(8, 8);
}

void SymbolBild::setPicture(graphics::Picture picture)
{
    m_picture = std::move(picture);
    update();
}

void SymbolBild::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    m_picture.draw(painter, contentsRect());
}

void SymbolBild::mouseDoubleClickEvent(QMouseEvent* event)
{
    QFrame::mouseDoubleClickEvent(event);
    emit doubleClicked();
}
