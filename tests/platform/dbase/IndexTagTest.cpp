#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include <QDate>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/IndexTag.h"
#include "dbase/KeyExpression.h"

using dbase::Collation;
using dbase::DbaseError;
using dbase::IndexTag;
using dbase::TagInfo;

namespace {

const Collation& westernEurope() { return Collation::forLanguageDriver(0x58); }

TagInfo charTag(std::uint16_t length, bool descending = false, bool unique = false)
{
    TagInfo info;
    info.name = "NAME";
    info.expression = "NAME";
    info.keyType = 'C';
    info.keyLength = length;
    info.descending = descending;
    info.unique = unique;
    return info;
}

TagInfo typedTag(char type)
{
    TagInfo info;
    info.name = "WERT";
    info.expression = "WERT";
    info.keyType = type;
    return info;
}

std::string trimmed(std::string_view key)
{
    while (!key.empty() && key.back() == ' ')
        key.remove_suffix(1);
    return std::string(key);
}

std::vector<std::string> keysOf(const IndexTag& tag)
{
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < tag.size(); ++i)
        keys.push_back(trimmed(tag.keyAt(i)));
    return keys;
}

std::vector<std::uint32_t> recNosOf(const IndexTag& tag)
{
    std::vector<std::uint32_t> recNos;
    for (std::size_t i = 0; i < tag.size(); ++i)
        recNos.push_back(tag.recNoAt(i));
    return recNos;
}

} // namespace

// The order TDbf gives a DBWINWE0 table (Windows-1252 bytes): punctuation
// and blanks, digits, then letters with lower case before upper case before
// accented forms; an index that disagrees is useless to the other program.
TEST(IndexTagOrder, CharacterKeysFollowTheLanguageDriversCollation)
{
    const std::vector<std::string> expected = {
        " a", "_x", "-a", "[", "1", "ab", "abc", "ae", "af", "Abc", "Abd", "ABC", "Ae",
        "\xE4", "\xC4", "e", "E", "\xE9", "f", "st", "\xDF",
    };
    std::vector<std::string> shuffled = expected;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(7));

    IndexTag inserted(charTag(10), westernEurope());
    std::uint32_t recNo = 0;
    for (const std::string& key : shuffled)
        inserted.insert(key, ++recNo);
    EXPECT_EQ(keysOf(inserted), expected);

    IndexTag assigned(charTag(10), westernEurope());
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    recNo = 0;
    for (const std::string& key : shuffled)
        entries.emplace_back(key, ++recNo);
    assigned.assign(entries);
    EXPECT_EQ(keysOf(assigned), expected);
}

TEST(IndexTagOrder, EqualKeysGoByRecordNumberAlsoWhenDescending)
{
    for (const bool descending : {false, true}) {
        IndexTag tag(charTag(4, descending), westernEurope());
        tag.insert("b", 9);
        tag.insert("a", 5);
        tag.insert("b", 2);
        tag.insert("a", 1);
        tag.insert("b", 4);
        if (descending) {
            EXPECT_EQ(keysOf(tag), (std::vector<std::string>{"b", "b", "b", "a", "a"}));
            EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{2, 4, 9, 1, 5}));
        } else {
            EXPECT_EQ(keysOf(tag), (std::vector<std::string>{"a", "a", "b", "b", "b"}));
            EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{1, 5, 2, 4, 9}));
        }
    }
}

TEST(IndexTagOrder, NumericKeysGoByValueNotByBytes)
{
    const std::vector<double> values = {-1000.5, -2, -0.25, 0, 0.001, 0.5, 2, 10, 99.75, 12345678};
    std::vector<double> shuffled = values;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(3));

    IndexTag tag(typedTag('N'), westernEurope());
    EXPECT_EQ(tag.info().keyLength, 12);
    for (std::size_t i = 0; i < shuffled.size(); ++i)
        tag.insert(dbase::encodeNumericKey(shuffled[i]), static_cast<std::uint32_t>(i + 1));
    std::vector<double> order;
    for (std::size_t i = 0; i < tag.size(); ++i)
        order.push_back(dbase::decodeNumericKey(tag.keyAt(i)));
    EXPECT_EQ(order, values);
    EXPECT_EQ(tag.lowerBound(dbase::encodeNumericKey(1)), 6u);
}

