// The record page's number fields as a keyboard user meets them: shown with
// the German decimal comma, typed over after Tab with a comma or a point,
// refused with a message when they are no number or too large. What is
// stored is read back by python3-dbfread.

#include <gtest/gtest.h>

#include <QApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "fixtures/Dbfread.h"
#include "widgets/DBEdit.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString ethanol = QStringLiteral("64-17-5");
constexpr int MOLMASSE = 27, DICHTE = 28, SMT = 29, SDT = 30;

class Zahlenfelder : public ::testing::Test {
protected:
    void SetUp() override
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Aceton", aceton}, {"Ethanol", ethanol}});
        // MOLMASSE N(10,3), SMT and SDT N(8,1): stored as "58.080", "-95.0".
        chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}, {MOLMASSE, "58.08"}, {DICHTE, "0,79 g/cm³"},
                                        {SMT, "-95"}, {SDT, "56.1"}}},
                         {ethanol, "1", {{NAME1, "Ethanol"}, {MOLMASSE, "46.07"}}}});
        lagerSchreiben({});
        formelnSchreiben({aceton, ethanol});
        m = &r.starten();
        m->DatenlisteEinlesen();
        m->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m));
        m->ListBox1->setItemIndex(0); // Aceton
        m->AktuellenDatensatzZeigen();
    }

    // Edit mode by the record page's button, then a click into `feld`.
    void bearbeiten(widgets::DBEdit* feld)
    {
        QTest::mouseClick(m->ToolButton41, Qt::LeftButton);
        ASSERT_EQ(m->EditModus, 1);
        QTest::mouseClick(feld, Qt::LeftButton, {}, QPoint(5, 5));
        ASSERT_TRUE(feld->hasFocus());
        QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
    }
    // Types over the focused control's selected text and leaves it with Tab;
    // returns the control the focus went to.
    static QWidget* tippenUndTab(const QString& text)
    {
        QWidget* feld = QApplication::focusWidget();
        QTest::keyClicks(feld, text);
        QTest::keyClick(feld, Qt::Key_Tab);
        return QApplication::focusWidget();
    }
    static QJsonObject acetonGelesen()
    {
        for (const auto& zeile : fixtures::readWithDbfread("chemie.dbf").rows)
            if (zeile.toObject().value("CARN").toString() == aceton)
                return zeile.toObject();
        return {};
    }
    QStringList meldungen() const
    {
        QStringList texte;
        for (const auto& meldung : r.meldungen())
            texte << meldung.text;
        return texte;
    }

    Register r;
    TMarlex* m = nullptr;
};

} // namespace

TEST_F(Zahlenfelder, AreShownWithADecimalCommaAndNoTrailingZeros)
{
    EXPECT_EQ(m->DBEdit49->text(), "58,08");
    EXPECT_EQ(m->DBEdit50->text(), "0,79 g/cm³") << "a text field stays as it is";
    EXPECT_EQ(m->DBEdit51->text(), "-95");
    EXPECT_EQ(m->DBEdit52->text(), "56,1");
    m->ListBox1->setItemIndex(1);
    m->AktuellenDatensatzZeigen();
    EXPECT_EQ(m->DBEdit49->text(), "46,07");
    EXPECT_EQ(m->DBEdit51->text(), "") << "a blank number shows blank";
}

TEST_F(Zahlenfelder, TypedWithTabFromFieldToFieldWithACommaOrAPoint)
{
    bearbeiten(m->DBEdit49);
    // Tab goes on to the next field with its text selected, as typing over
    // it expects.
    ASSERT_EQ(tippenUndTab("73,5"), m->DBEdit50);
    ASSERT_EQ(tippenUndTab("0,8 g/cm³"), m->DBEdit51);
    ASSERT_EQ(tippenUndTab("-95.35"), m->DBEdit52);
    tippenUndTab("56,15");
    EXPECT_TRUE(meldungen().isEmpty()) << meldungen().join('\n').toStdString();
    QTest::mouseClick(m->ToolButton23, Qt::LeftButton); // edit mode off stores the record
    ASSERT_EQ(m->EditModus, 0);

    const QJsonObject gelesen = acetonGelesen();
    EXPECT_DOUBLE_EQ(gelesen["MOLMASSE"].toDouble(), 73.5);
    EXPECT_EQ(gelesen["DICHTE"].toString(), "0,8 g/cm³");
    EXPECT_DOUBLE_EQ(gelesen["SMT"].toDouble(), -95.4) << "rounded to the field's one decimal as typed";
    EXPECT_DOUBLE_EQ(gelesen["SDT"].toDouble(), 56.2);
    EXPECT_EQ(gelesen["NAME1"].toString(), "Aceton");
    EXPECT_EQ(m->DBEdit49->text(), "73,5");
    EXPECT_EQ(m->DBEdit51->text(), "-95,4");
    EXPECT_EQ(m->DBEdit52->text(), "56,2");
}

TEST_F(Zahlenfelder, WhatIsNoNumberOrTooLargeIsRefusedWithTheFieldNamedAndNotStored)
{
    bearbeiten(m->DBEdit51);
    tippenUndTab("zehn");
    ASSERT_EQ(meldungen().size(), 1);
    EXPECT_TRUE(meldungen()[0].contains("\"zehn\" ist keine Zahl")) << meldungen()[0].toStdString();
    EXPECT_TRUE(meldungen()[0].contains("SMT")) << meldungen()[0].toStdString();
    EXPECT_EQ(m->DBEdit51->text(), "-95") << "the stored value is shown again";

    QTest::mouseClick(m->DBEdit52, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(m->DBEdit52, Qt::Key_A, Qt::ControlModifier);
    tippenUndTab("1234567"); // SDT holds six digits and one decimal
    ASSERT_EQ(meldungen().size(), 2);
    EXPECT_TRUE(meldungen()[1].contains("passt nicht")) << meldungen()[1].toStdString();
    EXPECT_TRUE(meldungen()[1].contains("SDT")) << meldungen()[1].toStdString();
    EXPECT_EQ(m->DBEdit52->text(), "56,1");

    QTest::mouseClick(m->ToolButton23, Qt::LeftButton);
    const QJsonObject gelesen = acetonGelesen();
    EXPECT_DOUBLE_EQ(gelesen["SMT"].toDouble(), -95.0);
    EXPECT_DOUBLE_EQ(gelesen["SDT"].toDouble(), 56.1);
    EXPECT_DOUBLE_EQ(gelesen["MOLMASSE"].toDouble(), 58.08);
}
