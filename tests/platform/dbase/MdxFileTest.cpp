#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <random>
#include <set>

#include <QDate>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/DbfFile.h"
#include "dbase/FileIo.h"
#include "dbase/KeyExpression.h"
#include "dbase/MdxFile.h"
#include "fixtures/Tdbf.h"
#include "fixtures/TempDir.h"

using dbase::Collation;
using dbase::DbaseError;
using dbase::IndexTag;
using dbase::MdxFile;
using dbase::TagInfo;

namespace {

const Collation& westernEurope() { return Collation::forLanguageDriver(0x58); }

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::uint32_t u32(const std::string& bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(bytes.at(offset + static_cast<std::size_t>(i)));
    return value;
}

std::uint16_t u16(const std::string& bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(offset))
                                      | static_cast<unsigned char>(bytes.at(offset + 1)) << 8);
}

void setU32(std::string& bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<char>(value >> (8 * i));
}

TagInfo info(std::string name, std::string expression, char type = 'C', std::uint16_t length = 10)
{
    TagInfo result;
    result.name = std::move(name);
    result.expression = std::move(expression);
    result.keyType = type;
    result.keyLength = type == 'C' ? length : 0;
    return result;
}

IndexTag tagWith(TagInfo definition, std::vector<std::pair<std::string, std::uint32_t>> entries)
{
    IndexTag tag(std::move(definition), westernEurope());
    tag.assign(std::move(entries));
    return tag;
}

std::vector<std::pair<std::string, std::uint32_t>> entriesOf(const IndexTag& tag)
{
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (std::size_t i = 0; i < tag.size(); ++i)
        entries.emplace_back(std::string(tag.keyAt(i)), tag.recNoAt(i));
    return entries;
}

// Names: "Name 00042" and so on, in a shuffled record order.
std::vector<std::pair<std::string, std::uint32_t>> numberedNames(std::uint32_t count)
{
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (std::uint32_t i = 1; i <= count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "Name %05u", (i * 7919u) % 100003u);
        entries.emplace_back(text, i);
    }
    return entries;
}

// Where a written file keeps a tag's parts, read as the format describes.
struct TagLayout {
    std::size_t header;  // byte offset of the tag header
    std::uint32_t root;  // page
    std::uint16_t keyLength, maxKeys, itemLength;
};

TagLayout layoutOf(const std::string& bytes, std::size_t tagIndex)
{
    const std::size_t header = std::size_t{u32(bytes, 544 + 32 * tagIndex)} * 512;
    return {header, u32(bytes, header), u16(bytes, header + 12), u16(bytes, header + 14), u16(bytes, header + 18)};
}

// Walks a written tree and checks what other readers rely on: all leaves on
// one level, key counts within the stored maximum (interior nodes below it),
// each interior key the highest key of its child. Returns the leaf entries.
struct TreeWalk {
    const std::string& bytes;
    TagLayout layout;
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    std::set<int> leafDepths;
    int interiorNodes = 0;

    std::string walk(std::uint32_t page, int depth)
    {
        const std::size_t at = std::size_t{page} * 512;
        const std::uint32_t count = u32(bytes, at);
        const auto item = [&](std::size_t k) { return at + 8 + k * layout.itemLength; };
        const auto key = [&](std::size_t k) { return bytes.substr(item(k) + 4, layout.keyLength); };
        EXPECT_LE(count, layout.maxKeys);
        if (u32(bytes, item(count)) == 0) {
            leafDepths.insert(depth);
            for (std::size_t k = 0; k < count; ++k)
                entries.emplace_back(key(k), u32(bytes, item(k)));
            return count == 0 ? std::string() : key(count - 1);
        }
        ++interiorNodes;
        EXPECT_LT(count, layout.maxKeys) << "a full interior node looks like a leaf to TDbf";
        std::string highest;
        for (std::size_t k = 0; k <= count; ++k) {
            highest = walk(u32(bytes, item(k)), depth + 1);
            if (k < count)
                EXPECT_EQ(key(k), highest) << "interior key " << k << " on page " << page;
        }
        return highest;
    }
};

} // namespace