TEST(IndexTagOrder, DateKeysGoByDateWithBlankDatesFirst)
{
    const std::vector<QDate> dates = {QDate(), QDate(1899, 12, 31), QDate(1999, 12, 31),
                                      QDate(2000, 1, 1), QDate(2026, 2, 28)};
    IndexTag tag(typedTag('D'), westernEurope());
    EXPECT_EQ(tag.info().keyLength, 8);
    for (std::size_t i = dates.size(); i-- > 0;)
        tag.insert(dbase::encodeDateKey(dates[i]), static_cast<std::uint32_t>(i + 1));
    EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{1, 2, 3, 4, 5}));

    TagInfo descending = typedTag('D');
    descending.descending = true;
    IndexTag reversed(descending, westernEurope());
    for (std::size_t i = 0; i < dates.size(); ++i)
        reversed.insert(dbase::encodeDateKey(dates[i]), static_cast<std::uint32_t>(i + 1));
    EXPECT_EQ(recNosOf(reversed), (std::vector<std::uint32_t>{5, 4, 3, 2, 1}));
}

TEST(IndexTagChanges, RemoveTakesOnlyTheEntryOfThatRecordAndKey)
{
    IndexTag tag(charTag(6), westernEurope());
    tag.insert("MEIER", 1);
    tag.insert("MEIER", 2);
    tag.insert("BAUER", 3);

    EXPECT_FALSE(tag.remove("MEIER", 3)) << "record 3 has another key";
    EXPECT_FALSE(tag.remove("MAIER", 1));
    EXPECT_TRUE(tag.remove("MEIER ", 1)) << "blank padding is part of the stored key";
    EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{3, 2}));
    EXPECT_EQ(tag.keyAt(1), "MEIER ");
    EXPECT_FALSE(tag.remove("MEIER", 1));
    EXPECT_EQ(tag.size(), 2u);
}

TEST(IndexTagChanges, KeysArePaddedOrCutToTheKeyLength)
{
    IndexTag tag(charTag(4), westernEurope());
    tag.insert("AB", 1);
    tag.insert("ABCDEFG", 2);
    EXPECT_EQ(tag.keyAt(0), "AB  ");
    EXPECT_EQ(tag.keyAt(1), "ABCD");
    EXPECT_EQ(tag.find("ABCD", 2), 1u);
    EXPECT_FALSE(tag.insert("AB", 1)) << "the same entry twice";
    EXPECT_EQ(tag.size(), 2u);
}

TEST(IndexTagChanges, NumericAndDateKeysMustHaveTheirLength)
{
    IndexTag numeric(typedTag('N'), westernEurope());
    EXPECT_THROW(numeric.insert("12", 1), DbaseError);
    IndexTag date(typedTag('D'), westernEurope());
    EXPECT_THROW(date.insert(dbase::encodeNumericKey(1), 1), DbaseError);
    EXPECT_EQ(date.size(), 0u);
}

TEST(IndexTagChanges, UniqueTagHoldsTheFirstEntryOfAKey)
{
    IndexTag inserted(charTag(4, false, true), westernEurope());
    EXPECT_TRUE(inserted.insert("A", 7));
    EXPECT_FALSE(inserted.insert("A", 3));
    EXPECT_TRUE(inserted.insert("B", 1));
    EXPECT_EQ(recNosOf(inserted), (std::vector<std::uint32_t>{7, 1}));

    IndexTag assigned(charTag(4, false, true), westernEurope());
    assigned.assign({{"A", 7}, {"B", 1}, {"A", 3}, {"A", 5}});
    EXPECT_EQ(recNosOf(assigned), (std::vector<std::uint32_t>{3, 1}));
}

TEST(IndexTagLookup, PrefixAndLowerBoundUseTheTagsOrder)
{
    for (const bool descending : {false, true}) {
        IndexTag tag(charTag(8, descending), westernEurope());
        tag.assign({{"Bauer", 1}, {"Bach", 2}, {"Meier", 3}, {"M\xFCller", 4}, {"bach", 5}});
        // Ascending: bach Bach Bauer Meier Müller; descending the reverse.
        const auto at = [&](std::size_t ascending) { return descending ? 4 - ascending : ascending; };

        EXPECT_EQ(tag.findPrefix("Ba"), descending ? at(2) : at(1));
        EXPECT_EQ(tag.recNoAt(tag.findPrefix("M\xFC")), 4u);
        EXPECT_EQ(tag.findPrefix("Bx"), tag.size());
        EXPECT_EQ(tag.findPrefix("ba"), at(0));
        EXPECT_EQ(tag.findPrefix(""), 0u);

        // "Bb" lies between Bauer and Meier in either direction.
        EXPECT_EQ(tag.lowerBound("Bb"), descending ? at(2) : at(3));
        EXPECT_EQ(tag.lowerBound("Bauer"), at(2));
        EXPECT_EQ(tag.find("Meier", 3), at(3));
        EXPECT_EQ(tag.find("Meier", 2), tag.size());
    }
}

