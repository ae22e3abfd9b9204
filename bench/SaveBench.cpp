// Saving one edited substance: a post of one chemie.dbf record with its memo
// on the register (BenchRegister), which syncs the memo and the table file
// before it returns, so that the saved substance survives a power loss.
// Budget on the development machine: under 20 ms.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "BenchRegister.h"
#include "dbase/Table.h"

namespace {

using bench::BenchRegister;
using dbase::Table;

// A copy of chemie.dbf with its memo and index in a folder of its own, so
// that the edits do not change what the other benchmarks read.
QString copyOfChemie()
{
    const BenchRegister& reg = BenchRegister::standard();
    const std::filesystem::path folder = reg.path("speichern").toStdString();
    std::filesystem::create_directories(folder);
    for (const char* name : {"chemie.dbf", "chemie.dbt", "chemie.mdx"})
        std::filesystem::copy_file(reg.path(name).toStdString(), folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
    return QString::fromStdString((folder / "chemie.dbf").string());
}

void BM_SubstanceSave(benchmark::State& state)
{
    const BenchRegister& reg = BenchRegister::standard();
    Table chemie;
    chemie.setTableName(copyOfChemie());
    chemie.setIndexName(QString::fromStdString(BenchRegister::carnSubTag.name));
    chemie.open();
    std::size_t next = 0;
    int saves = 0;
    for (auto _ : state) {
        const bench::SubstanceKey& key = reg.substances()[next];
        next = (next + 7919) % reg.substances().size();
        chemie.findKey({key.carn, key.subcarn});
        chemie.edit();
        chemie.fieldByName("LAGERUNG").setAsString(QString::number(saves % 8 + 1));
        chemie.fieldByName("MEMOTEXT")
            .setAsString(QStringLiteral("Hinweis %1: nur im Abzug verwenden, Schutzbrille und "
                                        "Handschuhe tragen.")
                             .arg(++saves));
        chemie.post();
    }
    chemie.close();
}
BENCHMARK(BM_SubstanceSave)->Unit(benchmark::kMillisecond);

} // namespace
