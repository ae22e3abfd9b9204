#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "dbase/CodePage.h"
#include "dbase/Collation.h"

using dbase::CodePage;
using dbase::Collation;

namespace {

// Checks that each neighbour in `ascending` sorts strictly before the next,
// with the texts in the driver's code page.
void expectStrictOrder(std::uint8_t driver, const QStringList& ascending)
{
    const Collation& collation = Collation::forLanguageDriver(driver);
    const CodePage& codePage = CodePage::forLanguageDriver(driver);
    for (qsizetype i = 0; i + 1 < ascending.size(); ++i) {
        const std::string a = codePage.encode(ascending[i]);
        const std::string b = codePage.encode(ascending[i + 1]);
        EXPECT_LT(collation.compare(a, b), 0)
            << collation.name() << ": \"" << ascending[i].toStdString() << "\" < \""
            << ascending[i + 1].toStdString() << "\"";
        EXPECT_GT(collation.compare(b, a), 0) << collation.name();
        EXPECT_LT(collation.sortKey(a), collation.sortKey(b)) << collation.name();
    }
}

} // namespace

TEST(CollationOrder, WesternEuropeAnsiSortsBlanksPunctuationDigitsThenLettersCaseAndAccentWiseSharpSAfterEveryS)
{
    expectStrictOrder(0x58, {" a", "_x", "-a", "[", "0", "9", "ab", "abc", "ae", "af", "Abc", "Abd",
                             "ABC", "Ae", QStringLiteral("ä"), QStringLiteral("Ä"), "e", "E",
                             QStringLiteral("é"), "f"});
    expectStrictOrder(0x58, {"s", "st", "S", "Strasse", QStringLiteral("Straße"),
                             QStringLiteral("ß"), "t"});
}

TEST(CollationOrder, GermanDosDriversDifferInWhereCaseAndDigitsGo)
{
    // DB437DE0 puts every capital before every small letter.
    expectStrictOrder(0x0F, {"0", "Abc", "Aceton", QStringLiteral("Äther"), "Oel",
                             QStringLiteral("Ölig"), "Strasse", QStringLiteral("Straße"), "Zink",
                             "abc", QStringLiteral("ätzend"), QStringLiteral("öl"),
                             QStringLiteral("über")});
    // DB850DE0 interleaves cases like the ANSI driver, and sorts digits last.
    expectStrictOrder(0x10, {"-", "abc", "Abc", "Aceton", QStringLiteral("ätzend"),
                             QStringLiteral("Äther"), "Oel", QStringLiteral("öl"),
                             QStringLiteral("Ölig"), "Strasse", QStringLiteral("Straße"),
                             QStringLiteral("über"), "Zink", "0", "9"});
}

TEST(CollationDrivers, KnownDriversGetTheirNamedTables)
{
    const std::pair<std::uint8_t, const char*> named[] = {{0x58, "DBWINWE0"}, {0x0F, "DB437DE0"},
                                                         {0x10, "DB850DE0"}, {0x19, "DB437UK0"},
                                                         {0x1A, "DB850UK0"}, {0x57, "DBWINUS0"}};
    for (const auto& [driver, name] : named)
        EXPECT_STREQ(Collation::forLanguageDriver(driver).name(), name);
    // The same object each time: tags keep a reference to it.
    EXPECT_EQ(&Collation::forLanguageDriver(0x58), &Collation::forLanguageDriver(0x58));
}

TEST(CollationDrivers, DriversWithoutTableAndUnknownDriversSortByByteValue)
{
    for (std::uint8_t driver : {0x00, 0x01, 0x57, 0x64, 0xC9, 0xFF}) {
        const Collation& collation = Collation::forLanguageDriver(driver);
        for (int byte = 1; byte < 256; ++byte)
            ASSERT_LT(collation.weight(static_cast<unsigned char>(byte - 1)),
                      collation.weight(static_cast<unsigned char>(byte)))
                << "driver " << int(driver) << " byte " << byte;
    }
}

TEST(CollationDrivers, EveryMeasuredTableGivesEachByteItsOwnWeight)
{
    // TDbf showed no two bytes as equal under any driver; a duplicate weight
    // here would be a damaged table and would merge distinct keys.
    for (std::uint8_t driver : {0x0F, 0x10, 0x19, 0x1A, 0x58}) {
        const Collation& collation = Collation::forLanguageDriver(driver);
        std::vector<bool> seen(256, false);
        for (int byte = 0; byte < 256; ++byte) {
            const auto w = collation.weight(static_cast<unsigned char>(byte));
            EXPECT_FALSE(seen[w]) << collation.name() << " byte " << byte;
            seen[w] = true;
        }
    }
}

TEST(CollationCompare, PrefixSortsFirstAndEqualKeysCompareEqual)
{
    const Collation& collation = Collation::forLanguageDriver(0x58);
    EXPECT_EQ(collation.compare("", ""), 0);
    EXPECT_EQ(collation.compare("Abc", "Abc"), 0);
    EXPECT_LT(collation.compare("", "a"), 0);
    EXPECT_LT(collation.compare("Ab", "Abc"), 0);
    EXPECT_GT(collation.compare("Abc", "Ab"), 0);
    // A prefix sorts first even when the longer key goes on with a byte that
    // weighs less than a blank.
    EXPECT_LT(collation.compare("a", std::string("a\0", 2)), 0);
    EXPECT_EQ(collation.sortKey(""), "");
}

TEST(CollationCompare, SortKeysOrderLikeCompareOnRandomKeys)
{
    // IndexTag compares sort keys with memcmp; they must agree with compare()
    // on every driver, high bytes included.
    std::mt19937 random(42);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> length(0, 6);
    for (std::uint8_t driver : {0x0F, 0x10, 0x19, 0x1A, 0x57, 0x58}) {
        const Collation& collation = Collation::forLanguageDriver(driver);
        for (int round = 0; round < 2000; ++round) {
            std::string a(static_cast<std::size_t>(length(random)), '\0');
            std::string b(static_cast<std::size_t>(length(random)), '\0');
            for (char& c : a) c = static_cast<char>(byte(random));
            for (char& c : b) c = static_cast<char>(byte(random));
            if (round % 3 == 0 && !a.empty())
                b = a.substr(0, a.size() / 2) + b; // shared prefixes
            const int byCompare = collation.compare(a, b);
            const int byKeys = collation.sortKey(a).compare(collation.sortKey(b));
            ASSERT_EQ(byCompare < 0, byKeys < 0) << collation.name();
            ASSERT_EQ(byCompare == 0, byKeys == 0) << collation.name();
            ASSERT_EQ(byCompare == 0, a == b) << collation.name();
        }
    }
}
