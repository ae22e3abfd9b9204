// The start's list step on a register of 100,000 names (BenchRegister):
// namen.dbf read in name order into the main window's list, each line with
// its storage marker from lager.dbf and its record number, the start-up
// window's bar stepped per row. Budget: under 200 ms with the markers.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Fortschritt.h"
#include "data/Init.h"
#include "data/Optionen.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

void BM_StartNamenliste(benchmark::State& state)
{
    bench::application();
    const bench::BenchRegister& reg = bench::BenchRegister::standard();
    // The main window's set-up reports the pictures an empty program
    // directory lacks; nobody is there to answer.
    const widgets::ScopedAnswerProvider stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    const QTemporaryDir programm;
    Programmverzeichnis = programm.path() + u'/';
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(reg.path({}));
    {
        TMarlex marlex;
        Marlex = &marlex;
        TDatas datas;
        Datas = &datas;
        TInit init;
        for (dbase::Table* t : {datas.Table1, datas.Table2, datas.Table3})
            t->open();
        OptLagerMarkieren = state.range(0) != 0;

        for (auto _ : state) {
            init.ProgressBar1->setPosition(0);
            init.ProgressBar1->setMaximumSteps(static_cast<int>(datas.Table1->recordCount()));
            marlex.NamenlisteLesen([&init] { init.ProgressBar1->stepIt(); });
            benchmark::DoNotOptimize(marlex.ListBox1->count());
        }
        state.counters["lines"] = marlex.ListBox1->count();
        Datas = nullptr;
        Marlex = nullptr;
    }
    QDir::setCurrent(vorher);
    Programmverzeichnis.clear();
}
BENCHMARK(BM_StartNamenliste)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

} // namespace
