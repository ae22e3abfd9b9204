// The two filters on a register of 100,000 names over 20,000 substances and
// 5,000 stock items (BenchRegister), as the filter dialog sets them.
// Budgets: a list filter, with filter.dbf built from its substances' names
// and the name list read again from it (with storage markers), under
// 300 ms; a storage filter with its rows walked once, under 30 ms.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "search/FilterWarten.h"
#include "search/Filterverwaltung.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// The main window and the windows the filters show, on the register's
// tables, for the life of one benchmark.
class Programmfenster {
public:
    Programmfenster()
        : m_app(bench::application()), m_stumm([](const widgets::MessageRequest&) { return widgets::Answer::Ok; }),
          m_vorher(QDir::currentPath())
    {
        const bench::BenchRegister& reg = bench::BenchRegister::standard();
        // The set-up reports the pictures an empty program directory lacks;
        // nobody is there to answer.
        Programmverzeichnis = m_programm.path() + u'/';
        QDir::setCurrent(reg.path({}));
        m_marlex = std::make_unique<TMarlex>();
        Marlex = m_marlex.get();
        ListeEinlesen = &m_liste;
        AktuellerFilter = &m_aktuell;
        AktuellerLagerFilter = &m_lager;
        FilterWarten = &m_warten;
        Datas = &m_datas;
        for (dbase::Table* t : {m_datas.Table1, m_datas.Table2, m_datas.Table3, m_datas.Table6})
            t->open();
    }
    ~Programmfenster()
    {
        m_marlex.reset();
        Datas = nullptr;
        Marlex = nullptr;
        ListeEinlesen = nullptr;
        AktuellerFilter = nullptr;
        AktuellerLagerFilter = nullptr;
        FilterWarten = nullptr;
        QDir::setCurrent(m_vorher);
        Programmverzeichnis.clear();
    }

    TMarlex& marlex() { return *m_marlex; }

private:
    QApplication& m_app; // before the windows
    widgets::ScopedAnswerProvider m_stumm;
    QString m_vorher;
    QTemporaryDir m_programm;
    TDatas m_datas;
    TListeEinlesen m_liste;
    TAktuellerFilter m_aktuell;
    TAktuellerLagerFilter m_lager;
    TFilterWarten m_warten;
    std::unique_ptr<TMarlex> m_marlex;
};

// First arg 0: a narrow expression, 1: one that every substance passes.
// Second arg: OptWin98, 1 copying the names record by record, 0 in one
// batch move.
void BM_ListenFilter(benchmark::State& state)
{
    static const QString ausdruecke[] = {u"GEFSYM1='T+' OR WGK='3'"_qs, u"SMT>-1000"_qs};
    Programmfenster fenster;
    OptLagerMarkieren = true;
    OptWin98 = state.range(1) != 0;
    const dbase::Filter filter = FilterPruefen(ausdruecke[state.range(0)], *Datas->Table2);
    for (auto _ : state) {
        if (!ListenFilterSetzen(filter)) {
            state.SkipWithError("no substance passes");
            break;
        }
    }
    state.counters["names"] = fenster.marlex().ListBox1->count();
    state.SetLabel(ausdruecke[state.range(0)].toStdString() + (OptWin98 ? ", record by record" : ", batch move"));
    FilterLoeschen();
}
BENCHMARK(BM_ListenFilter)->ArgsProduct({{0, 1}, {1, 0}})->Unit(benchmark::kMillisecond);

void BM_LagerFilter(benchmark::State& state)
{
    Programmfenster fenster;
    const dbase::Filter filter =
        FilterPruefen(u"LAGER_ORT='Giftschrank' or LAGER_ORT='Säureschrank'"_qs, *Datas->Table3);
    dbase::Table& lager = *Datas->Table3;
    int zeilen = 0;
    for (auto _ : state) {
        LagerFilterSetzen(filter);
        zeilen = 0;
        for (lager.first(); !lager.eof(); lager.next())
            ++zeilen;
        LagerFilterLoeschen();
    }
    state.counters["rows"] = zeilen;
}
BENCHMARK(BM_LagerFilter)->Unit(benchmark::kMillisecond);

} // namespace
