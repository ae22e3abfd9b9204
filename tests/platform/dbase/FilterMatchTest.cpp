#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "dbase/Filter.h"
#include "platform/dbase/RecordSample.h"

using namespace dbase;

namespace {

constexpr FilterOptions none{};
constexpr FilterOptions caseInsensitive{true, false};
constexpr FilterOptions exact{false, true};

struct Row {
    QString name, strip, carn, subcarn, anzahl, datum, marker;
};

// A small storage table; every test asks which of its rows pass.
class FilterMatchTest : public ::testing::Test {
protected:
    explicit FilterMatchTest(const CodePage& codePage = CodePage::windows1252())
        : table({field("NAME1", FieldType::Character, 40), field("STRIPNAME1", FieldType::Character, 40),
                 field("CARN", FieldType::Character, 12), field("SUBCARN", FieldType::Character, 3),
                 field("ANZAHL", FieldType::Numeric, 6, 1), field("DATUM_NEU", FieldType::Date, 8),
                 field("MARKER", FieldType::Logical, 1), field("MOLMASSE", FieldType::Character, 10)},
                codePage)
    {
    }

    std::vector<Row> rows{
        {"Aceton", "Aceton", "67-64-1", "1", "2", "19991224", "T"},
        {"acetaldehyd", "acetaldehyd", "75-07-0", "1", "0", "20000101", "F"},
        {"Äthanol", "Aethanol", "64-17-5", "1", "", "", ""},
        {"N,N'-Dimethylharnstoff", "NNDimethylharnstoff", "96-31-1", "1", "-1.5", "19991223", "t"},
        {"Stern*", "Stern*", "1-1-1", "2", "10", "20011231", "F"},
        {"", "", "", "", "3", "19991224", "T"},
    };

    // 1-based row numbers that pass.
    std::vector<int> passing(const Filter& filter, const FilterOptions& options = none)
    {
        const Filter::Bound bound = filter.bind(table.layout());
        std::vector<int> result;
        for (size_t i = 0; i < rows.size(); ++i) {
            const Row& r = rows[i];
            table.clear()
                .set("NAME1", r.name)
                .set("STRIPNAME1", r.strip)
                .set("CARN", r.carn)
                .set("SUBCARN", r.subcarn)
                .set("ANZAHL", r.anzahl)
                .set("DATUM_NEU", r.datum)
                .set("MARKER", r.marker);
            if (bound.matches(table.view(), options))
                result.push_back(static_cast<int>(i) + 1);
        }
        return result;
    }

    std::vector<int> passing(const char* text, const FilterOptions& options = none)
    {
        return passing(Filter::parse(QString::fromUtf8(text)), options);
    }

    RecordSample table;
};

using V = std::vector<int>;

} // namespace

TEST_F(FilterMatchTest, CharacterFieldsCompareTrimmedAndCaseSensitiveByDefault)
{
    EXPECT_EQ(passing("NAME1='Aceton'"), V({1}));
    EXPECT_EQ(passing("NAME1='aceton'"), V());
    EXPECT_EQ(passing("NAME1='Aceton   '"), V({1})); // trailing blanks are no part of a stored value
    EXPECT_EQ(passing("NAME1=''"), V({6}));         // a blank field equals ''
    EXPECT_EQ(passing("NAME1<>''"), V({1, 2, 3, 4, 5}));
    EXPECT_EQ(passing("NAME1=\"Aceton\""), V({1}));
    EXPECT_EQ(passing("'Aceton'=NAME1"), V({1}));
    EXPECT_EQ(passing("NAME1<'B'"), V({1, 6}));
    EXPECT_EQ(passing("'B'>NAME1"), V({1, 6}));
    EXPECT_EQ(passing("CARN>='67-64-1'"), V({1, 2, 4}));
    EXPECT_EQ(passing("NAME1=STRIPNAME1"), V({1, 2, 5, 6}));
}

