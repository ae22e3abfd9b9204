// Moving in the name list of the register of 1,000,000 names, as this
// program and as TDbf wrote it: "Suchen" (F3) through its dialog (the text
// typed, OK clicked, the found line selected and its substance shown) for a
// name near the end of the list, and Home and End on the list. Budget: under
// 50 ms each.
#include <benchmark/benchmark.h>

#include <memory>

#include <QCheckBox>
#include <QLineEdit>
#include <QCoreApplication>
#include <QKeyEvent>

#include "Programmfenster.h"
#include "TdbfRegister.h"
#include "app/NameRules.h"
#include "data/Optionen.h"
#include "search/Suchen.h"
#include "widgets/NameList.h"

namespace {

// The program's windows on the register `art` (bench::registerDirectory())
// with the name list read, storage markers on; none, and the benchmark
// skipped, when the register cannot be made.
std::unique_ptr<bench::Programmfenster> mitNamenliste(benchmark::State& state, int art)
{
    const QString verzeichnis = bench::registerDirectory(art);
    if (verzeichnis.isEmpty()) {
        state.SkipWithError("no register written by TDbf (Free Pascal missing?)");
        return nullptr;
    }
    auto fenster = std::make_unique<bench::Programmfenster>(verzeichnis);
    OptLagerMarkieren = true;
    fenster->marlex().NamenlisteLesen();
    return fenster;
}

// First arg: the register (bench::registerDirectory()); second: 0 the
// beginning of the key with case ignored (the dialog's default), 1 the
// whole key with case.
void BM_NamenSuchen(benchmark::State& state)
{
    const int art = static_cast<int>(state.range(0));
    const std::unique_ptr<bench::Programmfenster> fenster = mitNamenliste(state, art);
    if (!fenster)
        return;
    TMarlex& marlex = fenster->marlex();
    widgets::NameList& liste = *marlex.ListBox1;
    // The key of a name near the end; its first line is found.
    const QString schluessel = StripNameBilden(liste.text(liste.count() - 20));
    const bool exakt = state.range(1) != 0;
    const QString text = exakt ? schluessel : schluessel.left(schluessel.size() - 1).toLower();
    int gefunden = -1;
    for (auto _ : state) {
        state.PauseTiming();
        liste.setItemIndex(0);
        marlex.AktuellenDatensatzZeigen();
        TSuchen dialog(&marlex);
        dialog.Edit1->setText(text);
        dialog.CheckBox2->setChecked(exakt);
        dialog.CheckBox3->setChecked(exakt);
        state.ResumeTiming();
        dialog.Button1Click();
        gefunden = liste.itemIndex();
    }
    const QString gefundenerSchluessel = StripNameBilden(liste.text(gefunden));
    if (gefunden < 0 || gefunden > liste.count() - 20
        || !(exakt ? gefundenerSchluessel == text : gefundenerSchluessel.startsWith(text, Qt::CaseInsensitive)))
        state.SkipWithError("the search did not find the line");
    state.counters["line"] = gefunden;
    state.SetLabel(bench::registerLabel(art) + (exakt ? ", whole key with case" : ", key prefix, case ignored"));
}
BENCHMARK(BM_NamenSuchen)->ArgsProduct({{1, 2}, {0, 1}})->Unit(benchmark::kMillisecond);

// End, then Home, pressed on the list; each shows its line's substance.
// Arg: the register (bench::registerDirectory()).
void BM_NamenlisteEnden(benchmark::State& state)
{
    const int art = static_cast<int>(state.range(0));
    const std::unique_ptr<bench::Programmfenster> fenster = mitNamenliste(state, art);
    if (!fenster)
        return;
    TMarlex& marlex = fenster->marlex();
    widgets::NameList& liste = *marlex.ListBox1;
    liste.setItemIndex(0);
    marlex.AktuellenDatensatzZeigen();
    const auto taste = [&liste](int key) {
        QKeyEvent druck(QEvent::KeyPress, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&liste, &druck);
        QKeyEvent loslassen(QEvent::KeyRelease, key, Qt::NoModifier);
        QCoreApplication::sendEvent(&liste, &loslassen);
    };
    bool richtig = true;
    for (auto _ : state) {
        taste(Qt::Key_End);
        richtig = richtig && liste.itemIndex() == liste.count() - 1;
        taste(Qt::Key_Home);
        richtig = richtig && liste.itemIndex() == 0;
    }
    if (!richtig)
        state.SkipWithError("the list did not reach its ends");
    state.counters["lines"] = liste.count();
    state.SetLabel(bench::registerLabel(art) + ", End and Home");
}
BENCHMARK(BM_NamenlisteEnden)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

} // namespace
