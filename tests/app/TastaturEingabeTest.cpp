// The main window typed into as a keyboard user does: Tab and Shift+Tab from
// field to field on the record page, a letter into a combo box and Tab out,
// digits over a storage cell while a storage filter is on. Every table the
// work touches is read back by python3-dbfread and compared field by field
// with what it held before and what was typed.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QJsonArray>
#include <QJsonObject>
#include <QTabBar>
#include <QTest>
#include <QToolButton>

#include "BedienungTestSupport.h"
#include "FilterTestSupport.h"
#include "MarlexTestSupport.h"
#include "app/NameRules.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Keyboard.h"
#include "search/Filtersetzen.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBRichEdit.h"

using namespace filtertest;
using fixtures::key;
using fixtures::type;
using marlextest::hineinKlicken;

namespace {

QJsonArray zeilenVon(const char* datei)
{
    return fixtures::readWithDbfread(datei).rows;
}

QJsonObject zeileMit(const QJsonArray& zeilen, const QString& feld, const QString& wert)
{
    for (const auto& z : zeilen)
        if (z.toObject().value(feld).toString() == wert)
            return z.toObject();
    return {};
}

// Each field of `nachher` is that of `vorher`, but the fields in `getippt`,
// which hold what was typed.
void vergleichen(const QJsonObject& vorher, const QJsonObject& nachher, const QJsonObject& getippt)
{
    ASSERT_FALSE(nachher.isEmpty()) << "the row is gone";
    EXPECT_EQ(nachher.keys(), vorher.keys());
    for (const QString& feld : nachher.keys()) {
        const QJsonValue erwartet = getippt.contains(feld) ? getippt.value(feld) : vorher.value(feld);
        EXPECT_EQ(nachher.value(feld), erwartet) << feld.toStdString() << ": "
                                                 << nachher.value(feld).toString().toStdString();
    }
}

// No text field of any row holds a tab or a line break.
void ohneSteuerzeichen(const char* datei)
{
    for (const auto& z : zeilenVon(datei)) {
        const QJsonObject zeile = z.toObject();
        for (const QString& feld : zeile.keys()) {
            const QString wert = zeile.value(feld).toString();
            EXPECT_FALSE(wert.contains(u'\t') || wert.contains(u'\n') || wert.contains(u'\r'))
                << datei << " " << feld.toStdString() << ": " << wert.toStdString();
        }
    }
}

class TastaturEingabe : public ::testing::Test {
protected:
    void SetUp() override
    {
        m.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    }

    void klick(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void zeileZeigen(const QString& name)
    {
        marlextest::listenzeileKlicken(m, static_cast<int>(listenzeilen(m).indexOf(name)));
    }
    QWidget* fokus() const { return QApplication::focusWidget(); }
    void seiteKlicken(QWidget* seite)
    {
        QTabBar* reiter = m.PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {}, reiter->tabRect(m.PageControl1->indexOf(seite)).center());
        QApplication::processEvents();
    }

    FilterRegister r;
    TMarlex& m = r.m;
};

} // namespace

TEST_F(TastaturEingabe, TabMovesFromNameToNameAndNoTabReachesTheTables)
{
    const QJsonObject chemieVorher = zeileMit(zeilenVon("chemie.dbf"), "CARN", aceton);
    const QJsonArray namenVorher = zeilenVon("namen.dbf");
    zeileZeigen("Aceton");
    klick(m.ToolButton41);
    ASSERT_EQ(m.EditModus, 1);
    ASSERT_EQ(fokus(), m.DBRichEdit2);

    key(Qt::Key_End);
    type(" rein");
    key(Qt::Key_Tab);
    EXPECT_EQ(fokus(), m.DBRichEdit3);
    type("Dimethylketon");
    key(Qt::Key_Tab);
    EXPECT_NE(fokus(), m.DBRichEdit3);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(fokus(), m.DBRichEdit3);
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(fokus(), m.DBRichEdit2);
    EXPECT_EQ(m.DBRichEdit3->toPlainText(), "Dimethylketon");

    hineinKlicken(m.DBRichEdit1);
    type("C3H6O");
    key(Qt::Key_Return, Qt::ShiftModifier);
    key(Qt::Key_Tab);
    EXPECT_EQ(fokus(), m.DBEdit23) << "the R phrases follow the formula, not " << fokus()->objectName().toStdString();
    EXPECT_EQ(m.DBRichEdit1->toPlainText(), "C3H6O");
    key(Qt::Key_Tab, Qt::ShiftModifier);
    EXPECT_EQ(fokus(), m.DBRichEdit1);
    key(Qt::Key_Tab);
    klick(m.ToolButton41); // edit mode off stores the record
    ASSERT_EQ(m.EditModus, 0);

    vergleichen(chemieVorher, zeileMit(zeilenVon("chemie.dbf"), "CARN", aceton),
                {{"NAME1", "Aceton rein"}, {"NAME2", "Dimethylketon"}, {"FORMEL", "C3H6O"}});
    // The new first name is carried into its name row, and only there.
    const QJsonArray namen = zeilenVon("namen.dbf");
    ASSERT_EQ(namen.size(), namenVorher.size());
    for (qsizetype i = 0; i < namen.size(); ++i) {
        const QJsonObject vorher = namenVorher[i].toObject();
        if (vorher["NAME1"].toString() == "Aceton")
            vergleichen(vorher, namen[i].toObject(),
                        {{"NAME1", "Aceton rein"}, {"STRIPNAME1", StripNameBilden("Aceton rein")}});
        else
            vergleichen(vorher, namen[i].toObject(), {});
    }
    ohneSteuerzeichen("chemie.dbf");
    ohneSteuerzeichen("namen.dbf");
}

