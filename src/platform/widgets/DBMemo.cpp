#include "widgets/DBMemo.h"

#include <QFocusEvent>

#include "widgets/DBEdit.h"
#include "widgets/DisabledText.h"

namespace widgets {

DBMemo::DBMemo(QWidget* parent) : QPlainTextEdit(parent)
{
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_showing)
            link().controlTextChanged(toPlainText());
    });
    keepTextReadableWhenDisabled(*this);
    link().refresh();
}

void DBMemo::showField()
{
    m_showing = true;
    setPlainText(link().fieldText());
    m_showing = false;
}

void DBMemo::applyReadOnly(bool readOnly)
{
    QPlainTextEdit::setReadOnly(readOnly);
}

void DBMemo::focusOutEvent(QFocusEvent* event)
{
    QPlainTextEdit::focusOutEvent(event);
    if (leavesControl(*event)) {
        link().leave(this);
        emit exited();
    }
}

} // namespace widgets
