#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include <QDate>

#include "ChildProcess.h"
#include "DbfTestSupport.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/DbfFile.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::failsWith;
using dbftest::field;
using dbftest::inChild;
using dbftest::textAt;
using dbftest::readFile;
using dbftest::writeFile;

namespace {

TableLayout sampleLayout() {
    return TableLayout({field("NAME", FieldType::Character, 20), field("MENGE", FieldType::Numeric, 8, 2),
                        field("DATUM", FieldType::Date, 8), field("AKTIV", FieldType::Logical, 1)});
}

std::string sampleRecord(const DbfFile& file, const std::string& name) {
    std::string record = file.blankRecord();
    dbftest::put(record, file.layout().field(0),
                 file.codePage().encode(QString::fromStdString(name)));
    dbftest::put(record, file.layout().field(1), "1.25", true);
    dbftest::put(record, file.layout().field(2), "20240131");
    dbftest::put(record, file.layout().field(3), "T");
    return record;
}

std::unique_ptr<DbfFile> openShared(const std::string& name, OpenMode mode = OpenMode::ReadOnly) {
    return DbfFile::open(name, mode, ShareMode::Shared);
}

std::unique_ptr<DbfFile> openExclusive() {
    return DbfFile::open("T.DBF", OpenMode::ReadWrite, ShareMode::Exclusive);
}

// A valid dBASE III table of one C(5) field and two records, as bytes.
std::string handMadeTable() {
    std::string bytes(32, '\0');
    bytes[0] = 0x03;
    bytes[4] = 2;     // records
    bytes[8] = 65;    // header length 32 + 32 + 1
    bytes[10] = 6;    // record length
    std::string descriptor(32, '\0');
    descriptor.replace(0, 4, "NAME");
    descriptor[11] = 'C';
    descriptor[16] = 5;
    bytes += descriptor;
    bytes += '\x0D';
    bytes += " eins ";
    bytes += "*zwei ";
    return bytes;
}

class DbfFileTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
};

} // namespace

TEST_F(DbfFileTest, CreateWritesAValidHeader) {
    const auto file = DbfFile::create("NEU.DBF", sampleLayout(), 0x58);
    const std::string bytes = readFile("NEU.DBF");
    ASSERT_EQ(bytes.size(), 32u + 4 * 32 + 1 + 1);
    EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 0x03);
    const QDate today = QDate::currentDate();
    EXPECT_EQ(static_cast<unsigned char>(bytes[1]), today.year() - 1900);
    EXPECT_EQ(bytes[2], today.month());
    EXPECT_EQ(bytes[3], today.day());
    EXPECT_EQ(dbftest::le32(bytes, 4), 0u);
    EXPECT_EQ(dbftest::le16(bytes, 8), 161);
    EXPECT_EQ(dbftest::le16(bytes, 10), 1 + 20 + 8 + 8 + 1);
    EXPECT_EQ(bytes[28], 0);
    EXPECT_EQ(static_cast<unsigned char>(bytes[29]), 0x58);
    EXPECT_EQ(bytes.substr(32, 4), std::string("NAME"));
    EXPECT_EQ(bytes[32 + 11], 'C');
    EXPECT_EQ(bytes[32 + 32 + 16], 8);
    EXPECT_EQ(bytes[32 + 32 + 17], 2);
    EXPECT_EQ(bytes[160], '\x0D');
    EXPECT_EQ(bytes[161], '\x1A');
    EXPECT_EQ(file->header().headerLength, 161);
    EXPECT_EQ(file->codePage().number(), 1252);
}

TEST_F(DbfFileTest, CreateChoosesTheMemoVersion) {
    const TableLayout memo({field("TEXT", FieldType::Memo, 10)});
    EXPECT_EQ(DbfFile::create("A.DBF", memo)->header().version, 0x8B);
    EXPECT_EQ(DbfFile::create("B.DBF", memo, 0x58, 0x83)->header().version, 0x83);
    EXPECT_EQ(DbfFile::create("C.DBF", sampleLayout(), 0x58, 0x8B)->header().version, 0x03);
    EXPECT_THROW(DbfFile::create("D.DBF", memo, 0x58, 0x30), DbaseError);
}

