// Index tags and the production index file at register size: 100,000 names
// of 60 characters. Budgets: assigning the sorted entries well under 100 ms,
// lookups and single changes without a visible wait.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "dbase/Collation.h"
#include "dbase/IndexTag.h"
#include "dbase/KeyExpression.h"
#include "dbase/MdxFile.h"

namespace {

using namespace dbase;

constexpr std::uint32_t registerSize = 100000;

const Collation& collation() { return Collation::forLanguageDriver(0x58); }

TagInfo nameTag()
{
    TagInfo info;
    info.name = "NAME1_SUB";
    info.expression = "STRIPNAME1";
    info.keyLength = 60;
    return info;
}

std::vector<std::pair<std::string, std::uint32_t>> names(bool shuffled)
{
    static const char* stems[] = {"aceton", "\xE4thanol", "benzol", "chloroform", "Dichlormethan",
                                  "essigs\xE4ure", "Formaldehyd", "glycerin", "Hexan", "isopropanol"};
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (std::uint32_t i = 1; i <= registerSize; ++i) {
        char number[16];
        std::snprintf(number, sizeof number, " %06u", (i * 7919u) % registerSize);
        entries.emplace_back(std::string(stems[i % 10]) + number, i);
    }
    if (shuffled) {
        std::shuffle(entries.begin(), entries.end(), std::mt19937(5));
    } else {
        IndexTag sorter(nameTag(), collation());
        sorter.assign(entries);
        for (std::size_t i = 0; i < sorter.size(); ++i)
            entries[i] = {std::string(sorter.keyAt(i)), sorter.recNoAt(i)};
    }
    return entries;
}

void assignNames(benchmark::State& state, bool shuffled)
{
    const auto entries = names(shuffled);
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = entries; // the table hands its entries over
        state.ResumeTiming();
        IndexTag tag(nameTag(), collation());
        tag.assign(std::move(copy));
        benchmark::DoNotOptimize(tag.size());
    }
}

void BM_AssignSortedNames(benchmark::State& state) { assignNames(state, false); }
void BM_AssignShuffledNames(benchmark::State& state) { assignNames(state, true); }

void BM_NumericKeysAssign(benchmark::State& state)
{
    TagInfo info;
    info.name = "MENGE";
    info.expression = "MENGE";
    info.keyType = 'N';
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (std::uint32_t i = 1; i <= registerSize; ++i)
        entries.emplace_back(encodeNumericKey((i * 7919u) % registerSize / 100.0), i);
    for (auto _ : state) {
        state.PauseTiming();
        auto copy = entries;
        state.ResumeTiming();
        IndexTag tag(info, collation());
        tag.assign(std::move(copy));
        benchmark::DoNotOptimize(tag.size());
    }
}

void BM_LookupPrefix(benchmark::State& state)
{
    IndexTag tag(nameTag(), collation());
    tag.assign(names(false));
    std::uint32_t i = 0;
    for (auto _ : state) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "hexan %04u", ++i % 10000);
        benchmark::DoNotOptimize(tag.findPrefix(prefix));
    }
}

void BM_InsertAndRemoveOne(benchmark::State& state)
{
    IndexTag tag(nameTag(), collation());
    tag.assign(names(false));
    for (auto _ : state) {
        tag.insert("benzol 050000a", registerSize + 1);
        tag.remove("benzol 050000a", registerSize + 1);
    }
}

void BM_WriteAndReadIndexFile(benchmark::State& state)
{
    const auto path = std::filesystem::temp_directory_path() / "index_bench.mdx";
    MdxFile file;
    file.tags().emplace_back(nameTag(), collation());
    file.tags().back().assign(names(false));
    for (auto _ : state) {
        file.write(path, "NAMEN", 0x58);
        benchmark::DoNotOptimize(MdxFile::read(path, collation()).tags().size());
    }
    std::filesystem::remove(path);
}

} // namespace

BENCHMARK(BM_AssignSortedNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AssignShuffledNames)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NumericKeysAssign)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LookupPrefix)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_InsertAndRemoveOne)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteAndReadIndexFile)->Unit(benchmark::kMillisecond);
