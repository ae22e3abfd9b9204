#include "dbase/DbtMemo.h"

#include <algorithm>
#include <array>

#include "dbase/DbaseError.h"
#include "dbase/FileIo.h"
#include "dbase/Journal.h"

namespace dbase {

namespace {

constexpr std::uint16_t dbase3BlockSize = 512;
constexpr std::uint16_t minBlockSize = 32;
constexpr std::size_t headerSize = 24; // what we read and write of block 0
constexpr std::size_t nextFreeAt = 0;
constexpr std::size_t blockSizeAltAt = 4; // some readers take the block size from here
constexpr std::size_t versionAt = 16;
constexpr std::size_t blockSizeAt = 20;
constexpr std::uint8_t dbase3Version = 3;
constexpr char endOfText = 0x1A;
constexpr std::array<char, 4> blockMark = {'\xFF', '\xFF', '\x08', '\x00'};
constexpr std::size_t blockHeaderSize = 8; // mark + uint32 length including these 8 bytes
constexpr std::size_t scanStep = 4096;

std::uint32_t get32(const char* p) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(p[i]);
    return v;
}

void put32(char* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>(v >> (8 * i) & 0xFF);
}

std::string quoted(const std::filesystem::path& path) { return "\"" + path.string() + "\""; }

} // namespace

DbtMemo::Format memoFormatFor(std::uint8_t tableVersion) {
    return (tableVersion & 0x08) != 0 ? DbtMemo::Format::DBase4 : DbtMemo::Format::DBase3;
}

struct DbtMemo::Impl {
    std::filesystem::path path;
    std::unique_ptr<FileIo> io;
    Format format = Format::DBase4;
    std::uint32_t blockSize = dbase3BlockSize;
    bool readOnly = false;
    bool unsynced = false; // written since the last sync

    [[noreturn]] void corrupt(const std::string& detail) const {
        throw DbaseError("Die Memodatei " + quoted(path) + " ist beschädigt: " + detail);
    }

    std::uint64_t blockOffset(std::uint32_t block) const {
        return std::uint64_t(block) * blockSize;
    }

    std::uint32_t blocksFor(std::uint64_t bytes) const {
        return static_cast<std::uint32_t>((bytes + blockSize - 1) / blockSize);
    }

    // Where a memo's bytes lie: the data and how many bytes it covers on
    // disk (header and terminator included), without reading the data.
    struct Extent {
        std::uint64_t dataOffset;
        std::uint64_t dataSize;
        std::uint64_t storedSize;
    };
    Extent locate(std::uint32_t block) const;
    std::uint64_t findEndOfText(std::uint64_t from, std::uint64_t fileSize) const;
    std::string payload(const std::string& bytes) const;

    // How many blocks the memo at `block` takes; 0 when it cannot be told,
    // and then it is not reused.
    std::uint32_t oldBlocks(std::uint32_t block) const {
        try {
            return blocksFor(locate(block).storedSize);
        } catch (const DbaseError&) {
            return 0;
        }
    }
};

std::uint64_t DbtMemo::Impl::findEndOfText(std::uint64_t from, std::uint64_t fileSize) const {
    std::array<char, scanStep> buffer{};
    for (std::uint64_t at = from; at < fileSize; at += scanStep) {
        const std::size_t got = io->readAt(at, buffer.data(), buffer.size());
        const auto end = buffer.begin() + static_cast<std::ptrdiff_t>(got);
        const auto hit = std::find(buffer.begin(), end, endOfText);
        if (hit != end)
            return at + static_cast<std::uint64_t>(hit - buffer.begin());
        if (got < buffer.size())
            break;
    }
    return fileSize; // no terminator: the text runs to the end of the file
}

DbtMemo::Impl::Extent DbtMemo::Impl::locate(std::uint32_t block) const {
    const std::uint64_t fileSize = io->size();
    const std::uint64_t start = blockOffset(block);
    if (start >= fileSize)
        throw DbaseError("Der Memo-Block " + std::to_string(block) + " liegt hinter dem Ende der Memodatei "
                         + quoted(path));
    if (format == Format::DBase4) {
        std::array<char, blockHeaderSize> head{};
        if (io->readAt(start, head.data(), head.size()) == head.size()
            && std::equal(blockMark.begin(), blockMark.end(), head.begin())) {
            const std::uint32_t length = get32(head.data() + 4);
            if (length < blockHeaderSize)
                corrupt("Block " + std::to_string(block) + " hat die ungültige Länge "
                        + std::to_string(length));
            if (start + length > fileSize)
                corrupt("der Eintrag in Block " + std::to_string(block)
                        + " reicht über das Dateiende hinaus");
            return {start + blockHeaderSize, length - blockHeaderSize, length};
        }
        // Without the block header the memo was written the dBASE III way.
    }
    // Only the first end mark is certain (some writers put one, not two);
    // counting a second could hand the next memo's first block to a rewrite.
    const std::uint64_t end = findEndOfText(start, fileSize);
    return {start, end - start, std::min<std::uint64_t>(end + 1, fileSize) - start};
}

