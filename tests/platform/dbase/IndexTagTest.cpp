#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include <QDate>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/IndexTag.h"
#include "dbase/KeyExpression.h"
#include "DbfTestSupport.h"

using dbase::DbaseError;
using dbase::IndexTag;
using dbase::TagInfo;
using dbftest::recNosOf;
using dbftest::westernEurope;

namespace {

TagInfo tagInfo(char type, std::uint16_t length = 0, bool descending = false, bool unique = false)
{
    TagInfo info;
    info.name = "NAME";
    info.expression = "NAME";
    info.keyType = type;
    info.keyLength = length;
    info.descending = descending;
    info.unique = unique;
    return info;
}

std::vector<std::string> keysOf(const IndexTag& tag)
{
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < tag.size(); ++i) {
        std::string_view key = tag.keyAt(i);
        keys.emplace_back(key.substr(0, key.find_last_not_of(' ') + 1));
    }
    return keys;
}

} // namespace

// The order TDbf gives a DBWINWE0 table (Windows-1252 bytes): punctuation
// and blanks, digits, then letters with lower case before upper case before
// accented forms. An index that disagrees is useless to the other program.
TEST(IndexTagOrder, CharacterKeysFollowTheLanguageDriversCollation)
{
    const std::vector<std::string> expected = {
        " a", "_x", "-a", "[", "1", "ab", "abc", "ae", "af", "Abc", "Abd", "ABC", "Ae",
        "\xE4", "\xC4", "e", "E", "\xE9", "f", "st", "\xDF",
    };
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (const std::string& key : expected)
        entries.emplace_back(key, static_cast<std::uint32_t>(entries.size() + 1));
    std::shuffle(entries.begin(), entries.end(), std::mt19937(7));

    IndexTag inserted(tagInfo('C', 10), westernEurope());
    for (const auto& [key, recNo] : entries)
        inserted.insert(key, recNo);
    EXPECT_EQ(keysOf(inserted), expected);
    IndexTag assigned(tagInfo('C', 10), westernEurope());
    assigned.assign(entries);
    EXPECT_EQ(keysOf(assigned), expected);
}

TEST(IndexTagOrder, EqualKeysGoByRecordNumberAlsoWhenDescending)
{
    // As TDbf keeps them: a descending tag reverses the keys, not the records.
    for (const bool descending : {false, true}) {
        IndexTag tag(tagInfo('C', 4, descending), westernEurope());
        for (const auto& [key, recNo] : {std::pair{"b", 9}, {"a", 5}, {"b", 2}, {"a", 1}, {"b", 4}})
            tag.insert(key, recNo);
        const std::vector<std::uint32_t> expected =
            descending ? std::vector<std::uint32_t>{2, 4, 9, 1, 5} : std::vector<std::uint32_t>{1, 5, 2, 4, 9};
        EXPECT_EQ(recNosOf(tag), expected);
    }
}

TEST(IndexTagOrder, NumericAndDateKeysGoByValue)
{
    // Zero is stored with the exponent of 10^0 and sorts, as TDbf's own
    // indexes show, after the positive values below 0.1.
    const std::vector<double> values = {-1000.5, -2, -0.25, -0.001, 0.001, 0.099, 0, 0.5, 10, 12345678};
    IndexTag numbers(tagInfo('N'), westernEurope());
    EXPECT_EQ(numbers.info().keyLength, 12);
    for (std::size_t i = values.size(); i-- > 0;)
        numbers.insert(dbase::encodeNumericKey(values[i]), static_cast<std::uint32_t>(i + 1));
    EXPECT_EQ(recNosOf(numbers), (std::vector<std::uint32_t>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(numbers.lowerBound(dbase::encodeNumericKey(1)), 8u);
    EXPECT_THROW(numbers.insert("12", 11), DbaseError) << "a numeric key has 12 bytes";

    // A blank date sorts before every real one.
    const std::vector<QDate> dates = {QDate(), QDate(1899, 12, 31), QDate(1999, 12, 31), QDate(2026, 2, 28)};
    IndexTag reversed(tagInfo('D', 0, true), westernEurope());
    EXPECT_EQ(reversed.info().keyLength, 8);
    for (std::size_t i = 0; i < dates.size(); ++i)
        reversed.insert(dbase::encodeDateKey(dates[i]), static_cast<std::uint32_t>(i + 1));
    EXPECT_EQ(recNosOf(reversed), (std::vector<std::uint32_t>{4, 3, 2, 1}));
}

TEST(IndexTagChanges, RemoveInsertAndUniqueTags)
{
    IndexTag tag(tagInfo('C', 6), westernEurope());
    tag.insert("MEIER", 1);
    tag.insert("MEIER", 2);
    tag.insert("BAUER", 3);
    EXPECT_FALSE(tag.insert("MEIER ", 1)) << "the same entry twice";
    EXPECT_FALSE(tag.remove("MEIER", 3)) << "record 3 has another key";
    EXPECT_TRUE(tag.remove("MEIER", 1)) << "blank padding is part of the stored key";
    EXPECT_FALSE(tag.remove("MEIER", 1));
    EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{3, 2}));
    EXPECT_EQ(tag.keyAt(1), "MEIER ");
    tag.insert("BAUERNHOF", 4);
    EXPECT_EQ(tag.keyAt(1), "BAUERN") << "cut to the key length";

    // dBASE's unique: the first entry of a key stays, later ones are left out.
    IndexTag inserted(tagInfo('C', 4, false, true), westernEurope());
    EXPECT_TRUE(inserted.insert("A", 7));
    EXPECT_FALSE(inserted.insert("A", 3));
    EXPECT_EQ(recNosOf(inserted), (std::vector<std::uint32_t>{7}));
    IndexTag assigned(tagInfo('C', 4, false, true), westernEurope());
    assigned.assign({{"A", 7}, {"B", 1}, {"A", 3}, {"A", 5}});
    EXPECT_EQ(recNosOf(assigned), (std::vector<std::uint32_t>{3, 1}));
}