TEST_F(TastaturEingabe, ANewSubstanceEnteredFieldByFieldWithTabReachesAllThreeTablesAsTyped)
{
    const QString wasser = QStringLiteral("7732-18-5");
    const QJsonArray namenVorher = zeilenVon("namen.dbf");
    klick(m.ToolButton38);
    ASSERT_EQ(m.EingabeModus, 1);
    ASSERT_EQ(fokus(), m.DBRichEdit2);
    type("Wasser");
    key(Qt::Key_Tab);
    type("Eis");
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBRichEdit4) << "the synonym follows in input mode";
    EXPECT_EQ(m.DBRichEdit4->toPlainText(), "Wasser") << "leaving the name copied it";
    key(Qt::Key_A, Qt::ControlModifier);
    type("Aqua");
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBEdit15);
    type(wasser);
    key(Qt::Key_Tab); // to the EG index: the sub-number is the program's
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBRichEdit1);
    type("H2O");
    key(Qt::Key_Tab);
    klick(m.ToolButton22); // stores the input
    ASSERT_EQ(m.EingabeModus, 0);
    EXPECT_TRUE(r.meldungen().empty());

    const QJsonObject stoff = zeileMit(zeilenVon("chemie.dbf"), "CARN", wasser);
    ASSERT_FALSE(stoff.isEmpty());
    EXPECT_EQ(stoff["NAME1"].toString(), "Wasser");
    EXPECT_EQ(stoff["NAME2"].toString(), "Eis");
    EXPECT_EQ(stoff["FORMEL"].toString(), "H2O");
    EXPECT_EQ(stoff["SUBCARN"].toString(), "6");
    EXPECT_EQ(stoff["FORMEL_BMP"].toString(), "7732-18.BMP");
    const QJsonArray namen = zeilenVon("namen.dbf");
    ASSERT_EQ(namen.size(), namenVorher.size() + 1);
    vergleichen(namen.last().toObject(), zeileMit(namen, "CARN", wasser),
                {{"NAME1", "Aqua"}, {"STRIPNAME1", StripNameBilden("Aqua")}, {"CARN", wasser}, {"SUBCARN", "6"}});
    EXPECT_EQ(zeileMit(zeilenVon("formeln.dbf"), "CARN", wasser)["SUBCARN"].toString(), "6");
    ohneSteuerzeichen("chemie.dbf");
    ohneSteuerzeichen("namen.dbf");
}

