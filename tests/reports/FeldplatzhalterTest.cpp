#include <gtest/gtest.h>

#include "ReportsTestSupport.h"
#include "fixtures/TempDir.h"
#include "reports/Feldplatzhalter.h"

using namespace reports;

TEST(Feldplatzhalter, NamePartsFollowTheBlankAndTheOuterCharacters)
{
    EXPECT_EQ(GetFieldTableName("[chemie.dbf NAME1]"), "chemie.dbf");
    EXPECT_EQ(GetFieldName("[chemie.dbf NAME1]"), "NAME1");
    EXPECT_EQ(GetFieldTableName("[NAMEN.DBF CaRn]"), "namen.dbf");
    EXPECT_EQ(GetFieldName("[NAMEN.DBF CaRn]"), "CaRn");
    EXPECT_EQ(GetFieldTableName("<lager.dbf a b>"), "lager.dbf"); // first blank; any outer characters
    EXPECT_EQ(GetFieldName("<lager.dbf a b>"), "a b");
    EXPECT_EQ(GetFieldTableName("[ NAME1]"), "");
    EXPECT_EQ(GetFieldName("[ NAME1]"), "NAME1");
    // Without a blank there is no table and the field is all but the last character.
    EXPECT_EQ(GetFieldTableName("[NAME1]"), "");
    EXPECT_EQ(GetFieldName("[NAME1]"), "[NAME1");
    for (const char* tiny : {"", "x", " ", "[ "}) {
        EXPECT_EQ(GetFieldTableName(tiny), "") << tiny;
        EXPECT_EQ(GetFieldName(tiny), "") << tiny;
    }
    EXPECT_EQ(GetTableName("Chemie.DBF"), "chemie.dbf");
}

TEST(Feldplatzhalter, ResolvesAgainstTheCurrentFileNamesOnly)
{
    fixtures::TempDir dir;
    reportstest::Tabellen t;
    const TabellenSatz satz = t.satz();

    EXPECT_EQ(GetFieldTable("[namen.dbf NAME1]", satz), &t.namen);
    EXPECT_EQ(GetFieldTable("[NAMEN.DBF NAME1]", satz), &t.namen);
    EXPECT_EQ(GetFieldTable("[chemie.dbf R_SATZ]", satz), &t.chemie);
    EXPECT_EQ(GetFieldTable("[lager.dbf LAGER_ORT]", satz), &t.lager);
    EXPECT_EQ(GetFieldTable("[si_gef.dbf NRSATZ]", satz), &t.siGef);
    EXPECT_EQ(GetFieldTable("[ NAME1]", satz), nullptr);
    EXPECT_EQ(GetFieldTable("[formeln.dbf FORMEL]", satz), nullptr);
    // A path is cut after its last separator, which costs the file name its
    // first character.
    EXPECT_EQ(GetFieldTable("[C:\\data\\chemie.dbf NAME1]", satz), nullptr);
    EXPECT_EQ(GetFieldTable("[C:chemie.dbf NAME1]", satz), nullptr);
    // Plain template names keep every character after the cut.
    EXPECT_EQ(GetTable("C:\\Daten\\Chemie.DBF", satz), &t.chemie);
    EXPECT_EQ(GetTable("", satz), nullptr);

    EXPECT_EQ(Feldwert("[chemie.dbf CARN]", satz), "64-17-5");
    EXPECT_THROW(Feldwert("[chemie.dbf GIBTSNICHT]", satz), dbase::DbaseError);

    // While a research table is the name table, "namen.dbf" names nothing,
    // and a missing table never stands in for another.
    t.namen.close();
    t.namen.setTableName("zan_tmp1.dbf");
    EXPECT_EQ(GetFieldTable("[namen.dbf NAME1]", satz), nullptr);
    EXPECT_EQ(Feldwert("[namen.dbf NAME1]", satz), "");
    EXPECT_EQ(GetFieldTable("[zan_tmp1.dbf NAME1]", satz), &t.namen);
    EXPECT_EQ(Feldwert("[lager.dbf NAME1]", TabellenSatz{&t.namen, &t.chemie, nullptr, &t.siGef}), "");
}
