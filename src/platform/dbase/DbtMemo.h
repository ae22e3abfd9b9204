#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "dbase/DbfFile.h"

namespace dbase {

// The memo file (.dbt) beside a table: dBASE III blocks (fixed 512 bytes, text
// ended by 0x1A 0x1A) and dBASE IV blocks (FF FF 08 00 + length header). The
// format follows the table's version byte; reading also falls back to the
// dBASE III scan when a block lacks the dBASE IV header.
class DbtMemo {
public:
    enum class Format { DBase3, DBase4 };

    // Opens an existing memo file; the dBASE IV block size comes from header
    // bytes 20-21 (else 4-7, else 512).
    static std::unique_ptr<DbtMemo> open(const std::filesystem::path& path, Format format,
                                         OpenMode mode);
    // Creates (replacing) an empty memo file; dBASE III always uses 512.
    static std::unique_ptr<DbtMemo> create(const std::filesystem::path& path, Format format,
                                           std::uint16_t blockSize = 512);
    ~DbtMemo();

    // Block 0 or a blank reference means empty. Throws on a block past the end
    // and on a length running past the end of the file; a block without the
    // dBASE IV header is read up to its 0x1A terminator.
    std::string read(std::uint32_t block) const;
    // Writes the bytes, reusing `oldBlock`'s blocks when they fit, else at
    // the end; returns the block number to store in the record (0 for empty
    // data). dBASE III memos cannot hold the byte 0x1A and refuse it.
    std::uint32_t write(const std::string& bytes, std::uint32_t oldBlock);
    // Makes the writes so far durable; nothing to do when there were none
    // since the last sync.
    void sync();

private:
    DbtMemo();
    struct Impl;
    std::unique_ptr<Impl> d;
};

// The memo format a table's version byte asks for: bit 0x08 marks the dBASE IV
// memo file (0x8B, 0xCB, 0x8E, dBASE 7's 0x8C); without it (0x83, and a 0x03
// table that has memo fields all the same, as some programs write them) the
// memo file is dBASE III's, whose readers would take a dBASE IV block header
// for text.
DbtMemo::Format memoFormatFor(std::uint8_t tableVersion);

} // namespace dbase
