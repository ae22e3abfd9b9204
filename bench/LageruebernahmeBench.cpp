// The first start's takeover of an earlier installation's storage register
// into the register of 100,000 names (BenchRegister): the 5,000 stock items
// of its lager.dbf, kept as an old LAGER.MX1 (its first fields are the old
// layout), read record by record, each matched with its name row and
// written into a copy of lager.dbf as a new stock item, each write synced.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BenchRegister.h"
#include "dbase/Table.h"
#include "update/Lageruebernahme.h"

namespace {

void BM_Lageruebernahme(benchmark::State& state)
{
    const bench::BenchRegister& reg = bench::BenchRegister::standard();
    QTemporaryDir alt;
    if (!QFile::copy(reg.path(u"lager.dbf"_qs), QDir(alt.path()).filePath(u"LAGER.MX1"_qs)))
        state.SkipWithError("copying the old storage table failed");
    uebernahme::Auftrag auftrag;
    auftrag.verzeichnis = alt.path();
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir kopie;
        for (const QString& datei : {u"lager.dbf"_qs, u"lager.mdx"_qs})
            if (!QFile::copy(reg.path(datei), QDir(kopie.path()).filePath(datei)))
                state.SkipWithError("copying the register failed");
        state.ResumeTiming();

        dbase::Table namen, lager;
        namen.setTableName(reg.path(u"namen.dbf"_qs));
        namen.setIndexName(u"NAME1_SUB"_qs);
        namen.setReadOnly(true);
        lager.setTableName(QDir(kopie.path()).filePath(u"lager.dbf"_qs));
        const uebernahme::Ergebnis ergebnis = uebernahme::ausfuehren(auftrag, namen, lager);
        state.counters["uebernommen"] = ergebnis.uebernommen;
        if (ergebnis.uebernommen == 0)
            state.SkipWithError("no stock item was taken over");
    }
}
BENCHMARK(BM_Lageruebernahme)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
