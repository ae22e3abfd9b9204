#include "UpdateTable.h"

#include <optional>
#include <vector>

#include "DemoData.h"
#include "DemoError.h"
#include "RegisterTables.h"
#include "dbase/Table.h"

namespace demo {

namespace {

// The substance of the data set with that CAS number; a smaller data set
// may lack it, and its update then leaves it out.
std::optional<Substance> known(const DemoData& data, const char* carn)
{
    const Substance* s = data.find(QLatin1String(carn), QStringLiteral("1"));
    return s ? std::optional<Substance>(*s) : std::nullopt;
}

} // namespace

int writeUpdateTable(const DemoData& data, const QDir& dir)
{
    if (!dir.exists() && !QDir().mkpath(dir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(dir.path()));

    std::vector<Substance> records;
    if (auto aceton = known(data, "67-64-1")) {
        aceton->fields[QStringLiteral("DAMPFDRUCK")] = QStringLiteral("246 hPa (20 °C)");
        records.push_back(*aceton);
    }
    if (auto benzol = known(data, "71-43-2")) {
        benzol->fields[QStringLiteral("MEMOTEXT")] += QStringLiteral(" Vorrat jährlich auf Notwendigkeit prüfen.");
        records.push_back(*benzol);
    }
    // Decomposes above 240 °C: no melting point.
    if (auto permanganat = known(data, "7722-64-7")) {
        permanganat->fields.erase(QStringLiteral("SMT"));
        permanganat->fields[QStringLiteral("LOESLICHKE")] = QStringLiteral("64 g/l (20 °C)");
        records.push_back(*permanganat);
    }
    if (auto ethanol = known(data, "64-17-5"))
        records.push_back(*ethanol);

    Substance peroxid;
    peroxid.fields = {
        {QStringLiteral("NAME1"), QStringLiteral("Wasserstoffperoxid-Lösung 30 %")},
        {QStringLiteral("NAME2"), QStringLiteral("Perhydrol")},
        {QStringLiteral("CARN"), QStringLiteral("7722-84-1")},
        {QStringLiteral("EG_INDEX"), QStringLiteral("008-003-00-9")},
        {QStringLiteral("FORMEL"), QStringLiteral("H2O2")},
        {QStringLiteral("GEFSYM1"), QStringLiteral("C")},
        {QStringLiteral("R_SATZ"), QStringLiteral("34")},
        {QStringLiteral("S_SATZ"), QStringLiteral("3-26-36/37/39-45")},
        {QStringLiteral("WGK"), QStringLiteral("1")},
        {QStringLiteral("MOLMASSE"), QStringLiteral("34.01")},
        {QStringLiteral("DICHTE"), QStringLiteral("1,11 g/cm³")},
        {QStringLiteral("SMT"), QStringLiteral("-26")},
        {QStringLiteral("SDT"), QStringLiteral("107")},
        {QStringLiteral("LOESLICHKE"), QStringLiteral("mischbar")},
        {QStringLiteral("UN_NR"), QStringLiteral("2014")},
        {QStringLiteral("UNTERRICHT"), QStringLiteral("SI")},
        {QStringLiteral("MEMOTEXT"), QStringLiteral("Ätzend. Kühl und lichtgeschützt in Flaschen mit Entgasungsventil "
                                                    "lagern.")},
    };
    if (!known(data, "7722-84-1"))
        records.push_back(peroxid);

    dbase::Table table;
    table.setTableName(dir.filePath(QLatin1String(kUpdateTable)));
    table.createTable(chemieLayout());
    table.open();
    for (const Substance& s : records)
        appendSubstance(table, s);
    table.close();
    return static_cast<int>(records.size());
}

} // namespace demo
