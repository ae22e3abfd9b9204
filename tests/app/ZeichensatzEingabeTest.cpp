// Text the tables' code page cannot hold, typed where a user types it: on
// the record page, in a storage grid cell and in "Datensätze festlegen". It
// is refused with a message naming the characters, and what the tables
// held stays; nothing is stored as "?". Read back by dbfread.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Modal.h"
#include "app/SymbolBild.h"
#include "labels/EtikettFestlegen.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"

using namespace marlextest;

namespace {

const QString aceton = QStringLiteral("67-64-1");
const QString benzol = QStringLiteral("71-43-2");

// Types as a German keyboard sends it: characters beyond ASCII come as text.
void tippen(QWidget* feld, const QString& text)
{
    for (const QChar zeichen : text) {
        if (zeichen.unicode() < 0x80)
            QTest::keyClick(feld, zeichen.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, feld, Qt::Key_unknown, QString(zeichen), Qt::NoModifier);
    }
}

QJsonObject einzigeZeile(const char* datei, const QString& carn)
{
    for (const QJsonValue& zeile : fixtures::readWithDbfread(datei).rows)
        if (zeile.toObject().value("CARN").toString() == carn)
            return zeile.toObject();
    return {};
}

QString meldungstext(const Register& r, std::size_t i)
{
    return i < r.meldungen().size() ? r.meldungen()[i].text : QString();
}

} // namespace