TEST(IndexTagLookup, CompareKeysOrdersPrefixesFirst)
{
    IndexTag tag(charTag(8), westernEurope());
    EXPECT_LT(tag.compareKeys("ab", "abc"), 0);
    EXPECT_LT(tag.compareKeys("abc", "Ab"), 0);
    EXPECT_EQ(tag.compareKeys("xy", "xy"), 0);
    EXPECT_GT(tag.compareKeys("\xE4", "a"), 0);

    IndexTag descending(charTag(8, true), westernEurope());
    EXPECT_LT(descending.compareKeys("b", "a"), 0) << "b comes first in a descending tag";
    EXPECT_LT(descending.compareKeys("ab", "abc"), 0) << "a prefix still comes first";
}

// Random inserts and removes against a plainly sorted model: catches any
// slip in the binary searches and the three parallel arrays.
TEST(IndexTagModel, AgreesWithASortedListThroughRandomChanges)
{
    const Collation& collation = westernEurope();
    IndexTag tag(charTag(3), collation);
    std::vector<std::pair<std::string, std::uint32_t>> model;
    const auto modelLess = [&](const auto& a, const auto& b) {
        const int c = collation.compare(a.first, b.first);
        return c < 0 || (c == 0 && a.second < b.second);
    };
    const std::string alphabet = "aAb\xE4\xC4 1";
    std::mt19937 random(42);
    const auto randomKey = [&] {
        std::string key;
        for (int i = 0; i < 3; ++i)
            key += alphabet[random() % alphabet.size()];
        return key;
    };

    for (int step = 0; step < 3000; ++step) {
        if (model.empty() || random() % 3 != 0) {
            const std::string key = randomKey();
            const auto recNo = static_cast<std::uint32_t>(random() % 500 + 1);
            const bool known = std::find(model.begin(), model.end(), std::make_pair(key, recNo)) != model.end();
            EXPECT_EQ(tag.insert(key, recNo), !known);
            if (!known)
                model.insert(std::upper_bound(model.begin(), model.end(), std::make_pair(key, recNo), modelLess),
                             {key, recNo});
        } else if (random() % 4 == 0) {
            EXPECT_FALSE(tag.remove(randomKey(), 999));
        } else {
            const std::size_t victim = random() % model.size();
            ASSERT_TRUE(tag.remove(model[victim].first, model[victim].second));
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(victim));
        }
    }

    ASSERT_EQ(tag.size(), model.size());
    for (std::size_t i = 0; i < model.size(); ++i) {
        ASSERT_EQ(tag.keyAt(i), model[i].first) << i;
        ASSERT_EQ(tag.recNoAt(i), model[i].second) << i;
    }

    std::vector<std::pair<std::string, std::uint32_t>> shuffled = model;
    std::shuffle(shuffled.begin(), shuffled.end(), random);
    IndexTag assigned(charTag(3), collation);
    assigned.assign(shuffled);
    EXPECT_EQ(recNosOf(assigned), recNosOf(tag));
}

TEST(IndexTagDefinition, RefusesWhatCannotBeStored)
{
    const auto make = [](TagInfo info) { IndexTag(std::move(info), westernEurope()); };
    TagInfo info = charTag(10);

    info.name = "";
    EXPECT_THROW(make(info), DbaseError);
    info.name = "ELFZEICHEN1";
    EXPECT_THROW(make(info), DbaseError);
    info.name = "A-B";
    EXPECT_THROW(make(info), DbaseError);

    info = charTag(0);
    EXPECT_THROW(make(info), DbaseError);
    info = charTag(101);
    EXPECT_THROW(make(info), DbaseError);
    info = typedTag('N');
    info.keyLength = 10;
    EXPECT_THROW(make(info), DbaseError);
    info = typedTag('L');
    EXPECT_THROW(make(info), DbaseError);
    info = charTag(10);
    info.expression = "";
    EXPECT_THROW(make(info), DbaseError);
    info.expression = std::string(220, 'X');
    EXPECT_THROW(make(info), DbaseError);

    info = charTag(10);
    info.name = "name1_sub";
    EXPECT_EQ(IndexTag(info, westernEurope()).info().name, "NAME1_SUB");
}

TEST(IndexTagDefinition, FieldTagsAreBareFieldNames)
{
    TagInfo info;
    info.expression = "STRIPNAME1";
    EXPECT_TRUE(info.isFieldTag());
    info.expression = "CARN+SUBCARN";
    EXPECT_FALSE(info.isFieldTag());
    info.expression = "UPPER(NAME)";
    EXPECT_FALSE(info.isFieldTag());
    info.expression = "1NAME";
    EXPECT_FALSE(info.isFieldTag());
}
