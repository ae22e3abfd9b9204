#include "widgets/DBEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "widgets/DisabledText.h"

namespace widgets {

bool leavesControl(const QFocusEvent& event)
{
    return event.reason() != Qt::PopupFocusReason && event.reason() != Qt::ActiveWindowFocusReason;
}

DBEdit::DBEdit(QWidget* parent) : QLineEdit(parent)
{
    // Text the program sets goes into the record as well, as typed text does.
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!m_showing)
            link().controlTextChanged(text);
    });
    keepTextReadableWhenDisabled(*this);
    link().refresh();
}

void DBEdit::showField()
{
    m_showing = true;
    const int length = link().maxLength();
    setMaxLength(length > 0 ? length : 32767);
    setText(link().fieldText());
    m_showing = false;
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
