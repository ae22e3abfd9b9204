#include "widgets/DBComboBox.h"

#include <QCompleter>
#include <QFocusEvent>
#include <QLineEdit>

#include "widgets/DBEdit.h"
#include "widgets/DisabledText.h"

namespace widgets {

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // What is typed is stored as typed: a completer that proposes nothing
    // keeps the box from completing a typed "T" to the item "T+", and its
    // exact letter case keeps the box, when left, from taking a typed "t"
    // for the item "T".
    auto* exact = new QCompleter(this);
    exact->setCaseSensitivity(Qt::CaseSensitive);
    setCompleter(exact);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_showing)
            link().controlTextChanged(text);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBComboBox::userChanged);
    connect(this, &QComboBox::activated, this, &DBComboBox::userChanged);
    keepTextReadableWhenDisabled(*this);
    link().refresh();
}

void DBComboBox::setItems(const QStringList& items)
{
    m_showing = true;
    clear();
    addItems(items);
    m_showing = false;
    link().refresh();
}

QStringList DBComboBox::items() const
{
    QStringList result;
    for (int i = 0; i < count(); ++i)
        result << itemText(i);
    return result;
}

int DBComboBox::itemIndex() const
{
    return items().indexOf(currentText());
}

void DBComboBox::userChanged()
{
    if (m_showing)
        return;
    if (!link().canModify()) { // keys can still move a read-only box
        link().refresh();
        return;
    }
    emit changed(); // the text went into the record as it changed
}

void DBComboBox::showField()
{
    m_showing = true;
    const QString text = link().fieldText();
    const int length = link().maxLength();
    lineEdit()->setMaxLength(length > 0 ? length : 32767);
    setCurrentIndex(items().indexOf(text));
    setEditText(text);
    m_showing = false;
}

void DBComboBox::applyReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    lineEdit()->setReadOnly(readOnly);
}

void DBComboBox::showPopup()
{
    if (!m_readOnly)
        QComboBox::showPopup();
}

void DBComboBox::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    if (leavesControl(*event)) {
        link().leave(this);
        emit exited();
    }
}

} // namespace widgets