TEST_F(DbfFileTest, CreateRefusesLayoutsOtherProgramsCannotRead) {
    for (const TableLayout& bad :
         {TableLayout(), TableLayout({field("ZU_LANGER_NAME", FieldType::Character, 3)}),
          TableLayout({field("A", FieldType::Character, 3), field("A", FieldType::Numeric, 3)}),
          TableLayout({field("ä", FieldType::Character, 3)})})
        EXPECT_THROW(DbfFile::create("X.DBF", bad), DbaseError);
    EXPECT_FALSE(std::filesystem::exists("X.DBF"));
}

TEST_F(DbfFileTest, AppendAndEditRoundTrip) {
    {
        const auto file = DbfFile::create("T.DBF", sampleLayout());
        EXPECT_EQ(file->appendRecord(sampleRecord(*file, "Aceton")), 1u);
        EXPECT_EQ(file->appendRecord(sampleRecord(*file, "Benzol")), 2u);
        std::string edited = sampleRecord(*file, "Toluol");
        edited[0] = '*';
        file->writeRecord(1, edited);
        std::string bytes;
        file->readRecord(1, bytes);
        EXPECT_EQ(bytes, edited);
    }
    const auto file = openShared("T.DBF");
    ASSERT_EQ(file->recordCount(), 2u);
    std::string bytes;
    file->readRecord(1, bytes);
    EXPECT_TRUE(RecordView(file->layout(), file->codePage(), bytes).deleted());
    EXPECT_EQ(textAt(*file, 1), "Toluol");
    file->readRecord(2, bytes);
    const RecordView second(file->layout(), file->codePage(), bytes);
    EXPECT_FALSE(second.deleted());
    EXPECT_EQ(textAt(*file, 2), "Benzol");
    EXPECT_DOUBLE_EQ(*second.number(1), 1.25);
    EXPECT_EQ(*second.date(2), QDate(2024, 1, 31));
    EXPECT_TRUE(second.logical(3));

    const std::string disk = readFile("T.DBF");
    EXPECT_EQ(disk.size(), 161u + 2 * 38 + 1);
    EXPECT_EQ(disk.back(), '\x1A');
    EXPECT_EQ(dbftest::le32(disk, 4), 2u);
}

TEST_F(DbfFileTest, RefusesBadRecordNumbersAndBytes) {
    const auto file = DbfFile::create("T.DBF", sampleLayout());
    file->appendRecord(sampleRecord(*file, "A"));
    std::string bytes;
    EXPECT_THROW(file->readRecord(0, bytes), DbaseError);
    EXPECT_THROW(file->readRecord(2, bytes), DbaseError);
    EXPECT_THROW(file->writeRecord(2, file->blankRecord()), DbaseError);
    EXPECT_THROW(file->appendRecord("short"), DbaseError);
    std::string badFlag = file->blankRecord();
    badFlag[0] = 'X';
    EXPECT_THROW(file->appendRecord(badFlag), DbaseError);
    EXPECT_EQ(file->recordCount(), 1u);
}

TEST_F(DbfFileTest, ManyRecordsAcrossCacheChunks) {
    const auto file = DbfFile::create("T.DBF", sampleLayout());
    const std::uint32_t count = 5000; // several cache chunks
    for (std::uint32_t i = 1; i <= count; ++i)
        file->appendRecord(sampleRecord(*file, std::to_string(i)));
    EXPECT_EQ(textAt(*file, 4000), "4000");
    file->writeRecord(4000, sampleRecord(*file, "geändert"));
    EXPECT_EQ(textAt(*file, 4000), "geändert");
    const auto reader = openShared("T.DBF");
    for (std::uint32_t i : {1u, 1724u, 1725u, 4000u, count})
        EXPECT_EQ(textAt(*reader, i), i == 4000 ? QString("geändert") : QString::number(i));
}

