// Numbers in numeric and float fields: shown with the German decimal comma
// and no trailing zeros, whatever form another program stored them in;
// typed with a comma or a point; written in dBASE's own form.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonObject>

#include "TableTestSupport.h"
#include "dbase/DbfFile.h"
#include "fixtures/Dbfread.h"
#include "fixtures/TempDir.h"

using namespace dbase;
using namespace tabletest;

namespace {

// MOLMASSE N(20,8) as another dBASE program writes it, SMT N(8,1),
// DICHTE F(10,3), ANZAHL N(4).
class NumberFields : public ::testing::Test {
protected:
    void SetUp() override
    {
        table.setTableName("chemie.dbf");
        table.createTable(TableLayout({field("NAME1", FieldType::Character, 20),
                                       field("MOLMASSE", FieldType::Numeric, 20, 8),
                                       field("SMT", FieldType::Numeric, 8, 1), field("DICHTE", FieldType::Float, 10, 3),
                                       field("ANZAHL", FieldType::Numeric, 4)}));
        table.open();
    }
    // A record whose number fields hold these bytes as stored.
    void stored(const char* molmasse, const char* smt, const char* dichte, const char* anzahl)
    {
        table.append();
        table.field(0).setAsString("Aceton");
        table.field(1).setAsBytes(molmasse);
        table.field(2).setAsBytes(smt);
        table.field(3).setAsBytes(dichte);
        table.field(4).setAsBytes(anzahl);
        table.post();
    }
    // Types `text` into field `f` of the current record and stores it.
    void typed(int f, const QString& text)
    {
        table.edit();
        table.field(f).setAsString(text);
        table.post();
    }

    fixtures::TempDir dir;
    Table table;
};

TEST_F(NumberFields, AreShownWithADecimalCommaAndNoTrailingZerosWhateverTheStoredForm)
{
    stored("         73.50000000", "    41.0", "     0.790", "   3");
    EXPECT_EQ(table.field(1).asString(), "73,5");
    EXPECT_EQ(table.field(2).asString(), "41");
    EXPECT_EQ(table.field(3).asString(), "0,79");
    EXPECT_EQ(table.field(4).asString(), "3");

    stored("       1234567.12500", "  -114.1", "    -0.000", "    ");
    EXPECT_EQ(table.field(1).asString(), "1234567,125") << "no thousands separator";
    EXPECT_EQ(table.field(2).asString(), "-114,1");
    EXPECT_EQ(table.field(3).asString(), "0") << "no \"-0\"";
    EXPECT_EQ(table.field(4).asString(), "") << "a blank number shows blank";

    // What is no number is shown as stored, so that it is seen, not lost.
    stored("********************", "  12a   ", "          ", "   7");
    EXPECT_EQ(table.field(1).asString(), "********************");
    EXPECT_EQ(table.field(2).asString(), "12a");
}

TEST_F(NumberFields, TypedWithACommaOrAPointAreStoredInDbasesFormAndRoundedAsWritten)
{
    stored("", "", "", "");
    const struct {
        int field;
        const char* typed;
        const char* raw;
        const char* shown;
    } cases[] = {
        {1, "73,5", "         73.50000000", "73,5"},
        {1, " 58.08 ", "         58.08000000", "58,08"},
        {2, "-95,35", "   -95.4", "-95,4"},  // half away from zero, on the decimals typed
        {2, "0,05", "     0.1", "0,1"},
        {2, "-0,04", "     0.0", "0"},      // no "-0.0"
        {3, "73,4555", "    73.456", "73,456"},
        {3, "1,0005", "     1.001", "1,001"}, // its binary neighbour lies below 1.0005
        {4, "12", "  12", "12"},
        {4, "2,5", "   3", "3"},
        {1, "", "                    ", ""},
    };
    for (const auto& c : cases) {
        typed(c.field, c.typed);
        EXPECT_EQ(table.field(c.field).raw(), c.raw) << c.typed;
        EXPECT_EQ(table.field(c.field).asString(), c.shown) << c.typed;
        // What is shown is taken back as the same value.
        typed(c.field, table.field(c.field).asString());
        EXPECT_EQ(table.field(c.field).raw(), c.raw) << c.typed;
    }
}

TEST_F(NumberFields, WhatIsNoNumberOrDoesNotFitIsRefusedNamingTheFieldAndChangesNothing)
{
    stored("         58.08000000", "   -95.4", "     0.790", "   3");
    const struct {
        int field;
        const char* typed;
        const char* named;
    } refused[] = {
        {1, "58,08 g", "keine Zahl"}, {1, "1.234,5", "keine Zahl"}, {1, "inf", "keine Zahl"},
        {1, "nan", "keine Zahl"},     {2, "zehn", "keine Zahl"},    {2, "1234567", "passt nicht"},
        {3, "1e12", "passt nicht"},   {4, "-1000", "passt nicht"},  {4, "12345", "passt nicht"},
    };
    for (const auto& r : refused) {
        table.edit();
        const std::string name = table.field(r.field).name();
        try {
            table.field(r.field).setAsString(r.typed);
            ADD_FAILURE() << r.typed << " was taken";
        } catch (const DbaseError& error) {
            EXPECT_NE(std::string(error.what()).find(r.named), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("\"" + name + "\""), std::string::npos) << error.what();
        }
        table.post();
    }
    EXPECT_EQ(table.field(1).raw(), "         58.08000000");
    EXPECT_EQ(table.field(2).raw(), "   -95.4");
    EXPECT_EQ(table.field(3).raw(), "     0.790");
    EXPECT_EQ(table.field(4).raw(), "   3");
}

TEST_F(NumberFields, AnotherReaderReadsTheTypedNumbers)
{
    stored("", "", "", "");
    typed(1, "73,5");
    typed(2, "-95,35");
    typed(3, "0.79");
    typed(4, "12");
    table.close();
    const QJsonObject row = fixtures::readWithDbfread("chemie.dbf").rows.at(0).toObject();
    EXPECT_DOUBLE_EQ(row["MOLMASSE"].toDouble(), 73.5);
    EXPECT_DOUBLE_EQ(row["SMT"].toDouble(), -95.4);
    EXPECT_DOUBLE_EQ(row["DICHTE"].toDouble(), 0.79);
    EXPECT_EQ(row["ANZAHL"].toInt(), 12);
}

TEST(NumberText, ShownAndTakenBack)
{
    EXPECT_EQ(numberDisplayText(58.08), "58,08");
    EXPECT_EQ(numberDisplayText(-0.0), "0");
    EXPECT_EQ(numberDisplayText(0.1 + 0.2), "0,3") << "15 significant digits";
    EXPECT_EQ(parseNumberText(" 58,08 "), 58.08);
    EXPECT_EQ(parseNumberText("58.08"), 58.08);
    EXPECT_EQ(parseNumberText("-1e3"), -1000.0);
    for (const char* no : {"", "58,08 g", "1.234,5", "inf", "-nan", "0x10", ","})
        EXPECT_FALSE(parseNumberText(no).has_value()) << no;
}

} // namespace
