// The memo search: every name of namen.dbf (100,000) in name order, its
// substance looked up in chemie.dbf (20,000, one in forty with a memo) and
// that substance's memo searched for the text. Budget on the development
// machine: under 300 ms.
#include <benchmark/benchmark.h>

#include "BenchRegister.h"
#include "dbase/Table.h"
#include "search/MemoSuchen.h"

namespace {

using bench::BenchRegister;

// `state.range(0)`: 1 searches a word the memos hold, 0 a text none holds
// (every memo is read to its end).
void BM_MemoSuche(benchmark::State& state)
{
    const BenchRegister& reg = BenchRegister::standard();
    dbase::Table namen;
    dbase::Table chemie;
    reg.open(namen, "namen.dbf", QString::fromStdString(BenchRegister::name1SubTag.name));
    reg.open(chemie, "chemie.dbf", QString::fromStdString(BenchRegister::carnSubTag.name));
    const QString text = state.range(0) != 0 ? QStringLiteral("Schutzbrille") : QStringLiteral("Schutzanzug");
    std::size_t treffer = 0;
    int schritte = 0;
    for (auto _ : state) {
        const MemoSuchergebnis ergebnis = MemotexteDurchsuchen(namen, chemie, text, [&schritte] { ++schritte; });
        treffer = ergebnis.treffer.size();
        benchmark::DoNotOptimize(ergebnis);
    }
    state.counters["names"] = static_cast<double>(schritte) / static_cast<double>(state.iterations());
    state.counters["hits"] = static_cast<double>(treffer);
}
BENCHMARK(BM_MemoSuche)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
