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

    static std::unique_ptr<DbtMemo> open(const std::filesystem::path& path, Format format,
                                         OpenMode mode);
    static std::unique_ptr<DbtMemo> create(const std::filesystem::path& path, Format format,
                                           std::uint16_t blockSize = 512);
    ~DbtMemo();

    // Block 0 or a blank reference means empty. Throws on a block past the end.
    std::string read(std::uint32_t block) const;
    // Writes the bytes, reusing `oldBlock`'s blocks when they fit; returns the
    // block number to store in the record (0 for empty data).
    std::uint32_t write(const std::string& bytes, std::uint32_t oldBlock);

private:
    DbtMemo();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dbase