TEST(IndexTagLookup, PrefixAndLowerBoundUseTheTagsOrder)
{
    for (const bool descending : {false, true}) {
        IndexTag tag(tagInfo('C', 8, descending), westernEurope());
        tag.assign({{"Bauer", 1}, {"Bach", 2}, {"Meier", 3}, {"M\xFCller", 4}, {"bach", 5}});
        // Ascending: bach Bach Bauer Meier Müller; descending the reverse.
        const auto at = [&](std::size_t ascending) { return descending ? 4 - ascending : ascending; };
        EXPECT_EQ(tag.findPrefix("Ba"), descending ? at(2) : at(1));
        EXPECT_EQ(tag.recNoAt(tag.findPrefix("M\xFC")), 4u);
        EXPECT_EQ(tag.findPrefix("ba"), at(0));
        EXPECT_EQ(tag.findPrefix("Bx"), tag.size());
        // "Bb" lies between Bauer and Meier in either direction.
        EXPECT_EQ(tag.lowerBound("Bb"), descending ? at(2) : at(3));
        EXPECT_EQ(tag.lowerBound("Bauer"), at(2));
        EXPECT_EQ(tag.find("Meier", 3), at(3));
        EXPECT_EQ(tag.find("Meier", 2), tag.size());
        EXPECT_LT(tag.compareKeys("ab", "abc"), 0) << "a prefix comes first";
    }
}

// Random inserts and removes against a plainly sorted model: catches any
// slip in the binary searches and the three parallel arrays.
TEST(IndexTagLookup, AgreesWithASortedListThroughRandomChanges)
{
    const dbase::Collation& collation = westernEurope();
    IndexTag tag(tagInfo('C', 3), collation);
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
            const std::pair<std::string, std::uint32_t> entry{randomKey(), random() % 500 + 1};
            const bool known = std::find(model.begin(), model.end(), entry) != model.end();
            ASSERT_EQ(tag.insert(entry.first, entry.second), !known);
            if (!known)
                model.insert(std::upper_bound(model.begin(), model.end(), entry, modelLess), entry);
        } else {
            const std::size_t victim = random() % model.size();
            ASSERT_TRUE(tag.remove(model[victim].first, model[victim].second));
            model.erase(model.begin() + static_cast<std::ptrdiff_t>(victim));
        }
    }
    std::vector<std::pair<std::string, std::uint32_t>> held;
    for (std::size_t i = 0; i < tag.size(); ++i)
        held.emplace_back(tag.keyAt(i), tag.recNoAt(i));
    EXPECT_EQ(held, model);

    // Runs of one entry up to the whole tag share a prefix: each range is
    // exactly the model's entries that start with it.
    std::vector<std::string> prefixes = {""};
    for (char a : alphabet) {
        prefixes.emplace_back(1, a);
        for (char b : alphabet)
            prefixes.push_back(std::string{a, b});
    }
    prefixes.push_back(model.front().first);
    prefixes.push_back(model.back().first);
    for (const std::string& prefix : prefixes) {
        std::size_t first = model.size();
        std::size_t last = model.size();
        for (std::size_t i = 0; i < model.size(); ++i) {
            const bool starts = collation.compare(model[i].first.substr(0, prefix.size()), prefix) == 0;
            if (starts && first == model.size())
                first = i;
            if (starts)
                last = i + 1;
        }
        const auto range = tag.prefixRange(prefix);
        if (first == model.size())
            EXPECT_EQ(range.first, range.second) << "prefix \"" << prefix << '"';
        else
            EXPECT_EQ(range, std::make_pair(first, last)) << "prefix \"" << prefix << '"';
    }

    std::shuffle(model.begin(), model.end(), random);
    IndexTag assigned(tagInfo('C', 3), collation);
    assigned.assign(model);
    EXPECT_EQ(recNosOf(assigned), recNosOf(tag));
}