TEST(MdxFileWrite, HeaderAndTagTableAreThoseOfADbase4ProductionIndex)
{
    fixtures::TempDir dir;
    MdxFile file;
    file.tags().push_back(tagWith(info("NAME1_SUB", "STRIPNAME1", 'C', 50), {{"Aceton", 1}}));
    file.tags().push_back(tagWith(info("CARN_SUB", "CARN+SUBCARN", 'C', 13), {}));
    TagInfo numeric = info("MENGE", "MENGE", 'N');
    numeric.descending = true;
    numeric.unique = true;
    file.tags().push_back(tagWith(numeric, {{dbase::encodeNumericKey(2.5), 1}}));
    file.write("namen.mdx", "namen", 0x58);

    const std::string bytes = readBytes("namen.mdx");
    ASSERT_GE(bytes.size(), 2048u);
    EXPECT_EQ(bytes.size() % 1024, 0u);
    EXPECT_EQ(bytes[0], 2);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(bytes[1], static_cast<char>(today.year() - 1900));
    EXPECT_EQ(bytes.substr(4, 6), std::string("NAMEN\0", 6));
    EXPECT_EQ(u16(bytes, 20), 2);
    EXPECT_EQ(u16(bytes, 22), 1024);
    EXPECT_EQ(bytes[24], 1);
    EXPECT_EQ(bytes[25], 48);
    EXPECT_EQ(bytes[26], 32);
    EXPECT_EQ(u16(bytes, 28), 3);
    EXPECT_EQ(static_cast<unsigned char>(bytes[31]), 0x58);
    EXPECT_EQ(u32(bytes, 32), bytes.size() / 512);
    EXPECT_EQ(bytes[47], 0) << "a fresh file is not stale";
    EXPECT_EQ(bytes[529], 1);

    // Tag table entries: page, name, field/expression mark, 0x02, key type.
    EXPECT_EQ(bytes.substr(548, 11), std::string("NAME1_SUB\0\0", 11));
    EXPECT_EQ(bytes[544 + 15], 0x10) << "a bare field";
    EXPECT_EQ(bytes[576 + 15], 0x00) << "an expression";
    EXPECT_EQ(bytes[544 + 19], 0x02);
    EXPECT_EQ(bytes[608 + 20], 'N');

    const TagLayout name = layoutOf(bytes, 0);
    EXPECT_EQ(name.header, 4u * 512) << "the first tag header follows the file header";
    EXPECT_EQ(bytes[name.header + 8], 0x10);
    EXPECT_EQ(bytes[name.header + 9], 'C');
    EXPECT_EQ(name.keyLength, 50);
    EXPECT_EQ(name.itemLength, 56) << "key plus record number, rounded to 4";
    EXPECT_EQ(name.maxKeys, (1024 - 12) / 56);
    EXPECT_EQ(bytes.substr(name.header + 24, 11), std::string("STRIPNAME1\0", 11));
    EXPECT_EQ(bytes[name.header + 246], 1);

    const TagLayout menge = layoutOf(bytes, 2);
    EXPECT_EQ(bytes[menge.header + 8], 0x08 | 0x40) << "descending, unique, not a character key";
    EXPECT_EQ(bytes[menge.header + 23], 1);
    EXPECT_EQ(menge.keyLength, 12);
    EXPECT_EQ(menge.itemLength, 16);
    EXPECT_EQ(bytes.substr(std::size_t{menge.root} * 512 + 12, 12), dbase::encodeNumericKey(2.5));

    const TagLayout carn = layoutOf(bytes, 1);
    EXPECT_EQ(carn.itemLength, 20);
    EXPECT_EQ(u32(bytes, std::size_t{carn.root} * 512), 0u) << "an empty tag has an empty leaf as root";
    EXPECT_EQ(bytes[carn.header + 246], 0);
}

