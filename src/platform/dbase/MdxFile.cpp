#include "dbase/MdxFile.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <string_view>

#include <QDate>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/FileIo.h"

namespace dbase {

namespace {

// Units: the file is counted in 512-byte pages; tag headers and tree nodes
// take one block of two pages.
constexpr std::size_t pageSize = 512;
constexpr std::uint32_t headerPages = 4;
constexpr std::uint16_t writtenBlockPages = 2;
constexpr std::size_t writtenBlockSize = writtenBlockPages * pageSize;
constexpr std::size_t headerSize = headerPages * pageSize;

// File header.
constexpr std::size_t versionOffset = 0;
constexpr std::size_t createdOffset = 1;
constexpr std::size_t baseNameOffset = 4;
constexpr std::size_t baseNameSize = 16;
constexpr std::size_t blockPagesOffset = 20;
constexpr std::size_t blockSizeOffset = 22;
constexpr std::size_t productionOffset = 24;
constexpr std::size_t tagSlotsOffset = 25;
constexpr std::size_t tagEntrySizeOffset = 26;
constexpr std::size_t tagsUsedOffset = 28;
constexpr std::size_t languageDriverOffset = 31;
constexpr std::size_t totalPagesOffset = 32;
constexpr std::size_t updatedOffset = 44;
// The stale mark: the filler byte after the update date. No reader of the
// format gives it a meaning (the documented fields end at 46 and the tag
// table's own header starts at 512), TDbf writes it as 0 and leaves it alone
// when it reads, and a writer that rebuilds the header zeroes it, which only
// makes us rebuild an index that is sound.
constexpr std::size_t dirtyMarkOffset = 47;
constexpr std::size_t tagTableMarkOffset = 529; // 1 in every file; meaning unknown
constexpr std::uint8_t mdxVersion = 2;

// Tag table: 48 slots of 32 bytes from 512; the first slot is the table's
// own header, so tags start at 544.
constexpr std::size_t tagTableOffset = 544;
constexpr std::size_t tagEntrySize = 32;
constexpr std::uint8_t tagSlots = 48;
constexpr std::size_t maxTags = tagSlots - 1;
constexpr std::size_t entryNameOffset = 4;
constexpr std::size_t entryNameSize = 11;
constexpr std::size_t entryKeyFormatOffset = 15;
constexpr std::size_t entryLeftOffset = 16;
constexpr std::size_t entryRightOffset = 17;
constexpr std::size_t entryParentOffset = 18;
constexpr std::size_t entryMarkOffset = 19;
constexpr std::size_t entryKeyTypeOffset = 20;
constexpr std::uint8_t entryFieldTag = 0x10;
constexpr std::uint8_t entryMark = 0x02;

// Tag header.
constexpr std::size_t rootOffset = 0;
constexpr std::size_t tagPagesOffset = 4;
constexpr std::size_t keyFormatOffset = 8;
constexpr std::size_t keyTypeOffset = 9;
constexpr std::size_t keyLengthOffset = 12;
constexpr std::size_t maxKeysOffset = 14;
constexpr std::size_t secondaryTypeOffset = 16;
constexpr std::size_t itemLengthOffset = 18;
constexpr std::size_t tagVersionOffset = 20;
constexpr std::size_t uniqueOffset = 23;
constexpr std::size_t expressionOffset = 24;
constexpr std::size_t expressionSize = 220;
constexpr std::size_t hasForOffset = 245;
constexpr std::size_t hasKeysOffset = 246;
constexpr std::size_t forExpressionOffset = 762;
constexpr std::uint8_t formatDescending = 0x08;
constexpr std::uint8_t formatCharacter = 0x10;
constexpr std::uint8_t formatDistinct = 0x20;
constexpr std::uint8_t formatUnique = 0x40;
constexpr std::uint8_t tagVersion = 2;

// Tree nodes: key count, a block number nothing relies on, then items of a
// record or child pointer and the key.
constexpr std::size_t nodeItemsOffset = 8;
constexpr std::size_t itemKeyOffset = 4;
// Deep enough for any tree a real file holds; a deeper chain is damage.
constexpr int maxTreeDepth = 32;

std::uint16_t get16(std::string_view bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset])
                                      | static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::uint32_t get32(std::string_view bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes[offset + static_cast<std::size_t>(i)]);
    return value;
}

