// The substance information sheet through the program's own pieces with the
// demo's sheet layout (tools/sheets): the program started as at start, the
// substance's list line selected, the layout loaded from the settings as the
// sheet dialogs load it before every run. Each case runs on the demo
// register (Benzol) and on the large register of BenchRegister.h (100,000
// names; a substance with stock, structure picture and phrases).
//  - BM_StoffinfoVorschau, BM_StoffinfoVorschauGross: from the run's start
//    until the preview window shows the first page of the one-page sheet,
//    closed from a timer once it has been drawn. Budget: under 300 ms on
//    the demo, under 150 ms on the large register.
//  - BM_Stoffinfo100Pdf, BM_Stoffinfo100PdfGross: 100 sheets printed one
//    after the other into PDF files (the printer dialog's "print to file").
//    Budget: under 10 s on the demo, under 5 s on the large register.
#include <benchmark/benchmark.h>

#include <optional>

#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "BenchVorschau.h"
#include "sheets/SheetSession.h"

namespace {

enum class Bestand { Demo, Gross };

// Starts the program on the register with its sheet substance selected;
// false, and the benchmark skipped, when it could not be started.
bool starten(benchmark::State& state, Bestand bestand, std::optional<sheets::SheetSession>& sitzung)
{
    bench::application();
    try {
        if (bestand == Bestand::Demo) {
            sitzung.emplace();
            sitzung->select(QStringLiteral("Benzol"));
        } else {
            const bench::BenchRegister& bestandGross = bench::BenchRegister::standard();
            sitzung.emplace(sheets::SheetOptions{.registerDir = bestandGross.directory()});
            sitzung->select(bestandGross.sheetSubstance());
        }
        return true;
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return false;
    }
}

void vorschau(benchmark::State& state, Bestand bestand)
{
    std::optional<sheets::SheetSession> sitzung;
    if (!starten(state, bestand, sitzung))
        return;
    bench::ersteSeiteMessen(state, [&sitzung] { sitzung->preview(); });
}

void hundertPdf(benchmark::State& state, Bestand bestand)
{
    std::optional<sheets::SheetSession> sitzung;
    if (!starten(state, bestand, sitzung))
        return;
    const QTemporaryDir ausgabe;
    for (auto _ : state) {
        try {
            for (int i = 0; i < 100; ++i)
                sitzung->printPdf(ausgabe.filePath(QStringLiteral("blatt%1.pdf").arg(i)));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}

void BM_StoffinfoVorschau(benchmark::State& state)
{
    vorschau(state, Bestand::Demo);
}
BENCHMARK(BM_StoffinfoVorschau)->Unit(benchmark::kMillisecond);

void BM_StoffinfoVorschauGross(benchmark::State& state)
{
    vorschau(state, Bestand::Gross);
}
BENCHMARK(BM_StoffinfoVorschauGross)->Unit(benchmark::kMillisecond);

void BM_Stoffinfo100Pdf(benchmark::State& state)
{
    hundertPdf(state, Bestand::Demo);
}
BENCHMARK(BM_Stoffinfo100Pdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Stoffinfo100PdfGross(benchmark::State& state)
{
    hundertPdf(state, Bestand::Gross);
}
BENCHMARK(BM_Stoffinfo100PdfGross)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
