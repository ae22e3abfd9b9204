// The name list with a register's 100,000 names: handing the lines over and
// showing the last of them must take well under 100 ms.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPixmap>

#include "widgets/NameList.h"

namespace {

// Widgets need an application; the benchmarks draw off screen.
QApplication& application()
{
    static int argc = 1;
    static char name[] = "marlex_bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

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

} // namespace