TEST(IndexTagDefinition, RefusesWhatCannotBeStored)
{
    const auto refused = [](const std::function<void(TagInfo&)>& change) {
        TagInfo info = tagInfo('C', 10);
        change(info);
        EXPECT_THROW(IndexTag(info, westernEurope()), DbaseError) << info.name << " " << info.keyLength;
    };
    refused([](TagInfo& i) { i.name = ""; });
    refused([](TagInfo& i) { i.name = "ELFZEICHEN1"; });
    refused([](TagInfo& i) { i.name = "A-B"; });
    refused([](TagInfo& i) { i.keyLength = 0; });
    refused([](TagInfo& i) { i.keyLength = 101; });
    refused([](TagInfo& i) { i.keyType = 'N'; });  // 10 bytes, not 12
    refused([](TagInfo& i) { i.keyType = 'L'; });
    refused([](TagInfo& i) { i.expression = ""; });
    refused([](TagInfo& i) { i.expression = std::string(220, 'X'); });

    TagInfo lower = tagInfo('C', 10);
    lower.name = "name1_sub";
    EXPECT_EQ(IndexTag(lower, westernEurope()).info().name, "NAME1_SUB");
}

TEST(IndexTagLookup, ATagHeldInOrderWithoutKeysRefusesSearchesUntilItHasThem)
{
    IndexTag tag(tagInfo('C', 6, true), westernEurope());
    tag.assignOrder({3, 1, 2});
    EXPECT_FALSE(tag.hasKeys());
    EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{3, 1, 2}));
    EXPECT_THROW(tag.keyAt(0), DbaseError);
    EXPECT_THROW(tag.findPrefix("a"), DbaseError);
    EXPECT_THROW(tag.lowerBound("a"), DbaseError);
    EXPECT_THROW(tag.insert("zz", 4), DbaseError);
    EXPECT_THROW(tag.remove("a", 1), DbaseError);

    // Keys as stored, compared in the descending tag's order: 'b' before
    // 'a', and 'ä' by the collation (between them), not by its byte.
    EXPECT_GT(tag.compareStoredKeys("a     ", "b     "), 0);
    EXPECT_LT(tag.compareStoredKeys("\xE4     ", "ab    "), 0);
    EXPECT_EQ(tag.compareStoredKeys("ab    ", "ab    "), 0);
    tag.assign({{"b", 3}, {"a", 1}, {"\xE4", 2}});
    EXPECT_TRUE(tag.hasKeys());
    EXPECT_EQ(recNosOf(tag), (std::vector<std::uint32_t>{3, 2, 1}));
    EXPECT_EQ(tag.findPrefix("a"), 2u);
}

// Runs of shared prefixes in a descending tag of many keys, umlauts among
// them: each found whole by the searches.
TEST(IndexTagLookup, LargeDescendingTagsFindEveryPrefixRun)
{
    IndexTag tag(tagInfo('C', 4, true), westernEurope());
    const std::string alphabet = "a\xE4" "bB 9";
    std::mt19937 random(3);
    std::vector<std::pair<std::string, std::uint32_t>> entries;
    for (std::uint32_t recNo = 1; recNo <= 2000; ++recNo) {
        std::string key;
        for (int i = 0; i < 4; ++i)
            key += alphabet[random() % alphabet.size()];
        entries.emplace_back(key, recNo);
    }
    tag.assign(entries);
    for (const char a : alphabet) {
        for (const char b : alphabet) {
            const std::string prefix{a, b};
            std::size_t first = tag.size();
            std::size_t last = tag.size();
            for (std::size_t i = 0; i < tag.size(); ++i) {
                if (westernEurope().compare(tag.keyAt(i).substr(0, 2), prefix) != 0)
                    continue;
                first = std::min(first, i);
                last = i + 1;
            }
            EXPECT_EQ(tag.prefixRange(prefix), std::make_pair(first, first == tag.size() ? first : last)) << prefix;
            if (first < tag.size()) {
                EXPECT_EQ(tag.lowerBound(prefix), first) << prefix;
            }
        }
    }
}
