#include <gtest/gtest.h>

#include <algorithm>

#include "TableTestSupport.h"
#include "dbase/DbaseError.h"
#include "dbase/CodePage.h"
#include "dbase/DbtMemo.h"
#include "dbase/Table.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::readFile;
using dbftest::writeFile;
using Format = DbtMemo::Format;

namespace {

std::string text(std::size_t size, char fill = 'x') { return std::string(size, fill); }

// An empty dBASE IV memo file header stating `blockSize`, one block long
// (at least 32 bytes), next free block 1.
std::string dbase4Header(std::uint16_t blockSize, bool sizeAt20 = true, bool sizeAt4 = false) {
    std::string bytes(std::max<std::size_t>(blockSize, 32), '\0');
    bytes[0] = 1;
    if (sizeAt4) {
        bytes[4] = static_cast<char>(blockSize & 0xFF);
        bytes[5] = static_cast<char>(blockSize >> 8);
    }
    if (sizeAt20) {
        bytes[20] = static_cast<char>(blockSize & 0xFF);
        bytes[21] = static_cast<char>(blockSize >> 8);
    }
    return bytes;
}

class DbtMemoTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
};

} // namespace

TEST_F(DbtMemoTest, CreateWritesTheHeaderBothWays) {
    DbtMemo::create("IV.DBT", Format::DBase4, 1024).reset();
    const std::string four = readFile("IV.DBT");
    ASSERT_EQ(four.size(), 1024u);
    EXPECT_EQ(dbftest::le32(four, 0), 1u);
    EXPECT_EQ(dbftest::le32(four, 4), 1024u);
    EXPECT_EQ(dbftest::le16(four, 20), 1024);

    DbtMemo::create("III.DBT", Format::DBase3, 1024).reset(); // dBASE III blocks are always 512
    const std::string three = readFile("III.DBT");
    ASSERT_EQ(three.size(), 512u);
    EXPECT_EQ(dbftest::le32(three, 0), 1u);
    EXPECT_EQ(three[16], 3);
}

TEST_F(DbtMemoTest, RoundTripsInBothFormats) {
    for (Format format : {Format::DBase3, Format::DBase4}) {
        SCOPED_TRACE(format == Format::DBase3 ? "dBASE III" : "dBASE IV");
        const std::vector<std::string> memos = {"kurz", text(511), text(512), text(2000, 'y'),
                                                "Zeile 1\r\nZeile 2 mit \xE4"};
        std::vector<std::uint32_t> blocks;
        {
            const auto memo = DbtMemo::create("M.DBT", format);
            for (const std::string& m : memos)
                blocks.push_back(memo->write(m, 0));
            EXPECT_EQ(memo->write("", 0), 0u);
        }
        const auto memo = DbtMemo::open("M.DBT", format, OpenMode::ReadOnly);
        for (std::size_t i = 0; i < memos.size(); ++i)
            EXPECT_EQ(memo->read(blocks[i]), memos[i]) << i;
        EXPECT_THROW(memo->write("x", 0), DbaseError); // read-only
        EXPECT_EQ(memo->read(0), "");
        EXPECT_EQ(blocks[0], 1u);
        EXPECT_EQ(blocks[1], 2u); // one block each, whichever header the format adds
        EXPECT_EQ(dbftest::le32(readFile("M.DBT"), 0), blocks.back() + 1);
    }
}

TEST_F(DbtMemoTest, EndMarksAreDataInDBase4AndRefusedInDBase3RatherThanCutTheText) {
    std::string binary;
    for (int i = 0; i < 1500; ++i)
        binary.push_back(static_cast<char>(i % 256));
    const auto memo = DbtMemo::create("B.DBT", Format::DBase4);
    EXPECT_EQ(memo->read(memo->write(binary, 0)), binary);
    EXPECT_THROW(DbtMemo::create("M.DBT", Format::DBase3)->write("vor\x1A" "nach", 0), DbaseError);
}

TEST_F(DbtMemoTest, ReusesOldBlocksWhenTheTextFitsElseAppends) {
    for (Format format : {Format::DBase3, Format::DBase4}) {
        const auto memo = DbtMemo::create("M.DBT", format);
        const std::uint32_t first = memo->write(text(1000), 0); // two blocks
        const std::uint32_t second = memo->write("zweiter", 0);
        EXPECT_EQ(memo->write(text(900, 'k'), first), first);
        EXPECT_EQ(memo->read(first), text(900, 'k'));
        EXPECT_EQ(memo->read(second), "zweiter");
        const std::uint32_t moved = memo->write(text(1500, 'g'), first);
        EXPECT_GT(moved, second);
        EXPECT_EQ(memo->read(moved), text(1500, 'g'));
        EXPECT_EQ(memo->read(second), "zweiter");
        EXPECT_EQ(dbftest::le32(readFile("M.DBT"), 0), moved + 3);
    }
}

TEST_F(DbtMemoTest, RewriteOfASingleMarkMemoKeepsTheNextMemo) {
    // 511 bytes and one end mark fill block 1 exactly; block 2 follows at once
    writeFile("M.DBT", dbase4Header(512) + text(511) + "\x1A" + "zweiter\x1A\x1A");
    const auto memo = DbtMemo::open("M.DBT", Format::DBase3, OpenMode::ReadWrite);
    EXPECT_NE(memo->write(text(600, 'n'), 1), 1u);
    EXPECT_EQ(memo->read(2), "zweiter");
}

