// A sheet printed from the main window, the way a user does it: a click on
// the name list, a click on the print button, "Ja" in the print dialog.

#include <gtest/gtest.h>

#include <ostream>
#include <utility>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "StoffInfoTestSupport.h"
#include "reports/StoffinfoDialoge.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

namespace {

using namespace stoffinfotest;

// What the main window shows of the current substance.
struct Anzeige {
    QRgb struktur = 0; // the structure picture's colour, 0 for none
    QString formel;    // the formula as rich text, its subscripts included
    QString name;
    QString synonym;
    bool operator==(const Anzeige&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Anzeige& a)
{
    return os << "struktur=" << a.struktur << "\nformel=" << a.formel.toStdString() << "\nname=" << a.name.toStdString()
              << "\nsynonym=" << a.synonym.toStdString();
}

Anzeige anzeige(TMarlex& m)
{
    return {farbeVon(m.findChild<widgets::DBImage*>(QStringLiteral("DBImage1"))->picture()),
            m.findChild<widgets::DBRichEdit*>(QStringLiteral("DBRichEdit1"))->toHtml(),
            m.findChild<widgets::DBRichEdit*>(QStringLiteral("DBRichEdit2"))->toHtml(),
            m.findChild<widgets::DBRichEdit*>(QStringLiteral("DBRichEdit4"))->toHtml()};
}

// Clicks a line of the name list where the user sees it.
void zeileAnklicken(TMarlex& m, const QString& text)
{
    auto* liste = m.findChild<widgets::NameList*>(QStringLiteral("ListBox1"));
    ASSERT_NE(liste, nullptr);
    int zeile = 0;
    while (zeile < liste->count() && liste->text(zeile) != text)
        ++zeile;
    ASSERT_LT(zeile, liste->count()) << text.toStdString();
    const QModelIndex index = liste->model()->index(zeile, 0);
    liste->scrollTo(index);
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, liste->visualRect(index).center());
    ASSERT_EQ(liste->itemIndex(), zeile);
}

} // namespace

// The window is not shown afresh after a sheet, so it must still show what
// it showed: for a substance without structure picture none, though the
// structure table stands on another substance's row; the formula with its
// subscripts; every table where it stood, the storage table on no row.
TEST_F(StoffInfoTest, PrintingFromTheMainWindowLeavesWhatItShowsAndEveryTableAsBefore)
{
    dbase::Table& chemie = *Datas->Table2;
    aufZeile(chemie, "CARN", QStringLiteral("7732-18-5"));
    chemie.edit();
    chemie.field(FORMEL).setAsString(QStringLiteral("H2O"));
    chemie.post();
    const QString standard = std::exchange(OptStandardStoffinfo, QStringLiteral("blatt.sto"));
    TMarlex& m = reg.fenster();
    m.show();
    m.DatenlisteEinlesen(); // shows Aceton, with its structure picture
    zeileAnklicken(m, QStringLiteral("Wasser"));
    Datas->Table3->setFilterText(QStringLiteral("LAGER_ORT='nirgends'")); // a storage filter that hides all
    Datas->Table3->setFiltered(true);
    ASSERT_TRUE(Datas->Table3->isEmpty());
    ASSERT_NE(Datas->Table6->recNo(), 0u);

    const auto tabellenVorher = tabellenstand();
    const Anzeige vorher = anzeige(m);
    ASSERT_EQ(vorher.struktur, 0u);
    ASSERT_TRUE(vorher.formel.contains(QStringLiteral("<span style=\" font-size:"))) << "the 2 of H2O is small";

    // The print dialog's "Ja", clicked once it is open.
    QTimer dialog;
    QObject::connect(&dialog, &QTimer::timeout, [&dialog] {
        if (auto* druck = qobject_cast<TStoffinfoDruck*>(QApplication::activeModalWidget())) {
            dialog.stop();
            QTest::mouseClick(druck->Button1, Qt::LeftButton);
        }
    });
    dialog.start(0);
    QTest::mouseClick(m.findChild<QToolButton*>(QStringLiteral("ToolButton58")), Qt::LeftButton);
    QApplication::processEvents();
    OptStandardStoffinfo = standard;

    ASSERT_EQ(auftraege.size(), 1u);
    EXPECT_TRUE(texte(auftraege[0]).contains(QStringLiteral("Wasser dest.")));
    EXPECT_TRUE(bilder(auftraege[0]).empty()) << "no structure picture on the sheet either";
    EXPECT_EQ(anzeige(m), vorher);
    EXPECT_EQ(tabellenstand(), tabellenVorher);
    EXPECT_TRUE(meldungstexte().isEmpty()) << meldungstexte().join('\n').toStdString();
}
