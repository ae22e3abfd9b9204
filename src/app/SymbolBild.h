#pragma once

#include <QFrame>

#include "graphics/Picture.h"

// A picture of the symbol panel: shows a pictogram stretched to the whole
// control, or nothing.
class SymbolBild : public QFrame {
    Q_OBJECT
public:
    explicit SymbolBild(QWidget* parent = nullptr);

    void setPicture(graphics::Picture picture);
    void clearPicture() { setPicture({}); }
    const graphics::Picture& picture() const { return m_picture; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    graphics::Picture m_picture;
};
