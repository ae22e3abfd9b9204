// Setting the stock items' fields in one run, through the storage page's
// menu and the dialog as a user does it, on the demo register; lager.dbf is
// read back by dbfread.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Modal.h"
#include "labels/EtikettFestlegen.h"
#include "labels/EtikettenDruck.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "search/Filterverwaltung.h"
#include "sheets/SheetSession.h"

namespace {

// Fails every write into one record of lager.dbf, as a disk error there
// would, once armed with that record's byte range.
struct Schreibfehler {
    std::uint64_t von = 0;
    std::uint64_t bis = 0; // empty range: nothing fails
    int syncs = 0;         // how often lager.dbf was synced
};

class LagerIo final : public dbftest::ForwardingFileIo {
public:
    explicit LagerIo(std::shared_ptr<Schreibfehler> fehler) : m_fehler(std::move(fehler)) {}

    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        const bool lager = QString::fromStdString(m_path.filename().string()).compare(u"lager.dbf"_qs,
                                                                                        Qt::CaseInsensitive)
            == 0;
        if (lager && offset < m_fehler->bis && offset + size > m_fehler->von)
            throw dbase::DbaseError("Die Datei \"lager.dbf\" kann nicht geschrieben werden: Datenträger voll");
        ForwardingFileIo::writeAt(offset, data, size);
    }
    void sync() override
    {
        if (QString::fromStdString(m_path.filename().string()).compare(u"lager.dbf"_qs, Qt::CaseInsensitive) == 0)
            ++m_fehler->syncs;
        ForwardingFileIo::sync();
    }

private:
    std::shared_ptr<Schreibfehler> m_fehler;
};

using Zeilen = std::map<int, QJsonObject>; // lager.dbf's rows by record number (1 = first)

Zeilen lagerLesen()
{
    const fixtures::DbfreadTable tabelle = fixtures::readWithDbfread("lager.dbf");
    EXPECT_EQ(tabelle.deletedCount, 0);
    Zeilen zeilen;
    for (qsizetype i = 0; i < tabelle.rows.size(); ++i)
        zeilen[static_cast<int>(i) + 1] = tabelle.rows[i].toObject();
    return zeilen;
}

class Festlegen : public ::testing::Test {
protected:
    Festlegen()
    {
        Marlex->show();
        QTabBar* reiter = Marlex->PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {},
                          reiter->tabRect(Marlex->PageControl1->indexOf(Marlex->TabSheet3)).center());
        QApplication::processEvents();
    }
    ~Festlegen() override { OptLieferant.clear(); }

    dbase::Table& lager() { return *Datas->Table3; }

    // The record numbers of the storage view in its order.
    std::vector<int> ansicht()
    {
        std::vector<int> saetze;
        for (lager().first(); !lager().eof(); lager().next())
            saetze.push_back(static_cast<int>(lager().recNo()));
        lager().first();
        return saetze;
    }

    // Opens the dialog from the storage page's menu and lets `bedienen` work
    // it while it is shown.
    void festlegen(const std::function<void(TEtikettFestlegen&)>& bedienen)
    {
        fixtures::imDialogVon<TEtikettFestlegen>(
            [] {
                QMenuBar* leiste = Marlex->menuBar();
                QTest::mouseClick(leiste, Qt::LeftButton, {}, leiste->actionGeometry(Marlex->Daten3).center());
                QMenu* menue = Marlex->Daten3->menu();
                ASSERT_TRUE(menue->isVisible());
                ASSERT_TRUE(Marlex->Etikettfestlegen1->isEnabled());
                QTest::mouseClick(menue, Qt::LeftButton, {}, menue->actionGeometry(Marlex->Etikettfestlegen1).center());
            },
            bedienen);
        EXPECT_FALSE(ListeEinlesen->isVisible()) << "the progress window is left open";
    }
    // Clicks OK; the dialog closes when every item was set.
    static void ok(TEtikettFestlegen& d)
    {
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    }

    static void ankreuzen(QCheckBox* setzen, QWidget* eingabe)
    {
        EXPECT_FALSE(eingabe->isEnabled());
        QTest::mouseClick(setzen, Qt::LeftButton, {}, QPoint(6, setzen->height() / 2));
        EXPECT_TRUE(eingabe->isEnabled());
    }
    static void tippen(QWidget* eingabe, const QString& text)
    {
        QTest::keyClick(eingabe, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(eingabe, Qt::Key_Delete);
        QTest::keyClicks(eingabe, text);
    }

    std::shared_ptr<Schreibfehler> fehler = std::make_shared<Schreibfehler>();
    dbftest::ScopedFileIo io{[f = fehler] { return std::make_unique<LagerIo>(f); }};
    sheets::SheetSession session;
};

