#include <gtest/gtest.h>

#include "app/RecNoListe.h"

TEST(RecNoListe, ReadsItsNumbersAsDecimalTextAndFindsLinesByNumber)
{
    RecNoListe liste({7, 1000000, 42, 7});
    ASSERT_EQ(liste.size(), 4);
    EXPECT_FALSE(liste.isEmpty());
    EXPECT_EQ(liste[1], QStringLiteral("1000000"));
    EXPECT_EQ(liste[1].toUInt(), 1000000u);
    EXPECT_EQ(liste.indexOf(7), 0);
    EXPECT_EQ(liste.indexOf(42), 2);
    EXPECT_EQ(liste.indexOf(8), -1);
    EXPECT_TRUE(liste == QStringList({"7", "1000000", "42", "7"}));
    EXPECT_FALSE(liste == QStringList({"7", "1000000", "42"}));
    EXPECT_FALSE(liste == QStringList({"7", "1000000", "042", "7"}));
    EXPECT_THROW((void)liste[4], std::out_of_range);
    liste.clear();
    EXPECT_TRUE(liste.isEmpty());
    EXPECT_EQ(liste.indexOf(7), -1);
}
