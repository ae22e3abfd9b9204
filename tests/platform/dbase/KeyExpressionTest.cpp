#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>

#include "DbfTestSupport.h"
#include "dbase/KeyExpression.h"
#include "platform/dbase/RecordSample.h"

using namespace dbase;

namespace {

std::string bytes(std::initializer_list<int> values)
{
    std::string out;
    for (int v : values)
        out += static_cast<char>(v);
    return out;
}

RecordSample sampleTable(const CodePage& codePage = CodePage::windows1252())
{
    return RecordSample({field("NAME1", FieldType::Character, 10), field("STRIPNAME1", FieldType::Character, 12),
                         field("CARN", FieldType::Character, 12), field("SUBCARN", FieldType::Character, 3),
                         field("MENGE", FieldType::Numeric, 10, 2), field("DATUM", FieldType::Date, 8),
                         field("MEMOTEXT", FieldType::Memo, 10), field("AKTIV", FieldType::Logical, 1)},
                        codePage);
}

std::string errorOf(const std::string& expression, const std::string& tag = "TAG1")
{
    return dbftest::errorOf([&] { KeyExpression::compile(expression, sampleTable().layout(), tag); });
}

} // namespace

// The expected bytes are those a TDbf-written index holds for the same values,
// except for 12.3: TDbf counts the digits of its binary expansion in byte 1
// (0x41) where the digits themselves agree with ours.
TEST(NumericKeyTest, EncodesDigitsExponentAndSignAsBcd)
{
    EXPECT_EQ(encodeNumericKey(0), bytes({0x34, 0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(-0.0), encodeNumericKey(0));
    EXPECT_EQ(encodeNumericKey(5), bytes({0x35, 0x09, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(10), bytes({0x36, 0x09, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(123.45), bytes({0x37, 0x19, 0x12, 0x34, 0x50, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(-123.45), bytes({0x37, 0x99, 0x12, 0x34, 0x50, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(0.05), bytes({0x33, 0x09, 0x50, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(-0.001), bytes({0x32, 0x89, 0x10, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(encodeNumericKey(1234567.5), bytes({0x3B, 0x21, 0x12, 0x34, 0x56, 0x75, 0, 0, 0, 0, 0, 0}));
    // the shortest decimal form, not the binary expansion of 12.3
    EXPECT_EQ(encodeNumericKey(12.3), bytes({0x36, 0x11, 0x12, 0x30, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(NumericKeyTest, DecodesToTheSameDoubleAndRefusesBadKeys)
{
    for (double v : {0.0, 1.0, -1.0, 12.3, 0.001, -0.001, 99999999.99, 1234567890123.25, 1e-15, -4.5e20})
        EXPECT_EQ(decodeNumericKey(encodeNumericKey(v)), v) << v;

    EXPECT_THROW(decodeNumericKey(std::string(11, '\0')), DbaseError);
    EXPECT_THROW(decodeNumericKey(bytes({0x35, 0x09, 0xA0, 0, 0, 0, 0, 0, 0, 0, 0, 0})), DbaseError);
    EXPECT_THROW(encodeNumericKey(std::numeric_limits<double>::quiet_NaN()), DbaseError);
    EXPECT_THROW(encodeNumericKey(std::numeric_limits<double>::infinity()), DbaseError);
    EXPECT_THROW(encodeNumericKey(1e300), DbaseError);
}

TEST(NumericKeyTest, SortableBytesFollowNumericOrder)
{
    const std::vector<double> ascending{-1e20, -123.45, -1, -0.5, -1e-10, 0, 1e-10, 0.5, 1, 2, 10, 123.45, 1e20};
    for (size_t i = 0; i + 1 < ascending.size(); ++i) {
        const std::string a = sortableDouble(decodeNumericKey(encodeNumericKey(ascending[i])));
        const std::string b = sortableDouble(decodeNumericKey(encodeNumericKey(ascending[i + 1])));
        EXPECT_LT(a, b) << ascending[i] << " < " << ascending[i + 1];
    }
    EXPECT_EQ(sortableDouble(-0.0), sortableDouble(0.0));
}

TEST(DateKeyTest, HoldsTheJulianDayAsLittleEndianDouble)
{
    const std::string key = encodeDateKey(QDate(2000, 1, 1));
    ASSERT_EQ(key.size(), 8u);
    // 2451545.0 = 0x4142B42C80000000
    EXPECT_EQ(key, bytes({0x00, 0x00, 0x00, 0x80, 0x2C, 0xB4, 0x42, 0x41}));
    EXPECT_EQ(decodeDateKey(key), 2451545.0);
    EXPECT_EQ(decodeDateKey(encodeDateKey(QDate())), 0.0);
    EXPECT_LT(sortableDouble(decodeDateKey(encodeDateKey(QDate()))),
              sortableDouble(decodeDateKey(encodeDateKey(QDate(1900, 1, 1)))));
    EXPECT_THROW(decodeDateKey("1234"), DbaseError);
}

TEST(KeyExpressionTest, FieldConcatenationIsACharacterKeyWithLookupFields)
{
    RecordSample table = sampleTable();
    const KeyExpression key = KeyExpression::compile("CARN+SUBCARN", table.layout(), "CARN_SUB");
    EXPECT_EQ(key.keyType(), 'C');
    EXPECT_EQ(key.keyLength(), 15);
    EXPECT_EQ(key.keyFields(), (std::vector<int>{2, 3}));
    EXPECT_EQ(key.text(), "CARN+SUBCARN");
    table.set("CARN", "50-00-0").set("SUBCARN", "1");
    EXPECT_EQ(key.evaluate(table.view()), "50-00-0     1  ");

    const KeyExpression single = KeyExpression::compile("stripname1", table.layout(), "NAME1_SUB");
    EXPECT_EQ(single.keyFields(), (std::vector<int>{1}));
    EXPECT_EQ(single.keyLength(), 12);

    // not a plain concatenation: no lookup fields
    EXPECT_TRUE(KeyExpression::compile("UPPER(NAME1)", table.layout(), "T").keyFields().empty());
    EXPECT_TRUE(KeyExpression::compile("MENGE", table.layout(), "T").keyFields().empty());
}

TEST(KeyExpressionTest, UpperFollowsTheCodePageIncludingUmlauts)
{
    RecordSample ansi = sampleTable();
    const KeyExpression key = KeyExpression::compile("upper(NAME1)", ansi.layout(), "UP");
    ansi.set("NAME1", QStringLiteral("äöüßéx"));
    EXPECT_EQ(QString::fromLatin1(key.evaluate(ansi.view())), QStringLiteral("ÄÖÜßÉX    "));

    RecordSample dos = sampleTable(CodePage::forLanguageDriver(0x02)); // code page 850
    dos.set("NAME1", QStringLiteral("äöüÿa"));
    const std::string upper = key.evaluate(dos.view());
    // 'ÿ' has no upper case in code page 850 and stays as it is
    EXPECT_EQ(CodePage::forLanguageDriver(0x02).decode(upper), QStringLiteral("ÄÖÜÿA     "));
}

TEST(KeyExpressionTest, FunctionsShapeTheKey)
{
    RecordSample table = sampleTable();
    table.set("NAME1", "  Aceton").set("CARN", "67-64-1").set("MENGE", "12.5").set("DATUM", "19991224");
    const auto eval = [&](const std::string& expression, int length) {
        const KeyExpression key = KeyExpression::compile(expression, table.layout(), "T");
        EXPECT_EQ(key.keyLength(), length) << expression;
        EXPECT_EQ(key.keyType(), 'C') << expression;
        return key.evaluate(table.view());
    };
    EXPECT_EQ(eval("DTOS(DATUM)+CARN", 20), "1999122467-64-1     ");
    EXPECT_EQ(eval("STR(MENGE,8,2)", 8), "   12.50");
    EXPECT_EQ(eval("STR(MENGE)", 10), "        13"); // rounded to no decimals
    EXPECT_EQ(eval("STR(MENGE,3)", 3), " 13");
    EXPECT_EQ(eval("STR(MENGE,1)", 1), "*"); // does not fit
    EXPECT_EQ(eval("SUBSTR(CARN,4,2)", 2), "64");
    EXPECT_EQ(eval("SUBSTR(CARN,4)", 9), "64-1     ");
    EXPECT_EQ(eval("LEFT(CARN,2)+RIGHT(SUBCARN,1)", 3), "67 ");
    // TRIM moves the padding behind the next field; LTRIM removes the leading blanks
    EXPECT_EQ(eval("TRIM(CARN)+SUBCARN", 15), "67-64-1        ");
    EXPECT_EQ(eval("LTRIM(NAME1)", 10), "Aceton    ");
    EXPECT_EQ(eval("UPPER(LTRIM(NAME1))+'X'", 11), "ACETON  X  ");
    EXPECT_EQ(eval("DTOS(DATUM)", 8), "19991224");
    table.set("DATUM", "");
    EXPECT_EQ(eval("DTOS(DATUM)", 8), "        ");
}

TEST(KeyExpressionTest, NumericAndDateExpressionsGiveBinaryKeys)
{
    RecordSample table = sampleTable();
    table.set("MENGE", "-3.25").set("DATUM", "20000101");

    const KeyExpression number = KeyExpression::compile("MENGE", table.layout(), "M");
    EXPECT_EQ(number.keyType(), 'N');
    EXPECT_EQ(number.keyLength(), 12);
    EXPECT_EQ(number.evaluate(table.view()), encodeNumericKey(-3.25));
    EXPECT_EQ(KeyExpression::compile("MENGE+MENGE+1", table.layout(), "M").evaluate(table.view()),
              encodeNumericKey(-5.5));

    const KeyExpression date = KeyExpression::compile("DATUM", table.layout(), "D");
    EXPECT_EQ(date.keyType(), 'D');
    EXPECT_EQ(date.keyLength(), 8);
    EXPECT_EQ(date.evaluate(table.view()), encodeDateKey(QDate(2000, 1, 1)));
    EXPECT_EQ(KeyExpression::compile("DATUM+31", table.layout(), "D").evaluate(table.view()),
              encodeDateKey(QDate(2000, 2, 1)));

    table.clear();
    EXPECT_EQ(number.evaluate(table.view()), encodeNumericKey(0)); // blank counts as zero
    EXPECT_EQ(date.evaluate(table.view()), encodeDateKey(QDate()));
}

TEST(KeyExpressionTest, RefusesWhatItCannotOrderWithTagAndExpressionNamed)
{
    const std::string unknown = errorOf("CARN+SUBKARN", "CARN_SUB");
    EXPECT_NE(unknown.find("CARN+SUBKARN"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("CARN_SUB"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("SUBKARN"), std::string::npos) << unknown;
    EXPECT_NE(unknown.find("Position 6"), std::string::npos) << unknown;

    for (const char* bad : {"SOUNDEX(NAME1)", "MEMOTEXT", "AKTIV", "CARN+MENGE", "DATUM+DATUM", "CARN-SUBCARN",
                            "MENGE*2", "UPPER(MENGE)", "DTOS(CARN)", "STR(CARN)", "SUBSTR(CARN)",
                            "SUBSTR(CARN,0)", "LEFT(CARN,MENGE)", "LEFT(CARN,1,2)", "STR(MENGE,5,4)",
                            "UPPER(CARN", "CARN)", "", "   ", "'unclosed", "LEFT(CARN,0)", "SUBSTR(SUBCARN,4)",
                            "NAME1+NAME1+NAME1+NAME1+NAME1+NAME1+NAME1+NAME1+NAME1+NAME1+NAME1",
                            "A->CARN", "CARN,SUBCARN"}) {
        EXPECT_FALSE(errorOf(bad).empty()) << bad;
    }

    EXPECT_FALSE(errorOf(std::string(221, 'A')).empty());
    EXPECT_FALSE(errorOf(std::string(5000, '(') + "CARN" + std::string(5000, ')')).empty());
    std::string nested = "CARN";
    for (int i = 0; i < 40; ++i)
        nested = "UPPER(" + nested + ")";
    EXPECT_FALSE(errorOf(nested).empty()); // too deep, refused before the stack suffers
}

TEST(KeyExpressionTest, CopiesEvaluateOnTheirOwn)
{
    RecordSample table = sampleTable();
    table.set("NAME1", "abc");
    std::optional<KeyExpression> original = KeyExpression::compile("UPPER(NAME1)", table.layout(), "U");
    const KeyExpression copy = *original;
    original.reset();
    EXPECT_EQ(copy.evaluate(table.view()), "ABC       ");
}