TEST_F(FilterMatchTest, TrailingStarIsAPrefixUnlessPartialCompareIsOff)
{
    EXPECT_EQ(passing("NAME1='Ace*'"), V({1}));
    EXPECT_EQ(passing("NAME1='*'"), V({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(passing("NAME1<>'Ace*'"), V({2, 3, 4, 5, 6}));
    EXPECT_EQ(passing("NAME1='Stern*'"), V({5}));
    EXPECT_EQ(passing("NAME1='Ste*'", exact), V());
    EXPECT_EQ(passing("NAME1='Stern*'", exact), V({5})); // the star is a character then
    EXPECT_EQ(passing("NAME1='Ace*'", caseInsensitive), V({1, 2}));
    EXPECT_EQ(passing("NAME1='*Ace'"), V()); // only a trailing star is a pattern
}

TEST_F(FilterMatchTest, CaseInsensitiveFoldsUmlautsToo)
{
    EXPECT_EQ(passing("NAME1='ACETON'", caseInsensitive), V({1}));
    EXPECT_EQ(passing("NAME1='äTHANOL'", caseInsensitive), V({3}));
    EXPECT_EQ(passing("NAME1='äTHANOL'"), V());
    EXPECT_EQ(passing("NAME1='ä*'", {true, true}), V()); // exact and case-insensitive
    EXPECT_EQ(passing("NAME1='ÄTHANOL'", {true, true}), V({3}));
}

TEST_F(FilterMatchTest, NumbersCompareNumericallyAndBlankNumbersHaveNoValue)
{
    EXPECT_EQ(passing("ANZAHL>0"), V({1, 5, 6}));
    EXPECT_EQ(passing("ANZAHL>=0"), V({1, 2, 5, 6}));
    EXPECT_EQ(passing("ANZAHL<0"), V({4}));
    EXPECT_EQ(passing("ANZAHL=-1.5"), V({4}));
    EXPECT_EQ(passing("ANZAHL>2.5"), V({5, 6})); // 10 > 2.5, not as text
    EXPECT_EQ(passing("ANZAHL='10'"), V({5}));   // a string holding a number
    EXPECT_EQ(passing("ANZAHL=''"), V({3}));
    EXPECT_EQ(passing("NOT ANZAHL>0"), V({2, 3, 4}));
    EXPECT_EQ(passing("ANZAHL='1*'"), V({5})); // a pattern compares the field's text
    EXPECT_EQ(passing(Filter::greaterThan("ANZAHL", 2)), V({5, 6}));
}

TEST_F(FilterMatchTest, TextFieldsHoldingNumbersCompareWithNumbers)
{
    const Filter::Bound bound = Filter::parse("MOLMASSE>100").bind(table.layout());
    table.clear().set("MOLMASSE", "150.5");
    EXPECT_TRUE(bound.matches(table.view(), none));
    table.set("MOLMASSE", "58,08"); // decimal comma, as typed by German users
    EXPECT_FALSE(bound.matches(table.view(), none));
    EXPECT_TRUE(Filter::parse("MOLMASSE<58.1").bind(table.layout()).matches(table.view(), none));
    table.set("MOLMASSE", "unbekannt");
    EXPECT_FALSE(bound.matches(table.view(), none));
}

TEST_F(FilterMatchTest, DatesCompareAsGermanDates)
{
    EXPECT_EQ(passing("DATUM_NEU='24.12.1999'"), V({1, 6}));
    EXPECT_EQ(passing("DATUM_NEU>'24.12.1999'"), V({2, 5}));
    EXPECT_EQ(passing("DATUM_NEU<'1.1.2000'"), V({1, 4, 6}));
    EXPECT_EQ(passing("DATUM_NEU=''"), V({3}));
    EXPECT_EQ(passing("DATUM_NEU<>'24.12.1999'"), V({2, 4, 5})); // the blank date has no value
    EXPECT_EQ(passing(Filter::equals("DATUM_NEU", "19991223")), V({4})); // the stored form
}

TEST_F(FilterMatchTest, LogicalFields)
{
    EXPECT_EQ(passing("MARKER"), V({1, 4, 6}));
    EXPECT_EQ(passing("NOT MARKER"), V({2, 3, 5}));
    EXPECT_EQ(passing("MARKER=TRUE"), V({1, 4, 6}));
    EXPECT_EQ(passing("marker=false"), V({2, 3, 5}));
    EXPECT_EQ(passing("MARKER='T'"), V({1, 4, 6}));
    EXPECT_EQ(passing("MARKER<>'f'"), V({1, 4, 6}));
    EXPECT_EQ(passing("MARKER=''"), V({3}));
    EXPECT_EQ(passing("TRUE"), V({1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(passing(!Filter()), V());
}

TEST_F(FilterMatchTest, AndBindsTighterThanOrAndParenthesesRegroup)
{
    EXPECT_EQ(passing("CARN='67-64-1' and SUBCARN='1' AND ANZAHL>0"), V({1}));
    EXPECT_EQ(passing("NAME1='Aceton' OR ANZAHL>0 AND MARKER=FALSE"), V({1, 5}));
    EXPECT_EQ(passing("(NAME1='Aceton' OR ANZAHL>0) AND MARKER=FALSE"), V({5}));
    EXPECT_EQ(passing("NOT (NAME1='Aceton' OR NAME1='')"), V({2, 3, 4, 5}));
    EXPECT_EQ(passing("NOT NOT NAME1='Aceton'"), V({1}));
    EXPECT_EQ(passing(""), V({1, 2, 3, 4, 5, 6}));
}

TEST_F(FilterMatchTest, BuiltPredicatesTakeValuesAsData)
{
    EXPECT_EQ(passing(Filter::equals("NAME1", "N,N'-Dimethylharnstoff")), V({4}));
    // a value ending in '*' is no pattern when the program compares it
    EXPECT_EQ(passing(Filter::equals("NAME1", "Stern*")), V({5}));
    EXPECT_EQ(passing(Filter::equals("NAME1", "Ste*")), V());
    EXPECT_EQ(passing(Filter::startsWith("NAME1", "N,N'")), V({4}));
    EXPECT_EQ(passing(Filter::startsWith("NAME1", "Stern*"), exact), V({5}));
    EXPECT_EQ(passing(Filter::startsWith("STRIPNAME1", "ace"), caseInsensitive), V({1, 2}));
    EXPECT_EQ(passing(Filter::equals("CARN", "67-64-1") && Filter::equals("SUBCARN", "1")), V({1}));
    EXPECT_EQ(passing(Filter::equals("CARN", "67-64-1") || Filter::equals("CARN", "1-1-1")), V({1, 5}));
    EXPECT_EQ(passing(!Filter::equals("SUBCARN", "1")), V({5, 6}));
    // the storage search: the user's filter and the program's condition
    EXPECT_EQ(passing(Filter::parse("ANZAHL>0") && Filter::startsWith("STRIPNAME1", "Ace")), V({1}));
}

TEST_F(FilterMatchTest, BuiltTextReadsBackAsTheSameFilter)
{
    const std::vector<Filter> built{
        Filter::equals("NAME1", "N,N'-Dimethylharnstoff"),
        (Filter::equals("CARN", "67-64-1") || Filter::equals("CARN", "1-1-1")) && Filter::greaterThan("ANZAHL", 1),
        !(Filter::startsWith("NAME1", "A") || Filter::equals("NAME1", "")),
        !(Filter::equals("CARN", "67-64-1") && Filter::equals("SUBCARN", "1")),
        Filter::equals("NAME1", "a'b\"c"),
        !Filter(),
    };
    for (const Filter& filter : built)
        EXPECT_EQ(passing(Filter::parse(filter.text())), passing(filter)) << filter.text().toStdString();
}

TEST_F(FilterMatchTest, LongOrChainsOfTheFilterTableWork)
{
    // one term per matching substance, as the list filter builds it for the name table
    QString text;
    for (int i = 0; i < 5000; ++i)
        text += QStringLiteral("%1(CARN='%2' and SUBCARN='1')").arg(i ? " or " : "").arg(i);
    text += " or (CARN='64-17-5' and SUBCARN='1')";
    EXPECT_EQ(passing(text.toUtf8().constData()), V({3}));
}

TEST_F(FilterMatchTest, ManyAlternativesPassExactlyTheRowsOfTheirTerms)
{
    const std::vector<std::vector<const char*>> alternatives{
        // same fields in every term: looked up by the values
        {"NAME1='ACETON'", "NAME1='Aceton  '", "NAME1='äthanol'", "NAME1=''", "NAME1='x1'", "NAME1='x2'",
         "NAME1='x3'", "NAME1='x4'", "NAME1='Stern'"},
        {"CARN='67-64-1' and SUBCARN='1'", "SUBCARN='2' and CARN='1-1-1'", "CARN='x' and SUBCARN='1'",
         "CARN='64-17-5' AND SUBCARN='2'", "CARN='a' and SUBCARN='b'", "CARN='c' and SUBCARN='d'",
         "CARN='e' and SUBCARN='f'", "CARN='' and SUBCARN=''", "CARN='g' and SUBCARN='h'"},
        // terms that are no plain equalities, or pin other fields
        {"NAME1='x1'", "NAME1='x2'", "NAME1='x3'", "NAME1='x4'", "NAME1='x5'", "NAME1='x6'", "NAME1='x7'",
         "NAME1='Ace*'", "NAME1='Stern*'"},
        {"NAME1='x1'", "NAME1='x2'", "NAME1='x3'", "NAME1='x4'", "NAME1='x5'", "NAME1='x6'", "NAME1='x7'",
         "CARN='96-31-1'", "ANZAHL>5"},
        {"CARN='x1' and SUBCARN='1'", "CARN='x2' and SUBCARN='1'", "CARN='x3' and SUBCARN='1'",
         "CARN='x4' and SUBCARN='1'", "CARN='x5' and SUBCARN='1'", "CARN='x6' and SUBCARN='1'",
         "CARN='x7' and SUBCARN='1'", "CARN='67-64-1' and CARN='67-64-1'", "CARN='1-1-1'"},
    };
    for (const auto& terms : alternatives) {
        QString text;
        for (const char* term : terms)
            text += (text.isEmpty() ? "(" : " or (") + QString::fromUtf8(term) + ")";
        for (const FilterOptions& options : {none, caseInsensitive, exact, FilterOptions{true, true}}) {
            std::vector<int> expected;
            for (const char* term : terms)
                for (int row : passing(term, options))
                    expected.push_back(row);
            std::sort(expected.begin(), expected.end());
            expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
            EXPECT_EQ(passing(Filter::parse(text), options), expected)
                << text.toStdString() << " ci=" << options.caseInsensitive << " exact=" << options.noPartialCompare;
            EXPECT_EQ(passing(Filter::parse("NOT (" + text + ")"), options).size(), rows.size() - expected.size());
        }
    }
}

namespace {

class FilterMatchDosTest : public FilterMatchTest {
protected:
    FilterMatchDosTest() : FilterMatchTest(CodePage::forLanguageDriver(0x02)) {}
};

} // namespace

TEST_F(FilterMatchDosTest, LiteralsMatchFieldsOfAnyCodePage)
{
    EXPECT_EQ(passing("NAME1='Äthanol'"), V({3}));
    EXPECT_EQ(passing("NAME1='äthanol'", caseInsensitive), V({3}));
}
