#include <gtest/gtest.h>

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
#include "DbfTestSupport.h"
#include "ForwardingFileIo.h"
#include "fixtures/Tdbf.h"
#include "fixtures/TempDir.h"

using dbase::DbaseError;
using dbase::IndexTag;
using dbase::MdxFile;
using dbase::TagInfo;
using dbftest::failsWith;
using dbftest::recNosOf;
using dbftest::westernEurope;
using dbftest::le16;
using dbftest::le32;
using dbftest::readFile;
using dbftest::writeFile;
using Entries = std::vector<std::pair<std::string, std::uint32_t>>;

namespace {

void setU32(std::string& bytes, std::size_t at, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(at + i) = static_cast<char>(value >> (8 * i));
}

IndexTag tag(TagInfo info, Entries entries)
{
    IndexTag result(std::move(info), westernEurope());
    result.assign(std::move(entries));
    return result;
}

enum Order { Ascending, Descending };
enum Keys { AllKeys, Unique };

IndexTag tag(const std::string& name, const std::string& expression, char type = 'C', std::uint16_t length = 10,
             Entries entries = {}, Order order = Ascending, Keys keys = AllKeys)
{
    TagInfo info;
    info.name = name;
    info.expression = expression;
    info.keyType = type;
    info.keyLength = type == 'C' ? length : 0;
    info.descending = order == Descending;
    info.unique = keys == Unique;
    return tag(std::move(info), std::move(entries));
}

Entries entriesOf(const IndexTag& tag)
{
    Entries entries;
    for (std::size_t i = 0; i < tag.size(); ++i)
        entries.emplace_back(std::string(tag.keyAt(i)), tag.recNoAt(i));
    return entries;
}

// "Name 00042" and so on, the names in another order than the records.
Entries numberedNames(std::uint32_t count)
{
    Entries entries;
    for (std::uint32_t i = 1; i <= count; ++i) {
        char text[16];
        std::snprintf(text, sizeof text, "Name %05u", (i * 7919u) % 100003u);
        entries.emplace_back(text, i);
    }
    return entries;
}

// A tag's header offset, root page and item sizes, read as the format says.
struct TagLayout {
    std::size_t header;
    std::uint32_t root;
    std::uint16_t keyLength, maxKeys, itemLength;
};

TagLayout layoutOf(const std::string& bytes, std::size_t tagIndex)
{
    const std::size_t header = std::size_t{le32(bytes, 544 + 32 * tagIndex)} * 512;
    return {header, le32(bytes, header), le16(bytes, header + 12), le16(bytes, header + 14), le16(bytes, header + 18)};
}

// Walks a written tree checking what other readers rely on: leaves on one
// level, key counts within the stored maximum (interior nodes below it, or
// TDbf takes them for leaves), each interior key the highest of its child.
struct TreeWalk {
    const std::string& bytes;
    TagLayout layout;
    Entries entries;
    std::set<int> leafDepths;
    int interiorNodes = 0;

    std::string walk(std::uint32_t page, int depth)
    {
        const std::size_t at = std::size_t{page} * 512;
        const std::uint32_t count = le32(bytes, at);
        const auto item = [&](std::size_t k) { return at + 8 + k * layout.itemLength; };
        const auto key = [&](std::size_t k) { return bytes.substr(item(k) + 4, layout.keyLength); };
        EXPECT_LE(count, layout.maxKeys);
        if (le32(bytes, item(count)) == 0) {
            leafDepths.insert(depth);
            for (std::size_t k = 0; k < count; ++k)
                entries.emplace_back(key(k), le32(bytes, item(k)));
            return count == 0 ? std::string() : key(count - 1);
        }
        ++interiorNodes;
        EXPECT_LT(count, layout.maxKeys);
        std::string highest;
        for (std::size_t k = 0; k <= count; ++k) {
            highest = walk(le32(bytes, item(k)), depth + 1);
            if (k < count) {
                EXPECT_EQ(key(k), highest) << "interior key " << k << " on page " << page;
            }
        }
        return highest;
    }
};

} // namespace

