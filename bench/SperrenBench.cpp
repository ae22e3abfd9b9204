// Two users on one register, on a copy of the register of 100,000 names over
// 20,000 substances (BenchRegister):
// - an edit of one substance in chemie.dbf and its post, as edit mode does:
//   the record locked and read as stored now, a field changed, the record
//   written and synced, its index kept, the lock given back. Budget: under
//   20 ms.
// - the walk of the 100,000 names in name order after another open of the
//   table stored a name (one record changed in place): the first move finds
//   the file changed and reads it afresh.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BenchRegister.h"
#include "dbase/Table.h"

namespace {

// A copy of the register for benchmarks that write, so that the others
// find it as it was written.
class Registerkopie {
public:
    Registerkopie()
    {
        const QDir quelle(bench::BenchRegister::standard().directory());
        for (const QString& datei : quelle.entryList(QDir::Files))
            QFile::copy(quelle.filePath(datei), m_dir.filePath(datei));
    }
    void open(dbase::Table& table, const QString& datei, const QString& tag) const
    {
        table.setTableName(m_dir.filePath(datei));
        table.setIndexName(tag);
        table.open();
    }

private:
    QTemporaryDir m_dir;
};

void BM_StoffBearbeitenMitSperre(benchmark::State& state)
{
    const Registerkopie kopie;
    dbase::Table chemie;
    kopie.open(chemie, QStringLiteral("chemie.dbf"), QStringLiteral("CARN_SUB"));
    const int molmasse = chemie.layout().indexOf("MOLMASSE");
    chemie.moveBy(static_cast<int>(chemie.recordCount() / 2));
    double wert = 1;
    for (auto _ : state) {
        chemie.edit();
        chemie.field(molmasse).setAsFloat(wert += 1);
        chemie.post();
    }
    state.counters["substances"] = static_cast<double>(chemie.recordCount());
}
BENCHMARK(BM_StoffBearbeitenMitSperre)->Unit(benchmark::kMillisecond);

void BM_NamenlisteNachFremderAenderung(benchmark::State& state)
{
    const Registerkopie kopie;
    dbase::Table namen;
    kopie.open(namen, QStringLiteral("namen.dbf"), QStringLiteral("NAME1_SUB"));
    dbase::Table anderer;
    kopie.open(anderer, QStringLiteral("namen.dbf"), {});
    std::size_t zeilen = 0;
    int nummer = 0;
    for (auto _ : state) {
        state.PauseTiming();
        anderer.first();
        anderer.edit();
        anderer.field(0).setAsString(QStringLiteral("Umbenannt %1").arg(++nummer));
        anderer.post();
        state.ResumeTiming();
        zeilen = 0;
        for (namen.first(); !namen.eof(); namen.next())
            benchmark::DoNotOptimize(namen.field(0).raw().size() + ++zeilen);
    }
    state.counters["rows"] = static_cast<double>(zeilen);
}
BENCHMARK(BM_NamenlisteNachFremderAenderung)->Unit(benchmark::kMillisecond);

} // namespace
