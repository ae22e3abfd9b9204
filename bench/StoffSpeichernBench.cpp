// Storing a new substance entered on the record page, on a copy of the
// register of 100,000 names over 20,000 substances (BenchRegister): its
// substance row, name row and formula row written to chemie.dbf, namen.dbf
// and formeln.dbf with their indexes kept and flushed. Budget: under 20 ms.
// Timed is the store alone, not the typing before it nor the reading of the
// name list after it.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "widgets/MessageBox.h"

namespace {

void BM_NeuenStoffSpeichern(benchmark::State& state)
{
    bench::application();
    const widgets::ScopedAnswerProvider stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    // The stores add rows: they go into a copy, so the other benchmarks
    // find the register as it was written.
    const bench::BenchRegister& reg = bench::BenchRegister::standard();
    QTemporaryDir kopie;
    const QDir quelle(reg.directory());
    for (const QString& datei : quelle.entryList(QDir::Files))
        QFile::copy(quelle.filePath(datei), kopie.filePath(datei));
    const QString vorher = QDir::currentPath();
    QTemporaryDir programm;
    Programmverzeichnis = programm.path() + u'/';
    QDir::setCurrent(kopie.path());
    {
        TDatas datas;
        Datas = &datas;
        TListeEinlesen liste;
        ListeEinlesen = &liste;
        TMarlex marlex;
        Marlex = &marlex;
        for (dbase::Table* t : {datas.Table1, datas.Table2, datas.Table3, datas.Table6})
            t->open();
        marlex.NamenlisteLesen();
        marlex.ChemieSatzAnzahl = static_cast<int>(datas.Table2->recordCount());

        int nummer = 0;
        for (auto _ : state) {
            state.PauseTiming();
            marlex.Neueingabe1Click();
            const QString name = QStringLiteral("Messstoff %1").arg(++nummer);
            datas.Table2->fieldByName("NAME1").setAsString(name);
            datas.Table2->fieldByName("CARN").setAsString(QStringLiteral("7732-18-5"));
            datas.Table2->fieldByName("GEFSYM1").setAsString(QStringLiteral("Xn"));
            datas.Table1->fieldByName("NAME1").setAsString(name);
            state.ResumeTiming();
            if (!marlex.neuenStoffSpeichern()) {
                state.SkipWithError("the substance was not stored");
                break;
            }
            state.PauseTiming();
            for (dbase::Table* t : {datas.Table1, datas.Table2, datas.Table6})
                t->setCachedUpdates(false);
            marlex.EingabemodusSetzen(false);
            marlex.EditierfelderFreigeben(false);
            // As the list read after every store does: the next substance
            // is offered the number after the last.
            marlex.ChemieSatzAnzahl = static_cast<int>(datas.Table2->recordCount());
            state.ResumeTiming();
        }
        state.counters["names"] = static_cast<double>(datas.Table1->recordCount());
        Marlex = nullptr;
        ListeEinlesen = nullptr;
        Datas = nullptr;
    }
    QDir::setCurrent(vorher);
    Programmverzeichnis.clear();
}
BENCHMARK(BM_NeuenStoffSpeichern)->Unit(benchmark::kMillisecond)->Iterations(200);

} // namespace