TEST(MdxFileWrite, HeaderTagTableAndTagHeadersAreThoseOfDbase4)
{
    fixtures::TempDir dir;
    MdxFile file;
    file.tags().push_back(tag("NAME1_SUB", "STRIPNAME1", 'C', 50, {{"Aceton", 1}}));
    file.tags().push_back(tag("CARN_SUB", "CARN+SUBCARN", 'C', 13));
    file.tags().push_back(tag("MENGE", "MENGE", 'N', 0, {{dbase::encodeNumericKey(2.5), 1}}, Descending, Unique));
    file.write("namen.mdx", "namen", 0x58);
    const std::string b = readFile("namen.mdx");

    ASSERT_EQ(b.size() % 1024, 0u);
    EXPECT_EQ(b.substr(0, 10), std::string("\x02", 1) + char(QDate::currentDate().year() - 1900)
                                   + char(QDate::currentDate().month()) + char(QDate::currentDate().day())
                                   + std::string("NAMEN\0", 6));
    EXPECT_EQ(b.substr(20, 7), std::string("\x02\x00\x00\x04\x01\x30\x20", 7)) << "blocks, production, table";
    EXPECT_EQ(le16(b, 28), 3);
    EXPECT_EQ(b[31], '\x58');
    EXPECT_EQ(le32(b, 32), b.size() / 512);
    EXPECT_EQ(b[47], 0) << "a fresh file is not stale";
    EXPECT_EQ(b[529], 1);

    // Tag table entries: page, name, 0x10 for a bare field, left/right/parent
    // threads (CARN_SUB left of NAME1_SUB), 0x02, key type.
    EXPECT_EQ(b.substr(544, 21), std::string("\x04\0\0\0NAME1_SUB\0\0\x10\x02\0\0\x02" "C", 21));
    EXPECT_EQ(b[576 + 15], 0x00) << "an expression";
    EXPECT_EQ(b[608 + 20], 'N');

    const TagLayout name = layoutOf(b, 0);
    EXPECT_EQ(b.substr(name.header + 8, 2), "\x10" "C");
    EXPECT_EQ(name.keyLength, 50);
    EXPECT_EQ(name.itemLength, 56) << "key plus record number, rounded to 4";
    EXPECT_EQ(name.maxKeys, (1024 - 12) / 56);
    EXPECT_EQ(b.substr(name.header + 24, 11), std::string("STRIPNAME1\0", 11));
    EXPECT_EQ(b[name.header + 246], 1);

    const TagLayout menge = layoutOf(b, 2);
    EXPECT_EQ(b[menge.header + 8], 0x08 | 0x40) << "descending, unique, not character";
    EXPECT_EQ(b[menge.header + 23], 1);
    EXPECT_EQ(menge.itemLength, 16);
    EXPECT_EQ(b.substr(std::size_t{menge.root} * 512 + 12, 12), dbase::encodeNumericKey(2.5));

    const TagLayout carn = layoutOf(b, 1);
    EXPECT_EQ(carn.itemLength, 20);
    EXPECT_EQ(le32(b, std::size_t{carn.root} * 512), 0u) << "an empty tag has an empty leaf as root";
    EXPECT_EQ(b[carn.header + 246], 0);
}

TEST(MdxFileWrite, ManyEntriesMakeABalancedTreeWithHighestKeysAbove)
{
    fixtures::TempDir dir;
    // Keys of 100 bytes leave room for 9 per node: several interior levels.
    MdxFile file;
    file.tags().push_back(tag("LANG", "LANGNAME", 'C', 100, numberedNames(20000)));
    file.write("lang.mdx", "lang", 0x58);
    const std::string bytes = readFile("lang.mdx");

    TreeWalk walk{bytes, layoutOf(bytes, 0)};
    walk.walk(walk.layout.root, 0);
    EXPECT_EQ(walk.layout.maxKeys, 9);
    ASSERT_EQ(walk.leafDepths.size(), 1u);
    EXPECT_GE(*walk.leafDepths.begin(), 4);
    EXPECT_GT(walk.interiorNodes, 250);
    EXPECT_EQ(walk.entries, entriesOf(file.tags()[0]));
    EXPECT_EQ(entriesOf(MdxFile::read("lang.mdx", westernEurope()).tags().at(0)), walk.entries);
}

