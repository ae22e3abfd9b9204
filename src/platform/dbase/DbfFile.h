#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dbase/FieldDef.h"
#include "dbase/FileIo.h"

namespace dbase {

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
// Bulk appends trade that promise for speed while a table is filled: between
// beginBulk() and endBulk() appended records are gathered in memory and
// written in chunks of about a megabyte, the data first and the header's count
// after it, once per chunk. A process killed meanwhile leaves a table that
// opens and holds every record of the chunks written, but loses the records
// gathered since. Gathered records are written at every chunk, at endBulk(),
// before any other operation on the file (a read, an edit, a refresh) and when
// the file is destroyed. A shared open holds the append lock while it has
// records gathered, so that the numbers it hands out stay those the records
// get on disk; other writers wait meanwhile.
//
// Power loss: the file is synced where a promise is made, never per record
// of a bulk: at sync(), at the outermost endBulk() and at flush(). The count
// in the header is written only once the records it counts are synced, so
// that after a power loss it never counts records the disk lost (the table
// would not open). A record that is rewritten in place while the power goes
// may come back old, new or partly written; every other record is safe.
//
// Memory: records read are kept in chunks of about 64 KB, up to cacheBudget
// bytes per open, so that a table of 100,000 names is read from the disk
// once. Of a larger table the chunks read last are kept; a walk in physical
// order goes on chunk by chunk, and a walk that jumps across the file (in
// index order) reads the records the cache does not hold one by one.
//
// Locking: a shared open takes a shared lock on the file, an exclusive open an
// exclusive one; both are respected by other processes and by other opens in
// this process. A refused lock is a DbaseError naming the file.
class DbfFile {
public:
    // Reads dBASE III+, IV and 5 tables (version bytes 0x03, 0x83, 0x8B, 0x8E,
    // 0xCB, ...) and the headers of dBASE 7 tables; FoxPro tables, foreign
    // and damaged files are refused with a DbaseError naming the file.
    static std::unique_ptr<DbfFile> open(const std::filesystem::path& path, OpenMode mode,
                                         ShareMode share);
    // Creates (replacing) a table and returns it open for writing with a
    // shared lock. `version` 0x03 gives a dBASE IV memo table (0x8B) when a blob
    // field exists and 0x83 asks for a dBASE III memo table; without blob
    // fields the table is 0x03. An existing table that another open holds is
    // not replaced. The new file is written beside the old one and renamed
    // over it, so a failure leaves the old table as it was. The language
    // driver defaults to Western Europe ANSI. With `writeProductionIndex`
    // the new table names a production index: the function writes that file
    // while the old table is still held, before the new table takes its
    // place, so that the table never names an index file that is not there.
    static std::unique_ptr<DbfFile> create(const std::filesystem::path& path,
                                           const TableLayout& layout,
                                           std::uint8_t languageDriver = 0x58,
                                           std::uint8_t version = 0x03,
                                           const std::function<void()>& writeProductionIndex = {});
    ~DbfFile();

    const std::filesystem::path& path() const;
    const DbfHeader& header() const;
    const TableLayout& layout() const;
    const CodePage& codePage() const;
    bool readOnly() const;

    static constexpr std::size_t cacheBudget = 16 * 1024 * 1024;
    // What the record cache holds, in bytes: at most cacheBudget and one
    // record.
    std::size_t cachedBytes() const;

    std::uint32_t recordCount() const;
    // Whole record including the deletion flag, exactly recordLength bytes.
    void readRecord(std::uint32_t recNo, std::string& bytes) const;
    // `count` whole records from `first` on, one after the other, read past
    // the record cache: a pass through a table larger than the cache gets
    // nothing from it and would only push out what it holds.
    void readRecords(std::uint32_t first, std::uint32_t count, std::string& bytes) const;
    // Asks the processor to fetch a record that is about to be read, when it
    // is held in memory already; a walk in index order jumps across the file.
    void prefetch(std::uint32_t recNo) const;
    void writeRecord(std::uint32_t recNo, const std::string& bytes);
    std::uint32_t appendRecord(const std::string& bytes);
    // Takes appended records back as if they had never been written: the
    // file ends before `first` again. Only records at the end can go; false,
    // and nothing changed, when `last` is not the last one (another open
    // appended since). The count is lowered and synced before the file is
    // cut, so a kill in between leaves a table that opens without them.
    bool takeBackAppends(std::uint32_t first, std::uint32_t last);
    // Bulk appends nest: the outermost endBulk() writes what is gathered. A
    // failed write of gathered records throws from the call that made it
    // (an append, endBulk() or a read); those records are not in the table:
    // not counted, not cached, cut off the file again as far as the disk
    // lets it, and `appendsLost` hears the first of them.
    void setAppendsLost(std::function<void(std::uint32_t first)> appendsLost);
    void beginBulk();
    void endBulk();
    bool inBulk() const;
    // Writes the gathered records now and syncs them; the bulk goes on.
    void flush();
    // Writes the gathered records and makes every write so far durable.
    void sync();
    // What the records point into (the memo file) is synced by `syncFirst`
    // before any record reaches this file, so that a record on the disk never
    // names memo blocks the disk lost.
    void setSyncFirst(std::function<void()> syncFirst);
    // Holds the append lock of a shared open from beginAppendHold() to the
    // matching endAppendHold() (they nest): no other open appends meanwhile,
    // so that a key chosen from the rows on disk is still free when the row
    // with it is appended. Waits a few seconds for another holder, then
    // throws. The count other opens committed is adopted on taking it.
    void beginAppendHold();
    void endAppendHold();
    // Record locks for edits: held against every other open of the file, in
    // this process or another, until unlockRecord() or until the file is
    // closed; a process that dies loses its locks. A record's lock is the
    // byte at recordLockBase minus its number (FileIo.h), where dBASE
    // programs on a share lock their records. An exclusive open needs none
    // and always gets it. False when another open holds the record.
    bool lockRecord(std::uint32_t recNo);
    void unlockRecord(std::uint32_t recNo);
    // The record as the file holds it now, read past the cache (which takes
    // it over).
    void readStoredRecord(std::uint32_t recNo, std::string& bytes);
    // Whether another open wrote the file since this one last looked, asked
    // once per move of a cursor: one look at the file's size and change
    // time. When it changed, the records are read afresh from then on. A
    // change time is kept to a clock tick (a second or two on network
    // shares), so another write in the same tick as the last one seen shows
    // only once that time has passed: then everything cached is read once
    // more. True when the cache was forgotten for a change, or `recNo`
    // changed at that second reading. Records another open appended are not
    // counted here (refresh() does): a cursor walking an order keeps it.
    // False for an exclusive open and while appends are gathered.
    bool checkFresh(std::uint32_t recNo);
    // Re-reads the record count from disk (another process may have appended).
    // Returns true when it changed. A shared open also forgets the records it
    // had cached, so that edits by another process are seen.
    bool refresh();
    void setProductionMdx(bool present);
    // A blank record: deletion flag ' ' and every field blank.
    std::string blankRecord() const;

private:
    DbfFile();
    struct Impl;
    std::unique_ptr<Impl> d;
};

} // namespace dbase
