#include <gtest/gtest.h>

#include "DbfTestSupport.h"
#include "dbase/Filter.h"
#include "platform/dbase/RecordSample.h"

using namespace dbase;

namespace {

std::string parseError(const QString& text)
{
    return dbftest::errorOf([&] { Filter::parse(text); });
}

RecordSample storageTable()
{
    return RecordSample({field("NAME1", FieldType::Character, 40), field("CARN", FieldType::Character, 12),
                         field("SUBCARN", FieldType::Character, 3), field("ANZAHL", FieldType::Numeric, 4),
                         field("DATUM_NEU", FieldType::Date, 8), field("MARKER", FieldType::Logical, 1),
                         field("MEMOTEXT", FieldType::Memo, 10)});
}

std::string bindError(const QString& text)
{
    return dbftest::errorOf([&] { Filter::parse(text).bind(storageTable().layout()); });
}

} // namespace

TEST(FilterParseTest, AcceptsTheEngineSyntaxAndKeepsTheTextAsTyped)
{
    for (const char* text :
         {"CARN='50-00-0' AND SUBCARN='1'", "carn='x' and subcarn='1'", "ANZAHL>0", "ANZAHL >= -2.5",
          "NOT (ANZAHL<=0) Or NAME1 <> \"Aceton\"", "((NAME1='a'))", "NAME1='O''Brien'", "MARKER",
          "NOT MARKER AND MARKER=TRUE", "DATUM_NEU>'24.12.1999'", "'abc'=NAME1", ".5<ANZAHL",
          "ANZAHL>0\r\nand NAME1='A*'", "NAME1=''"}) {
        const QString typed = QString::fromUtf8(text);
        Filter filter;
        ASSERT_NO_THROW(filter = Filter::parse(typed)) << text;
        EXPECT_FALSE(filter.isEmpty());
        EXPECT_EQ(filter.text(), typed);
    }
    EXPECT_TRUE(Filter::parse("").isEmpty());
    EXPECT_TRUE(Filter::parse("  \t").isEmpty());
    EXPECT_EQ(Filter::parse("  \t").text(), "  \t");
}

TEST(FilterParseTest, ReportsReasonAndPosition)
{
    EXPECT_EQ(parseError("NAME1='abc"), "Filterausdruck fehlerhaft: Zeichenkette ohne schließendes Apostroph an Position 7");
    EXPECT_EQ(parseError("NAME1=\"abc"),
              "Filterausdruck fehlerhaft: Zeichenkette ohne schließendes Anführungszeichen an Position 7");
    EXPECT_EQ(parseError("(ANZAHL>0"), "Filterausdruck fehlerhaft: „)“ erwartet an Position 10");
    EXPECT_EQ(parseError("ANZAHL>0)"), "Filterausdruck fehlerhaft: „)“ ohne passende „(“ an Position 9");
    EXPECT_EQ(parseError("CARN='1' SUBCARN='2'"), "Filterausdruck fehlerhaft: AND oder OR erwartet an Position 10");
    EXPECT_EQ(parseError("ANZAHL>"), "Filterausdruck fehlerhaft: Ausdruck endet unerwartet an Position 8");
    EXPECT_EQ(parseError("ANZAHL # 1"), "Filterausdruck fehlerhaft: unerwartetes Zeichen „#“ an Position 8");
    EXPECT_EQ(parseError("'abc'"), "Filterausdruck fehlerhaft: Vergleichsoperator erwartet an Position 6");
    EXPECT_EQ(parseError("ANZAHL>0 AND"), "Filterausdruck fehlerhaft: Ausdruck endet unerwartet an Position 13");
    EXPECT_EQ(parseError("ANZAHL=-x"), "Filterausdruck fehlerhaft: Zahl nach „-“ erwartet an Position 9");
    EXPECT_EQ(parseError("AND ANZAHL>0"),
              "Filterausdruck fehlerhaft: Feldname oder Wert erwartet, „AND“ gefunden an Position 1");
    // the apostrophe in a typed name ends the value early, as the user wrote it
    EXPECT_FALSE(parseError("NAME1='N,N'-Dimethylharnstoff'").empty());
    // a letter outside A-Z is no field name
    EXPECT_FALSE(parseError("GRÖSSE=1").empty());
}

TEST(FilterParseTest, DeepNestingIsAnErrorNotACrash)
{
    const QString parens = QString(100000, u'(') + "ANZAHL>0" + QString(100000, u')');
    EXPECT_NE(parseError(parens).find("zu tief verschachtelt"), std::string::npos);
    QString nots;
    for (int i = 0; i < 50000; ++i)
        nots += "NOT ";
    EXPECT_NE(parseError(nots + "MARKER").find("zu tief verschachtelt"), std::string::npos);
    // moderate nesting is fine
    EXPECT_TRUE(parseError(QString(50, u'(') + "ANZAHL>0" + QString(50, u')')).empty());
}