std::string DbtMemo::Impl::payload(const std::string& bytes) const {
    std::string data;
    if (format == Format::DBase4) {
        if (bytes.size() > 0xFFFFFFFFu - blockHeaderSize)
            throw DbaseError("Der Memo-Text ist zu groß für " + quoted(path));
        data.assign(blockMark.begin(), blockMark.end());
        data.resize(blockHeaderSize);
        put32(data.data() + 4, static_cast<std::uint32_t>(bytes.size() + blockHeaderSize));
        data += bytes;
    } else {
        // dBASE III memos end at the first 0x1A; data holding one would come
        // back cut short, so it is refused rather than silently damaged.
        if (bytes.find(endOfText) != std::string::npos)
            throw DbaseError("Die Memodatei " + quoted(path)
                             + " im dBASE-III-Format kann keine Daten mit dem Zeichen 0x1A speichern");
        data = bytes;
        data.push_back(endOfText);
        data.push_back(endOfText);
    }
    data.resize(std::size_t(blocksFor(data.size())) * blockSize, '\0');
    return data;
}

DbtMemo::DbtMemo() : d(std::make_unique<Impl>()) {}
DbtMemo::~DbtMemo() = default;

std::unique_ptr<DbtMemo> DbtMemo::open(const std::filesystem::path& path, Format format,
                                       OpenMode mode) {
    std::unique_ptr<DbtMemo> memo(new DbtMemo);
    Impl& d = *memo->d;
    d.path = path;
    d.format = format;
    d.readOnly = mode == OpenMode::ReadOnly;
    d.io = d.readOnly ? makeFileIo() : journaled(makeFileIo(), JournaledFile::Memo);
    d.io->open(path, d.readOnly ? FileIo::Access::ReadOnly : FileIo::Access::ReadWrite);
    std::array<char, headerSize> header{};
    if (d.io->readAt(0, header.data(), header.size()) != header.size())
        d.corrupt("der Dateikopf ist unvollständig");
    if (format == Format::DBase4) {
        std::uint32_t size = static_cast<unsigned char>(header[blockSizeAt])
                             | static_cast<unsigned char>(header[blockSizeAt + 1]) << 8;
        if (size == 0)
            size = get32(header.data() + blockSizeAltAt);
        if (size == 0)
            size = dbase3BlockSize;
        if (size < minBlockSize || size > 0xFFFF)
            d.corrupt("ungültige Blockgröße " + std::to_string(size));
        d.blockSize = size;
    }
    return memo;
}

std::unique_ptr<DbtMemo> DbtMemo::create(const std::filesystem::path& path, Format format,
                                         std::uint16_t blockSize) {
    if (format == Format::DBase3)
        blockSize = dbase3BlockSize;
    if (blockSize < minBlockSize)
        throw DbaseError("Die Memodatei " + quoted(path) + " kann nicht mit der Blockgröße "
                         + std::to_string(blockSize) + " angelegt werden");
    std::string header(blockSize, '\0');
    put32(header.data() + nextFreeAt, 1);
    if (format == Format::DBase3) {
        header[versionAt] = static_cast<char>(dbase3Version);
    } else {
        put32(header.data() + blockSizeAltAt, blockSize);
        header[blockSizeAt] = static_cast<char>(blockSize & 0xFF);
        header[blockSizeAt + 1] = static_cast<char>(blockSize >> 8);
    }
    replaceFile(path, header);
    return open(path, format, OpenMode::ReadWrite);
}

std::string DbtMemo::read(std::uint32_t block) const {
    if (block == 0)
        return {};
    const Impl::Extent extent = d->locate(block);
    std::string bytes(static_cast<std::size_t>(extent.dataSize), '\0');
    if (d->io->readAt(extent.dataOffset, bytes.data(), bytes.size()) != bytes.size())
        d->corrupt("Block " + std::to_string(block) + " ist unvollständig");
    return bytes;
}

std::uint32_t DbtMemo::write(const std::string& bytes, std::uint32_t oldBlock) {
    if (d->readOnly)
        throw DbaseError("Die Memodatei " + quoted(d->path)
                         + " ist nur zum Lesen geöffnet und kann nicht geändert werden");
    if (bytes.empty())
        return 0;
    const std::string data = d->payload(bytes);
    const std::uint32_t needed = d->blocksFor(data.size());

    d->io->lockAppend();
    struct Unlock {
        FileIo& io;
        ~Unlock() { io.unlockAppend(); }
    } unlock{*d->io};

    // New text goes to the end of the file. The header's "next free" is
    // written for other programs but not trusted: one left behind by another
    // writer would overwrite a memo, one far ahead (a damaged header) would
    // grow the file by gigabytes.
    const std::uint64_t nextFree = std::max<std::uint64_t>(d->blocksFor(d->io->size()), 1);
    d->unsynced = true;
    if (oldBlock != 0 && oldBlock < nextFree && d->oldBlocks(oldBlock) >= needed) {
        d->io->writeAt(d->blockOffset(oldBlock), data.data(), data.size());
        return oldBlock;
    }
    if (nextFree + needed > 0xFFFFFFFFu)
        throw DbaseError("Die Memodatei " + quoted(d->path) + " ist voll");
    const auto block = static_cast<std::uint32_t>(nextFree);
    // Data first, the pointer last: a crash in between only wastes blocks.
    d->io->writeAt(d->blockOffset(block), data.data(), data.size());
    std::array<char, 4> nextBytes{};
    put32(nextBytes.data(), block + needed);
    d->io->writeAt(nextFreeAt, nextBytes.data(), nextBytes.size());
    return block;
}

void DbtMemo::sync() {
    if (!d->unsynced)
        return;
    d->io->sync();
    d->unsynced = false;
}

} // namespace dbase
