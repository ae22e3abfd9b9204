#pragma once

#include <QFrame>

#include "graphics/Picture.h"
#include "widgets/FieldLink.h"

namespace widgets {

// Shows the picture held in a binary or memo field of the current record.
// With stretchWhenLarger the picture fills the control exactly when it is
// wider or higher than the control; otherwise, and for smaller pictures, it
// is drawn at its own size, centred or at the top left.
class DBImage : public QFrame, public DataAware {
    Q_OBJECT
public:
    explicit DBImage(QWidget* parent = nullptr);

    void setStretchWhenLarger(bool on);
    bool stretchWhenLarger() const { return m_stretchWhenLarger; }
    void setCenter(bool on);
    bool center() const { return m_center; }

    // The picture shown: the field's, or one the program set.
    const graphics::Picture& picture() const { return m_picture; }
    // Shows a picture of the program's own (a "no data" picture, say) until
    // the record changes; the field is not touched.
    void setPicture(graphics::Picture picture);
    void clearPicture() { setPicture({}); }

    // Where the picture is drawn, in widget coordinates; empty without one.
    QRect pictureRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showField() override;
    void applyReadOnly(bool) override {}

    graphics::Picture m_picture;
    bool m_stretchWhenLarger = false;
    bool m_center = true;
};

} // namespace widgets
