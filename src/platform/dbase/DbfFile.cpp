#include "dbase/DbfFile.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <set>
#include <system_error>
#include <utility>

#include <QDate>

#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"

namespace dbase {

namespace {

constexpr std::size_t fileHeaderSize = 32;
constexpr std::size_t dbase3DescriptorSize = 32;
constexpr std::size_t dbase7DescriptorSize = 48;
// dBASE 7 puts a 32-byte language driver name and 4 reserved bytes between
// the file header and the first descriptor.
constexpr std::size_t dbase7DescriptorStart = 68;
constexpr char headerTerminator = 0x0D;
constexpr char endOfFile = 0x1A;
constexpr char liveFlag = ' ';
constexpr char deletedFlag = '*';
constexpr std::uint8_t productionMdxFlag = 0x01;
constexpr std::uint8_t dbase3MemoVersion = 0x83;
constexpr std::uint8_t dbase4MemoVersion = 0x8B;
constexpr std::uint8_t plainVersion = 0x03;
constexpr std::size_t maxFieldNameLength = 10;
// Records are cached in chunks of about this many bytes, loaded on first use,
// at most DbfFile::cacheBudget bytes of them.
constexpr std::size_t cacheChunkBytes = 64 * 1024;
// Bulk appends are written when about this many bytes are gathered: large
// enough that the two writes per chunk vanish beside the copying, small
// enough that a kill loses little.
constexpr std::size_t bulkChunkBytes = 1024 * 1024;
// How long after a change of the file its change time may still be shared
// with a later change: file systems keep it to a clock tick, network shares
// to a second or two.
constexpr std::int64_t changeTimeGrainNs = 2'000'000'000;

enum class Dialect { DBase3, DBase7 };

std::uint16_t get16(const char* p) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(p[0])
                                      | static_cast<unsigned char>(p[1]) << 8);
}

std::uint32_t get32(const char* p) {
    return static_cast<std::uint32_t>(get16(p)) | static_cast<std::uint32_t>(get16(p + 2)) << 16;
}