TEST(MdxFileWrite, ManyEntriesMakeABalancedTreeWithHighestKeysAbove)
{
    fixtures::TempDir dir;
    // Keys of 100 bytes leave room for 9 per node: 20000 entries need
    // several levels of interior nodes.
    auto entries = numberedNames(20000);
    MdxFile file;
    file.tags().push_back(tagWith(info("LANG", "LANGNAME", 'C', 100), entries));
    file.write("lang.mdx", "lang", 0x58);
    const std::string bytes = readBytes("lang.mdx");

    TreeWalk walk{bytes, layoutOf(bytes, 0)};
    walk.walk(walk.layout.root, 0);
    EXPECT_EQ(walk.layout.maxKeys, 9);
    EXPECT_EQ(walk.leafDepths.size(), 1u);
    EXPECT_GE(*walk.leafDepths.begin(), 4);
    EXPECT_GT(walk.interiorNodes, 250);
    EXPECT_EQ(walk.entries, entriesOf(file.tags()[0]));

    const MdxFile back = MdxFile::read("lang.mdx", westernEurope());
    ASSERT_EQ(back.tags().size(), 1u);
    EXPECT_EQ(entriesOf(back.tags()[0]), entriesOf(file.tags()[0]));
}

TEST(MdxFileRoundTrip, TagsComeBackWithTheirDefinitionsAndEntries)
{
    fixtures::TempDir dir;
    MdxFile file;
    TagInfo upper = info("UPNAME", "UPPER(NAME)", 'C', 20);
    upper.forExpression = "MENGE > 0";
    file.tags().push_back(tagWith(upper, {{"\xC4THER", 3}, {"BENZOL", 1}, {"ACETON", 2}, {"BENZOL", 4}}));
    TagInfo amount = info("MENGE", "MENGE", 'N');
    amount.descending = true;
    file.tags().push_back(tagWith(amount, {{dbase::encodeNumericKey(-1.5), 1},
                                           {dbase::encodeNumericKey(1e6), 2},
                                           {dbase::encodeNumericKey(0), 3}}));
    TagInfo date = info("DATUM", "DATUM", 'D');
    date.unique = true;
    file.tags().push_back(tagWith(date, {{dbase::encodeDateKey(QDate(2024, 5, 1)), 1},
                                         {dbase::encodeDateKey(QDate()), 2},
                                         {dbase::encodeDateKey(QDate(1990, 1, 1)), 3}}));
    file.tags().push_back(tagWith(info("LEER", "LEER"), {}));
    file.write("chemie.MDX", "chemie", 0x58);

    const MdxFile back = MdxFile::read("chemie.MDX", westernEurope());
    ASSERT_EQ(back.tags().size(), file.tags().size());
    for (std::size_t i = 0; i < file.tags().size(); ++i) {
        const TagInfo& want = file.tags()[i].info();
        const TagInfo& got = back.tags()[i].info();
        EXPECT_EQ(got.name, want.name);
        EXPECT_EQ(got.expression, want.expression);
        EXPECT_EQ(got.forExpression, want.forExpression);
        EXPECT_EQ(got.keyType, want.keyType);
        EXPECT_EQ(got.keyLength, want.keyLength);
        EXPECT_EQ(got.unique, want.unique) << want.name;
        EXPECT_EQ(got.descending, want.descending) << want.name;
        EXPECT_EQ(entriesOf(back.tags()[i]), entriesOf(file.tags()[i])) << want.name;
    }

    const std::vector<TagInfo> infos = MdxFile::readTagInfos("chemie.MDX");
    ASSERT_EQ(infos.size(), 4u);
    EXPECT_EQ(infos[0].forExpression, "MENGE > 0");
    EXPECT_EQ(infos[2].keyType, 'D');

    MdxFile reread = MdxFile::read("chemie.MDX", westernEurope());
    EXPECT_EQ(reread.tag("menge"), &reread.tags()[1]);
    EXPECT_EQ(reread.tag("FEHLT"), nullptr);
}