TEST(MdxFileWrite, TagsComeBackWithTheirDefinitionsAndEntries)
{
    fixtures::TempDir dir;
    MdxFile file;
    TagInfo upper = tag("UPNAME", "UPPER(NAME)", 'C', 20).info();
    upper.forExpression = "MENGE > 0";
    file.tags().push_back(tag(upper, {{"\xC4THER", 3}, {"BENZOL", 1}, {"ACETON", 2}, {"BENZOL", 4}}));
    file.tags().push_back(
        tag("MENGE", "MENGE", 'N', 0, {{dbase::encodeNumericKey(-1.5), 1}, {dbase::encodeNumericKey(1e6), 2}}, Descending));
    file.tags().push_back(tag("DATUM", "DATUM", 'D', 0,
                              {{dbase::encodeDateKey(QDate(2024, 5, 1)), 1}, {dbase::encodeDateKey(QDate()), 2}},
                              Ascending, Unique));
    file.tags().push_back(tag("LEER", "LEER"));
    file.write("chemie.MDX", "chemie", 0x58);

    MdxFile back = MdxFile::read("chemie.MDX", westernEurope());
    const std::vector<TagInfo> infos = MdxFile::readTagInfos("chemie.MDX");
    ASSERT_EQ(back.tags().size(), 4u);
    ASSERT_EQ(infos.size(), 4u);
    for (std::size_t i = 0; i < 4; ++i) {
        const TagInfo& want = file.tags()[i].info();
        for (const TagInfo& got : {back.tags()[i].info(), infos[i]}) {
            EXPECT_EQ(std::tie(got.name, got.expression, got.forExpression, got.keyType, got.keyLength),
                      std::tie(want.name, want.expression, want.forExpression, want.keyType, want.keyLength));
            EXPECT_EQ(std::pair(got.unique, got.descending), std::pair(want.unique, want.descending)) << want.name;
        }
        EXPECT_EQ(entriesOf(back.tags()[i]), entriesOf(file.tags()[i])) << want.name;
    }
    EXPECT_EQ(back.tag("menge"), &back.tags()[1]);
    EXPECT_EQ(back.tag("FEHLT"), nullptr);

    // Left/right/parent threads: a search tree over the names inserted in
    // table order: UPNAME at the root, MENGE left of it, DATUM left of
    // MENGE, LEER right of DATUM.
    const std::string b = readFile("chemie.MDX");
    const auto threads = [&](std::size_t t) { return b.substr(544 + 32 * t + 16, 3); };
    EXPECT_EQ(threads(0), std::string("\x02\x00\x00", 3));
    EXPECT_EQ(threads(1), std::string("\x03\x00\x01", 3));
    EXPECT_EQ(threads(2), std::string("\x00\x04\x02", 3));
    EXPECT_EQ(threads(3), std::string("\x00\x00\x03", 3));
}