TEST_F(Festlegen, AStorageFilterOnTheWrittenFieldSetsEveryItemOfItsViewOnceAndNoOther)
{
    OptLieferant = u"Voreingestellt"_qs;
    LagerFilterSetzen(dbase::Filter::parse(u"ANZAHL>0"_qs));
    const std::vector<int> gefiltert = ansicht();
    const Zeilen vorher = lagerLesen();
    ASSERT_GE(gefiltert.size(), 2u) << "the demo register has marked items";
    ASSERT_GT(vorher.size(), gefiltert.size()) << "and unmarked ones";

    festlegen([&](TEtikettFestlegen& d) {
        EXPECT_EQ(d.Edit4->text(), u"Voreingestellt"_qs);
        EXPECT_EQ(d.SpinEdit1->value(), 1);
        ankreuzen(d.CheckBox2, d.SpinEdit1);
        tippen(d.SpinEdit1, u"0"_qs);
        ankreuzen(d.CheckBox1, d.Edit1);
        tippen(d.Edit1, u"Keller, Schrank 4"_qs);
        ok(d);
    });

    const Zeilen nachher = lagerLesen();
    ASSERT_EQ(nachher.size(), vorher.size()) << "no item added";
    for (const auto& [satz, zeile] : nachher) {
        const bool inAnsicht = std::find(gefiltert.begin(), gefiltert.end(), satz) != gefiltert.end();
        if (inAnsicht) {
            QJsonObject erwartet = vorher.at(satz);
            erwartet[u"ANZAHL"_qs] = 0;
            erwartet[u"LAGER_ORT"_qs] = u"Keller, Schrank 4"_qs;
            EXPECT_EQ(zeile, erwartet) << "item " << satz;
        } else {
            EXPECT_EQ(zeile, vorher.at(satz)) << "item " << satz << " is outside the filter";
        }
    }
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Festlegen, ARefusedItemIsLeftAsItWasAndTheMessageSaysHowManyWereSet)
{
    const std::vector<int> saetze = ansicht();
    const Zeilen vorher = lagerLesen();
    ASSERT_EQ(saetze.size(), vorher.size());
    ASSERT_GT(saetze.size(), 3u);
    {
        // The third item of the view cannot be written.
        QFile datei(u"lager.dbf"_qs);
        ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
        const QByteArray kopf = datei.read(12);
        const auto wort = [&](int i) { return static_cast<std::uint8_t>(kopf[i]) | static_cast<std::uint8_t>(kopf[i + 1]) << 8; };
        fehler->von = wort(8) + static_cast<std::uint64_t>(saetze[2] - 1) * wort(10);
        fehler->bis = fehler->von + wort(10);
    }

    festlegen([&](TEtikettFestlegen& d) {
        ankreuzen(d.CheckBox5, d.Edit4);
        tippen(d.Edit4, u"Neuer Lieferant"_qs);
        QTest::mouseClick(d.Button1, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible()) << "the dialog stays for another try";
        EXPECT_FALSE(ListeEinlesen->isVisible());
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    });

    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen[0].contains(u"2 von %1 Lagerdatensätzen wurden gesetzt"_qs.arg(saetze.size())))
        << meldungen[0].toStdString();
    EXPECT_TRUE(meldungen[0].contains(u"Datenträger voll"_qs)) << meldungen[0].toStdString();

    fehler->bis = 0;
    EXPECT_NE(lager().state(), dbase::TableState::Edit) << "the refused item is not left in edit mode";
    lager().first(); // a pending change would be written now
    const Zeilen nachher = lagerLesen();
    ASSERT_EQ(nachher.size(), vorher.size());
    for (std::size_t i = 0; i < saetze.size(); ++i) {
        QJsonObject erwartet = vorher.at(saetze[i]);
        if (i < 2)
            erwartet[u"LIEFERANT"_qs] = u"Neuer Lieferant"_qs;
        EXPECT_EQ(nachher.at(saetze[i]), erwartet) << "item " << i << " of the view";
    }
}