TEST_F(DbtMemoTest, BlockSizeComesFromTheHeader) {
    const std::string memo = std::string("\xFF\xFF\x08\x00\x0B\x00\x00\x00" "abc", 11);
    for (auto [sizeAt20, sizeAt4] : {std::pair{true, false}, std::pair{false, true}}) {
        std::string bytes = dbase4Header(64, sizeAt20, sizeAt4) + memo + std::string(53, ' ');
        bytes[0] = 2;
        writeFile("M.DBT", bytes);
        const auto file = DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadWrite);
        EXPECT_EQ(file->read(1), "abc");
        EXPECT_EQ(file->write("neu", 0), 2u);
        EXPECT_EQ(readFile("M.DBT").size(), 3u * 64);
    }
    // neither place set: 512
    writeFile("M.DBT", dbase4Header(512, false, false) + memo);
    EXPECT_EQ(DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly)->read(1), "abc");
}

TEST_F(DbtMemoTest, DBase4BlockWithoutHeaderIsReadTheDBase3Way) {
    writeFile("M.DBT", dbase4Header(512) + "alter Text\x1A\x1A" + text(100, '\0'));
    EXPECT_EQ(DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly)->read(1), "alter Text");
    // a single end mark and a missing one at the end of the file
    writeFile("M.DBT", dbase4Header(512) + "einfach\x1A" + text(600, ' ') + "bis zum Ende");
    const auto memo = DbtMemo::open("M.DBT", Format::DBase3, OpenMode::ReadOnly);
    EXPECT_EQ(memo->read(1), "einfach");
    EXPECT_EQ(memo->read(2), text(96, ' ') + "bis zum Ende");
}

TEST_F(DbtMemoTest, DamagedReferencesGiveErrorsNamingTheFile) {
    const auto fails = [](const DbtMemo& memo, std::uint32_t block) {
        return dbftest::failsWith("M.DBT", [&] { memo.read(block); });
    };
    const std::string header = dbase4Header(512);
    writeFile("M.DBT", header + std::string("\xFF\xFF\x08\x00\xFF\xFF\xFF\x7F" "abc", 11));
    const auto huge = DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly);
    EXPECT_TRUE(fails(*huge, 1));          // length far past the end, never allocated
    EXPECT_TRUE(fails(*huge, 2));          // block past the end
    EXPECT_TRUE(fails(*huge, 0xFFFFFFFF)); // block number overflowing the offset
    writeFile("M.DBT", header + std::string("\xFF\xFF\x08\x00\x03\x00\x00\x00", 8));
    EXPECT_TRUE(fails(*DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly), 1));

    writeFile("M.DBT", "kurz");
    EXPECT_THROW(DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly), DbaseError);
    writeFile("M.DBT", dbase4Header(16) + text(600));
    EXPECT_THROW(DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadOnly), DbaseError);
}

TEST_F(DbtMemoTest, NextFreeInTheHeaderIsNotTrustedOverTheFileEnd) {
    std::uint32_t block = 0;
    {
        const auto memo = DbtMemo::create("M.DBT", Format::DBase4);
        block = memo->write(text(700, 'a'), 0);
    }
    std::string bytes = readFile("M.DBT");
    bytes[0] = 1; // another program forgot to advance "next free"
    writeFile("M.DBT", bytes);
    const auto memo = DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadWrite);
    EXPECT_EQ(memo->write("neu", 0), 3u);
    EXPECT_EQ(memo->read(block), text(700, 'a'));

    // a damaged pointer far past the end must not blow the file up
    bytes = readFile("M.DBT");
    bytes[3] = 0x40;
    writeFile("M.DBT", bytes);
    EXPECT_EQ(DbtMemo::open("M.DBT", Format::DBase4, OpenMode::ReadWrite)->write("danach", 0), 4u);
    EXPECT_EQ(readFile("M.DBT").size(), 5u * 512);
    EXPECT_EQ(dbftest::le32(readFile("M.DBT"), 0), 5u);
}

// Some programs write memo tables with the plain version byte 0x03; what
// reads them takes the memo file for dBASE III's, so it is written so.
TEST_F(DbtMemoTest, APlainVersionTableWithMemoFieldsKeepsDBase3Memos) {
    const TableLayout layout({dbftest::field("NAME", FieldType::Character, 10),
                              dbftest::field("TEXT", FieldType::Memo, 10)});
    DbfFile::create("PLAIN.DBF", layout, 0x58, 0x83).reset();
    std::string table = readFile("PLAIN.DBF");
    table[0] = 0x03;
    writeFile("PLAIN.DBF", table);
    DbtMemo::create("PLAIN.DBT", Format::DBase3).reset();

    const QString note = QStringLiteral("Von Zündquellen fernhalten");
    Table plain;
    tabletest::openTable(plain, "PLAIN.DBF");
    plain.append();
    plain.field(1).setAsString(note);
    plain.post();
    plain.close();
    const std::string memo = readFile("PLAIN.DBT");
    const std::string stored = CodePage::windows1252().encode(note) + "\x1A\x1A";
    ASSERT_GE(memo.size(), 512 + stored.size());
    EXPECT_EQ(memo.substr(512, stored.size()), stored) << "no dBASE IV block header";

    plain.open();
    EXPECT_EQ(plain.field(1).asString(), note);
}
