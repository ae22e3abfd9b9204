#include "reports/TabellenWache.h"

#include <algorithm>
#include <exception>

#include <QStringList>

#include "dbase/DbaseError.h"
#include "search/Namentabellen.h"
#include "widgets/ErrorText.h"

namespace reports {

TabellenWache::TabellenWache(std::vector<dbase::Table*> tabellen)
{
    for (dbase::Table* table : tabellen) {
        const bool schonDa = std::any_of(m_staende.begin(), m_staende.end(),
                                         [table](const Stand& stand) { return stand.table == table; });
        if (!table || schonDa)
            continue;
        m_halten.push_back(std::make_unique<dbase::NotificationHold>(*table));
        m_staende.push_back(aufnehmen(*table));
    }
}

TabellenWache::~TabellenWache()
{
    if (m_restored)
        return;
    try {
        restore();
    } catch (const std::exception& error) {
        qWarning("%s", error.what());
    }
}

TabellenWache::Stand TabellenWache::aufnehmen(dbase::Table& table)
{
    Stand stand;
    stand.table = &table;
    stand.open = table.active();
    stand.tableName = table.tableName();
    stand.indexFiles = table.indexFiles();
    stand.indexName = table.indexName();
    stand.filter = table.filter();
    stand.filtered = table.filtered();
    stand.filterOptions = table.filterOptions();
    if (stand.open)
        stand.bookmark = table.bookmark();
    return stand;
}

void TabellenWache::restore()
{
    if (m_restored)
        return;
    m_restored = true;
    QStringList fehler;
    for (auto stand = m_staende.rbegin(); stand != m_staende.rend(); ++stand) {
        try {
            zuruecksetzen(*stand);
        } catch (const std::exception& error) {
            fehler << widgets::errorText(error);
        }
    }
    if (!fehler.isEmpty())
        throw dbase::DbaseError(
            QStringLiteral("Die Tabellen konnten nicht wiederhergestellt werden:\n%1").arg(fehler.join(u'\n'))
                .toStdString());
}

void TabellenWache::zuruecksetzen(const Stand& stand)
{
    dbase::Table& table = *stand.table;
    const bool andereDatei = table.tableName() != stand.tableName || table.indexFiles() != stand.indexFiles;
    if (andereDatei || !stand.open)
        table.close();

    if (table.active()) {
        table.setIndexName(stand.indexName);
        table.setFilter(stand.filter);
    } else {
        // Everything is set before the open, so the job's filter and index
        // order are never tried on a file they were not meant for.
        table.setTableName(stand.tableName);
        table.setIndexFiles(stand.indexFiles);
        table.setIndexName(stand.indexName);
        table.setFilter(stand.filter);
    }
    table.setFilterOptions(stand.filterOptions);
    table.setFiltered(stand.filtered);
    if (stand.open)
        table.open();

    if (!table.active())
        return;
    if (stand.bookmark.valid() && table.bookmarkValid(stand.bookmark))
        table.gotoBookmark(stand.bookmark);
    else
        table.first();
}

void namenDesRegistersOeffnen(dbase::Table& namen)
{
    namen.close();
    namen.setTableName(namentabellenDatei(Namentabelle::Stamm));
    namen.setIndexFiles(namentabellenIndexDatei(Namentabelle::Stamm));
    namen.open();
}

} // namespace reports
