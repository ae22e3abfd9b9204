#include "reports/Feldplatzhalter.h"

#include "dbase/Table.h"

namespace reports {

namespace {

// References carry bare file names; a drive or directory in front is cut off
// after its last separator, as the engines always did.
QString ohnePfad(const QString& text)
{
    const qsizetype cut = std::max(text.lastIndexOf(QLatin1Char('\\')), text.lastIndexOf(QLatin1Char(':')));
    return text.mid(cut + 1);
}

dbase::Table* tabelleNamens(const QString& tableName, const TabellenSatz& tabellen)
{
    if (tableName.isEmpty())
        return nullptr;
    for (dbase::Table* table : {tabellen.Table1, tabellen.Table2, tabellen.Table3, tabellen.Table4}) {
        if (table && table->tableName() == tableName)
            return table;
    }
    return nullptr;
}

} // namespace

QString GetFieldTableName(const QString& reference)
{
    const qsizetype blank = reference.indexOf(QLatin1Char(' '));
    if (blank < 1)
        return {};
    return reference.mid(1, blank - 1).toLower();
}

QString GetFieldName(const QString& reference)
{
    const qsizetype blank = reference.indexOf(QLatin1Char(' ')); // -1 without one: from the start
    const qsizetype length = reference.size() - blank - 2;
    return length > 0 ? reference.mid(blank + 1, length) : QString();
}

QString GetTableName(const QString& name)
{
    return name.toLower();
}

dbase::Table* GetFieldTable(const QString& reference, const TabellenSatz& tabellen)
{
    return tabelleNamens(GetFieldTableName(ohnePfad(reference)), tabellen);
}

dbase::Table* GetTable(const QString& name, const TabellenSatz& tabellen)
{
    return tabelleNamens(GetTableName(ohnePfad(name)), tabellen);
}

QString Feldtext(const TabellenSatz& tabellen, dbase::Table* table, const QString& fieldName)
{
    if (!table)
        return {};
    const dbase::Field feld = table->fieldByName(fieldName.toStdString());
    return tabellen.ohneSatz(table) ? QString() : feld.asString();
}

QString Feldwert(const QString& reference, const TabellenSatz& tabellen)
{
    return Feldtext(tabellen, GetFieldTable(reference, tabellen), GetFieldName(reference));
}

} // namespace reports
