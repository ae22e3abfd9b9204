#include "widgets/FieldLink.h"

#include <utility>

#include <QScopedValueRollback>
#include <QWidget>

#include "dbase/DbaseError.h"
#include "dbase/TextCheck.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace widgets {

FieldLink::FieldLink(DataAware& control) : m_control(control) {}

FieldLink::~FieldLink()
{
    if (m_source)
        m_source->detach(this);
}

void FieldLink::setDataSource(DataSource* source)
{
    if (source == m_source)
        return;
    if (m_source) {
        m_source->detach(this);
        disconnect(m_source, nullptr, this, nullptr);
    }
    m_source = source;
    if (m_source) {
        m_source->attach(this);
        connect(m_source, &DataSource::recordChanged, this, &FieldLink::refresh);
        connect(m_source, &DataSource::stateChanged, this, &FieldLink::refresh);
        connect(m_source, &DataSource::activeChanged, this, &FieldLink::refresh);
        connect(m_source, &DataSource::dataSetChanged, this, &FieldLink::refresh);
        connect(m_source, &DataSource::fieldChanged, this, [this](int index) {
            const auto f = field();
            if (!m_writing && f && f->index() == index)
                refresh();
        });
    }
    refresh();
}

void FieldLink::setDataField(const QString& name)
{
    m_fieldName = name;
    refresh();
}

void FieldLink::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    refresh();
}

std::optional<dbase::Field> FieldLink::field() const
{
    if (!m_source || !m_source->active() || m_fieldName.isEmpty())
        return std::nullopt;
    dbase::Table& table = *m_source->dataSet();
    const int index = table.layout().indexOf(m_fieldName.toStdString());
    if (index < 0)
        return std::nullopt;
    return table.field(index);
}

std::optional<dbase::Field> FieldLink::shownField() const
{
    auto f = field();
    // An empty table has no record to show, unless one is being inserted.
    if (f && m_source->dataSet()->isEmpty() && m_source->state() != dbase::TableState::Insert)
        return std::nullopt;
    return f;
}

QString FieldLink::fieldText() const
{
    const auto f = shownField();
    if (!f)
        return {};
    QString text;
    try {
        text = f->asString();
    } catch (const dbase::DbaseError& error) {
        // A damaged memo shows empty and must not be overwritten unseen.
        qWarning("%s", error.what());
        m_unreadable = true;
        return {};
    }
    // Memos come from Windows with CR LF; the edits break lines with LF alone.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}

bool FieldLink::canModify() const
{
    return !m_readOnly && !m_unreadable && field() && m_source->canModify();
}

int FieldLink::maxLength() const
{
    const auto f = field();
    if (!f)
        return 0;
    switch (f->def().type) {
    case dbase::FieldType::Character:
    case dbase::FieldType::Numeric:
    case dbase::FieldType::Float:
        return f->def().length;
    case dbase::FieldType::Date:
        return 10; // TT.MM.JJJJ
    default:
        return 0;
    }
}

void FieldLink::controlTextChanged(const QString& text)
{
    if (!canModify())
        return;
    if (!m_before && !isBlobType(field()->def().type))
        m_before = field()->asBytes();
    try {
        write(text);
        m_waiting.reset();
    } catch (const dbase::DbaseError&) {
        m_waiting = text;
    }
}

void FieldLink::write(const QString& text)
{
    const QScopedValueRollback writing(m_writing, true);
    dbase::Field f = *field();
    // Characters the table cannot hold are refused, not stored as '?'.
    dbase::checkText(*m_source->dataSet(), f.index(), text);
    if (!m_source->edit())
        return;
    if (isBlobType(f.def().type))
        f.setAsString(QString(text).replace(QLatin1Char('\n'), QLatin1String("\r\n")));
    else
        f.setAsString(text);
}

void FieldLink::flush()
{
    if (m_waiting && canModify())
        write(*m_waiting);
    m_waiting.reset();
    m_before.reset(); // what the field holds now is the user's
}

void FieldLink::leave(QWidget* parent)
{
    try {
        flush();
    } catch (const dbase::DbaseError& error) {
        // Cleared first: the message box takes the focus, which leaves again.
        m_waiting.reset();
        if (const auto before = std::exchange(m_before, std::nullopt); before && m_source->edit()) {
            const QScopedValueRollback writing(m_writing, true);
            field()->setAsBytes(*before);
        }
        MessageBox::error(parent, widgets::errorText(error));
        refresh();
    }
}

void FieldLink::refresh()
{
    // While this link writes, the table's edit() and field notifications
    // come back here; the control already shows what the user typed.
    if (!m_writing) {
        m_waiting.reset();
        m_before.reset();
        m_unreadable = false;
        m_control.showField();
    }
    m_control.applyReadOnly(!canModify());
}

DataAware::DataAware() : m_link(std::make_unique<FieldLink>(*this)) {}

DataAware::~DataAware() = default;

} // namespace widgets
