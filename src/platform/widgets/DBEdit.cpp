#include "widgets/DBEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace widgets {

bool leavesControl(const QFocusEvent& event)
{
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) { link().textEdited(text); });
    link().refresh();
}

void DBEdit::showField()
{
    const int length = link().maxLength();
    setMaxLength(length > 0 ? length : 32767);
    setText(link().fieldText());
}

void DBEdit::applyReadOnly(bool readOnly)
{
    QLineEdit::setReadOnly(readOnly);
}

void DBEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (leavesControl(*event)) {
        link().leave(this);
        emit exited();
    }
}

void DBEdit::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        link().leave(this);
    QLineEdit::keyPressEvent(event);
}

} // namespace widgets