TEST_F(Festlegen, AnEmptyViewWritesNothingAndCancelKeepsEverything)
{
    const Zeilen vorher = lagerLesen();
    festlegen([&](TEtikettFestlegen& d) {
        ankreuzen(d.CheckBox2, d.SpinEdit1);
        QTest::mouseClick(d.Button2, Qt::LeftButton);
    });
    EXPECT_EQ(lagerLesen(), vorher);

    LagerFilterSetzen(dbase::Filter::parse(u"ANZAHL>50"_qs));
    ASSERT_TRUE(ansicht().empty());
    festlegen([&](TEtikettFestlegen& d) {
        ankreuzen(d.CheckBox6, d.Edit5);
        ok(d);
    });
    EXPECT_EQ(lagerLesen(), vorher);
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Festlegen, ARunOverEveryItemSyncsTheStorageTableOnceNotOnceAnItem)
{
    // On a register of thousands of stock items a sync per item kept the
    // user waiting for many seconds; both runs over every item are synced
    // once at their end, and every item is written all the same.
    const std::vector<int> saetze = ansicht();
    ASSERT_GT(saetze.size(), 5u);
    fehler->syncs = 0;
    festlegen([&](TEtikettFestlegen& d) {
        ankreuzen(d.CheckBox2, d.SpinEdit1);
        ok(d);
    });
    EXPECT_GE(fehler->syncs, 1) << "what was set is synced";
    EXPECT_LE(fehler->syncs, 2) << "not once for each of " << saetze.size() << " items";
    for (const auto& [satz, zeile] : lagerLesen())
        EXPECT_EQ(zeile.value(u"ANZAHL"_qs).toInt(), 1) << "item " << satz;

    // The print of all marked items sets their counts back to 0 the same way.
    const QTemporaryDir ausgabe;
    Marlex->DruckDatei = ausgabe.filePath(u"etiketten.pdf"_qs);
    OptEtikettAnzahlLoeschen = true;
    fehler->syncs = 0;
    fixtures::ModalAntworten antworten({fixtures::als<TEtikettenDruck>(
        [](TEtikettenDruck& d) { QTest::mouseClick(d.Button1, Qt::LeftButton); })});
    QTest::mouseClick(Marlex->ToolButton37, Qt::LeftButton);
    EXPECT_TRUE(QFile::exists(Marlex->DruckDatei));
    EXPECT_GE(fehler->syncs, 1);
    EXPECT_LE(fehler->syncs, 2) << "not once for each of " << saetze.size() << " items";
    for (const auto& [satz, zeile] : lagerLesen())
        EXPECT_EQ(zeile.value(u"ANZAHL"_qs).toInt(), 0) << "item " << satz;
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Festlegen, EveryItemGetsTheTextTheDialogShowsNothingCutOffUnseen)
{
    // A supplier from the settings and a storage place typed longer than
    // their fields hold.
    OptLieferant = u"Chemikalien- und Laborbedarfsgroßhandel Weber & Söhne GmbH"_qs;
    const QString ort = u"Giftschrank im Vorbereitungsraum der Chemie, unteres Fach links"_qs;
    QString gezeigterOrt;
    QString gezeigterLieferant;
    festlegen([&](TEtikettFestlegen& d) {
        ankreuzen(d.CheckBox1, d.Edit1);
        tippen(d.Edit1, ort);
        ankreuzen(d.CheckBox5, d.Edit4);
        gezeigterOrt = d.Edit1->text();
        gezeigterLieferant = d.Edit4->text();
        ok(d);
    });
    EXPECT_TRUE(ort.startsWith(gezeigterOrt));
    EXPECT_TRUE(OptLieferant.startsWith(gezeigterLieferant));
    // dBASE fills a text field with blanks; those at its end are no text.
    const auto ohneEndblanks = [](QString text) {
        while (text.endsWith(u' '))
            text.chop(1);
        return text.toStdString();
    };
    const Zeilen nachher = lagerLesen();
    ASSERT_FALSE(nachher.empty());
    for (const auto& [satz, zeile] : nachher) {
        EXPECT_EQ(zeile.value(u"LAGER_ORT"_qs).toString().toStdString(), ohneEndblanks(gezeigterOrt)) << "item " << satz;
        EXPECT_EQ(zeile.value(u"LIEFERANT"_qs).toString().toStdString(), ohneEndblanks(gezeigterLieferant))
            << "item " << satz;
    }
}

} // namespace
