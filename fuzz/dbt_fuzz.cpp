// Feeds arbitrary bytes to the memo reader and writer in both formats: every
// block must read, write or fail with a DbaseError, never crash or allocate
// beyond the file.
#include <cstdint>

#include "MemoryFileIo.h"
#include "dbase/DbaseError.h"
#include "dbase/DbtMemo.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (auto format : {dbase::DbtMemo::Format::DBase3, dbase::DbtMemo::Format::DBase4}) {
        MemoryFiles files(data, size);
        try {
            auto memo = dbase::DbtMemo::open("FUZZ.DBT", format, dbase::OpenMode::ReadWrite);
            for (std::uint32_t block = 0; block < 12; ++block) {
                try {
                    (void)memo->read(block);
                } catch (const dbase::DbaseError&) {
                }
            }
            if (size >= 28) { // a block number from the input, far ones included
                const std::uint32_t block = data[24] | data[25] << 8 | data[26] << 16
                                            | std::uint32_t(data[27]) << 24;
                try {
                    (void)memo->read(block);
                } catch (const dbase::DbaseError&) {
                }
            }
            const std::uint32_t written = memo->write(std::string(600, 'x'), 1);
            if (memo->read(written) != std::string(600, 'x'))
                __builtin_trap(); // what was written must read back
            (void)memo->write("kurz", written);
        } catch (const dbase::DbaseError&) {
        }
    }
    return 0;
}
