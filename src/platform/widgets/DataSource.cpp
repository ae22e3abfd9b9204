#include "widgets/DataSource.h"

#include <algorithm>

#include <QThread>

#include "widgets/FieldLink.h"

namespace widgets {

class DataSource::Observer : public dbase::TableObserver {
public:
    explicit Observer(DataSource& source) : m_source(source) {}

    void recordMoved(dbase::Table&) override { emitUnlessSilent(&DataSource::recordChanged); }
    void fieldChanged(dbase::Table&, int field) override
    {
        if (heard())
            emit m_source.fieldChanged(field);
    }
    void stateChanged(dbase::Table&) override { emitUnlessSilent(&DataSource::stateChanged); }
    void opened(dbase::Table&) override { emitUnlessSilent(&DataSource::activeChanged); }
    void closed(dbase::Table&) override { emitUnlessSilent(&DataSource::activeChanged); }
    void dataChanged(dbase::Table&) override { emitUnlessSilent(&DataSource::dataSetChanged); }

private:
    void emitUnlessSilent(void (DataSource::*signal)())
    {
        if (heard())
            (m_source.*signal)();
    }

    // Report pages are built on a worker thread that moves the shared
    // cursors and puts them back at the end; controls reading the table
    // meanwhile from the window's thread would race with it.
    bool heard() const { return !m_source.silent() && QThread::currentThread() == m_source.thread(); }

    DataSource& m_source;
};

DataSource::DataSource(QObject* parent) : QObject(parent), m_observer(std::make_unique<Observer>(*this)) {}

DataSource::DataSource(dbase::Table* table, QObject* parent) : DataSource(parent)
{
    setDataSet(table);
}

DataSource::~DataSource()
{
    if (m_table)
        m_table->removeObserver(m_observer.get());
    for (FieldLink* link : std::vector<FieldLink*>(m_links))
        link->setDataSource(nullptr);
}

void DataSource::setDataSet(dbase::Table* table)
{
    if (table == m_table)
        return;
    if (m_table)
        m_table->removeObserver(m_observer.get());
    m_table = table;
    if (m_table)
        m_table->addObserver(m_observer.get());
    emit activeChanged();
    emit dataSetChanged();
}

void DataSource::setAutoEdit(bool autoEdit)
{
    if (autoEdit == m_autoEdit)
        return;
    m_autoEdit = autoEdit;
    emit stateChanged(); // controls re-check whether they take input
}

void DataSource::setEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    emit activeChanged();
}

bool DataSource::active() const
{
    return m_enabled && m_table && m_table->active();
}

dbase::TableState DataSource::state() const
{
    return active() ? m_table->state() : dbase::TableState::Inactive;
}

bool DataSource::canModify() const
{
    if (!active() || m_table->readOnly())
        return false;
    const dbase::TableState s = m_table->state();
    return s == dbase::TableState::Edit || s == dbase::TableState::Insert
        || (s == dbase::TableState::Browse && m_autoEdit);
}

bool DataSource::edit()
{
    if (!canModify())
        return false;
    if (m_table->state() == dbase::TableState::Browse)
        m_table->edit();
    return true;
}

void DataSource::updateRecord()
{
    for (FieldLink* link : std::vector<FieldLink*>(m_links))
        link->flush();
}

void DataSource::attach(FieldLink* link)
{
    if (std::find(m_links.begin(), m_links.end(), link) == m_links.end())
        m_links.push_back(link);
}

void DataSource::detach(FieldLink* link)
{
    std::erase(m_links, link);
}

} // namespace widgets
