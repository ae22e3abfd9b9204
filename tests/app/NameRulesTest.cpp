#include <gtest/gtest.h>

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include "app/NameRules.h"

TEST(StripNameBilden, MovesLeadingNonWordCharactersBehindTheName)
{
    EXPECT_EQ(StripNameBilden("Aceton"), "Aceton");
    EXPECT_EQ(StripNameBilden("2-Propanol"), "Propanol2-");
    EXPECT_EQ(StripNameBilden("1,2-Dichlorethan"), "Dichlorethan1,2-");
    EXPECT_EQ(StripNameBilden("n-Hexan"), "Hexann-");
    EXPECT_EQ(StripNameBilden("pH-Indikator"), "IndikatorpH-");
    EXPECT_EQ(StripNameBilden("L(+)-Weinsäure"), "WeinsaeureL(+)-");
}

TEST(StripNameBilden, FoldsUmlautsAndKeepsNamesWithoutACapitalisedWord)
{
    EXPECT_EQ(StripNameBilden("Äthanol"), "Aethanol");
    EXPECT_EQ(StripNameBilden("DDT"), "DDT");
    EXPECT_EQ(StripNameBilden("2"), "2");
    EXPECT_EQ(StripNameBilden(" Aceton"), "Aceton ");
    EXPECT_EQ(StripNameBilden(""), "");
}

TEST(UmlauteErsetzen, FoldsGermanLettersOnly)
{
    QString s = "Größe";
    UmlauteErsetzen(s);
    EXPECT_EQ(s, "Groesse");
    EXPECT_EQ(umlauteErsetzt("ÄÖÜ"), "AeOeUe");
    EXPECT_EQ(umlauteErsetzt("é"), "é");
    EXPECT_EQ(umlauteErsetzt(""), "");
}

TEST(CarnPruefen, AcceptsRightCheckDigits)
{
    EXPECT_TRUE(CarnPruefen("7732-18-5"));
    EXPECT_TRUE(CarnPruefen("64-17-5"));
    EXPECT_TRUE(CarnPruefen("50-00-0"));
    EXPECT_TRUE(CarnPruefen("0"));
    EXPECT_TRUE(CarnPruefen("10"));
}

TEST(CarnPruefen, RejectsWrongDigitsShiftedDigitsAndLetters)
{
    EXPECT_FALSE(CarnPruefen("7732-18-4"));
    EXPECT_FALSE(CarnPruefen("7732185"));
    EXPECT_FALSE(CarnPruefen("5"));
    EXPECT_FALSE(CarnPruefen("77A2-18-5"));
    EXPECT_FALSE(CarnPruefen(""));
}

TEST(FormelFormatieren, ChoosesTheDigitsThatAreAtomCounts)
{
    using V = std::vector<int>;
    EXPECT_EQ(formelTiefstellungen("H2O"), V({1}));
    EXPECT_EQ(formelTiefstellungen("C12H22O11"), V({1, 2, 4, 5, 7, 8}));
    EXPECT_EQ(formelTiefstellungen("CuSO4 * 5H2O"), V({4, 10}));
    EXPECT_EQ(formelTiefstellungen("(CH3)2CO"), V({3, 5}));
    EXPECT_EQ(formelTiefstellungen("2 HCl"), V({}));
    EXPECT_EQ(formelTiefstellungen("C"), V({}));
}

TEST(FormelFormatieren, HalvesTheSizeOfSubscriptsAndKeepsTheText)
{
    QTextEdit edit;
    QFont font = edit.font();
    font.setPointSize(10);
    edit.document()->setDefaultFont(font);
    edit.setPlainText("H2SO4");
    FormelFormatieren(edit);

    EXPECT_EQ(edit.toPlainText(), "H2SO4");
    auto sizeAt = [&](int offset) {
        QTextCursor c(edit.document());
        c.setPosition(offset + 1);
        return c.charFormat().fontPointSize();
    };
    EXPECT_EQ(sizeAt(1), 5);
    EXPECT_EQ(sizeAt(4), 5);
    EXPECT_NE(sizeAt(2), 5);
}
