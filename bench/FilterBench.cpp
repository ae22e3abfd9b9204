// Record filters over a register-sized table held in memory: the budget is
// well under 30 ms for 20,000 records.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "dbase/CodePage.h"
#include "dbase/Filter.h"

namespace {

using namespace dbase;

FieldDef makeField(const char* name, FieldType type, int length)
{
    FieldDef def;
    def.name = name;
    def.type = type;
    def.length = static_cast<std::uint8_t>(length);
    return def;
}

std::string padded(const std::string& text, size_t width, bool right = false)
{
    const std::string cut = text.substr(0, width);
    const std::string pad(width - cut.size(), ' ');
    return right ? pad + cut : cut + pad;
}

struct NameTable {
    TableLayout layout{{makeField("NAME1", FieldType::Character, 60), makeField("STRIPNAME1", FieldType::Character, 60),
                        makeField("CARN", FieldType::Character, 12), makeField("SUBCARN", FieldType::Character, 3),
                        makeField("ANZAHL", FieldType::Numeric, 5)}};
    std::vector<std::string> records;

    explicit NameTable(int count)
    {
        static const char* stems[] = {"Aceton", "Äthanol", "Benzol", "Chloroform", "Dichlormethan", "Essigsäure",
                                      "Formaldehyd", "Glycerin", "Hexan", "Isopropanol"};
        for (int i = 0; i < count; ++i) {
            const std::string name = std::string(stems[i % 10]) + "-" + std::to_string(i);
            const QString unicode = QString::fromUtf8(name.c_str());
            records.push_back(" " + padded(CodePage::windows1252().encode(unicode), 60)
                              + padded(CodePage::windows1252().encode(unicode.toLower()), 60)
                              + padded(std::to_string(100 + i / 3) + "-00-0", 12) + padded(std::to_string(i % 3), 3)
                              + padded(std::to_string(i % 7), 5, true));
        }
    }

    int count(const Filter& filter, const FilterOptions& options) const
    {
        const Filter::Bound bound = filter.bind(layout);
        int passing = 0;
        for (const std::string& bytes : records)
            passing += bound.matches(RecordView(layout, CodePage::windows1252(), bytes), options) ? 1 : 0;
        return passing;
    }
};

const NameTable& table()
{
    static const NameTable instance(20000);
    return instance;
}

void run(benchmark::State& state, const Filter& filter, const FilterOptions& options)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(table().count(filter, options));
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(table().records.size()));
}

void BM_FilterTypedPrefixCaseInsensitive(benchmark::State& state)
{
    run(state, Filter::parse("ANZAHL>0 and STRIPNAME1='äth*'"), FilterOptions{true, false});
}
BENCHMARK(BM_FilterTypedPrefixCaseInsensitive)->Unit(benchmark::kMillisecond);

void BM_FilterSubstanceKey(benchmark::State& state)
{
    run(state, Filter::equals("CARN", "2000-00-0") && Filter::equals("SUBCARN", "1"), FilterOptions{});
}
BENCHMARK(BM_FilterSubstanceKey)->Unit(benchmark::kMillisecond);

// The name-table filter of the list filter: one term per matching substance.
void BM_FilterLongOrChain(benchmark::State& state)
{
    QString text;
    for (int i = 0; i < state.range(0); ++i)
        text += QStringLiteral("%1(CARN='%2-00-0' and SUBCARN='1')").arg(i ? " or " : "").arg(100 + i * 3);
    run(state, Filter::parse(text), FilterOptions{});
}
BENCHMARK(BM_FilterLongOrChain)->Arg(10)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