TEST(MdxFileWrite, TagThreadsFormASearchTreeOverTheNames)
{
    fixtures::TempDir dir;
    MdxFile file;
    for (const char* name : {"M", "C", "X", "A", "D"})
        file.tags().push_back(tagWith(info(name, name), {}));
    file.write("t.mdx", "t", 0x58);
    const std::string bytes = readBytes("t.mdx");
    const auto threads = [&](int tag) {
        const std::size_t at = 544 + 32 * static_cast<std::size_t>(tag - 1);
        return std::vector<int>{bytes[at + 16], bytes[at + 17], bytes[at + 18]};
    };
    // M(1) is the root with C(2) left and X(3) right; A(4) and D(5) hang
    // left and right of C.
    EXPECT_EQ(threads(1), (std::vector<int>{2, 3, 0}));
    EXPECT_EQ(threads(2), (std::vector<int>{4, 5, 1}));
    EXPECT_EQ(threads(3), (std::vector<int>{0, 0, 1}));
    EXPECT_EQ(threads(4), (std::vector<int>{0, 0, 2}));
    EXPECT_EQ(threads(5), (std::vector<int>{0, 0, 2}));
}

TEST(MdxFileWrite, RefusesWhatTheFileCannotHold)
{
    fixtures::TempDir dir;
    MdxFile twice;
    twice.tags().push_back(tagWith(info("NAME", "NAME"), {}));
    twice.tags().push_back(tagWith(info("name", "UPPER(NAME)"), {}));
    EXPECT_THROW(twice.write("x.mdx", "x", 0x58), DbaseError);

    MdxFile many;
    for (int i = 0; i < 48; ++i)
        many.tags().push_back(tagWith(info("T" + std::to_string(i), "NAME"), {}));
    EXPECT_THROW(many.write("x.mdx", "x", 0x58), DbaseError);
    EXPECT_FALSE(std::filesystem::exists("x.mdx"));
}

namespace {

// Passes everything to the real files but fails every write halfway, as a
// full disk would.
class FailingWrites final : public dbase::FileIo {
public:
    void open(const std::filesystem::path& path, Access access) override
    {
        m_path = path;
        m_io->open(path, access);
    }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override
    {
        return m_io->readAt(offset, data, size);
    }
    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        m_io->writeAt(offset, data, size / 2);
        throw DbaseError("Die Datei \"" + m_path.string() + "\" kann nicht geschrieben werden: kein Platz");
    }
    std::uint64_t size() override { return m_io->size(); }
    void truncate(std::uint64_t size) override { m_io->truncate(size); }
    void sync() override { m_io->sync(); }
    bool tryLock(Lock lock) override { return m_io->tryLock(lock); }
    void lockAppend() override { m_io->lockAppend(); }
    void unlockAppend() override { m_io->unlockAppend(); }

private:
    std::unique_ptr<dbase::FileIo> m_io = dbase::makeSystemFileIo();
};

// Installs test I/O for the files opened while it lives.
struct InstalledIo {
    explicit InstalledIo(dbase::FileIoFactory factory) { dbase::setFileIoFactory(std::move(factory)); }
    ~InstalledIo() { dbase::setFileIoFactory({}); }
};

} // namespace

