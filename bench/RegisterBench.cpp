// The dBASE engine at a register's size: 100,000 names over 20,000
// substances, 5,000 stock items (BenchRegister). Budgets on the development
// machine: the start-up list read under 150 ms, a research table with its
// two tags under 300 ms, a substance filter under 30 ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

#include "BenchRegister.h"
#include "dbase/Table.h"
#include "demo/RegisterTables.h"

namespace {

using bench::BenchRegister;
using dbase::Table;

// Written on first use; each benchmark asks for it before its timed loop.
const BenchRegister& reg() { return BenchRegister::standard(); }

// The start-up list read: namen.dbf in name order, NAME1 as stored, one line
// and record number per row; with arg 1 each row's substance is looked up in
// lager.dbf for the storage marker.
void BM_NameListRead(benchmark::State& state)
{
    const bool markStock = state.range(0) != 0;
    reg();
    std::size_t marked = 0;
    for (auto _ : state) {
        Table namen;
        reg().open(namen, "namen.dbf", "NAME1_SUB");
        Table lager;
        reg().open(lager, "lager.dbf", "CARN_SUB");
        std::vector<std::string> lines;
        std::vector<bool> inStock;
        std::vector<std::uint32_t> recNos;
        lines.reserve(namen.recordCount());
        for (namen.first(); !namen.eof(); namen.next()) {
            lines.push_back(namen.field(0).raw());
            inStock.push_back(markStock && lager.findKey(namen.currentRecord(), {2, 3}));
            recNos.push_back(namen.recNo());
        }
        marked = static_cast<std::size_t>(std::count(inStock.begin(), inStock.end(), true));
        benchmark::DoNotOptimize(lines.data());
    }
    state.counters["rows"] = static_cast<double>(reg().names().size());
    state.counters["marked"] = static_cast<double>(marked);
}
BENCHMARK(BM_NameListRead)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// Opening alone, to tell the production index's reading from the walk.
void BM_NameTableOpen(benchmark::State& state)
{
    reg();
    for (auto _ : state) {
        Table namen;
        reg().open(namen, "namen.dbf", "NAME1_SUB");
        benchmark::DoNotOptimize(namen.recordCount());
    }
}
BENCHMARK(BM_NameTableOpen)->Unit(benchmark::kMillisecond);

// A new table of the name layout filled from rows in memory, then the two
// tags the program gives every table it builds. The program fills its
// research and filter tables opened exclusively (arg 1); arg 0 shows what a
// shared open costs.
void BM_ResearchTableCreate(benchmark::State& state)
{
    const bool exclusive = state.range(0) != 0;
    const QString path = reg().path("zan_bench.dbf");
    for (auto _ : state) {
        Table table;
        table.setTableName(path);
        table.setExclusive(exclusive);
        table.createTable(demo::namenLayout());
        table.open();
        for (const bench::NameRow& row : reg().names())
            bench::appendNameRow(table, row);
        table.addIndex(BenchRegister::carnSubTag);
        table.addIndex(BenchRegister::name1SubTag);
        table.close();
    }
    state.counters["rows"] = static_cast<double>(reg().names().size());
    state.SetLabel(exclusive ? "exclusive" : "shared");
}
BENCHMARK(BM_ResearchTableCreate)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

// A filter over chemie.dbf and a walk over the rows that pass.
void BM_SubstanceFilter(benchmark::State& state)
{
    Table chemie;
    reg().open(chemie, "chemie.dbf", "CARN_SUB");
    int passing = 0;
    for (auto _ : state) {
        chemie.setFilterText("GEFSYM1='T+' OR WGK='3'");
        chemie.setFiltered(true);
        passing = 0;
        for (chemie.first(); !chemie.eof(); chemie.next())
            passing += chemie.currentRecord().raw(0).empty() ? 0 : 1;
        chemie.setFiltered(false);
    }
    state.counters["passing"] = passing;
}
BENCHMARK(BM_SubstanceFilter)->Unit(benchmark::kMillisecond);

// Every substance looked up once by its key, in the order of the file (not
// the key order), as the record display does when the list cursor moves.
void BM_SubstanceFindKey(benchmark::State& state)
{
    reg();
    int found = 0;
    for (auto _ : state) {
        Table chemie;
        reg().open(chemie, "chemie.dbf", "CARN_SUB");
        found = 0;
        for (const bench::SubstanceKey& key : reg().substances())
            found += chemie.findKey({key.carn, key.subcarn}) ? 1 : 0;
    }
    state.counters["found"] = found;
}
BENCHMARK(BM_SubstanceFindKey)->Unit(benchmark::kMillisecond);

// The filter table build: every name row copied into a new table of the
// same layout (opened exclusively, as the list filter does), which then gets
// the two tags. Arg 0 copies record by record through the fields' text,
// arg 1 through batchMove.
void BM_FilterTableBuild(benchmark::State& state)
{
    const bool byBatchMove = state.range(0) != 0;
    Table namen;
    reg().open(namen, "namen.dbf", "");
    const QString path = reg().path("filter_bench.dbf");
    for (auto _ : state) {
        Table target;
        target.setTableName(path);
        target.setExclusive(true);
        target.createTable(namen.layout());
        target.open();
        if (byBatchMove) {
            dbase::batchMove(namen, target, dbase::BatchMode::Append);
        } else {
            for (namen.first(); !namen.eof(); namen.next()) {
                target.append();
                for (int i = 0; i < namen.fieldCount(); ++i)
                    target.field(i).setAsString(namen.field(i).asString());
                target.post();
            }
        }
        target.addIndex(BenchRegister::carnSubTag);
        target.addIndex(BenchRegister::name1SubTag);
        target.close();
    }
    state.SetLabel(byBatchMove ? "batchMove" : "record by record");
}
BENCHMARK(BM_FilterTableBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
