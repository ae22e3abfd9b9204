// Hazard labels through the program's own start and label engine with the
// demo's label layout (tools/sheets) on the large register of BenchRegister.h
// (100,000 names, 5,000 stock items): 500 of the stock items are marked with
// one label each, the others have none.
//  - BM_Etiketten500Pdf: the print of all marked stock items into a PDF file
//    (the printer dialog's "print to file"), the reset of their counts
//    included; between two runs the 500 are marked again, untimed.
//    Budget: under 5 s.
//  - BM_EtikettenVorschau: from the job's start until the preview window
//    shows the first page of the 500 labels, closed once it has been drawn.
//    Budget: under 300 ms.
//  - BM_DatensaetzeFestlegen: "Datensätze festlegen" with "Anzahl" ticked,
//    every one of the 5,000 stock items given one label, through the
//    dialog's OK (the run's progress window included).
//    Budget: under 1 s.
#include <benchmark/benchmark.h>

#include <optional>
#include <stdexcept>
#include <vector>

#include <QCheckBox>
#include <QSpinBox>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "BenchVorschau.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "labels/EtikettFestlegen.h"
#include "labels/EtikettenLayout.h"
#include "sheets/LabelRun.h"
#include "sheets/SheetSession.h"

namespace {

constexpr int kMarkiert = 500;

// Starts the program on the large register and gives every tenth stock
// item one label, the rest none; returns the marked rows.
std::vector<std::uint32_t> starten(benchmark::State& state, std::optional<sheets::SheetSession>& sitzung)
{
    bench::application();
    std::vector<std::uint32_t> markiert;
    try {
        sitzung.emplace(sheets::SheetOptions{.registerDir = bench::BenchRegister::standard().directory()});
        dbase::Table& lager = *Datas->Table3;
        int zeile = 0;
        for (lager.first(); !lager.eof(); lager.next(), ++zeile) {
            const bool markieren = zeile % 10 == 0 && int(markiert.size()) < kMarkiert;
            lager.edit();
            lager.fieldByName("ANZAHL").setAsInteger(markieren ? 1 : 0);
            lager.post();
            if (markieren)
                markiert.push_back(lager.recNo());
        }
        lager.first();
        EtikettenLayout->VorlagenDatei = OptStandardEtikett;
        if (int(markiert.size()) != kMarkiert)
            state.SkipWithError("the register has too few stock items");
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
    }
    return markiert;
}

void markieren(const std::vector<std::uint32_t>& zeilen)
{
    dbase::Table& lager = *Datas->Table3;
    for (const std::uint32_t recNo : zeilen) {
        lager.gotoRecNo(recNo);
        lager.edit();
        lager.fieldByName("ANZAHL").setAsInteger(1);
        lager.post();
    }
    lager.first();
}

void BM_Etiketten500Pdf(benchmark::State& state)
{
    std::optional<sheets::SheetSession> sitzung;
    const std::vector<std::uint32_t> markiert = starten(state, sitzung);
    if (markiert.empty())
        return;
    const QTemporaryDir ausgabe;
    for (auto _ : state) {
        state.PauseTiming();
        markieren(markiert);
        state.ResumeTiming();
        try {
            sheets::printLabelsPdf(*sitzung, {}, ausgabe.filePath(QStringLiteral("etiketten.pdf")));
        } catch (const std::exception& e) {
            state.SkipWithError(e.what());
            break;
        }
    }
}
BENCHMARK(BM_Etiketten500Pdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_EtikettenVorschau(benchmark::State& state)
{
    std::optional<sheets::SheetSession> sitzung;
    if (starten(state, sitzung).empty())
        return;
    bench::ersteSeiteMessen(state, [] {
        if (!EtikettenLayout->EtikettenLayoutZeigen(true))
            throw std::runtime_error("the label preview was not shown");
    });
}
BENCHMARK(BM_EtikettenVorschau)->Unit(benchmark::kMillisecond);

void BM_DatensaetzeFestlegen(benchmark::State& state)
{
    std::optional<sheets::SheetSession> sitzung;
    if (starten(state, sitzung).empty())
        return;
    for (auto _ : state) {
        TEtikettFestlegen dialog(Marlex);
        dialog.CheckBox2->setChecked(true);
        dialog.SpinEdit1->setValue(1);
        dialog.Button1Click();
        if (dialog.result() != QDialog::Accepted) {
            state.SkipWithError("not every stock item was set");
            break;
        }
    }
}
BENCHMARK(BM_DatensaetzeFestlegen)->Unit(benchmark::kMillisecond);

} // namespace
