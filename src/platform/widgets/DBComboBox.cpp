#include "widgets/DBComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "widgets/DBEdit.h"

namespace widgets {

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::editTextChanged, this, [this](const QString& text) {
        if (!m_showing)
            link().controlTextChanged(text);
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, &DBComboBox::userChanged);
    connect(this, &QComboBox::activated, this, &DBComboBox::userChanged);
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
