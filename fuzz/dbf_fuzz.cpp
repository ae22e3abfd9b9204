// Feeds arbitrary bytes to the table parser: every input must open cleanly
// or give a DbaseError, and every record and field of an opened table must
// read without fault.
#include <algorithm>
#include <cstdint>

#include "MemoryFileIo.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/DbfFile.h"

namespace {

void readAll(const dbase::DbfFile& table) {
    std::string bytes;
    const std::uint32_t count = std::min<std::uint32_t>(table.recordCount(), 2000);
    for (std::uint32_t recNo = 1; recNo <= count; ++recNo) {
        table.readRecord(recNo, bytes);
        const dbase::RecordView view(table.layout(), table.codePage(), bytes);
        for (int f = 0; f < table.layout().fieldCount(); ++f) {
            (void)view.text(f);
            (void)view.number(f);
            (void)view.date(f);
            (void)view.logical(f);
            (void)view.blockNumber(f);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    MemoryFiles files(data, size);
    try {
        auto table = dbase::DbfFile::open("FUZZ.DBF", dbase::OpenMode::ReadWrite,
                                          dbase::ShareMode::Exclusive);
        readAll(*table);
        const std::uint32_t appended = table->appendRecord(table->blankRecord());
        table->writeRecord(appended, table->blankRecord());
        table->setProductionMdx(!table->header().hasProductionMdx);
        table->refresh();
        readAll(*table);
    } catch (const dbase::DbaseError&) {
    }
    return 0;
}