TEST(FilterParseTest, BuiltChainsStayFlatAndBuiltNestingIsLimited)
{
    Filter chain = Filter::equals("CARN", "0");
    std::vector<Filter> alternatives{chain};
    for (int i = 1; i < 1000; ++i) {
        chain = chain || Filter::equals("CARN", QString::number(i));
        alternatives.push_back(Filter::equals("CARN", QString::number(i)));
    }
    const RecordSample table = storageTable();
    EXPECT_NO_THROW(chain.bind(table.layout()));
    EXPECT_EQ(Filter::anyOf(alternatives).text(), chain.text());
    EXPECT_EQ(Filter::anyOf({Filter::equals("CARN", "1")}).text(), "CARN='1'");
    EXPECT_EQ(Filter::anyOf({}).text(), "FALSE");
    EXPECT_TRUE(Filter::anyOf({Filter::equals("CARN", "1"), Filter()}).isEmpty());

    Filter nested = Filter::equals("CARN", "0");
    EXPECT_THROW(
        for (int i = 0; i < 1000; ++i) nested = (i % 2 ? Filter::equals("CARN", "x") || nested
                                                       : Filter::equals("CARN", "y") && nested),
        DbaseError);
}

TEST(FilterParseTest, BindReportsUnknownFieldsAndImpossibleComparisons)
{
    EXPECT_EQ(bindError("ANZAHL>0 AND LAGERORT='A'"),
              "Filterausdruck fehlerhaft: Feld „LAGERORT“ gibt es in der Tabelle nicht an Position 14");
    EXPECT_TRUE(bindError("anzahl>0 and carn='1'").empty()); // field names ignore case
    for (const char* bad : {"MEMOTEXT='x'", "DATUM_NEU='31.02.2000'", "DATUM_NEU='2000-01-01'", "DATUM_NEU='20000231'", "DATUM_NEU='1.1.99'", "DATUM_NEU>5",
                            "MARKER='X'", "MARKER>5", "NAME1", "ANZAHL", "NAME1=TRUE", "NAME1=ANZAHL",
                            "TRUE=1", "'a'<5"}) {
        EXPECT_FALSE(bindError(bad).empty()) << bad;
    }
    // the same filter binds to any layout that has its fields
    const Filter filter = Filter::parse("CARN='1'");
    RecordSample other({field("CARN", FieldType::Character, 5)});
    EXPECT_NO_THROW(filter.bind(other.layout()));
}

TEST(FilterParseTest, BuiltPredicatesRenderReadableParseableText)
{
    EXPECT_EQ(Filter::equals("CARN", "50-00-0").text(), "CARN='50-00-0'");
    EXPECT_EQ(Filter::equals("NAME1", "N,N'-Dimethylharnstoff").text(), "NAME1=\"N,N'-Dimethylharnstoff\"");
    EXPECT_EQ(Filter::equals("NAME1", "a'b\"c").text(), "NAME1='a''b\"c'");
    EXPECT_EQ(Filter::startsWith("STRIPNAME1", "Ace").text(), "STRIPNAME1='Ace*'");
    EXPECT_EQ(Filter::greaterThan("ANZAHL", 0).text(), "ANZAHL>0");
    EXPECT_EQ(Filter::greaterThan("ANZAHL", 2.5).text(), "ANZAHL>2.5");

    const Filter a = Filter::equals("CARN", "1"), b = Filter::equals("SUBCARN", "2"), c = Filter::greaterThan("ANZAHL", 0);
    EXPECT_EQ((a && b).text(), "CARN='1' AND SUBCARN='2'");
    EXPECT_EQ(((a || b) && c).text(), "(CARN='1' OR SUBCARN='2') AND ANZAHL>0");
    EXPECT_EQ((a || (b && c)).text(), "CARN='1' OR SUBCARN='2' AND ANZAHL>0");
    EXPECT_EQ((!(a && b)).text(), "NOT (CARN='1' AND SUBCARN='2')");
    EXPECT_EQ((!a).text(), "NOT CARN='1'");
    // a typed filter keeps its text and is bracketed when it binds less tightly
    const Filter typed = Filter::parse("ANZAHL>0 or NAME1='x'");
    EXPECT_EQ((typed && a).text(), "(ANZAHL>0 or NAME1='x') AND CARN='1'");

    // the empty filter passes everything
    EXPECT_EQ((Filter() && a).text(), a.text());
    EXPECT_TRUE((Filter() || a).isEmpty());
    EXPECT_EQ((!Filter()).text(), "FALSE");
    // that the texts parse back to the same filters is checked in FilterMatchTest
}