// Reads every record in `order` and counts those whose first field is not
// their number.
int misread(const DbfFile& file, const std::vector<std::uint32_t>& order) {
    int wrong = 0;
    for (std::uint32_t recNo : order)
        wrong += textAt(file, recNo) != QString::number(recNo);
    return wrong;
}

TEST_F(DbfFileTest, RecordCacheStaysWithinItsBudgetOnWalksOfALargerTable) {
    std::vector<FieldDef> fields;
    for (int i = 0; i < 8; ++i)
        fields.push_back(field("F" + std::to_string(i), FieldType::Character, 250));
    const auto file = DbfFile::create("T.DBF", TableLayout(fields));
    const std::size_t recordLength = file->header().recordLength;
    const auto count = static_cast<std::uint32_t>(DbfFile::cacheBudget / recordLength * 3 / 2);
    file->beginBulk();
    for (std::uint32_t i = 1; i <= count; ++i) {
        std::string record = file->blankRecord();
        dbftest::put(record, file->layout().field(0), std::to_string(i));
        file->appendRecord(record);
    }
    file->endBulk();
    const std::size_t bound = DbfFile::cacheBudget + recordLength;

    std::vector<std::uint32_t> physical(count);
    std::iota(physical.begin(), physical.end(), 1u);
    std::vector<std::uint32_t> jumping = physical;
    std::shuffle(jumping.begin(), jumping.end(), std::mt19937(7));
    const std::vector<std::uint32_t> backwards(physical.rbegin(), physical.rend());

    const auto reader = openShared("T.DBF");
    EXPECT_EQ(misread(*reader, jumping), 0);
    EXPECT_LE(reader->cachedBytes(), bound);
    EXPECT_GT(reader->cachedBytes(), DbfFile::cacheBudget / 2); // it does keep records
    EXPECT_EQ(misread(*reader, physical), 0);
    EXPECT_LE(reader->cachedBytes(), bound);
    EXPECT_EQ(misread(*reader, backwards), 0);
    EXPECT_LE(reader->cachedBytes(), bound);
    EXPECT_EQ(misread(*reader, jumping), 0);
    EXPECT_LE(reader->cachedBytes(), bound);

    // Edits reach the records whether their chunk is held or not.
    EXPECT_EQ(misread(*file, jumping), 0);
    for (std::uint32_t recNo : {1u, count / 2, count}) {
        std::string record = file->blankRecord();
        dbftest::put(record, file->layout().field(0), "neu");
        file->writeRecord(recNo, record);
        EXPECT_EQ(textAt(*file, recNo), "neu");
        reader->refresh();
        EXPECT_EQ(textAt(*reader, recNo), "neu");
    }
    EXPECT_LE(file->cachedBytes(), bound);
}

TEST_F(DbfFileTest, ReadsFilesWithAndWithoutEndMarkerTrustingTheCount) {
    writeFile("OHNE.DBF", handMadeTable());
    writeFile("MEHR.DBF", handMadeTable() + "\x1A junk after the records");
    for (const char* name : {"OHNE.DBF", "MEHR.DBF"}) {
        const auto file = openShared(name);
        ASSERT_EQ(file->recordCount(), 2u) << name;
        std::string bytes;
        file->readRecord(2, bytes);
        EXPECT_EQ(bytes, "*zwei ");
        EXPECT_EQ(file->codePage().number(), 1252); // driver 0 reads as ANSI
    }
}

TEST_F(DbfFileTest, AcceptsTheDBaseVersionBytesAndReadsDBase7Headers) {
    for (unsigned char version : {0x03, 0x83, 0x8B, 0x8E, 0xCB, 0x43}) {
        std::string bytes = handMadeTable();
        bytes[0] = static_cast<char>(version);
        writeFile("V.DBF", bytes);
        EXPECT_EQ(openShared("V.DBF")->header().version, version);
    }

    std::string seven(68, '\0');
    seven[0] = 0x04;
    seven[4] = 1;
    seven[8] = static_cast<char>(68 + 48 + 1);
    seven[10] = 4;
    std::string descriptor(48, '\0');
    descriptor.replace(0, 11, "LANGER_NAME");
    descriptor[32] = 'C';
    descriptor[33] = 3;
    seven += descriptor + "\x0D" + " abc" + "\x1A";
    writeFile("SIEBEN.DBF", seven);
    const auto file = openShared("SIEBEN.DBF");
    EXPECT_EQ(file->layout().field(0).name, "LANGER_NAME");
    std::string record;
    file->readRecord(1, record);
    EXPECT_EQ(record, " abc");
}