TEST(MdxFileWrite, AFailedWriteKeepsTheOldFileWhole)
{
    fixtures::TempDir dir;
    MdxFile old;
    old.tags().push_back(tagWith(info("NAME", "NAME"), {{"alt", 1}}));
    old.write("namen.mdx", "namen", 0x58);
    const std::string before = readBytes("namen.mdx");

    MdxFile changed;
    changed.tags().push_back(tagWith(info("NAME", "NAME"), numberedNames(5000)));
    {
        InstalledIo failing([] { return std::make_unique<FailingWrites>(); });
        try {
            changed.write("namen.mdx", "namen", 0x58);
            FAIL() << "a failed write was reported as done";
        } catch (const DbaseError& error) {
            EXPECT_NE(std::string(error.what()).find("namen.mdx"), std::string::npos) << error.what();
        }
    }
    EXPECT_EQ(readBytes("namen.mdx"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1)
        << "the temporary file is removed";
}

TEST(MdxFileDirtyMark, IsSetByMarkDirtyAndClearedByTheNextWrite)
{
    fixtures::TempDir dir;
    MdxFile file;
    file.tags().push_back(tagWith(info("NAME", "NAME"), {{"a", 1}, {"b", 2}}));
    file.write("n.mdx", "n", 0x58);
    EXPECT_FALSE(MdxFile::isMarkedDirty("n.mdx"));

    MdxFile::markDirty("n.mdx");
    EXPECT_TRUE(MdxFile::isMarkedDirty("n.mdx"));
    EXPECT_EQ(MdxFile::read("n.mdx", westernEurope()).tags()[0].size(), 2u) << "the mark harms no reader";

    file.write("n.mdx", "n", 0x58);
    EXPECT_FALSE(MdxFile::isMarkedDirty("n.mdx"));

    writeBytes("kein.mdx", "Dies ist keine Indexdatei, sondern Text, der lang genug ist.");
    const std::string before = readBytes("kein.mdx");
    EXPECT_THROW(MdxFile::markDirty("kein.mdx"), DbaseError);
    EXPECT_EQ(readBytes("kein.mdx"), before);
    EXPECT_THROW(MdxFile::isMarkedDirty("fehlt.mdx"), DbaseError);
}

namespace {

// A two-level file to damage: tag NAME with 100 entries (two leaves under a
// root), tag MENGE with numeric keys.
std::string sampleFile()
{
    MdxFile file;
    file.tags().push_back(tagWith(info("NAME", "NAME"), numberedNames(100)));
    file.tags().push_back(tagWith(info("MENGE", "MENGE", 'N'), {{dbase::encodeNumericKey(7), 1}}));
    file.write("sample.mdx", "sample", 0x58);
    return readBytes("sample.mdx");
}

void expectDamageReported(const std::string& bytes, const std::string& what)
{
    writeBytes("kaputt.mdx", bytes);
    for (const bool infosOnly : {false, true}) {
        try {
            if (infosOnly)
                MdxFile::readTagInfos("kaputt.mdx");
            else
                MdxFile::read("kaputt.mdx", westernEurope());
            if (!infosOnly)
                ADD_FAILURE() << what << ": read without complaint";
        } catch (const DbaseError& error) {
            EXPECT_NE(std::string(error.what()).find("kaputt.mdx"), std::string::npos)
                << what << ": " << error.what();
        }
    }
}

} // namespace

TEST(MdxFileDamage, EachKindOfDamageIsAClearErrorNamingTheFile)
{
    fixtures::TempDir dir;
    const std::string good = sampleFile();
    const TagLayout name = layoutOf(good, 0);
    const std::size_t root = std::size_t{name.root} * 512;
    const std::uint32_t firstLeaf = u32(good, root + 8);
    ASSERT_NE(u32(good, root), 0u) << "the sample's root must be an interior node";

    const std::vector<std::pair<std::string, std::function<void(std::string&)>>> damages = {
        {"empty file", [](std::string& b) { b.clear(); }},
        {"header cut short", [](std::string& b) { b.resize(2047); }},
        {"last node cut short", [](std::string& b) { b.resize(b.size() - 1); }},
        {"not version 2", [](std::string& b) { b[0] = 3; }},
        {"a table, not an index", [](std::string& b) { b[0] = static_cast<char>(0x8B); }},
        {"block size zero", [](std::string& b) { b[20] = b[21] = b[22] = b[23] = 0; }},
        {"too many tags", [](std::string& b) { b[28] = static_cast<char>(200); }},
        {"tag header beyond the end", [](std::string& b) { setU32(b, 544, 0x00FFFFFF); }},
        {"tag header inside the file header", [](std::string& b) { setU32(b, 544, 1); }},
        {"root beyond the end", [&](std::string& b) { setU32(b, name.header, 0xFFFFFFFF); }},
        {"huge key count", [&](std::string& b) { setU32(b, std::size_t{firstLeaf} * 512, 0xFFFFFFF0); }},
        {"child pointing back to the root", [&](std::string& b) { setU32(b, root + 8, name.root); }},
        {"two children on one node", [&](std::string& b) { setU32(b, root + 8 + name.itemLength, firstLeaf); }},
        {"record number 0", [&](std::string& b) { setU32(b, std::size_t{firstLeaf} * 512 + 8, 0); }},
        {"item shorter than the key", [&](std::string& b) { b[name.header + 18] = 8; }},
        {"key type unknown", [&](std::string& b) { b[name.header + 9] = 'X'; }},
        {"numeric key with a bad digit", [&](std::string& b) {
             const TagLayout menge = layoutOf(b, 1);
             b[std::size_t{menge.root} * 512 + 12 + 2] = static_cast<char>(0xFA);
         }},
    };
    for (const auto& [what, damage] : damages) {
        std::string bytes = good;
        damage(bytes);
        expectDamageReported(bytes, what);
    }
}

namespace {

// Serves one byte string as every file opened for reading, so that many
// damaged variants are read without touching the disk.
class BytesAsFile final : public dbase::FileIo {
public:
    explicit BytesAsFile(const std::string& bytes) : m_bytes(bytes) {}
    void open(const std::filesystem::path& path, Access) override { m_path = path; }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override
    {
        if (offset >= m_bytes.size())
            return 0;
        const std::size_t n = std::min<std::size_t>(size, m_bytes.size() - offset);
        std::memcpy(data, m_bytes.data() + offset, n);
        return n;
    }
    void writeAt(std::uint64_t, const char*, std::size_t) override { throw DbaseError("read only"); }
    std::uint64_t size() override { return m_bytes.size(); }
    void truncate(std::uint64_t) override { throw DbaseError("read only"); }
    void sync() override {}
    bool tryLock(Lock) override { return true; }
    void lockAppend() override {}
    void unlockAppend() override {}

private:
    const std::string& m_bytes;
};

} // namespace

// Random damage anywhere must give either a file that reads or DbaseError:
// never a crash, a hang or another exception.
TEST(MdxFileDamage, RandomlyDamagedFilesReadOrFailCleanly)
{
    std::string good;
    {
        fixtures::TempDir dir;
        good = sampleFile();
    }
    std::string bytes;
    InstalledIo fromMemory([&bytes] { return std::make_unique<BytesAsFile>(bytes); });
    std::mt19937 random(1234);
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        bytes = good;
        const int flips = 1 + static_cast<int>(random() % 4);
        for (int i = 0; i < flips; ++i) {
            // Mostly the header, tag table, tag headers and node heads.
            const std::size_t at = random() % 2 == 0 ? random() % 2600 : random() % bytes.size();
            bytes[at] = static_cast<char>(random());
        }
        if (random() % 10 == 0)
            bytes.resize(random() % bytes.size());
        try {
            const MdxFile file = MdxFile::read("zufall.mdx", westernEurope());
            for (const IndexTag& tag : file.tags())
                for (std::size_t i = 0; i < tag.size(); ++i)
                    ASSERT_NE(tag.recNoAt(i), 0u);
        } catch (const DbaseError&) {
            ++failures;
        }
    }
    EXPECT_GT(failures, 200) << "the damage checks should refuse a good share of these";
}