void put8(std::string& bytes, std::size_t offset, std::uint8_t value)
{
    bytes[offset] = static_cast<char>(value);
}

void put16(std::string& bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<char>(value & 0xFF);
    bytes[offset + 1] = static_cast<char>(value >> 8);
}

void put32(std::string& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void putText(std::string& bytes, std::size_t offset, std::string_view text)
{
    std::memcpy(bytes.data() + offset, text.data(), text.size());
}

void putDate(std::string& bytes, std::size_t offset, const QDate& date)
{
    put8(bytes, offset, static_cast<std::uint8_t>(date.year() - 1900));
    put8(bytes, offset + 1, static_cast<std::uint8_t>(date.month()));
    put8(bytes, offset + 2, static_cast<std::uint8_t>(date.day()));
}

// Text up to the first NUL within `size` bytes, trailing blanks dropped.
std::string textAt(std::string_view bytes, std::size_t offset, std::size_t size)
{
    std::string_view text = bytes.substr(offset, size);
    text = text.substr(0, text.find('\0'));
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    return std::string(text);
}

std::uint16_t itemLengthFor(std::uint16_t keyLength)
{
    return static_cast<std::uint16_t>((keyLength + itemKeyOffset + 3) / 4 * 4);
}

std::string upperAscii(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return text;
}

std::string fileText(const std::filesystem::path& path)
{
    return "\"" + path.string() + "\"";
}

// Reads one file's header, tag table, tag headers and trees, checking every
// count, page number and length against the file before using it. Only the
// header and a megabyte of a tree's nodes are held at a time; each node is
// read once, blocks that follow one another in the file in one call, and
// nothing is kept that the caller does not take.
class MdxReader {
public:
    explicit MdxReader(const std::filesystem::path& path) : m_path(path), m_io(makeFileIo())
    {
        m_io->open(path, FileIo::Access::ReadOnly);
        m_fileSize = m_io->size();
        m_header.resize(headerSize);
        if (m_fileSize < headerSize || m_io->readAt(0, m_header.data(), headerSize) != headerSize)
            fail("die Datei ist kürzer als der Kopf einer Indexdatei");
        if (static_cast<std::uint8_t>(m_header[versionOffset]) != mdxVersion)
            fail("keine dBASE-IV-Indexdatei (Kennung "
                 + std::to_string(static_cast<unsigned char>(m_header[versionOffset])) + ")");
        const std::uint16_t blockPages = get16(m_header, blockPagesOffset);
        m_blockSize = get16(m_header, blockSizeOffset);
        if (blockPages == 0 || blockPages > 64 || m_blockSize != blockPages * pageSize)
            fail("ungültige Blockgröße");
        if (static_cast<std::uint8_t>(m_header[tagEntrySizeOffset]) != tagEntrySize)
            fail("ungültige Länge der Indexeinträge");
        m_tagCount = get16(m_header, tagsUsedOffset);
        if (m_tagCount > maxTags)
            fail("ungültige Anzahl von Indizes (" + std::to_string(m_tagCount) + ")");
    }

    // Every tag's header, checked as a tag would be (the collation plays no
    // part in that).
    std::vector<StoredTag> storedTags()
    {
        std::vector<StoredTag> tags;
        for (std::size_t i = 0; i < m_tagCount; ++i) {
            StoredTag tag = tagHeader(i);
            tag.info = checked([&] { return IndexTag(tag.info, Collation::forLanguageDriver(0)).info(); });
            tags.push_back(std::move(tag));
        }
        return tags;
    }

    // A tag's entries put into `tag`, or with `withKeys` false only its
    // order, when the file holds the entries in the tag's order (false, and
    // nothing taken, when it does not). `owners` gives for each page the
    // number of the tag whose tree was read there: a tree that runs into
    // another tag's page, or into its own page twice, is damaged.
    bool readInto(const StoredTag& stored, IndexTag& tag, std::vector<std::uint8_t>& owners, std::uint8_t owner,
                  bool withKeys)
    {
        owners.resize(std::max<std::size_t>(owners.size(), m_fileSize / pageSize + 1), 0);
        if (withKeys) {
            std::string keys;
            std::vector<std::uint32_t> recNos;
            reserveFor(stored, &keys, recNos);
            walk(stored, owners, owner, [&](std::string_view key, std::uint32_t recNo) {
                keys.append(key);
                recNos.push_back(recNo);
                return true;
            });
            giveBackSpare(recNos, &keys);
            checked([&] { tag.assign(std::move(keys), std::move(recNos)); });
            return true;
        }
        // The order alone: each entry is checked against the one kept before
        // it, as assign() would order and thin them.
        std::vector<std::uint32_t> recNos;
        reserveFor(stored, nullptr, recNos);
        std::string previous;
        const bool inOrder = walk(stored, owners, owner, [&](std::string_view key, std::uint32_t recNo) {
            // Comparing a key with itself checks a numeric key's digits.
            const int c = checked([&] { return tag.compareStoredKeys(recNos.empty() ? key : previous, key); });
            if (!recNos.empty()) {
                if (c > 0 || (c == 0 && recNos.back() > recNo))
                    return false;
                if (c == 0 && (tag.info().unique || recNos.back() == recNo))
                    return true;
            }
            previous.assign(key);
            recNos.push_back(recNo);
            return true;
        });
        if (inOrder) {
            giveBackSpare(recNos, nullptr);
            tag.assignOrder(std::move(recNos));
        }
        return inOrder;
    }

private:
    [[noreturn]] void fail(const std::string& what) const
    {
        throw DbaseError("Die Indexdatei " + fileText(m_path) + " ist beschädigt: " + what);
    }

    // What a tag refuses of the file's entries is damage of the file.
    template <typename F>
    auto checked(F f) const -> decltype(f())
    {
        try {
            return f();
        } catch (const DbaseError& error) {
            fail(error.what());
        }
    }

    // A reservation far above what came (a foreign file's page count) is
    // given back.
    static void giveBackSpare(std::vector<std::uint32_t>& recNos, std::string* keys)
    {
        if (recNos.capacity() <= recNos.size() + recNos.size() / 4 + 64)
            return;
        recNos.shrink_to_fit();
        if (keys)
            keys->shrink_to_fit();
    }

    // Offset of a page that starts `size` bytes lying wholly inside the
    // file and outside its header.
    std::size_t pageOffset(std::uint32_t page, std::size_t size, const std::string& tagName) const
    {
        const std::uint64_t offset = std::uint64_t{page} * pageSize;
        if (page < headerPages || offset + size > m_fileSize)
            fail("Index \"" + tagName + "\" verweist auf Seite " + std::to_string(page)
                 + " außerhalb der Datei");
        return static_cast<std::size_t>(offset);
    }

    // `size` bytes at `offset` (checked by pageOffset), valid until the next
    // call.
    std::string_view bytesAt(std::size_t offset, std::size_t size)
    {
        m_block.resize(size);
        if (m_io->readAt(offset, m_block.data(), size) != size)
            fail("die Datei endet vor Seite " + std::to_string(offset / pageSize));
        return m_block;
    }

    StoredTag tagHeader(std::size_t index)
    {
        const std::string_view entry = std::string_view(m_header).substr(tagTableOffset + index * tagEntrySize,
                                                                         tagEntrySize);
        StoredTag header;
        TagInfo& info = header.info;
        info.name = textAt(entry, entryNameOffset, entryNameSize);
        const std::size_t at = pageOffset(get32(entry, 0), pageSize, info.name);
        const std::string_view block = bytesAt(at, std::min<std::size_t>(m_blockSize, m_fileSize - at));

        header.root = get32(block, rootOffset);
        header.pages = get32(block, tagPagesOffset);
        const auto format = static_cast<std::uint8_t>(block[keyFormatOffset]);
        info.keyType = block[keyTypeOffset];
        info.keyLength = get16(block, keyLengthOffset);
        header.itemLength = get16(block, itemLengthOffset);
        info.unique = (format & (formatUnique | formatDistinct)) != 0 || block[uniqueOffset] != 0;
        info.descending = (format & formatDescending) != 0;
        info.expression = textAt(block, expressionOffset, expressionSize);
        if (block[hasForOffset] != 0 && block.size() > forExpressionOffset)
            info.forExpression = textAt(block, forExpressionOffset, block.size() - forExpressionOffset);

        if (info.keyLength == 0 || header.itemLength < info.keyLength + itemKeyOffset
            || nodeItemsOffset + header.itemLength > m_blockSize)
            fail("Index \"" + info.name + "\" hat eine ungültige Schlüssellänge");
        return header;
    }

    // Room for the entries the tag's pages can hold at most, as far as the
    // file has them: the keys are not copied again as they grow.
    void reserveFor(const StoredTag& header, std::string* keys, std::vector<std::uint32_t>& recNos) const
    {
        const std::size_t pages = std::min<std::size_t>(header.pages, m_fileSize / pageSize);
        const std::size_t expected =
            pages * pageSize / m_blockSize * ((m_blockSize - nodeItemsOffset) / header.itemLength);
        if (keys)
            keys->reserve(expected * header.info.keyLength);
        recNos.reserve(expected);
    }

    // Calls `visit(key, recNo)` for every entry of a tag in the tree's
    // order, walking it a level at a time from the root; stops when `visit`
    // returns false and returns false then. Each key is as long as the tag's
    // keys, which the header check made sure of. The nodes of a level are
    // read in batches in the order of the file, each page once: another
    // program's file holds a tag's pages in the order they were split, not
    // in the order of the walk.
    template <typename Visit>
    bool walk(const StoredTag& header, std::vector<std::uint8_t>& owners, std::uint8_t owner, Visit visit)
    {
        const TagInfo& info = header.info;
        const std::size_t itemLength = header.itemLength;
        std::vector<bool> visited(owners.size(), false);
        std::vector<std::uint32_t> level{header.root};
        std::vector<std::uint32_t> below;
        for (int depth = 0; !level.empty(); ++depth) {
            if (depth > maxTreeDepth)
                fail("Index \"" + info.name + "\" ist zu tief verschachtelt");
            below.clear();
            bool leaves = false;
            for (std::size_t from = 0; from < level.size(); from += batchNodes) {
                const std::span<const std::uint32_t> batch(level.data() + from,
                                                           std::min(batchNodes, level.size() - from));
                for (const std::uint32_t page : batch) {
                    pageOffset(page, m_blockSize, info.name);
                    if (visited[page] || (owners[page] != 0 && owners[page] != owner))
                        fail("Index \"" + info.name + "\" enthält eine Schleife bei Seite " + std::to_string(page));
                    visited[page] = true;
                    owners[page] = owner;
                }
                readPages(batch);
                for (std::size_t n = 0; n < batch.size(); ++n) {
                    const std::uint32_t page = batch[n];
                    const std::string_view block = pageInBatch(page);
                    const std::uint32_t keyCount = get32(block, 0);
                    if (keyCount > (m_blockSize - nodeItemsOffset) / itemLength)
                        fail("Index \"" + info.name + "\" hat auf Seite " + std::to_string(page)
                             + " eine ungültige Schlüsselanzahl");
                    // A node is a leaf when the pointer after its last key is
                    // zero or has no room in the block.
                    const std::size_t lastPointer = nodeItemsOffset + keyCount * itemLength;
                    const bool leaf = lastPointer + 4 > m_blockSize || get32(block, lastPointer) == 0;
                    if (from + n == 0)
                        leaves = leaf;
                    else if (leaf != leaves)
                        fail("Index \"" + info.name + "\" hat Blätter auf verschiedenen Ebenen");
                    if (!leaf) {
                        for (std::size_t k = 0; k <= keyCount; ++k)
                            below.push_back(get32(block, nodeItemsOffset + k * itemLength));
                        continue;
                    }
                    for (std::size_t k = 0; k < keyCount; ++k) {
                        const std::size_t item = nodeItemsOffset + k * itemLength;
                        const std::uint32_t recNo = get32(block, item);
                        if (recNo == 0)
                            fail("Index \"" + info.name + "\" enthält die Satznummer 0");
                        if (!visit(block.substr(item + itemKeyOffset, info.keyLength), recNo))
                            return false;
                    }
                }
            }
            level.swap(below);
        }
        return true;
    }

    // Reads the blocks of `pages` (checked by pageOffset) in the order of the
    // file, blocks that follow one another in one read, for pageInBatch().
    void readPages(std::span<const std::uint32_t> pages)
    {
        m_batchPages.assign(pages.begin(), pages.end());
        std::sort(m_batchPages.begin(), m_batchPages.end());
        m_batch.resize(m_batchPages.size() * m_blockSize);
        const std::uint32_t blockPages = static_cast<std::uint32_t>(m_blockSize / pageSize);
        for (std::size_t first = 0; first < m_batchPages.size();) {
            std::size_t last = first + 1;
            while (last < m_batchPages.size() && m_batchPages[last] == m_batchPages[last - 1] + blockPages)
                ++last;
            const std::uint64_t offset = std::uint64_t{m_batchPages[first]} * pageSize;
            const std::size_t size = (last - first) * m_blockSize;
            if (m_io->readAt(offset, m_batch.data() + first * m_blockSize, size) != size)
                fail("die Datei endet vor Seite " + std::to_string(m_batchPages[last - 1]));
            first = last;
        }
    }

    std::string_view pageInBatch(std::uint32_t page) const
    {
        const auto at = std::lower_bound(m_batchPages.begin(), m_batchPages.end(), page);
        return std::string_view(m_batch).substr(static_cast<std::size_t>(at - m_batchPages.begin()) * m_blockSize,
                                                m_blockSize);
    }

    // Nodes read at a time: a megabyte of 1024-byte blocks.
    static constexpr std::size_t batchNodes = 1024;

    const std::filesystem::path& m_path;
    std::unique_ptr<FileIo> m_io;
    std::uint64_t m_fileSize = 0;
    std::string m_header;
    std::string m_block;
    std::vector<std::uint32_t> m_batchPages; // sorted; the pages of m_batch
    std::string m_batch;
    std::size_t m_blockSize = 0;
    std::size_t m_tagCount = 0;
};

// The file image written for a set of tags.
class MdxWriter {
public:
    MdxWriter(const std::vector<IndexTag>& tags, const std::string& tableBaseName,
              std::uint8_t languageDriver)
        : m_bytes(headerSize, '\0')
    {
        const QDate today = QDate::currentDate();
        put8(m_bytes, versionOffset, mdxVersion);
        putDate(m_bytes, createdOffset, today);
        putText(m_bytes, baseNameOffset, upperAscii(tableBaseName).substr(0, baseNameSize - 1));
        put16(m_bytes, blockPagesOffset, writtenBlockPages);
        put16(m_bytes, blockSizeOffset, static_cast<std::uint16_t>(writtenBlockSize));
        put8(m_bytes, productionOffset, 1);
        put8(m_bytes, tagSlotsOffset, tagSlots);
        put8(m_bytes, tagEntrySizeOffset, tagEntrySize);
        put16(m_bytes, tagsUsedOffset, static_cast<std::uint16_t>(tags.size()));
        put8(m_bytes, languageDriverOffset, languageDriver);
        putDate(m_bytes, updatedOffset, today);
        put8(m_bytes, tagTableMarkOffset, 1);

        for (std::size_t i = 0; i < tags.size(); ++i)
            writeTag(i, tags[i]);
        writeTagThreads(tags);
        put32(m_bytes, totalPagesOffset, nextPage());
    }

    const std::string& bytes() const { return m_bytes; }

private:
    struct Child {
        std::uint32_t page;
        std::size_t lastEntry; // position in the tag of the child's highest key
    };

    std::uint32_t nextPage() const { return static_cast<std::uint32_t>(m_bytes.size() / pageSize); }

    // Appends an empty block; returns its first page.
    std::uint32_t newBlock()
    {
        const std::uint32_t page = nextPage();
        m_bytes.resize(m_bytes.size() + writtenBlockSize, '\0');
        return page;
    }

    void writeTag(std::size_t index, const IndexTag& tag)
    {
        const TagInfo& info = tag.info();
        const std::uint16_t itemLength = itemLengthFor(info.keyLength);
        // Room is kept for the pointer after the last key, so a full node is
        // never taken for an interior one.
        const auto maxKeys = static_cast<std::uint16_t>((writtenBlockSize - nodeItemsOffset - 4) / itemLength);

        const std::uint32_t headerPage = newBlock();
        const std::uint32_t root = writeTree(tag, itemLength, maxKeys);
        const std::size_t at = std::size_t{headerPage} * pageSize;
        put32(m_bytes, at + rootOffset, root);
        put32(m_bytes, at + tagPagesOffset, nextPage() - headerPage);
        std::uint8_t format = info.keyType == 'C' ? formatCharacter : 0;
        if (info.descending)
            format |= formatDescending;
        if (info.unique)
            format |= formatUnique;
        put8(m_bytes, at + keyFormatOffset, format);
        put8(m_bytes, at + keyTypeOffset, static_cast<std::uint8_t>(info.keyType));
        put16(m_bytes, at + keyLengthOffset, info.keyLength);
        put16(m_bytes, at + maxKeysOffset, maxKeys);
        put16(m_bytes, at + secondaryTypeOffset, info.keyType == 'D' ? 1 : 0);
        put16(m_bytes, at + itemLengthOffset, itemLength);
        put8(m_bytes, at + tagVersionOffset, tagVersion);
        put8(m_bytes, at + uniqueOffset, info.unique ? 1 : 0);
        putText(m_bytes, at + expressionOffset, info.expression);
        put8(m_bytes, at + hasForOffset, info.forExpression.empty() ? 0 : 1);
        put8(m_bytes, at + hasKeysOffset, tag.size() > 0 ? 1 : 0);
        putText(m_bytes, at + forExpressionOffset, info.forExpression);

        const std::size_t entry = tagTableOffset + index * tagEntrySize;
        put32(m_bytes, entry, headerPage);
        putText(m_bytes, entry + entryNameOffset, info.name);
        put8(m_bytes, entry + entryKeyFormatOffset, info.isFieldTag() ? entryFieldTag : 0);
        put8(m_bytes, entry + entryMarkOffset, entryMark);
        put8(m_bytes, entry + entryKeyTypeOffset, static_cast<std::uint8_t>(info.keyType));
    }

    // Splits `count` items into as few nodes of at most `capacity` as
    // possible, evenly; returns the item counts.
    static std::vector<std::size_t> evenSplit(std::size_t count, std::size_t capacity)
    {
        const std::size_t nodes = std::max<std::size_t>(1, (count + capacity - 1) / capacity);
        std::vector<std::size_t> sizes(nodes, count / nodes);
        for (std::size_t i = 0; i < count % nodes; ++i)
            ++sizes[i];
        return sizes;
    }

    // Builds the tree bottom-up: leaves filled in tag order, then levels of
    // interior nodes whose keys are the highest key of each child, until one
    // node is left. Returns the root's page.
    std::uint32_t writeTree(const IndexTag& tag, std::uint16_t itemLength, std::uint16_t maxKeys)
    {
        std::vector<Child> level;
        std::size_t position = 0;
        for (const std::size_t count : evenSplit(tag.size(), maxKeys)) {
            const std::uint32_t page = newBlock();
            const std::size_t at = std::size_t{page} * pageSize;
            put32(m_bytes, at, static_cast<std::uint32_t>(count));
            for (std::size_t k = 0; k < count; ++k, ++position) {
                const std::size_t item = at + nodeItemsOffset + k * itemLength;
                put32(m_bytes, item, tag.recNoAt(position));
                putText(m_bytes, item + itemKeyOffset, tag.keyAt(position));
            }
            level.push_back({page, position == 0 ? 0 : position - 1});
        }

        // An interior node of n keys has n + 1 children; at most maxKeys
        // children keeps its key count below the maximum, which some readers
        // take as the mark of a leaf.
        while (level.size() > 1) {
            std::vector<Child> parents;
            std::size_t first = 0;
            for (const std::size_t count : evenSplit(level.size(), maxKeys)) {
                const std::uint32_t page = newBlock();
                const std::size_t at = std::size_t{page} * pageSize;
                put32(m_bytes, at, static_cast<std::uint32_t>(count - 1));
                for (std::size_t k = 0; k < count; ++k) {
                    const Child& child = level[first + k];
                    const std::size_t item = at + nodeItemsOffset + k * itemLength;
                    put32(m_bytes, item, child.page);
                    putText(m_bytes, item + itemKeyOffset, tag.keyAt(child.lastEntry));
                }
                parents.push_back({page, level[first + count - 1].lastEntry});
                first += count;
            }
            level.swap(parents);
        }
        return level.front().page;
    }

    // The tag table's left/right/parent bytes form a binary search tree over
    // the tag names (1-based tag numbers), tags inserted in table order.
    void writeTagThreads(const std::vector<IndexTag>& tags)
    {
        for (std::size_t i = 1; i < tags.size(); ++i) {
            std::size_t node = 0;
            for (;;) {
                const bool left = tags[i].info().name < tags[node].info().name;
                const std::size_t link = tagTableOffset + node * tagEntrySize
                    + (left ? entryLeftOffset : entryRightOffset);
                const auto next = static_cast<std::uint8_t>(m_bytes[link]);
                if (next == 0) {
                    put8(m_bytes, link, static_cast<std::uint8_t>(i + 1));
                    put8(m_bytes, tagTableOffset + i * tagEntrySize + entryParentOffset,
                         static_cast<std::uint8_t>(node + 1));
                    break;
                }
                node = next - 1u;
            }
        }
    }

    std::string m_bytes;
};

void checkWritable(const std::vector<IndexTag>& tags, const std::filesystem::path& path)
{
    if (tags.size() > maxTags)
        throw DbaseError("Die Indexdatei " + fileText(path) + " kann höchstens 47 Indizes aufnehmen");
    for (std::size_t i = 0; i < tags.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (tags[i].info().name == tags[j].info().name)
                throw DbaseError("Der Index \"" + tags[i].info().name + "\" ist in der Indexdatei "
                                 + fileText(path) + " doppelt vorhanden");
}

} // namespace

MdxFile MdxFile::read(const std::filesystem::path& path, const Collation& collation)
{
    MdxReader reader(path);
    MdxFile file;
    std::vector<std::uint8_t> owners;
    std::uint8_t owner = 0;
    for (const StoredTag& stored : reader.storedTags()) {
        IndexTag tag(stored.info, collation);
        reader.readInto(stored, tag, owners, ++owner, true);
        file.m_tags.push_back(std::move(tag));
    }
    return file;
}

std::vector<TagInfo> MdxFile::readTagInfos(const std::filesystem::path& path)
{
    std::vector<TagInfo> infos;
    for (StoredTag& stored : readStoredTags(path))
        infos.push_back(std::move(stored.info));
    return infos;
}

std::vector<StoredTag> MdxFile::readStoredTags(const std::filesystem::path& path)
{
    return MdxReader(path).storedTags();
}

bool MdxFile::readEntries(const std::filesystem::path& path, const StoredTag& stored, IndexTag& tag,
                          std::vector<std::uint8_t>& owners, std::uint8_t owner, bool withKeys)
{
    return MdxReader(path).readInto(stored, tag, owners, owner, withKeys);
}

void MdxFile::write(const std::filesystem::path& path, const std::string& tableBaseName,
                    std::uint8_t languageDriver) const
{
    checkWritable(m_tags, path);
    const MdxWriter writer(m_tags, tableBaseName, languageDriver);
    replaceFile(path, writer.bytes());
}

IndexTag* MdxFile::tag(std::string_view name)
{
    const std::string wanted = upperAscii(std::string(name));
    const auto found = std::find_if(m_tags.begin(), m_tags.end(),
                                    [&](const IndexTag& tag) { return tag.info().name == wanted; });
    return found == m_tags.end() ? nullptr : &*found;
}

namespace {

// Opens an existing index file and checks that it is one before its mark
// byte is read or written.
std::unique_ptr<FileIo> openForMark(const std::filesystem::path& path, FileIo::Access access)
{
    std::unique_ptr<FileIo> io = makeFileIo();
    io->open(path, access);
    char header[dirtyMarkOffset + 1] = {};
    if (io->readAt(0, header, sizeof header) != sizeof header
        || static_cast<std::uint8_t>(header[versionOffset]) != mdxVersion)
        throw DbaseError("Die Datei " + fileText(path) + " ist keine dBASE-IV-Indexdatei");
    return io;
}

} // namespace

void MdxFile::markDirty(const std::filesystem::path& path)
{
    const std::unique_ptr<FileIo> io = openForMark(path, FileIo::Access::ReadWrite);
    const char mark = 1;
    io->writeAt(dirtyMarkOffset, &mark, 1);
    io->sync();
}

bool MdxFile::isMarkedDirty(const std::filesystem::path& path)
{
    const std::unique_ptr<FileIo> io = openForMark(path, FileIo::Access::ReadOnly);
    char mark = 0;
    io->readAt(dirtyMarkOffset, &mark, 1);
    return mark != 0;
}

} // namespace dbase