TEST(MdxFileWrite, FailuresLeaveTheOldFileWhole)
{
    fixtures::TempDir dir;
    MdxFile old;
    old.tags().push_back(tag("NAME", "NAME", 'C', 10, {{"alt", 1}}));
    old.write("namen.mdx", "namen", 0x58);
    const std::string before = readFile("namen.mdx");

    MdxFile changed;
    changed.tags().push_back(tag("NAME", "NAME", 'C', 10, numberedNames(5000)));
    EXPECT_TRUE(failsWith("namen.mdx", [&] {
        dbftest::FaultyIoScope fullDisk; // every write fails halfway
        fullDisk.faults->writesLeft = 0;
        fullDisk.faults->tear = true;
        changed.write("namen.mdx", "namen", 0x58);
    }));
    EXPECT_EQ(readFile("namen.mdx"), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "temporary file left";

    MdxFile twice;
    twice.tags().push_back(tag("NAME", "NAME"));
    twice.tags().push_back(tag("name", "UPPER(NAME)"));
    EXPECT_THROW(twice.write("namen.mdx", "namen", 0x58), DbaseError);
    EXPECT_EQ(readFile("namen.mdx"), before);
}

TEST(MdxFileWrite, StaleMarkIsSetByMarkDirtyAndClearedByTheNextWrite)
{
    fixtures::TempDir dir;
    MdxFile file;
    file.tags().push_back(tag("NAME", "NAME", 'C', 10, {{"a", 1}, {"b", 2}}));
    file.write("n.mdx", "n", 0x58);
    EXPECT_FALSE(MdxFile::isMarkedDirty("n.mdx"));
    MdxFile::markDirty("n.mdx");
    EXPECT_TRUE(MdxFile::isMarkedDirty("n.mdx"));
    EXPECT_EQ(MdxFile::read("n.mdx", westernEurope()).tags()[0].size(), 2u) << "the mark harms no reader";
    file.write("n.mdx", "n", 0x58);
    EXPECT_FALSE(MdxFile::isMarkedDirty("n.mdx"));

    writeFile("kein.mdx", "Dies ist keine Indexdatei, sondern Text, der lang genug ist.");
    EXPECT_THROW(MdxFile::markDirty("kein.mdx"), DbaseError);
    EXPECT_EQ(readFile("kein.mdx"), "Dies ist keine Indexdatei, sondern Text, der lang genug ist.");
    EXPECT_THROW(MdxFile::isMarkedDirty("fehlt.mdx"), DbaseError);
}

// Random damage is left to the fuzz target (fuzz/mdx_fuzz.cpp).
TEST(MdxFileDamage, DamagedFilesAreClearErrorsNamingTheFile)
{
    fixtures::TempDir dir;
    // Tag NAME: two leaves under a root; tag MENGE: numeric keys.
    MdxFile sample;
    sample.tags().push_back(tag("NAME", "NAME", 'C', 10, numberedNames(100)));
    sample.tags().push_back(tag("MENGE", "MENGE", 'N', 0, {{dbase::encodeNumericKey(7), 1}}));
    sample.write("sample.mdx", "sample", 0x58);
    const std::string good = readFile("sample.mdx");
    const TagLayout name = layoutOf(good, 0);
    const std::size_t root = std::size_t{name.root} * 512;
    const std::uint32_t leaf = le32(good, root + 8);
    ASSERT_EQ(le32(good, root), 1u) << "the root must be an interior node";

    const std::vector<std::pair<const char*, std::function<void(std::string&)>>> damages = {
        {"empty file", [](std::string& b) { b.clear(); }},
        {"header cut short", [](std::string& b) { b.resize(2047); }},
        {"last node cut short", [](std::string& b) { b.resize(b.size() - 1); }},
        {"version 3", [](std::string& b) { b[0] = 3; }},
        {"a table", [](std::string& b) { b[0] = '\x8B'; }},
        {"block size zero", [](std::string& b) { b[20] = b[21] = b[22] = b[23] = 0; }},
        {"too many tags", [](std::string& b) { b[28] = '\xC8'; }},
        {"tag header beyond the end", [](std::string& b) { setU32(b, 544, 0x00FFFFFF); }},
        {"tag header in the file header", [](std::string& b) { setU32(b, 544, 1); }},
        {"root beyond the end", [&](std::string& b) { setU32(b, name.header, 0xFFFFFFFF); }},
        {"huge key count", [&](std::string& b) { setU32(b, std::size_t{leaf} * 512, 0xFFFFFFF0); }},
        {"cycle to the root", [&](std::string& b) { setU32(b, root + 8, name.root); }},
        {"one child twice", [&](std::string& b) { setU32(b, root + 8 + name.itemLength, leaf); }},
        {"record number 0", [&](std::string& b) { setU32(b, std::size_t{leaf} * 512 + 8, 0); }},
        {"item shorter than the key", [&](std::string& b) { b[name.header + 18] = 8; }},
        {"key type unknown", [&](std::string& b) { b[name.header + 9] = 'X'; }},
        {"bad BCD digit", [&](std::string& b) { b[std::size_t{layoutOf(b, 1).root} * 512 + 14] = '\xFA'; }},
    };
    for (const auto& [what, damage] : damages) {
        std::string bytes = good;
        damage(bytes);
        writeFile("kaputt.mdx", bytes);
        EXPECT_TRUE(failsWith("kaputt.mdx", [] { MdxFile::read("kaputt.mdx", westernEurope()); })) << what;
    }
}

// ---- Against Free Pascal's TDbf, an independent reader and writer of the
// format (the tags TDbf wrote are read in TdbfInteropTest)

// TDbf opens a table with the index file we wrote and walks each tag (trees
// of three levels) in the order we hold in memory.
TEST(MdxFileTdbf, TdbfWalksOurTagsInOurOrder)
{
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf is not built";
    fixtures::TempDir dir;
    const dbase::TableLayout layout({{"NAME", dbase::FieldType::Character, 30, 0},
                                     {"MENGE", dbase::FieldType::Numeric, 10, 2}});
    MdxFile file;
    file.tags() = {tag("NAME", "NAME", 'C', 30), tag("DNAME", "NAME", 'C', 30, {}, Descending), tag("MENGE", "MENGE", 'N')};
    // Names whose order differs between bytes and the collation.
    const std::vector<std::string> parts = {"a", "A", "\xE4", "\xC4", "e", "E", "\xE9", "\xF6", "\xD6", "\xFC", "s",
                                            "ss", "\xDF", "st", "z", "Z", " ", "-", "_", "1", "Mu", "M\xFC"};
    {
        auto table = dbase::DbfFile::create("stoffe.dbf", layout, 0x58);
        std::mt19937 random(99);
        for (std::uint32_t recNo = 1; recNo <= 3000; ++recNo) {
            std::string name;
            for (int n = 1 + static_cast<int>(random() % 6); n > 0; --n)
                name += parts[random() % parts.size()];
            // Zeros and values near them, where the numeric order is subtle.
            const int cents = static_cast<int>(random() % 200001) - 100000;
            const double amount = (random() % 4 == 0 ? cents % 20 : cents) / 100.0;
            char number[16];
            std::snprintf(number, sizeof number, "%10.2f", amount);
            std::string record = table->blankRecord();
            record.replace(1, name.size(), name);
            record.replace(31, 10, number);
            ASSERT_EQ(table->appendRecord(record), recNo);
            for (IndexTag& t : file.tags())
                t.insert(t.info().keyType == 'N' ? dbase::encodeNumericKey(amount) : name, recNo);
        }
        table->setProductionMdx(true);
    }
    file.write("stoffe.mdx", "stoffe", 0x58);
    MdxFile::markDirty("stoffe.mdx"); // must not disturb the other program either

    ASSERT_EQ(fixtures::readWithTdbf("stoffe.dbf").tags.size(), 3u);
    for (const IndexTag& t : file.tags())
        EXPECT_EQ(fixtures::readWithTdbf("stoffe.dbf", t.info().name).recNos(), recNosOf(t)) << t.info().name;
}
