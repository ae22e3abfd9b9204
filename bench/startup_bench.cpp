// The start's list step on a register of 100,000 names (BenchRegister):
// namen.dbf read in name order into the main window's list, each line with
// its storage marker from lager.dbf and its record number, the start-up
// window's bar stepped per row. Budget: under 200 ms with the markers.
// And the whole start on that register, from the first window's creation to
// the first record shown, and on one of 1,000,000 names. Budget: under 1 s
// for either, and under 250 MB peak memory on the large one (peak_MB, from
// a process that does nothing but the start).
#include <benchmark/benchmark.h>

#include <optional>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "TdbfRegister.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Fortschritt.h"
#include "data/Init.h"
#include "data/Optionen.h"
#include "data/Programm.h"
#include "ini/IniFile.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// Second arg: the register (bench::registerDirectory()).
void BM_StartNamenliste(benchmark::State& state)
{
    bench::application();
    const QString verzeichnis = bench::registerDirectory(static_cast<int>(state.range(1)));
    if (verzeichnis.isEmpty()) {
        state.SkipWithError("no register written by TDbf (Free Pascal missing?)");
        return;
    }
    // The main window's set-up reports the pictures an empty program
    // directory lacks; nobody is there to answer.
    const widgets::ScopedAnswerProvider stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    const QTemporaryDir programm;
    Programmverzeichnis = programm.path() + u'/';
    // Not the first start: the offer to take over an earlier version's
    // storage data would wait for a user.
    ini::IniFile(Programmverzeichnis + u"marlex99.ini"_qs).writeBool(u"Optionen"_qs, u"First"_qs, false);
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(verzeichnis);
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
        state.SetLabel(bench::registerLabel(static_cast<int>(state.range(1))));
        Datas = nullptr;
        Marlex = nullptr;
    }
    QDir::setCurrent(vorher);
    Programmverzeichnis.clear();
}
BENCHMARK(BM_StartNamenliste)->ArgsProduct({{1, 0}, {0}})->Args({1, 1})->Args({1, 2})->Unit(benchmark::kMillisecond);

// The start also opens the phrase and structure-picture tables and checks
// FILES.TXT; the bench register has only the three large tables, so the
// small ones are made here, empty, once.
void ergaenzeKleineTabellen(const bench::BenchRegister& reg)
{
    using dbase::FieldDef;
    using dbase::FieldType;
    auto make = [&](const QString& name, std::vector<FieldDef> fields, const dbase::IndexDef& tag) {
        if (QFile::exists(reg.path(name)))
            return;
        dbase::Table t;
        t.setTableName(reg.path(name));
        t.createTable(dbase::TableLayout(std::move(fields)));
        t.addIndex(tag);
    };
    make("si_gef.dbf",
         {FieldDef{"NRSATZ", FieldType::Character, 10}, FieldDef{"ZEILE", FieldType::Numeric, 2},
          FieldDef{"SATZTEXT", FieldType::Character, 80}},
         dbase::IndexDef{"NRSATZ_SUB", "NRSATZ"});
    make("formeln.dbf",
         {FieldDef{"CARN", FieldType::Character, 12}, FieldDef{"SUBCARN", FieldType::Character, 4},
          FieldDef{"FORMEL", FieldType::Binary, 10}},
         bench::BenchRegister::carnSubTag);
    QFile files(reg.path("FILES.TXT"));
    if (files.open(QIODevice::WriteOnly))
        files.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf");
}

// The whole start on a register (arg: its names in thousands).
// The peak memory of the start alone: the register's rows that this process
// keeps for other benchmarks would hide it here, so the start runs once more
// in a process of its own, which reports its peak.
std::optional<double> startPeakMegabytes(const QString& directory)
{
    QProcess driver;
    driver.start(QStringLiteral(MARLEX_START_DRIVER), {directory});
    if (!driver.waitForFinished(120000) || driver.exitStatus() != QProcess::NormalExit || driver.exitCode() != 0)
        return std::nullopt;
    for (const QByteArray& line : driver.readAllStandardOutput().split('\n'))
        if (line.startsWith("peak_MB "))
            return line.mid(8).toDouble();
    return std::nullopt;
}

// Second arg 1: the same register written by TDbf (TdbfRegister.h).
void BM_ProgrammStart(benchmark::State& state)
{
    bench::application();
    const bench::BenchRegister& reg =
        state.range(0) >= 1000 ? bench::BenchRegister::millionNames() : bench::BenchRegister::standard();
    ergaenzeKleineTabellen(reg);
    const QString verzeichnis = state.range(1) != 0 ? bench::tdbfRegister(reg) : reg.path({});
    if (verzeichnis.isEmpty()) {
        state.SkipWithError("no register written by TDbf (Free Pascal missing?)");
        return;
    }
    // Without pictograms in the program directory the set-up reports them
    // missing; nobody is there to answer.
    const widgets::ScopedAnswerProvider stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; });
    const QTemporaryDir programm;
    Programmverzeichnis = programm.path() + u'/';
    // Not the first start: the offer to take over an earlier version's
    // storage data would wait for a user.
    ini::IniFile(Programmverzeichnis + u"marlex99.ini"_qs).writeBool(u"Optionen"_qs, u"First"_qs, false);
    const QString vorher = QDir::currentPath();
    QDir::setCurrent(verzeichnis);
    for (auto _ : state) {
        std::optional<Programm> p;
        p.emplace();
        const bool gestartet = p->gestartet();
        state.PauseTiming(); // closing the windows is not part of the start
        p.reset();
        state.ResumeTiming();
        if (!gestartet) {
            state.SkipWithError("the start ended early");
            break;
        }
    }
    QDir::setCurrent(vorher);
    Programmverzeichnis.clear();
    if (const std::optional<double> peak = startPeakMegabytes(verzeichnis))
        state.counters["peak_MB"] = *peak;
}
BENCHMARK(BM_ProgrammStart)
    ->Args({100, 0})
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