void put16(char* p, std::uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

void put32(char* p, std::uint32_t v) {
    put16(p, static_cast<std::uint16_t>(v & 0xFFFF));
    put16(p + 2, static_cast<std::uint16_t>(v >> 16));
}

std::string quoted(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

[[noreturn]] void corrupt(const std::filesystem::path& path, const std::string& detail) {
    throw DbaseError("Die Datei " + quoted(path) + " ist keine gültige dBASE-Tabelle: " + detail);
}

std::string hexByte(std::uint8_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

bool isFoxPro(std::uint8_t version) {
    return version == 0x30 || version == 0x31 || version == 0x32 || version == 0xF5
           || version == 0xFB;
}

bool isKnownType(char type) {
    return std::string_view("CNFDLMBG").find(type) != std::string_view::npos;
}

void setDate(DbfHeader& header, const QDate& date) {
    header.year = date.year();
    header.month = date.month();
    header.day = date.day();
}

// The descriptors of a new table; throws on what other programs cannot read.
void checkNewLayout(const TableLayout& layout) {
    if (layout.fieldCount() == 0)
        throw DbaseError("Eine Tabelle braucht mindestens ein Feld");
    std::set<std::string> names;
    for (const FieldDef& field : layout.fields()) {
        if (field.name.size() > maxFieldNameLength)
            throw DbaseError("Der Feldname " + field.name + " ist länger als 10 Zeichen");
        for (char c : field.name)
            if (!(c >= 'A' && c <= 'Z') && !(c >= '0' && c <= '9') && c != '_')
                throw DbaseError("Der Feldname " + field.name
                                 + " darf nur Großbuchstaben, Ziffern und _ enthalten");
        if (!names.insert(field.name).second)
            throw DbaseError("Der Feldname " + field.name + " kommt doppelt vor");
        const auto fixed = [&](std::uint8_t width) {
            if (field.length != width)
                throw DbaseError("Das Feld " + field.name + " muss " + std::to_string(width)
                                 + " Zeichen breit sein");
        };
        switch (field.type) {
        case FieldType::Date: fixed(8); break;
        case FieldType::Logical: fixed(1); break;
        case FieldType::Memo:
        case FieldType::Binary:
        case FieldType::General: fixed(10); break;
        case FieldType::Numeric:
        case FieldType::Float:
            if (field.decimals >= field.length && field.decimals > 0)
                throw DbaseError("Das Feld " + field.name + " hat mehr Nachkommastellen als Stellen");
            break;
        case FieldType::Character: break;
        }
    }
}

DbfHeader decodeFileHeader(const std::array<char, fileHeaderSize>& bytes) {
    const char* h = bytes.data();
    DbfHeader header;
    header.version = static_cast<std::uint8_t>(h[0]);
    header.year = 1900 + static_cast<unsigned char>(h[1]);
    header.month = static_cast<unsigned char>(h[2]);
    header.day = static_cast<unsigned char>(h[3]);
    header.recordCount = get32(h + 4);
    header.headerLength = get16(h + 8);
    header.recordLength = get16(h + 10);
    header.hasProductionMdx = (static_cast<std::uint8_t>(h[28]) & productionMdxFlag) != 0;
    header.languageDriver = static_cast<std::uint8_t>(h[29]);
    return header;
}

} // namespace

struct DbfFile::Impl {
    std::filesystem::path path;
    std::unique_ptr<FileIo> io;
    std::array<char, fileHeaderSize> headerBytes{}; // as on disk; reserved bytes kept
    DbfHeader header;
    TableLayout layout;
    const CodePage* codePage = &CodePage::windows1252();
    bool readOnly = false;
    ShareMode share = ShareMode::Shared;

    // The record cache: up to maxSlots chunks, each in a slot; slotOf[chunk]
    // is its slot + 1, or 0 while the chunk is not held. Once every slot is
    // taken, a read that continues a walk in physical order replaces the
    // least recently used chunk; any other read fetches its record alone
    // into `single`, so that a walk jumping across a large table keeps what
    // it has without loading a chunk per record.
    struct Slot {
        std::string bytes;
        std::uint32_t chunk = 0;
        std::uint64_t lastUse = 0;
    };
    std::uint32_t chunkRecords = 1;
    std::size_t maxSlots = 1;
    mutable std::vector<std::uint32_t> slotOf;
    mutable std::vector<Slot> held;
    mutable std::uint64_t useClock = 0;
    mutable std::uint32_t lastRead = 0;
    mutable std::string single;
    std::string appendBuffer;                // record + end-of-file marker

    // Bulk appends: records counted in header.recordCount but not yet on disk.
    int bulkDepth = 0;
    std::string gathered;
    std::uint32_t gatheredCount = 0;
    bool holdingAppendLock = false;
    int appendHolds = 0; // beginAppendHold() depth: the lock is held throughout
    std::function<void()> syncFirst;
    std::function<void(std::uint32_t)> appendsLost;

    QDate todayDate;
    std::chrono::steady_clock::time_point todayCheckedAt;

    // What this open last saw of the file (checkFresh()), and whether that
    // change is old enough that nothing later shares its change time.
    FileIo::Stamp seen;
    bool settled = false;
    std::set<std::uint32_t> lockedRecords;
    // Whether the file is as this open last saw it; a write of its own that
    // follows keeps it so.
    bool upToDate() { return share == ShareMode::Shared && io->stamp() == seen; }
    void ownWriteDone(bool wasUpToDate) {
        if (!wasUpToDate)
            return;
        seen = io->stamp();
        settled = false;
    }

    std::uint64_t recordOffset(std::uint32_t recNo) const {
        return header.headerLength + std::uint64_t(recNo - 1) * header.recordLength;
    }

    void openFile(OpenMode mode, ShareMode shareMode);
    void parseHeader();
    void checkCountFits(std::uint32_t count);
    std::array<char, fileHeaderSize> readFileHeader();
    void writeHeader(const DbfHeader& next);
    void adoptCountOnDisk();
    // Held while the header's count changes: a shared open takes the append
    // lock and first adopts the count other opens have committed, so that
    // the header it writes never hides their records.
    struct AppendLock {
        Impl& impl;
        bool shared;
        explicit AppendLock(Impl& i)
            : impl(i), shared(i.share == ShareMode::Shared && i.appendHolds == 0) {
            if (!shared)
                return;
            impl.io->lockAppend();
            try {
                impl.adoptCountOnDisk();
            } catch (...) {
                impl.io->unlockAppend();
                throw;
            }
        }
        ~AppendLock() {
            if (shared)
                impl.io->unlockAppend();
        }
        AppendLock(const AppendLock&) = delete;
        AppendLock& operator=(const AppendLock&) = delete;
    };
    template <typename Change>
    void updateHeader(Change change);
    void touchDate();
    QDate today();
    std::uint32_t gather(const std::string& bytes);
    void writeGathered();
    void cutOffFrom(std::uint32_t first, bool countUnsure) noexcept;
    // Before records go to the file: what they point to is synced, and the
    // records themselves are once the count is to follow them.
    void beforeRecordWrite() {
        if (syncFirst)
            syncFirst();
    }
    void writeRecordsAt(std::uint64_t offset, const std::string& bytes) {
        beforeRecordWrite();
        const bool current = upToDate();
        io->writeAt(offset, bytes.data(), bytes.size());
        ownWriteDone(current);
    }
    void releaseAppendLock();
    void checkWritable() const;
    void checkRecord(std::uint32_t recNo) const;
    void checkBytes(const std::string& bytes) const;
    const char* cachedRecord(std::uint32_t recNo) const;
    // The chunk's bytes when it is held, else nullptr.
    std::string* heldChunk(std::uint32_t index) const;
    std::string& takeSlot(std::uint32_t index) const;
    void forgetCache() {
        slotOf.clear();
        held.clear();
    }
    void storeInCache(std::uint32_t recNo, const std::string& bytes);
};

void DbfFile::Impl::openFile(OpenMode mode, ShareMode shareMode) {
    readOnly = mode == OpenMode::ReadOnly;
    share = shareMode;
    io = makeFileIo();
    io->open(path, readOnly ? FileIo::Access::ReadOnly : FileIo::Access::ReadWrite);
    const bool exclusive = share == ShareMode::Exclusive;
    if (!io->tryLock(exclusive ? FileIo::Lock::Exclusive : FileIo::Lock::Shared))
        throw DbaseError(exclusive ? "Die Tabelle " + quoted(path)
                                         + " wird von einem anderen Programm verwendet und kann "
                                           "nicht exklusiv geöffnet werden"
                                   : "Die Tabelle " + quoted(path)
                                         + " wird von einem anderen Programm exklusiv verwendet");
    parseHeader();
    seen = io->stamp();
}

std::array<char, fileHeaderSize> DbfFile::Impl::readFileHeader() {
    std::array<char, fileHeaderSize> bytes{};
    if (io->readAt(0, bytes.data(), bytes.size()) != bytes.size())
        corrupt(path, "der Dateikopf ist unvollständig");
    return bytes;
}

void DbfFile::Impl::checkCountFits(std::uint32_t count) {
    const std::uint64_t needed = header.headerLength + std::uint64_t(count) * header.recordLength;
    if (io->size() < needed)
        corrupt(path, "laut Dateikopf " + std::to_string(count)
                          + " Datensätze, die Datei ist aber kürzer (abgeschnitten?)");
}

void DbfFile::Impl::parseHeader() {
    headerBytes = readFileHeader();
    header = decodeFileHeader(headerBytes);
    const std::uint8_t version = header.version;
    if (isFoxPro(version))
        throw DbaseError("Die Datei " + quoted(path) + " ist eine FoxPro-Tabelle (Kennung "
                         + hexByte(version) + "); dieses Format wird nicht unterstützt");
    Dialect dialect;
    if ((version & 0x07) == 0x03 || version == 0x8E)
        dialect = Dialect::DBase3;
    else if ((version & 0x07) == 0x04)
        dialect = Dialect::DBase7;
    else
        corrupt(path, "unbekannte Kennung " + hexByte(version));

    const std::size_t start =
        dialect == Dialect::DBase7 ? dbase7DescriptorStart : fileHeaderSize;
    const std::size_t descriptorSize =
        dialect == Dialect::DBase7 ? dbase7DescriptorSize : dbase3DescriptorSize;
    const std::size_t headerLength = header.headerLength;
    if (headerLength < start + 1)
        corrupt(path, "die Kopflänge " + std::to_string(headerLength) + " ist zu klein");
    if (io->size() < headerLength)
        corrupt(path, "der Dateikopf ist unvollständig");

    std::string bytes(headerLength, '\0');
    if (io->readAt(0, bytes.data(), bytes.size()) != bytes.size())
        corrupt(path, "der Dateikopf ist unvollständig");

    std::vector<FieldDef> fields;
    std::size_t pos = start;
    while (pos < headerLength && bytes[pos] != headerTerminator) {
        if (pos + descriptorSize > headerLength)
            corrupt(path, "die Kopflänge ist kleiner als die Feldbeschreibungen");
        const char* d = bytes.data() + pos;
        const std::size_t nameSize = dialect == Dialect::DBase7 ? 32 : 11;
        const std::size_t typeAt = dialect == Dialect::DBase7 ? 32 : 11;
        const std::size_t lengthAt = dialect == Dialect::DBase7 ? 33 : 16;
        const std::size_t mdxAt = dialect == Dialect::DBase7 ? 37 : 31;
        FieldDef field;
        field.name.assign(d, std::find(d, d + nameSize, '\0'));
        while (!field.name.empty() && field.name.back() == ' ')
            field.name.pop_back();
        const char type = d[typeAt];
        if (field.name.empty())
            corrupt(path, "Feld " + std::to_string(fields.size() + 1) + " hat keinen Namen");
        if (!isKnownType(type))
            throw DbaseError("Die Tabelle " + quoted(path) + " enthält im Feld " + field.name
                             + " den Feldtyp '" + std::string(1, type)
                             + "', der nicht unterstützt wird");
        field.type = static_cast<FieldType>(type);
        field.length = static_cast<std::uint8_t>(d[lengthAt]);
        field.decimals = static_cast<std::uint8_t>(d[lengthAt + 1]);
        field.mdxTag = d[mdxAt] == 1;
        fields.push_back(std::move(field));
        pos += descriptorSize;
    }
    if (fields.empty())
        corrupt(path, "die Tabelle hat keine Felder");
    try {
        layout = TableLayout(std::move(fields));
    } catch (const DbaseError& error) {
        corrupt(path, error.what());
    }
    if (layout.recordLength() != header.recordLength)
        corrupt(path, "die Satzlänge " + std::to_string(header.recordLength)
                          + " passt nicht zu den Feldern (" + std::to_string(layout.recordLength())
                          + ")");
    checkCountFits(header.recordCount);
    codePage = &CodePage::forLanguageDriver(header.languageDriver);
    chunkRecords = static_cast<std::uint32_t>(
        std::max<std::size_t>(1, cacheChunkBytes / header.recordLength));
    maxSlots = std::max<std::size_t>(1, cacheBudget / (std::size_t(chunkRecords) * header.recordLength));
    forgetCache();
}

void DbfFile::Impl::writeHeader(const DbfHeader& next) {
    std::array<char, fileHeaderSize> bytes = headerBytes;
    bytes[0] = static_cast<char>(next.version);
    bytes[1] = static_cast<char>(std::clamp(next.year - 1900, 0, 255));
    bytes[2] = static_cast<char>(next.month);
    bytes[3] = static_cast<char>(next.day);
    put32(bytes.data() + 4, next.recordCount);
    put16(bytes.data() + 8, next.headerLength);
    put16(bytes.data() + 10, next.recordLength);
    bytes[28] = static_cast<char>((static_cast<std::uint8_t>(bytes[28]) & ~productionMdxFlag)
                                  | (next.hasProductionMdx ? productionMdxFlag : 0));
    bytes[29] = static_cast<char>(next.languageDriver);
    const bool current = upToDate();
    io->writeAt(0, bytes.data(), bytes.size());
    ownWriteDone(current);
    headerBytes = bytes;
    header = next;
}

void DbfFile::Impl::adoptCountOnDisk() {
    const std::uint32_t count = get32(readFileHeader().data() + 4);
    if (count == header.recordCount)
        return;
    checkCountFits(count);
    header.recordCount = count;
    forgetCache();
}

// Every header write goes through here, under the append lock.
template <typename Change>
void DbfFile::Impl::updateHeader(Change change) {
    const AppendLock lock(*this);
    DbfHeader next = header;
    change(next);
    writeHeader(next);
}

// Asking for the current date reads the time zone each time; a table written
// record by record would spend most of its time there. A second late at
// midnight does not matter for a date kept to the day.
QDate DbfFile::Impl::today() {
    const auto now = std::chrono::steady_clock::now();
    if (!todayDate.isValid() || now - todayCheckedAt > std::chrono::seconds(1)) {
        todayDate = QDate::currentDate();
        todayCheckedAt = now;
    }
    return todayDate;
}

void DbfFile::Impl::touchDate() {
    const QDate date = today();
    if (header.year == date.year() && header.month == date.month() && header.day == date.day())
        return;
    updateHeader([&](DbfHeader& next) { setDate(next, date); });
}

void DbfFile::Impl::releaseAppendLock() {
    if (!holdingAppendLock)
        return;
    holdingAppendLock = false;
    if (appendHolds == 0)
        io->unlockAppend();
}

std::uint32_t DbfFile::Impl::gather(const std::string& bytes) {
    if (gatheredCount == 0 && share == ShareMode::Shared && appendHolds == 0) {
        // Held until the gathered records are written: nobody else may take
        // the record numbers handed out meanwhile.
        io->lockAppend();
        holdingAppendLock = true;
        try {
            adoptCountOnDisk();
        } catch (...) {
            releaseAppendLock();
            throw;
        }
    }
    if (header.recordCount == 0xFFFFFFFFu) {
        if (gatheredCount == 0)
            releaseAppendLock();
        throw DbaseError("Die Tabelle " + quoted(path) + " ist voll");
    }
    if (gatheredCount == 0)
        gathered.clear();
    gathered += bytes;
    ++gatheredCount;
    const std::uint32_t recNo = ++header.recordCount;
    storeInCache(recNo, bytes);
    if (gathered.size() >= bulkChunkBytes)
        writeGathered();
    return recNo;
}

// The records first, synced, then the count, as a single append does: a
// kill or a power loss in between leaves the count of the last chunk written.
void DbfFile::Impl::writeGathered() {
    if (gatheredCount == 0)
        return;
    const std::uint32_t count = std::exchange(gatheredCount, 0);
    const std::uint32_t first = header.recordCount - count + 1;
    struct Release {
        Impl* impl;
        ~Release() { impl->releaseAppendLock(); }
    } release{this};
    bool countWriting = false;
    try {
        gathered.push_back(endOfFile);
        writeRecordsAt(recordOffset(first), gathered);
        io->sync();
        DbfHeader next = header;
        setDate(next, today());
        countWriting = true;
        writeHeader(next);
        gathered.clear();
    } catch (...) {
        header.recordCount = first - 1;
        gathered.clear();
        forgetCache();
        cutOffFrom(first, countWriting);
        if (appendsLost)
            appendsLost(first);
        try {
            throw;
        } catch (const DbaseError& error) {
            throw DbaseError(std::to_string(count) + " angefügte Datensätze der Tabelle "
                             + quoted(path) + " konnten nicht geschrieben werden: "
                             + error.what());
        }
    }
}

// What of a failed chunk reached the file goes again, so that the file ends
// where its count says. The count is written last, so it is the one before
// the chunk, unless its own write failed: then it is put back first, and
// the file is cut only once that is synced (a count the file is too short
// for would not open). Cut before the marker is written: a full disk
// refuses even its byte until then.
void DbfFile::Impl::cutOffFrom(std::uint32_t first, bool countUnsure) noexcept {
    try {
        if (countUnsure) {
            writeHeader(header);
            io->sync();
        }
        const std::uint64_t end = recordOffset(first);
        io->truncate(end + 1);
        io->writeAt(end, &endOfFile, 1);
        io->sync();
    } catch (...) {
        // What is left past the count is no record to this program.
    }
}

void DbfFile::Impl::checkWritable() const {
    if (readOnly)
        throw DbaseError("Die Tabelle " + quoted(path)
                         + " ist nur zum Lesen geöffnet und kann nicht geändert werden");
}

void DbfFile::Impl::checkRecord(std::uint32_t recNo) const {
    if (recNo == 0 || recNo > header.recordCount)
        throw DbaseError("Die Tabelle " + quoted(path) + " hat keinen Datensatz "
                         + std::to_string(recNo) + " (" + std::to_string(header.recordCount)
                         + " Datensätze)");
}

void DbfFile::Impl::checkBytes(const std::string& bytes) const {
    if (bytes.size() != header.recordLength)
        throw DbaseError("Ein Datensatz für " + quoted(path) + " muss "
                         + std::to_string(header.recordLength) + " Bytes lang sein, nicht "
                         + std::to_string(bytes.size()));
    if (bytes[0] != liveFlag && bytes[0] != deletedFlag)
        throw DbaseError("Ungültige Löschmarkierung in einem Datensatz für " + quoted(path));
}

std::string* DbfFile::Impl::heldChunk(std::uint32_t index) const {
    if (index >= slotOf.size() || slotOf[index] == 0)
        return nullptr;
    Slot& slot = held[slotOf[index] - 1];
    slot.lastUse = ++useClock;
    return &slot.bytes;
}

std::string& DbfFile::Impl::takeSlot(std::uint32_t index) const {
    if (slotOf.size() <= index)
        slotOf.resize(std::size_t(index) + 1);
    std::size_t at = held.size();
    if (at < maxSlots) {
        held.emplace_back();
    } else {
        at = static_cast<std::size_t>(
            std::min_element(held.begin(), held.end(),
                             [](const Slot& a, const Slot& b) { return a.lastUse < b.lastUse; })
            - held.begin());
        slotOf[held[at].chunk] = 0;
    }
    Slot& slot = held[at];
    slot.chunk = index;
    slot.lastUse = ++useClock;
    // Room for a whole chunk once, so that neither loading nor appending
    // ever grows a slot beyond it.
    const std::size_t whole = std::size_t(chunkRecords) * header.recordLength;
    if (slot.bytes.capacity() < whole) {
        std::string room;
        room.reserve(whole);
        slot.bytes.swap(room);
    }
    slot.bytes.clear();
    slotOf[index] = static_cast<std::uint32_t>(at + 1);
    return slot.bytes;
}

const char* DbfFile::Impl::cachedRecord(std::uint32_t recNo) const {
    const std::uint32_t index = (recNo - 1) / chunkRecords;
    const std::uint32_t first = index * chunkRecords + 1;
    const std::size_t within = std::size_t(recNo - first) * header.recordLength;
    const bool walking = recNo == lastRead + 1 || recNo + 1 == lastRead;
    lastRead = recNo;
    std::string* chunk = heldChunk(index);
    if (chunk && chunk->size() >= within + header.recordLength)
        return chunk->data() + within;
    if (!chunk && held.size() >= maxSlots && !walking) {
        single.resize(header.recordLength);
        if (io->readAt(recordOffset(recNo), single.data(), single.size()) != single.size())
            corrupt(path, "Datensatz " + std::to_string(recNo) + " fehlt (Datei abgeschnitten)");
        return single.data();
    }
    if (!chunk)
        chunk = &takeSlot(index);
    const std::uint32_t count = std::min(chunkRecords, header.recordCount - first + 1);
    chunk->resize(std::size_t(count) * header.recordLength);
    if (io->readAt(recordOffset(first), chunk->data(), chunk->size()) != chunk->size()) {
        chunk->clear();
        corrupt(path, "Datensatz " + std::to_string(recNo) + " fehlt (Datei abgeschnitten)");
    }
    return chunk->data() + within;
}

void DbfFile::Impl::storeInCache(std::uint32_t recNo, const std::string& bytes) {
    const std::uint32_t index = (recNo - 1) / chunkRecords;
    std::string* chunk = heldChunk(index);
    if (!chunk)
        return;
    const std::size_t within = std::size_t(recNo - 1 - index * chunkRecords) * header.recordLength;
    if (chunk->size() >= within + bytes.size())
        chunk->replace(within, bytes.size(), bytes);
    else if (chunk->size() == within && !chunk->empty())
        *chunk += bytes;
}

DbfFile::DbfFile() : d(std::make_unique<Impl>()) {}
DbfFile::~DbfFile() {
    try {
        d->writeGathered();
    } catch (...) {
        // Nobody is left to tell; whoever cares ends the bulk before.
    }
}

std::unique_ptr<DbfFile> DbfFile::open(const std::filesystem::path& path, OpenMode mode,
                                       ShareMode share) {
    std::unique_ptr<DbfFile> file(new DbfFile);
    file->d->path = path;
    file->d->openFile(mode, share);
    return file;
}

std::unique_ptr<DbfFile> DbfFile::create(const std::filesystem::path& path,
                                         const TableLayout& layout, std::uint8_t languageDriver,
                                         std::uint8_t version,
                                         const std::function<void()>& writeProductionIndex) {
    if (version != plainVersion && version != dbase3MemoVersion && version != dbase4MemoVersion)
        throw DbaseError("Die Tabelle " + quoted(path) + " kann nicht mit der Kennung "
                         + hexByte(version) + " angelegt werden");
    try {
        checkNewLayout(layout);
    } catch (const DbaseError& error) {
        throw DbaseError("Die Tabelle " + quoted(path) + " kann nicht angelegt werden: "
                         + error.what());
    }
    const std::uint8_t finalVersion =
        !layout.hasBlobFields() ? plainVersion
        : version == dbase3MemoVersion ? dbase3MemoVersion
                                       : dbase4MemoVersion;

    // Hold the old table while it is replaced, so that nobody else's open
    // loses its file underneath.
    std::unique_ptr<FileIo> old;
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) {
        old = makeFileIo();
        old->open(path, FileIo::Access::ReadOnly);
        if (!old->tryLock(FileIo::Lock::Exclusive))
            throw DbaseError("Die Tabelle " + quoted(path)
                             + " wird von einem anderen Programm verwendet und kann nicht "
                               "ersetzt werden");
    }

    const std::size_t headerLength =
        fileHeaderSize + dbase3DescriptorSize * static_cast<std::size_t>(layout.fieldCount()) + 1;
    if (headerLength > 0xFFFF)
        throw DbaseError("Die Tabelle " + quoted(path) + " hat zu viele Felder");
    std::string bytes(headerLength + 1, '\0');
    DbfHeader header;
    header.version = finalVersion;
    setDate(header, QDate::currentDate());
    header.headerLength = static_cast<std::uint16_t>(headerLength);
    header.recordLength = layout.recordLength();
    header.languageDriver = languageDriver;
    char* h = bytes.data();
    h[0] = static_cast<char>(header.version);
    h[1] = static_cast<char>(header.year - 1900);
    h[2] = static_cast<char>(header.month);
    h[3] = static_cast<char>(header.day);
    put16(h + 8, header.headerLength);
    put16(h + 10, header.recordLength);
    h[29] = static_cast<char>(languageDriver);
    for (int i = 0; i < layout.fieldCount(); ++i) {
        const FieldDef& field = layout.field(i);
        char* d = h + fileHeaderSize + dbase3DescriptorSize * static_cast<std::size_t>(i);
        std::copy(field.name.begin(), field.name.end(), d);
        d[11] = static_cast<char>(field.type);
        d[16] = static_cast<char>(field.length);
        d[17] = static_cast<char>(field.decimals);
        d[31] = field.mdxTag ? 1 : 0;
    }
    bytes[headerLength - 1] = headerTerminator;
    bytes[headerLength] = endOfFile;

    if (writeProductionIndex) {
        h[28] = static_cast<char>(productionMdxFlag);
        writeProductionIndex();
    }
    replaceFile(path, bytes);
    old.reset();
    return open(path, OpenMode::ReadWrite, ShareMode::Shared);
}

const std::filesystem::path& DbfFile::path() const { return d->path; }
const DbfHeader& DbfFile::header() const { return d->header; }

std::size_t DbfFile::cachedBytes() const {
    std::size_t bytes = d->single.capacity();
    for (const Impl::Slot& slot : d->held)
        bytes += slot.bytes.capacity();
    return bytes;
}
const TableLayout& DbfFile::layout() const { return d->layout; }
const CodePage& DbfFile::codePage() const { return *d->codePage; }
bool DbfFile::readOnly() const { return d->readOnly; }
std::uint32_t DbfFile::recordCount() const { return d->header.recordCount; }

void DbfFile::readRecord(std::uint32_t recNo, std::string& bytes) const {
    d->checkRecord(recNo);
    d->writeGathered();
    bytes.assign(d->cachedRecord(recNo), d->header.recordLength);
}

void DbfFile::readRecords(std::uint32_t first, std::uint32_t count, std::string& bytes) const {
    if (count == 0) {
        bytes.clear();
        return;
    }
    d->checkRecord(first);
    d->checkRecord(first + count - 1);
    d->writeGathered();
    bytes.resize(std::size_t(count) * d->header.recordLength);
    if (d->io->readAt(d->recordOffset(first), bytes.data(), bytes.size()) != bytes.size())
        corrupt(d->path, "Datensatz " + std::to_string(first + count - 1) + " fehlt (Datei abgeschnitten)");
}

void DbfFile::prefetch(std::uint32_t recNo) const {
    if (recNo == 0 || recNo > d->header.recordCount)
        return;
    const std::uint32_t index = (recNo - 1) / d->chunkRecords;
    if (index >= d->slotOf.size() || d->slotOf[index] == 0)
        return;
    const std::string& chunk = d->held[d->slotOf[index] - 1].bytes;
    const std::size_t within = std::size_t(recNo - 1 - index * d->chunkRecords) * d->header.recordLength;
    if (chunk.size() < within + d->header.recordLength)
        return;
#if defined(__GNUC__)
    constexpr std::size_t cacheLine = 64;
    for (std::size_t at = 0; at < d->header.recordLength; at += cacheLine)
        __builtin_prefetch(chunk.data() + within + at);
#endif
}

void DbfFile::writeRecord(std::uint32_t recNo, const std::string& bytes) {
    d->checkWritable();
    d->checkRecord(recNo);
    d->checkBytes(bytes);
    d->writeGathered();
    d->writeRecordsAt(d->recordOffset(recNo), bytes);
    d->storeInCache(recNo, bytes);
    d->touchDate();
}

std::uint32_t DbfFile::appendRecord(const std::string& bytes) {
    d->checkWritable();
    d->checkBytes(bytes);
    if (d->bulkDepth > 0)
        return d->gather(bytes);
    const QDate today = d->today();
    std::uint32_t recNo = 0;
    d->updateHeader([&](DbfHeader& next) {
        if (next.recordCount == 0xFFFFFFFFu)
            throw DbaseError("Die Tabelle " + quoted(d->path) + " ist voll");
        recNo = next.recordCount + 1;
        next.recordCount = recNo;
        setDate(next, today);
        // Record and end-of-file marker first and synced, the count last: a
        // crash or power loss in between leaves the old count and a table
        // that opens without the new record.
        d->appendBuffer.assign(bytes);
        d->appendBuffer.push_back(endOfFile);
        d->writeRecordsAt(d->recordOffset(recNo), d->appendBuffer);
        d->io->sync();
    });
    d->storeInCache(recNo, bytes);
    return recNo;
}

bool DbfFile::takeBackAppends(std::uint32_t first, std::uint32_t last) {
    d->checkWritable();
    d->writeGathered();
    const Impl::AppendLock lock(*d);
    if (first == 0 || first > last || last != d->header.recordCount)
        return false;
    // The count first and synced, then the bytes: a kill in between leaves a
    // table that opens without the records and bytes too many at its end,
    // never a count the file is too short for.
    DbfHeader next = d->header;
    next.recordCount = first - 1;
    d->writeHeader(next);
    d->io->sync();
    d->forgetCache();
    const std::uint64_t end = d->recordOffset(first);
    d->io->writeAt(end, &endOfFile, 1);
    d->io->truncate(end + 1);
    d->io->sync();
    return true;
}

void DbfFile::beginBulk() { ++d->bulkDepth; }

void DbfFile::endBulk() {
    if (d->bulkDepth == 0)
        return;
    if (--d->bulkDepth == 0)
        sync();
}

bool DbfFile::inBulk() const { return d->bulkDepth > 0; }

void DbfFile::flush() { sync(); }

void DbfFile::sync() {
    d->writeGathered();
    if (d->readOnly)
        return;
    d->beforeRecordWrite();
    d->io->sync();
}

void DbfFile::setSyncFirst(std::function<void()> syncFirst) { d->syncFirst = std::move(syncFirst); }

void DbfFile::setAppendsLost(std::function<void(std::uint32_t)> appendsLost) {
    d->appendsLost = std::move(appendsLost);
}

void DbfFile::beginAppendHold() {
    if (d->share != ShareMode::Shared)
        return;
    if (d->appendHolds == 0 && !d->holdingAppendLock) {
        d->io->lockAppend();
        try {
            d->adoptCountOnDisk();
        } catch (...) {
            d->io->unlockAppend();
            throw;
        }
    }
    ++d->appendHolds;
}

void DbfFile::endAppendHold() {
    if (d->share != ShareMode::Shared || d->appendHolds == 0)
        return;
    if (--d->appendHolds == 0 && !d->holdingAppendLock)
        d->io->unlockAppend();
}

bool DbfFile::lockRecord(std::uint32_t recNo) {
    d->checkRecord(recNo);
    if (d->share == ShareMode::Exclusive || d->lockedRecords.count(recNo) != 0)
        return true;
    if (!d->io->tryLockRange(recordLockBase - recNo, 1))
        return false;
    d->lockedRecords.insert(recNo);
    return true;
}

void DbfFile::unlockRecord(std::uint32_t recNo) {
    if (d->lockedRecords.erase(recNo) != 0)
        d->io->unlockRange(recordLockBase - recNo, 1);
}

void DbfFile::readStoredRecord(std::uint32_t recNo, std::string& bytes) {
    d->checkRecord(recNo);
    d->writeGathered();
    bytes.resize(d->header.recordLength);
    if (d->io->readAt(d->recordOffset(recNo), bytes.data(), bytes.size()) != bytes.size())
        corrupt(d->path, "Datensatz " + std::to_string(recNo) + " fehlt (Datei abgeschnitten)");
    d->storeInCache(recNo, bytes);
}

bool DbfFile::checkFresh(std::uint32_t recNo) {
    if (d->share == ShareMode::Exclusive || d->gatheredCount > 0)
        return false;
    const FileIo::Stamp now = d->io->stamp();
    if (now != d->seen) {
        d->seen = now;
        d->settled = false;
        d->forgetCache();
        return true;
    }
    if (d->settled)
        return false;
    const std::int64_t sinceChange =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count()
        - now.changedNs;
    if (sinceChange <= changeTimeGrainNs)
        return false;
    // Whatever shared the last change time is on the disk by now: what was
    // cached meanwhile is read once more.
    d->settled = true;
    const bool known = recNo >= 1 && recNo <= d->header.recordCount;
    const std::string before = known ? std::string(d->cachedRecord(recNo), d->header.recordLength) : std::string();
    d->forgetCache();
    return known && std::string_view(d->cachedRecord(recNo), d->header.recordLength) != before;
}

bool DbfFile::refresh() {
    d->writeGathered();
    d->seen = d->io->stamp();
    d->settled = false;
    const std::array<char, fileHeaderSize> onDisk = d->readFileHeader();
    const std::uint32_t count = get32(onDisk.data() + 4);
    const bool changed = count != d->header.recordCount;
    if (changed)
        d->checkCountFits(count);
    const DbfHeader fresh = decodeFileHeader(onDisk);
    if (fresh.headerLength != d->header.headerLength
        || fresh.recordLength != d->header.recordLength)
        corrupt(d->path, "der Dateikopf wurde von einem anderen Programm verändert");
    d->headerBytes = onDisk;
    d->header = fresh;
    if (d->share == ShareMode::Shared)
        d->forgetCache();
    return changed;
}

void DbfFile::setProductionMdx(bool present) {
    d->checkWritable();
    if (present == d->header.hasProductionMdx)
        return;
    d->writeGathered();
    d->updateHeader([&](DbfHeader& next) { next.hasProductionMdx = present; });
    d->io->sync();
}

std::string DbfFile::blankRecord() const { return std::string(d->header.recordLength, ' '); }

} // namespace dbase