// ---- Against Free Pascal's TDbf, an independent reader and writer of the format

namespace {

std::vector<std::uint32_t> recNosOf(const IndexTag& tag)
{
    std::vector<std::uint32_t> recNos;
    for (std::size_t i = 0; i < tag.size(); ++i)
        recNos.push_back(tag.recNoAt(i));
    return recNos;
}

std::uint8_t languageDriverOf(const std::filesystem::path& table)
{
    return static_cast<std::uint8_t>(readBytes(table).at(29));
}

} // namespace

// Files TDbf wrote: every tag, its expression and its order come through,
// umlauts, mixed case, DOS code pages and deleted rows included.
TEST(MdxFileTdbf, ReadsTheTagsTdbfWrote)
{
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf is not built";
    for (const char* table : {"STOFFE", "NAMEN", "DOS437", "DOS850"}) {
        SCOPED_TRACE(table);
        const std::filesystem::path dbf = fixtures::tdbfFixtureDir() / (std::string(table) + ".DBF");
        const std::filesystem::path mdx = fixtures::tdbfFixtureDir() / (std::string(table) + ".mdx");
        const MdxFile file = MdxFile::read(mdx, Collation::forLanguageDriver(languageDriverOf(dbf)));

        const fixtures::TdbfTable tdbf = fixtures::readWithTdbf(dbf);
        ASSERT_EQ(file.tags().size(), tdbf.tags.size());
        ASSERT_FALSE(file.tags().empty());
        for (std::size_t i = 0; i < tdbf.tags.size(); ++i) {
            const IndexTag& tag = file.tags()[i];
            EXPECT_EQ(tag.info().name, tdbf.tags[i].name);
            EXPECT_EQ(tag.info().expression, tdbf.tags[i].expression);
            EXPECT_EQ(recNosOf(tag), fixtures::readWithTdbf(dbf, tag.info().name).recNos())
                << "order of tag " << tag.info().name;
        }
    }
}

