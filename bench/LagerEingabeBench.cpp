// An amount typed into the storage grid in storage edit mode, on a copy of
// the large register of BenchRegister.h (5,000 stock items): the keys "3",
// "0", "0" over the current amount cell (the first opens the cell's editor
// and replaces its value), Return, and the arrow key that leaves the row,
// which stores it with its dates stamped, lager.dbf's index kept and
// synced; then what the grid does after the store, up to its rows read
// again. Each run goes to the other of two neighbouring rows. Budget: under
// 20 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTemporaryDir>

#include "BenchRegister.h"
#include "Programmfenster.h"
#include "widgets/DBGrid.h"

namespace {

// A key as the user presses it, to the control with the focus.
void taste(int key, const QString& text = {})
{
    QWidget* ziel = QApplication::focusWidget();
    QKeyEvent druck(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(ziel, &druck);
    QKeyEvent los(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(ziel, &los);
    QApplication::processEvents();
}

void BM_LagerMengeTippen(benchmark::State& state)
{
    // The stores change lager.dbf: they go into a copy of the register.
    QTemporaryDir kopie;
    bench::BenchRegister::standard().copyTo(kopie.path());
    bench::Programmfenster fenster(kopie.path());
    TMarlex& marlex = fenster.marlex();
    marlex.NamenlisteLesen();
    marlex.show();
    marlex.activateWindow(); // the cell editors take the focus only in the active window
    for (int i = 0; i < 200 && QApplication::activeWindow() != &marlex; ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    marlex.PageControl1->setCurrentWidget(marlex.TabSheet3);
    marlex.LagerseiteAktivieren();
    marlex.ToolButton31Click(); // storage edit mode
    widgets::DBGrid& gitter = *marlex.DBGrid1;
    int menge = 0;
    for (int spalte = 0; spalte < static_cast<int>(gitter.columns().size()); ++spalte)
        if (gitter.columns()[static_cast<std::size_t>(spalte)].fieldName == QLatin1String("MENGE_IN_G"))
            menge = spalte;
    gitter.setFocus();
    gitter.setCurrentIndex(gitter.model()->index(0, menge));
    QApplication::processEvents();
    if (QApplication::focusWidget() != &gitter) {
        state.SkipWithError("the storage grid has no focus");
        return;
    }
    // The grid follows lager.dbf's cursor: the first run types on the row it
    // stands on, whichever that is.
    const int erste = gitter.currentIndex().row();

    bool runter = true;
    for (auto _ : state) {
        for (const char ziffer : {'3', '0', '0'})
            taste(Qt::Key_0 + (ziffer - '0'), QString(QLatin1Char(ziffer)));
        taste(Qt::Key_Return);
        taste(runter ? Qt::Key_Down : Qt::Key_Up);
        runter = !runter;
    }
    const QString gespeichert = gitter.model()->index(erste, menge).data().toString();
    if (Datas->Table3->state() != dbase::TableState::Browse || gespeichert != QLatin1String("300")) {
        const std::string fehler = "the amount was not stored as typed: " + gespeichert.toStdString();
        state.SkipWithError(fehler.c_str());
    }
    state.counters["items"] = static_cast<double>(gitter.model()->rowCount());
    marlex.ToolButton31Click();
}
BENCHMARK(BM_LagerMengeTippen)->Unit(benchmark::kMillisecond);

} // namespace
