#include <gtest/gtest.h>

#include <QJsonObject>

#include "DbfTestSupport.h"
#include "dbase/CodePage.h"
#include "dbase/DbfFile.h"
#include "dbase/DbtMemo.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using dbftest::field;

namespace {

struct Row {
    QString name;
    QString amount; // as stored, right-aligned
    QString date;   // YYYYMMDD or blank
    QString flag;
    QString memo;
    bool deleted = false;
};

// Writes the rows through DbfFile and DbtMemo as the dataset layer would:
// text encoded in the table's code page, memo block numbers blank-padded.
void writeTable(std::uint8_t version, std::uint8_t driver, const std::vector<Row>& rows) {
    const TableLayout layout({field("NAME", FieldType::Character, 25),
                              field("MENGE", FieldType::Numeric, 10, 3),
                              field("DATUM", FieldType::Date, 8), field("AKTIV", FieldType::Logical, 1),
                              field("BEMERKUNG", FieldType::Memo, 10)});
    const auto table = DbfFile::create("STOFFE.DBF", layout, driver, version);
    const auto memo = DbtMemo::create("STOFFE.DBT", memoFormatFor(table->header().version));
    const CodePage& codePage = table->codePage();
    for (const Row& row : rows) {
        std::string bytes = table->blankRecord();
        bytes[0] = row.deleted ? '*' : ' ';
        dbftest::put(bytes, layout.field(0), codePage.encode(row.name));
        dbftest::put(bytes, layout.field(1), row.amount.toStdString(), true);
        dbftest::put(bytes, layout.field(2), row.date.toStdString());
        dbftest::put(bytes, layout.field(3), row.flag.toStdString());
        const std::uint32_t block = memo->write(codePage.encode(row.memo), 0);
        if (block != 0)
            dbftest::put(bytes, layout.field(4), std::to_string(block), true);
        table->appendRecord(bytes);
    }
}

void expectSameAsDbfread(const std::vector<Row>& rows, const QString& encoding) {
    const fixtures::DbfreadTable read = fixtures::readWithDbfread("STOFFE.DBF");
    EXPECT_EQ(read.encoding, encoding);
    std::vector<Row> live;
    for (const Row& row : rows)
        if (!row.deleted)
            live.push_back(row);
    EXPECT_EQ(read.deletedCount, static_cast<int>(rows.size() - live.size()));
    ASSERT_EQ(read.rows.size(), static_cast<qsizetype>(live.size()));
    for (std::size_t i = 0; i < live.size(); ++i) {
        SCOPED_TRACE(i);
        const QJsonObject row = read.rows.at(static_cast<qsizetype>(i)).toObject();
        const Row& expected = live[i];
        EXPECT_EQ(row.value("NAME").toString(), expected.name);
        if (expected.amount.isEmpty())
            EXPECT_TRUE(row.value("MENGE").isNull());
        else
            EXPECT_DOUBLE_EQ(row.value("MENGE").toDouble(), expected.amount.toDouble());
        if (expected.date.isEmpty())
            EXPECT_TRUE(row.value("DATUM").isNull());
        else
            EXPECT_EQ(row.value("DATUM").toString().remove('-'), expected.date);
        EXPECT_EQ(row.value("AKTIV").toBool(), expected.flag == "T");
        if (expected.memo.isEmpty())
            EXPECT_TRUE(row.value("BEMERKUNG").isNull() || row.value("BEMERKUNG").toString().isEmpty());
        else
            EXPECT_EQ(row.value("BEMERKUNG").toString(), expected.memo);
    }
}

const std::vector<Row> sampleRows = {
    {QString::fromUtf8("Äthylacetat"), "12.500", "20240131", "T",
     QString::fromUtf8("Leicht entzündlich.\r\nGefäß dicht geschlossen halten."), false},
    {QString::fromUtf8("Gelöschter Stoff"), "1", "19991231", "F", "weg", true},
    {QString::fromUtf8("Natriumchlorid ß Salz"), "", "", "F", "", false},
    {"Wasser", "-0.125", "20000229", "T", QString(700, QChar('x')) + QString::fromUtf8("ü"), false},
};

} // namespace

TEST(DbfIndependentRead, DBase4MemoTableWithWindowsDriverReadsTheSameInDbfread) {
    fixtures::TempDir dir;
    writeTable(0x03, 0x58, sampleRows); // blob field: 0x8B, dBASE IV memo
    expectSameAsDbfread(sampleRows, "cp1252");
}

TEST(DbfIndependentRead, DBase3MemoTableWithGermanDosDriverReadsTheSameInDbfread) {
    fixtures::TempDir dir;
    writeTable(0x83, 0x10, sampleRows);
    expectSameAsDbfread(sampleRows, "cp850");
}