namespace {

// Names whose order differs between bytes and the collation: umlauts, ß,
// accents, mixed case, blanks and punctuation at the front.
std::string mixedName(std::mt19937& random)
{
    static const std::vector<std::string> parts = {
        "a", "A", "\xE4", "\xC4", "e", "E", "\xE9", "o", "\xF6", "\xD6", "u", "\xFC", "\xDC",
        "s", "ss", "\xDF", "st", "z", "Z", " ", "-", "_", "1", "9", "Mu", "M\xFC", "Me",
    };
    std::string name;
    const int length = 1 + static_cast<int>(random() % 6);
    for (int i = 0; i < length; ++i)
        name += parts[random() % parts.size()];
    return name.substr(0, 30);
}

} // namespace

// TDbf opens a table with the index file we wrote and walks each tag in the
// order we keep in memory; the trees have several levels.
TEST(MdxFileTdbf, TdbfWalksOurTagsInOurOrder)
{
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf is not built";
    fixtures::TempDir dir;
    dbase::FieldDef name;
    name.name = "NAME";
    name.type = dbase::FieldType::Character;
    name.length = 30;
    dbase::FieldDef amount;
    amount.name = "MENGE";
    amount.type = dbase::FieldType::Numeric;
    amount.length = 10;
    amount.decimals = 2;
    const dbase::TableLayout layout({name, amount});

    TagInfo descending = info("DNAME", "NAME", 'C', 30);
    descending.descending = true;
    MdxFile file;
    file.tags().push_back(IndexTag(info("NAME", "NAME", 'C', 30), westernEurope()));
    file.tags().push_back(IndexTag(descending, westernEurope()));
    file.tags().push_back(IndexTag(info("MENGE", "MENGE", 'N'), westernEurope()));
    {
        auto table = dbase::DbfFile::create("stoffe.dbf", layout, 0x58);
        std::mt19937 random(99);
        for (std::uint32_t recNo = 1; recNo <= 3000; ++recNo) {
            std::string record = table->blankRecord();
            const std::string text = mixedName(random);
            record.replace(layout.field(0).offset, text.size(), text);
            const double value = (static_cast<int>(random() % 200001) - 100000) / 100.0;
            char number[16];
            std::snprintf(number, sizeof number, "%10.2f", value);
            record.replace(layout.field(1).offset, 10, number);
            ASSERT_EQ(table->appendRecord(record), recNo);
            file.tags()[0].insert(text, recNo);
            file.tags()[1].insert(text, recNo);
            file.tags()[2].insert(dbase::encodeNumericKey(value), recNo);
        }
        table->setProductionMdx(true);
    }
    file.write("stoffe.mdx", "stoffe", 0x58);
    // The stale mark must not disturb the other program either.
    MdxFile::markDirty("stoffe.mdx");

    const fixtures::TdbfTable tdbf = fixtures::readWithTdbf("stoffe.dbf");
    ASSERT_EQ(tdbf.tags.size(), 3u);
    for (const IndexTag& tag : file.tags()) {
        SCOPED_TRACE(tag.info().name);
        EXPECT_EQ(fixtures::readWithTdbf("stoffe.dbf", tag.info().name).recNos(), recNosOf(tag));
    }
}