TEST(Zeichensatz, TheRecordPageRefusesCharactersChemieDbfCannotHoldAndKeepsTheRest)
{
    Register r;
    TMarlex& m = r.startenMit({{aceton, "1", {{NAME1, "Aceton"}, {NAME2, "Propanon"}, {R_SATZ, "11"}}}});
    m.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    QTest::mouseClick(m.ToolButton41, Qt::LeftButton);
    ASSERT_EQ(m.EditModus, 1);

    // The second name typed over, beginning with a "≥", left by a click on
    // the R phrases.
    QTest::mouseClick(m.DBRichEdit3->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    QTest::keyClick(m.DBRichEdit3, Qt::Key_A, Qt::ControlModifier);
    tippen(m.DBRichEdit3, QStringLiteral("≥ 30 % Lösung"));
    QTest::mouseClick(m.DBEdit23, Qt::LeftButton);
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_TRUE(meldungstext(r, 0).contains(QStringLiteral("„≥“"))) << meldungstext(r, 0).toStdString();
    EXPECT_TRUE(meldungstext(r, 0).contains("NAME2")) << meldungstext(r, 0).toStdString();
    EXPECT_FALSE(meldungstext(r, 0).contains(QStringLiteral("„ö“"))) << "the code page holds umlauts";
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Aceton");
    EXPECT_EQ(m.DBRichEdit3->toPlainText(), "Propanon") << "the stored name again";

    // A text the table can hold goes in; the edit mode's end stores it.
    QTest::mouseClick(m.DBEdit23, Qt::LeftButton);
    QTest::keyClick(m.DBEdit23, Qt::Key_End);
    tippen(m.DBEdit23, "-36");
    QTest::mouseClick(m.DBEdit25, Qt::LeftButton);
    tippen(m.DBEdit25, QStringLiteral("Ø 2 µm"));
    QTest::mouseClick(m.ToolButton23, Qt::LeftButton);
    ASSERT_EQ(m.EditModus, 0);
    EXPECT_EQ(r.meldungen().size(), 1u);

    const QJsonObject stoff = einzigeZeile("chemie.dbf", aceton);
    EXPECT_EQ(stoff["NAME1"].toString(), "Aceton");
    EXPECT_EQ(stoff["NAME2"].toString(), "Propanon");
    EXPECT_EQ(stoff["R_SATZ"].toString(), "11-36");
    EXPECT_EQ(stoff["MERCK_NR"].toString(), QStringLiteral("Ø 2 µm"));
}

TEST(Zeichensatz, AStorageCellAndDatensaetzeFestlegenRefuseWhatLagerDbfCannotHold)
{
    Register r;
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{"Aceton", aceton}, {"Benzol", benzol}});
    chemieSchreiben({{aceton, "1", {{NAME1, "Aceton"}}}, {benzol, "1", {{NAME1, "Benzol"}}}});
    lagerzeilenSchreiben({{aceton, "1", "Keller"}, {benzol, "1", "Keller"}});
    formelnSchreiben({});
    TMarlex& m = r.starten();
    m.DatenlisteEinlesen();
    m.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m));
    QTest::mouseDClick(m.Image11, Qt::LeftButton);
    QApplication::processEvents();
    ASSERT_EQ(m.PageControl1->currentWidget(), m.TabSheet3);

    // A place typed into the grid with a character the table lacks.
    QTest::mouseClick(m.ToolButton31, Qt::LeftButton);
    widgets::DBGrid& gitter = *m.DBGrid1;
    constexpr int spalteOrt = 6;
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {},
                      gitter.visualRect(gitter.model()->index(0, spalteOrt)).center());
    QTest::keyClick(&gitter, Qt::Key_F2);
    auto* ort = qobject_cast<QLineEdit*>(gitter.indexWidget(gitter.currentIndex()));
    ASSERT_NE(ort, nullptr);
    ort->selectAll();
    tippen(ort, QStringLiteral("Raum ≠ Keller"));
    QTest::keyClick(ort, Qt::Key_Return);
    QTest::mouseClick(m.ToolButton31, Qt::LeftButton);
    ASSERT_EQ(r.meldungen().size(), 1u);
    EXPECT_TRUE(meldungstext(r, 0).contains(QStringLiteral("„≠“"))) << meldungstext(r, 0).toStdString();
    EXPECT_EQ(einzigeZeile("lager.dbf", aceton)["LAGER_ORT"].toString(), "Keller");

    // The bulk setting: refused before any item is set, the dialog stays
    // for the correction, which then sets every item.
    fixtures::imDialogVon<TEtikettFestlegen>(
        [&] {
            QMenuBar* leiste = m.menuBar();
            QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->actionGeometry(m.Daten3).center());
            QMenu* menue = m.Daten3->menu();
            ASSERT_TRUE(menue->isVisible());
            QTest::mouseClick(menue, Qt::LeftButton, {}, menue->actionGeometry(m.Etikettfestlegen1).center());
        },
        [&](TEtikettFestlegen& d) {
            QTest::mouseClick(d.CheckBox1, Qt::LeftButton, {}, QPoint(4, d.CheckBox1->height() / 2));
            ASSERT_TRUE(d.Edit1->isEnabled());
            QTest::mouseClick(d.Edit1, Qt::LeftButton);
            tippen(d.Edit1, QStringLiteral("Schrank №2"));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            EXPECT_TRUE(d.isVisible());
            ASSERT_EQ(r.meldungen().size(), 2u);
            EXPECT_TRUE(meldungstext(r, 1).contains(QStringLiteral("„№“"))) << meldungstext(r, 1).toStdString();
            EXPECT_TRUE(meldungstext(r, 1).contains("LAGER_ORT")) << meldungstext(r, 1).toStdString();
            EXPECT_EQ(d.focusWidget(), d.Edit1);
            for (const char* carn : {"67-64-1", "71-43-2"})
                EXPECT_EQ(einzigeZeile("lager.dbf", carn)["LAGER_ORT"].toString(), "Keller") << carn;

            QTest::keyClick(d.Edit1, Qt::Key_Backspace);
            QTest::keyClick(d.Edit1, Qt::Key_Backspace);
            tippen(d.Edit1, QStringLiteral("Nr. 2"));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            EXPECT_FALSE(d.isVisible());
        });
    EXPECT_EQ(r.meldungen().size(), 2u);
    for (const char* carn : {"67-64-1", "71-43-2"})
        EXPECT_EQ(einzigeZeile("lager.dbf", carn)["LAGER_ORT"].toString(), "Schrank Nr. 2") << carn;
}
