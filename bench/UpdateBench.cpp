// The data update on the register of 100,000 names over 20,000 substances
// (BenchRegister): an update table of 20,000 substances, 19,000 of the
// register's with one field changed and 1,000 new ones, merged into copies
// of namen.dbf and chemie.dbf; the new substances' name rows are added.
// Budget: under 5 s.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BenchRegister.h"
#include "dbase/Table.h"
#include "update/Datenupdate.h"

namespace {

constexpr int geaendert = 19000;
constexpr int neu = 1000;

// The update table, written once beside the register's tables.
QString updateTabelle()
{
    const bench::BenchRegister& reg = bench::BenchRegister::standard();
    const QString datei = reg.path(QStringLiteral("bench_update.dbf"));
    if (QFile::exists(datei))
        return datei;
    dbase::Table chemie;
    chemie.setReadOnly(true);
    reg.open(chemie, QStringLiteral("chemie.dbf"), {});
    dbase::Table update;
    update.setTableName(datei);
    update.createTable(chemie.layout());
    update.open();
    update.beginBulk();
    const int lagerung = chemie.layout().indexOf("LAGERUNG");
    const int carn = chemie.layout().indexOf("CARN");
    int n = 0;
    auto kopieren = [&] {
        update.append();
        for (int i = 0; i < chemie.fieldCount(); ++i) {
            const dbase::FieldType typ = chemie.layout().field(i).type;
            if (typ == dbase::FieldType::Numeric) {
                if (const auto zahl = chemie.currentRecord().number(i))
                    update.field(i).setAsFloat(*zahl);
            } else {
                update.field(i).setAsString(chemie.field(i).asString());
            }
        }
    };
    for (chemie.first(); !chemie.eof() && n < geaendert; chemie.next(), ++n) {
        kopieren();
        update.field(lagerung).setAsString(chemie.field(lagerung).asString() == u"A" ? u"B"_qs : u"A"_qs);
        update.post();
    }
    for (int i = 0; i < neu; ++i) {
        chemie.first();
        kopieren();
        update.field(carn).setAsString(QStringLiteral("99%1-00-0").arg(i, 5, 10, QLatin1Char('0')));
        update.post();
    }
    update.endBulk();
    update.close();
    return datei;
}

// Arg: OptWin98, 1 record by record, 0 in one batch move.
void BM_Datenupdate(benchmark::State& state)
{
    const bench::BenchRegister& reg = bench::BenchRegister::standard();
    const QString quelle = updateTabelle();
    const QString vorher = QDir::currentPath();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir kopie;
        for (const QString& datei : {u"namen.dbf"_qs, u"namen.mdx"_qs, u"chemie.dbf"_qs, u"chemie.dbt"_qs,
                                     u"chemie.mdx"_qs})
            if (!QFile::copy(reg.path(datei), kopie.filePath(datei)))
                state.SkipWithError("copying the register failed");
        QDir::setCurrent(kopie.path());
        state.ResumeTiming();

        dbase::Table update, chemie, namen;
        update.setTableName(quelle);
        update.setReadOnly(true);
        chemie.setTableName(u"chemie.dbf"_qs);
        namen.setTableName(u"namen.dbf"_qs);
        for (dbase::Table* t : {&update, &chemie, &namen})
            t->open();
        update::Datenupdate lauf(update, chemie, namen);
        if (state.range(0))
            lauf.satzweise();
        else
            lauf.inEinem();
        if (!lauf.stand().fehler.isEmpty() || lauf.stand().aufgefrischt != geaendert || lauf.stand().uebernommen != neu)
            state.SkipWithError("the update did not merge what it was given");
        namen.close();
        chemie.close();

        state.PauseTiming();
        QDir::setCurrent(vorher);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Datenupdate)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