TEST_F(DbfFileTest, DamagedOrForeignFilesGiveErrorsNamingTheFile) {
    const std::string good = handMadeTable();
    const auto damaged = [&](auto change) {
        std::string bytes = good;
        change(bytes);
        return bytes;
    };
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"empty", ""},
        {"truncated header", good.substr(0, 20)},
        {"truncated descriptors", good.substr(0, 50)},
        {"truncated records", good.substr(0, good.size() - 3)},
        {"text file", "Dies ist keine Tabelle, sondern ein Brief an die Behörde.\n"},
        {"FoxPro", damaged([](std::string& b) { b[0] = 0x30; })},
        {"Visual FoxPro memo", damaged([](std::string& b) { b[0] = static_cast<char>(0xF5); })},
        {"header length too small", damaged([](std::string& b) { b[8] = 40; })},
        {"header length past end", damaged([](std::string& b) { b[9] = 0x7F; })},
        {"record length mismatch", damaged([](std::string& b) { b[10] = 9; })},
        {"zero fields", damaged([](std::string& b) { b[32] = '\x0D'; b[8] = 33; b[10] = 1; })},
        {"absurd count", damaged([](std::string& b) { b[7] = 0x7F; })},
        {"zero width field", damaged([](std::string& b) { b[48] = 0; })},
        {"unknown field type", damaged([](std::string& b) { b[43] = '+'; })},
        {"no terminator", damaged([](std::string& b) { b[64] = 'X'; })},
    };
    for (const auto& [what, bytes] : cases) {
        writeFile("KAPUTT.DBF", bytes);
        EXPECT_TRUE(failsWith("KAPUTT.DBF", [] { openShared("KAPUTT.DBF"); })) << what;
    }
    EXPECT_TRUE(failsWith("FEHLT.DBF", [] { openShared("FEHLT.DBF"); }));
    std::filesystem::create_directory("ORDNER.DBF");
    EXPECT_TRUE(failsWith("ORDNER.DBF", [] { openShared("ORDNER.DBF"); }));
}

TEST_F(DbfFileTest, ReadOnlyOpenRefusesWrites) {
    DbfFile::create("T.DBF", sampleLayout());
    const auto file = openShared("T.DBF");
    EXPECT_TRUE(failsWith("T.DBF", [&] { file->appendRecord(file->blankRecord()); }));
    EXPECT_TRUE(failsWith("T.DBF", [&] { file->setProductionMdx(true); }));
    EXPECT_EQ(readFile("T.DBF")[28], 0);
}

TEST_F(DbfFileTest, LocksHoldWithinTheProcessAndAgainstOthers) {
    DbfFile::create("T.DBF", sampleLayout()).reset();
    {
        const auto shared = openShared("T.DBF", OpenMode::ReadWrite);
        EXPECT_NO_THROW(openShared("T.DBF"));
        EXPECT_TRUE(failsWith("T.DBF", [] { openExclusive(); }));
        EXPECT_EQ(inChild([] { return openExclusive() ? 0 : 1; }), dbftest::childThrew);
        EXPECT_EQ(inChild([] { return openShared("T.DBF") ? 0 : 1; }), 0);
    }
    {
        const auto exclusive = openExclusive();
        EXPECT_TRUE(failsWith("exklusiv", [] { openShared("T.DBF"); }));
        EXPECT_EQ(inChild([] { return openShared("T.DBF") ? 0 : 1; }), dbftest::childThrew);
        // nor may a new table replace it
        EXPECT_TRUE(failsWith("T.DBF", [] { DbfFile::create("T.DBF", sampleLayout()); }));
    }
    EXPECT_NO_THROW(openExclusive());
}

