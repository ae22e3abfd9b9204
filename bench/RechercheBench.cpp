// The research on a register of 100,000 names over 20,000 substances
// (BenchRegister), as the research dialog runs it after its questions:
// every field of every substance searched (the memo too), the research
// table made from the found substances' names with its two tags, the list
// switched to it and read again with storage markers. Budget: under 1 s.
#include <benchmark/benchmark.h>

#include "Programmfenster.h"
#include "data/Optionen.h"
#include "search/Recherchelauf.h"
#include "widgets/NameList.h"

namespace {

// Arg 0: "T+", found in about one substance of seven; 1: a text found
// nowhere, so every field of every substance is read; 2: "-", found in
// every substance (all 100,000 names copied). Letter case is ignored, as
// the dialog starts.
void BM_Recherche(benchmark::State& state)
{
    static const QString texte[] = {u"T+"_qs, u"gibt es nicht"_qs, u"-"_qs};
    bench::Programmfenster fenster;
    OptLagerMarkieren = true;
    OptWin98 = true;
    const Rechercheauftrag auftrag{.ziel = Namentabelle::Tmp1, .text = texte[state.range(0)]};
    std::uint32_t zeilen = 0;
    for (auto _ : state) {
        zeilen = RechercheAusfuehren(auftrag);
        // Back to namen.dbf, the source of the next run.
        state.PauseTiming();
        if (zeilen > 0)
            fenster.marlex().StammDatenbankAktivieren();
        state.ResumeTiming();
    }
    state.counters["names"] = zeilen;
    state.SetLabel(auftrag.text.toStdString());
}
BENCHMARK(BM_Recherche)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

} // namespace
