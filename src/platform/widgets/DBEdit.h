#pragma once

#include <QLineEdit>

#include "widgets/FieldLink.h"

namespace widgets {

// One-line edit of a field of the current record; takes at most the field's
// width. Input goes into the record as it is typed, and so does text the
// program sets while the record can be changed.
class DBEdit : public QLineEdit, public DataAware {
    Q_OBJECT
public:
    explicit DBEdit(QWidget* parent = nullptr);

    // The control's own read-only flag; the table's adds to it.
    void setReadOnly(bool readOnly) { link().setReadOnly(readOnly); }
    bool readOnly() const { return link().readOnly(); }

signals:
    // The control lost the focus to another control of the program.
    void exited();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void showField() override;
    void applyReadOnly(bool readOnly) override;

    bool m_showing = false;
};

// Whether a focus change is a real leaving of the control, not a popup or
// another window taking the focus for a while.
bool leavesControl(const QFocusEvent& event);

} // namespace widgets