TEST_F(DbfFileTest, RefreshSeesAnotherOpensAppendsAndEdits) {
    DbfFile::create("T.DBF", sampleLayout()).reset();
    const auto reader = openShared("T.DBF");
    const auto writer = openShared("T.DBF", OpenMode::ReadWrite);
    writer->appendRecord(sampleRecord(*writer, "eins"));
    EXPECT_EQ(reader->recordCount(), 0u);
    EXPECT_TRUE(reader->refresh());
    EXPECT_EQ(reader->recordCount(), 1u);
    EXPECT_EQ(textAt(*reader, 1), "eins");
    writer->writeRecord(1, sampleRecord(*writer, "geändert"));
    EXPECT_FALSE(reader->refresh());
    EXPECT_EQ(textAt(*reader, 1), "geändert");
}

TEST_F(DbfFileTest, SharedAppendsFromTwoOpensDoNotOverwriteEachOther) {
    DbfFile::create("T.DBF", sampleLayout()).reset();
    const auto a = openShared("T.DBF", OpenMode::ReadWrite);
    const auto b = openShared("T.DBF", OpenMode::ReadWrite);
    EXPECT_EQ(a->appendRecord(sampleRecord(*a, "von a")), 1u);
    EXPECT_EQ(b->appendRecord(sampleRecord(*b, "von b")), 2u);
    EXPECT_EQ(a->appendRecord(sampleRecord(*a, "wieder a")), 3u);
    // a header change by an open that has not seen the last append keeps it
    EXPECT_EQ(b->recordCount(), 2u);
    b->setProductionMdx(true);
    EXPECT_EQ(b->recordCount(), 3u);
    const auto check = openShared("T.DBF");
    ASSERT_EQ(check->recordCount(), 3u);
    EXPECT_TRUE(check->header().hasProductionMdx);
    EXPECT_EQ(textAt(*check, 2), "von b");
}

TEST_F(DbfFileTest, CreateReplacesAnExistingTable) {
    {
        const auto old = DbfFile::create("T.DBF", sampleLayout());
        old->appendRecord(sampleRecord(*old, "alt"));
    }
    const auto fresh = DbfFile::create("T.DBF", TableLayout({field("X", FieldType::Character, 2)}));
    EXPECT_EQ(fresh->recordCount(), 0u);
    EXPECT_EQ(fresh->layout().fieldCount(), 1);
    EXPECT_EQ(readFile("T.DBF").size(), 32u + 32 + 1 + 1);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "temporary file left";
}

TEST_F(DbfFileTest, ProductionMdxFlagAndDescriptorTagFlagRoundTrip) {
    FieldDef tagged = field("NAME", FieldType::Character, 10);
    tagged.mdxTag = true;
    DbfFile::create("T.DBF", TableLayout({tagged}))->setProductionMdx(true);
    const std::string bytes = readFile("T.DBF");
    EXPECT_EQ(bytes[28], 1);
    EXPECT_EQ(bytes[32 + 31], 1);
    const auto file = openShared("T.DBF", OpenMode::ReadWrite);
    EXPECT_TRUE(file->header().hasProductionMdx);
    EXPECT_TRUE(file->layout().field(0).mdxTag);
    file->setProductionMdx(false);
    EXPECT_EQ(readFile("T.DBF")[28], 0);
}

TEST_F(DbfFileTest, WritesBringTheUpdateDateForward) {
    std::string bytes = handMadeTable();
    bytes[1] = 90; // 1990-01-01
    bytes[2] = 1;
    bytes[3] = 1;
    writeFile("T.DBF", bytes);
    const auto file = openShared("T.DBF", OpenMode::ReadWrite);
    EXPECT_EQ(file->header().year, 1990);
    file->writeRecord(1, " neu  ");
    const std::string disk = readFile("T.DBF");
    const QDate today = QDate::currentDate();
    EXPECT_EQ(static_cast<unsigned char>(disk[1]) + 1900, today.year());
    EXPECT_EQ(disk[3], today.day());
    EXPECT_EQ(dbftest::le32(disk, 4), 2u);
}
