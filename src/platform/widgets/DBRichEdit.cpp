#include "widgets/DBRichEdit.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "widgets/DBEdit.h"

namespace widgets {

DBRichEdit::DBRichEdit(QWidget* parent) : QTextEdit(parent)
{
    setAcceptRichText(false);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (m_showing)
            return;
        const QString text = toPlainText();
        if (text == m_shown)
            return; // only formatting changed
        m_shown = text;
        link().controlTextChanged(text);
    });
    link().refresh();
}

bool DBRichEdit::oneLine() const
{
    const auto f = field();
    return f && !isBlobType(f->def().type);
}

void DBRichEdit::showField()
{
    m_showing = true;
    m_shown = link().fieldText();
    setPlainText(m_shown);
    m_showing = false;
    emit recordShown();
}

void DBRichEdit::applyReadOnly(bool readOnly)
{
    QTextEdit::setReadOnly(readOnly);
}

void DBRichEdit::focusOutEvent(QFocusEvent* event)
{
    QTextEdit::focusOutEvent(event);
    if (leavesControl(*event)) {
        link().leave(this);
        emit exited();
    }
}

void DBRichEdit::keyPressEvent(QKeyEvent* event)
{
    if (oneLine() && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        link().leave(this);
        event->ignore(); // to the dialog, like a one-line edit
        return;
    }
    QTextEdit::keyPressEvent(event);
}

void DBRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (!oneLine() || !source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    insertPlainText(text);
}

} // namespace widgets
