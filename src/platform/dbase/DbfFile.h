#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "dbase/FieldDef.h"

namespace dbase {

class FileIo;

enum class OpenMode { ReadWrite, ReadOnly };
enum class ShareMode { Shared, Exclusive };

struct DbfHeader {
    std::uint8_t version = 0x03;        // byte 0 as stored
    int year = 0, month = 0, day = 0;    // last update
    std::uint32_t recordCount = 0;
    std::uint16_t headerLength = 0;
    std::uint16_t recordLength = 0;
    bool hasProductionMdx = false;       // byte 28 bit 0
    std::uint8_t languageDriver = 0;     // byte 29
};

// One open .dbf file: header, field descriptors and records, read and written
// in place. Records are numbered from 1 (the physical record number).
//
// Write safety: a record is written with one positioned write of the whole
// record; an append writes the record and the end-of-file marker first and the
// header's record count last, so a process killed at any point leaves a table
// that opens and holds every record whose write returned.
//
// Locking: a shared open takes a shared lock on the file, an exclusive open an
// exclusive one; both are respected by other processes and by other opens in
// this process. A refused lock is a DbaseError naming the file.
class DbfFile {
public:
    static std::unique_ptr<DbfFile> open(const std::filesystem::path& path, OpenMode mode,
                                         ShareMode share);
    // Creates (replacing) a table; `version` 0x03 dBASE III/IV, memo bit added
    // automatically when a blob field exists. The language driver defaults to
    // Western Europe ANSI.
    static std::unique_ptr<DbfFile> create(const std::filesystem::path& path,
                                           const TableLayout& layout,
                                           std::uint8_t languageDriver = 0x58,
                                           std::uint8_t version = 0x03);
    ~DbfFile();

    const std::filesystem::path& path() const;
    const DbfHeader& header() const;
    const TableLayout& layout() const;
    const CodePage& codePage() const;
    bool readOnly() const;

    std::uint32_t recordCount() const;
    // Whole record including the deletion flag, exactly recordLength bytes.
    void readRecord(std::uint32_t recNo, std::string& bytes) const;
    void writeRecord(std::uint32_t recNo, const std::string& bytes);
    std::uint32_t appendRecord(const std::string& bytes);
    // Re-reads the record count from disk (another process may have appended).
    // Returns true when it changed.
    bool refresh();
    void setProductionMdx(bool present);
    // A blank record: deletion flag ' ' and every field blank.
    std::string blankRecord() const;

    // For tests: all file I/O goes through this interface.
    static void setIoFactoryForTesting(std::unique_ptr<FileIo> (*factory)());

private:
    DbfFile();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dbase