TEST_F(TastaturEingabe, ALetterTypedIntoAComboBoxAndLeftWithTabIsStoredAsTyped)
{
    const QJsonObject vorher = zeileMit(zeilenVon("chemie.dbf"), "CARN", ethanol);
    zeileZeigen("Ethanol");
    klick(m.ToolButton41);
    ASSERT_EQ(m.EditModus, 1);

    hineinKlicken(m.DBComboBox1);
    key(Qt::Key_A, Qt::ControlModifier);
    type("T");
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBComboBox2);
    type("F");
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBComboBox3);
    type("X");
    key(Qt::Key_Tab);
    ASSERT_EQ(fokus(), m.DBComboBox18);
    key(Qt::Key_Down); // picks the first item
    key(Qt::Key_Tab);
    hineinKlicken(m.DBComboBox8);
    type("A");
    key(Qt::Key_Tab);
    hineinKlicken(m.DBComboBox15);
    type("sii");
    key(Qt::Key_Tab);
    klick(m.ToolButton41);
    ASSERT_EQ(m.EditModus, 0);

    vergleichen(vorher, zeileMit(zeilenVon("chemie.dbf"), "CARN", ethanol),
                {{"GEFSYM1", "T"},
                 {"GEFSYM1BMP", "T."},
                 {"GEFSYM2", "F"},
                 {"GEFSYM2BMP", "F."},
                 {"GEFSYM3", "X"},
                 {"GEFSYM3BMP", "LEER.BMP"},
                 {"GEFSYM4", "C"},
                 {"GEFSYM4BMP", "C."},
                 {"KREBS", "A"},
                 {"UNTERRICHT", "sii"}});
}

TEST_F(TastaturEingabe, DigitsTypedOverAStorageCellUnderAStorageFilterReplaceItsValue)
{
    imDialog([&] { m.Filter2Click(); },
             [&](TFiltersetzen& d) {
                 tippen(d, "LAGER_ORT='Keller'");
                 setzen(d);
             });
    ASSERT_EQ(m.LagerFilterAktiv, 1);
    m.activateWindow(); // back from the filter dialog
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m));
    const QJsonArray vorher = zeilenVon("lager.dbf");
    seiteKlicken(m.TabSheet3);
    klick(m.ToolButton31);
    ASSERT_EQ(m.LagerEditModus, 1);
    widgets::DBGrid& gitter = *m.DBGrid1;
    ASSERT_EQ(gitter.model()->rowCount(), 2) << "Aceton and Chlor are in the Keller";
    const auto zelle = [&](int zeile, const char* feld) {
        for (int spalte = 0; spalte < gitter.model()->columnCount(); ++spalte)
            if (gitter.columns()[static_cast<std::size_t>(spalte)].fieldName == QLatin1String(feld))
                return gitter.visualRect(gitter.model()->index(zeile, spalte)).center();
        return QPoint();
    };

    // An amount typed, stored by the move down; then typed over.
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(0, "MENGE_IN_G"));
    const QString ersteCarn = Datas->Table3->fieldByName("CARN").asString();
    type("250");
    key(Qt::Key_Return);
    key(Qt::Key_Down);
    key(Qt::Key_Up);
    type("300");
    key(Qt::Key_Return);
    // The supplier with F2, twice: the caret stands at the end of the value.
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(0, "LIEFERANT"));
    key(Qt::Key_F2);
    type("Merck");
    key(Qt::Key_Return);
    key(Qt::Key_F2);
    type(" KGaA");
    key(Qt::Key_Return);
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(0, "ANZAHL"));
    type("4");
    key(Qt::Key_Return);

    // The second row's amount picked from the list.
    QTest::mouseClick(gitter.viewport(), Qt::LeftButton, {}, zelle(1, "MENGE_IN_G"));
    const QString zweiteCarn = Datas->Table3->fieldByName("CARN").asString();
    key(Qt::Key_F2);
    key(Qt::Key_Down, Qt::AltModifier);
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    key(Qt::Key_Down); // from the first item, which the list opens on
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    klick(m.ToolButton31); // edit mode off stores the row
    ASSERT_EQ(m.LagerEditModus, 0);

    const QJsonArray nachher = zeilenVon("lager.dbf");
    ASSERT_EQ(nachher.size(), vorher.size());
    const QString heute = QDate::currentDate().toString(Qt::ISODate);
    for (qsizetype i = 0; i < nachher.size(); ++i) {
        const QJsonObject alt = vorher[i].toObject();
        const QString carn = alt["CARN"].toString();
        if (carn == ersteCarn)
            vergleichen(alt, nachher[i].toObject(),
                        {{"MENGE_IN_G", "300"}, {"LIEFERANT", "Merck KGaA"}, {"ANZAHL", 4},
                         {"DATUM_NEU", heute}, {"DATUM_ALT", heute}}); // the 250 of today before
        else if (carn == zweiteCarn)
            vergleichen(alt, nachher[i].toObject(),
                        {{"MENGE_IN_G", "bis 100g"}, {"DATUM_NEU", heute}, {"DATUM_ALT", QJsonValue()}});
        else
            vergleichen(alt, nachher[i].toObject(), {});
    }
}
