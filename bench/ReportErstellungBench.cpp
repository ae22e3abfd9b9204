// The free report through the program's own pieces (tools/sheets): the
// program started on the large register of BenchRegister.h (100,000 names,
// 5,000 stock items) and the demo's stock list LAGERLISTE.REP, one line per
// stock item, made with the report generator's dialog as a user makes it.
//  - BM_LagerlistePdf: the whole list of 5,000 items printed into a PDF file
//    (the question answered "Ja"). Budget: under 5 s.
//  - BM_LagerlisteVorschau: from the run's start until the preview window
//    shows the list's first page, closed from a timer once it has been
//    drawn. Budget: under 300 ms.
#include <benchmark/benchmark.h>

#include <optional>

#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "BenchVorschau.h"
#include "sheets/ReportRun.h"
#include "sheets/SheetSession.h"

namespace {

// The program on the large register; false, and the benchmark skipped,
// when it could not be started.
bool starten(benchmark::State& state, std::optional<sheets::SheetSession>& sitzung)
{
    bench::application();
    try {
        sitzung.emplace(sheets::SheetOptions{.registerDir = bench::BenchRegister::standard().directory()});
        return true;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return false;
    }
}

void BM_LagerlistePdf(benchmark::State& state)
{
    std::optional<sheets::SheetSession> sitzung;
    if (!starten(state, sitzung))
        return;
    const QString layout = sheets::demoReportLayouts().at(0);
    const QTemporaryDir ausgabe;
    for (auto _ : state) {
        try {
            sheets::printReportPdf(*sitzung, layout, ausgabe.filePath(QStringLiteral("LAGERLISTE.pdf")));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}
BENCHMARK(BM_LagerlistePdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LagerlisteVorschau(benchmark::State& state)
{
    std::optional<sheets::SheetSession> sitzung;
    if (!starten(state, sitzung))
        return;
    const QString layout = sheets::demoReportLayouts().at(0);
    bench::ersteSeiteMessen(state, [&] { sheets::previewReport(*sitzung, layout); });
}
BENCHMARK(BM_LagerlisteVorschau)->Unit(benchmark::kMillisecond);

} // namespace
