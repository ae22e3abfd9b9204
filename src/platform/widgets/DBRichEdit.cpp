#include "widgets/DBRichEdit.h"

#include <algorithm>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMimeData>

#include "widgets/DBEdit.h"
#include "widgets/DisabledText.h"

namespace widgets {

namespace {

bool breaksLine(QChar c)
{
    return c == QLatin1Char('\t') || c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\v')
        || c == QLatin1Char('\f') || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

// Text for a one-line field: each tab or line break a blank, CR LF one.
QString oneLineText(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    for (QChar& c : text)
        if (breaksLine(c))
            c = QLatin1Char(' ');
    return text;
}

} // namespace

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
    keepTextReadableWhenDisabled(*this);
    link().refresh();
}

bool DBRichEdit::oneLine() const
{
    const auto f = field();
    return f && !isBlobType(f->def().type);
}

// Known once the control is bound: a memo keeps its lines and tabs.
void DBRichEdit::applyLineMode()
{
    if (!field())
        return;
    const bool single = oneLine();
    setTabChangesFocus(single);
    setLineWrapMode(single ? NoWrap : WidgetWidth);
    const Qt::ScrollBarPolicy bars = single ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
    setHorizontalScrollBarPolicy(bars);
    setVerticalScrollBarPolicy(bars);
}

void DBRichEdit::showField()
{
    applyLineMode();
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
    if (oneLine()) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            link().leave(this);
            event->ignore(); // to the dialog, like a one-line edit
            return;
        }
        // Tab moved the focus before the key got here; Ctrl+Tab, a tab with
        // nowhere to go, or a key that types a break inserts nothing.
        if (event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab
            || std::any_of(event->text().cbegin(), event->text().cend(), breaksLine)) {
            event->ignore();
            return;
        }
    }
    QTextEdit::keyPressEvent(event);
}

void DBRichEdit::insertFromMimeData(const QMimeData* source)
{
    if (!oneLine() || !source->hasText()) {
        QTextEdit::insertFromMimeData(source);
        return;
    }
    insertPlainText(oneLineText(source->text()));
}

} // namespace widgets
