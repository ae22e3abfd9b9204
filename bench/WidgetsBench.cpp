// The name list with a register's 100,000 names: handing the lines over and
// showing the last of them must take well under 100 ms. The storage grid
// reads its rows again after every stored change: for 5,000 storage rows
// that must stay without a visible wait (well under 100 ms).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "dbase/Table.h"
#include "widgets/DBGrid.h"
#include "widgets/NameList.h"

namespace {

using bench::application;

widgets::NameLines registerLines(int count)
{
    static const char* stems[] = {"Aceton", "Äthanol", "Benzol", "Chloroform", "Dichlormethan",
                                  "Essigsäure", "Formaldehyd", "Glycerin", "Hexan", "Isopropanol"};
    widgets::NameLines lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        lines.add(QString("%1 %2").arg(QString::fromUtf8(stems[i % 10])).arg(i),
                  static_cast<std::uint8_t>(i % 3 == 0 ? 0 : 1), static_cast<std::uint32_t>(i + 1));
    return lines;
}

void BM_NameListLoad(benchmark::State& state)
{
    application();
    const widgets::NameLines lines = registerLines(static_cast<int>(state.range(0)));
    widgets::NameList list;
    list.resize(400, 600);
    for (auto _ : state) {
        state.PauseTiming();
        widgets::NameLines copy = lines;
        state.ResumeTiming();
        list.setLines(std::move(copy));
        list.setItemIndex(list.count() - 1); // lays the lines out and scrolls to the end
        benchmark::DoNotOptimize(list.viewport()->grab());
    }
}
BENCHMARK(BM_NameListLoad)->Arg(100000)->Unit(benchmark::kMillisecond);

dbase::FieldDef field(const char* name, int length)
{
    dbase::FieldDef def;
    def.name = name;
    def.length = static_cast<std::uint8_t>(length);
    return def;
}

void BM_GridReadRows(benchmark::State& state)
{
    application();
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        dbase::Table table;
        table.setTableName("lager.dbf");
        table.createTable(dbase::TableLayout(
            {field("NAME1", 60), field("CARN", 12), field("LAGER_ORT", 30), field("LIEFERANT", 30)}));
        table.open();
        for (int i = 0; i < state.range(0); ++i) {
            table.append();
            table.field(0).setAsString(QString("Stoff %1").arg(i));
            table.field(1).setAsString(QString::number(i));
            table.field(2).setAsString("Schrank 3");
            table.field(3).setAsString("Lieferant");
            table.post();
        }
        table.close();
        table.addIndex({"NAME1", "NAME1"});
        table.setIndexFiles("lager.mdx");
        table.setIndexName("NAME1");
        table.open();
        widgets::DataSource source(&table);
        widgets::DBGrid grid;
        grid.setDataSource(&source);
        grid.setColumns({{"NAME1"}, {"CARN"}, {"LAGER_ORT"}, {"LIEFERANT"}});
        for (auto _ : state)
            grid.refresh();
    }
    QDir::setCurrent(previous);
}
BENCHMARK(BM_GridReadRows)->Arg(5000)->Unit(benchmark::kMillisecond);

} // namespace
