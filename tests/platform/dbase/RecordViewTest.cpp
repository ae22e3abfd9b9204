#include <gtest/gtest.h>

#include <optional>

#include "DbfTestSupport.h"
#include "dbase/CodePage.h"
#include "dbase/DbaseError.h"
#include "dbase/FieldDef.h"

using namespace dbase;
using dbftest::field;

namespace {

class RecordViewTest : public ::testing::Test {
protected:
    TableLayout layout{{field("NAME", FieldType::Character, 12), field("MENGE", FieldType::Numeric, 8, 2),
                        field("WERT", FieldType::Float, 10, 3), field("DATUM", FieldType::Date, 8),
                        field("AKTIV", FieldType::Logical, 1), field("TEXT", FieldType::Memo, 10)}};
    std::string record = std::string(layout.recordLength(), ' ');

    void set(int index, const std::string& text) { dbftest::put(record, layout.field(index), text); }
    RecordView view() const { return RecordView(layout, CodePage::windows1252(), record); }
};

} // namespace

TEST(TableLayout, OffsetsFollowWidthsAfterTheDeletionFlag) {
    const TableLayout layout({field("A", FieldType::Character, 3), field("B", FieldType::Numeric, 5),
                              field("C", FieldType::Memo, 10)});
    EXPECT_EQ(layout.field(0).offset, 1);
    EXPECT_EQ(layout.field(1).offset, 4);
    EXPECT_EQ(layout.field(2).offset, 9);
    EXPECT_EQ(layout.recordLength(), 19);
    EXPECT_TRUE(layout.hasBlobFields());
    EXPECT_EQ(layout.indexOf("b"), 1);
    EXPECT_EQ(layout.indexOf("B "), -1);
    EXPECT_EQ(layout.indexOf("X"), -1);
}

TEST(TableLayout, RefusesImpossibleFields) {
    EXPECT_THROW(TableLayout({field("A", FieldType::Character, 0)}), DbaseError);
    EXPECT_THROW(TableLayout({field("", FieldType::Character, 3)}), DbaseError);
    std::vector<FieldDef> wide;
    for (int i = 0; i < 260; ++i)
        wide.push_back(field("F" + std::to_string(i), FieldType::Character, 255));
    EXPECT_THROW(TableLayout{wide}, DbaseError);
}

TEST_F(RecordViewTest, CharacterTextLosesTrailingBlanksOnly) {
    set(0, "  Aceton\xE4");
    EXPECT_EQ(view().text(0), QString::fromUtf8("  Acetonä"));
    EXPECT_EQ(view().raw(0), std::string("  Aceton\xE4   "));
}

TEST_F(RecordViewTest, NumbersTrimBothSidesAndBlankOrOverflowIsNull) {
    const struct {
        int field;
        const char* stored;
        std::optional<double> number;
    } cases[] = {{1, "   12.50", 12.5},  {1, "      -3", -3.0},         {2, "+1.5e2", 150.0},
                 {1, "", std::nullopt}, {1, "********", std::nullopt}, {1, "12a", std::nullopt}};
    for (const auto& c : cases) {
        set(c.field, c.stored);
        EXPECT_EQ(view().number(c.field), c.number) << c.stored;
    }
    set(1, "   12.50");
    EXPECT_EQ(view().text(1), "12.50");
    set(1, "");
    EXPECT_EQ(view().text(1), "");
}

TEST_F(RecordViewTest, DatesNeedEightDigitsOfARealDay) {
    set(3, "20240229");
    EXPECT_EQ(*view().date(3), QDate(2024, 2, 29));
    for (const char* bad : {"", "20230229", "2024-1-1", "2024021 ", "+0240101", "00000000"}) {
        set(3, bad);
        EXPECT_FALSE(view().date(3).has_value()) << bad;
    }
}

TEST_F(RecordViewTest, LogicalAcceptsBothLetterSetsAndMemoBlockNumbersBlanksOrZeros) {
    for (const char* letter : {"T", "t", "Y", "y", "F", "f", "N", "n", "?", " "}) {
        set(4, letter);
        EXPECT_EQ(view().logical(4), std::string("TtYy").find(letter[0]) != std::string::npos) << letter;
    }
    const std::pair<const char*, std::uint32_t> blocks[] = {
        {"        17", 17}, {"0000000017", 17}, {"", 0}, {"99999999999", 0} /* wider than 32 bits */, {"12x", 0}};
    for (const auto& [stored, block] : blocks) {
        set(5, stored);
        EXPECT_EQ(view().blockNumber(5), block) << stored;
    }
}

TEST_F(RecordViewTest, DeletionFlagAndShortBuffers) {
    EXPECT_FALSE(view().deleted());
    record[0] = '*';
    EXPECT_TRUE(view().deleted());
    const std::string shortRecord = record.substr(0, 5);
    const RecordView cut(layout, CodePage::windows1252(), shortRecord);
    EXPECT_TRUE(cut.raw(1).empty());
    EXPECT_FALSE(cut.number(1).has_value());
}
