#include "UebernahmeFixture.h"

#include <QDate>
#include <QFileInfo>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>

#include "app/NameRules.h"
#include "data/Datas.h"
#include "fixtures/Modal.h"
#include "update/Datenuebernahme.h"
#include "update/Verzeichnisliste.h"
#include "update/VerzeichnisWahl.h"

using namespace uebernahmetest;

namespace {

void klick(QWidget* knopf)
{
    ASSERT_TRUE(knopf->isEnabled()) << knopf->objectName().toStdString();
    QTest::mouseClick(knopf, Qt::LeftButton);
}

// Clicks a radio button on its round box, as a user does.
void waehlen(QRadioButton* knopf)
{
    QTest::mouseClick(knopf, Qt::LeftButton, {}, QPoint(knopf->height() / 2, knopf->height() / 2));
    ASSERT_TRUE(knopf->isChecked()) << knopf->text().toStdString();
}

// Double-clicks the entry of the chooser's list that shows `name`.
void doppelklick(Verzeichnisliste& liste, const QString& name)
{
    const QList<QTreeWidgetItem*> treffer = liste.findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(treffer.size(), 1) << name.toStdString();
    liste.scrollToItem(treffer.front());
    const QPoint mitte = liste.visualItemRect(treffer.front()).center();
    QTest::mouseDClick(liste.viewport(), Qt::LeftButton, {}, mitte);
}

QStringList feld(const QJsonArray& zeilen, const char* name)
{
    QStringList werte;
    for (const QJsonValue& z : zeilen)
        werte << z.toObject().value(QLatin1String(name)).toVariant().toString();
    return werte;
}

QJsonArray mit(const QJsonArray& zeilen, const char* name, const QString& wert)
{
    QJsonArray treffer;
    for (const QJsonValue& z : zeilen)
        if (z.toObject().value(QLatin1String(name)).toVariant().toString() == wert)
            treffer.append(z);
    return treffer;
}

} // namespace

// The user chooses the earlier installation's folder in the chooser, going
// up from the register's folder, and takes its Marlex 1.x stock over: every
// old stock item arrives with the name row's name and key, two bottles of
// one substance stay two items, and the old folder is only read.
TEST_F(ErsterStart, TakesOverEveryOldStockItemFromTheFolderChosenInTheChooser)
{
    const auto vorher = pruefsummen(alt);
    const qsizetype alteSaetze = qsizetype(demodaten().stock.size()) + 1;

    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        EXPECT_EQ(d.windowTitle(), u"Datenübernahme"_qs);
        EXPECT_TRUE(d.RadioItem0->isChecked());
        EXPECT_FALSE(d.Button2->isEnabled()) << "nothing to take over from yet";
        EXPECT_EQ(optionImFile(u"First"_qs), u"1"_qs) << "cleared only once the dialog has run";

        fixtures::imDialogVon<TVerzeichnisWahl>([&] { klick(d.Button1); }, [&](TVerzeichnisWahl& w) {
            EXPECT_EQ(w.windowTitle(), u"Verzeichniswahl"_qs);
            // Up to the folder above, then down into the old installation.
            doppelklick(*w.DirectoryListBox1, QDir(QFileInfo(register_).path()).dirName());
            doppelklick(*w.DirectoryListBox1, QDir(register_).dirName());
            doppelklick(*w.DirectoryListBox1, u"Altbestand"_qs);
            klick(w.Button1);
        });
        EXPECT_EQ(QDir(d.Edit1->text()).canonicalPath(), QDir(alt).canonicalPath());
        EXPECT_EQ(QDir::currentPath(), register_) << "the chooser leaves the current directory alone";
        klick(d.Button2);
        EXPECT_FALSE(d.isVisible()) << "a takeover that went through closes the dialog";
    });

    ASSERT_TRUE(programm && programm->gestartet());
    EXPECT_EQ(optionImFile(u"First"_qs), u"0"_qs);
    ASSERT_EQ(meldungen.size(), 1u);
    EXPECT_EQ(meldungen[0].text, u"Es wurden %1 Lagerdatensätze übernommen."_qs.arg(alteSaetze));

    const QJsonArray zeilen = lagerZeilen();
    ASSERT_EQ(zeilen.size(), lagerVorher + alteSaetze);
    const QJsonArray uebernommen = mit(zeilen, "DATUM_ALT", u"1998-10-05"_qs);
    ASSERT_EQ(uebernommen.size(), alteSaetze);
    for (const demo::StockItem& item : demodaten().stock) {
        const QString name = demodaten().find(item.carn, item.subcarn)->name();
        const QJsonArray vom = mit(mit(uebernommen, "CARN", item.carn), "SUBCARN", item.subcarn);
        ASSERT_FALSE(vom.isEmpty()) << name.toStdString();
        const QJsonObject satz = vom[0].toObject();
        EXPECT_EQ(satz["NAME1"].toString(), name);
        EXPECT_FALSE(satz["STRIPNAME1"].toString().isEmpty());
        EXPECT_EQ(satz["DATUM_NEU"].toString(), u"1999-02-11"_qs);
        EXPECT_EQ(satz["LIEFERANT"].toString(), item.lieferant);
        EXPECT_EQ(satz["ANZAHL"].toInt(), item.anzahl);
    }
    const demo::StockItem& erster = demodaten().stock.front();
    const QJsonArray zweiFlaschen = mit(mit(uebernommen, "CARN", erster.carn), "SUBCARN", erster.subcarn);
    EXPECT_EQ(feld(zweiFlaschen, "LAGER_ORT"), QStringList({erster.lagerOrt, u"Vorbereitungsraum"_qs}));

    EXPECT_EQ(pruefsummen(alt), vorher) << "the earlier installation's folder is only read";
    EXPECT_EQ(Marlex->Label48->text(), QString::number(zeilen.size())) << "the start opened the new storage table";
}

// The folder typed by hand, the Zan 3.0 version: each substance marked in
// stock becomes one stock item of its name row, with the old supplier and
// place, today's dates and one label.
TEST_F(ErsterStart, TakesOverTheSubstancesMarkedInStockOfZanFromATypedFolder)
{
    const auto vorher = pruefsummen(alt);
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        waehlen(d.RadioItem1);
        QTest::keyClicks(d.Edit1, QDir::toNativeSeparators(alt));
        klick(d.Button2);
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_TRUE(programm && programm->gestartet());
    ASSERT_EQ(meldungen.size(), 1u);
    EXPECT_EQ(meldungen[0].text, u"Es wurden %1 Lagerdatensätze übernommen."_qs.arg(demodaten().stock.size()));

    const QJsonArray neu = mit(lagerZeilen(), "FREI1", u"aus Zan 3.0"_qs);
    ASSERT_EQ(neu.size(), qsizetype(demodaten().stock.size()));
    const QString heute = QDate::currentDate().toString(Qt::ISODate);
    for (const demo::StockItem& item : demodaten().stock) {
        const QJsonArray vom = mit(mit(neu, "CARN", item.carn), "SUBCARN", item.subcarn);
        ASSERT_EQ(vom.size(), 1) << item.carn.toStdString();
        const QJsonObject satz = vom[0].toObject();
        EXPECT_EQ(satz["NAME1"].toString(), demodaten().find(item.carn, item.subcarn)->name());
        EXPECT_EQ(satz["LAGER_ORT"].toString(), item.lagerOrt);
        EXPECT_EQ(satz["LIEFERANT"].toString(), item.lieferant);
        EXPECT_EQ(satz["DATUM_ALT"].toString(), heute);
        EXPECT_EQ(satz["DATUM_NEU"].toString(), heute);
        EXPECT_EQ(satz["ANZAHL"].toInt(), 1);
    }
    EXPECT_EQ(pruefsummen(alt), vorher);
}

// A takeover that cannot be done writes nothing, says why and leaves the
// dialog open: the register's own folder, a folder without the old table,
// an old record lager.dbf cannot hold. Going on with "Weiter" then starts
// without a takeover and the offer is not made again.
TEST_F(ErsterStart, AFailedTakeoverWritesNothingAndKeepsTheDialogOpenForAnotherTry)
{
    // An old table whose label count is no number.
    const QString kaputt = register_ + u"/kaputt"_qs;
    ASSERT_TRUE(QDir().mkpath(kaputt));
    {
        dbase::Table t;
        t.setTableName(kaputt + u"/lager.dbf"_qs);
        std::vector<dbase::FieldDef> felder;
        for (int i = 0; i < 15; ++i)
            felder.push_back({"F" + std::to_string(i), dbase::FieldType::Character, 20});
        t.createTable(dbase::TableLayout(felder));
        t.open();
        for (const demo::StockItem& item : demodaten().stock) {
            t.append();
            t.field(0).setAsString(demodaten().find(item.carn, item.subcarn)->name());
            t.field(1).setAsString(item.carn);
            t.field(14).setAsString(item.anzahl == 0 ? u"viele"_qs : u"1"_qs);
            t.post();
        }
        t.close();
        ASSERT_TRUE(QFile::rename(kaputt + u"/lager.dbf"_qs, kaputt + u"/lager.mx1"_qs));
    }
    const QByteArray lagerVorherBytes = inhalt(u"lager.dbf"_qs);
    const auto kaputtVorher = pruefsummen(kaputt);

    const auto versuchen = [&](TDatenuebernahme& d, const QString& ordner) {
        d.Edit1->clear();
        QTest::keyClicks(d.Edit1, ordner);
        meldungen.clear();
        klick(d.Button2);
        EXPECT_TRUE(d.isVisible()) << ordner.toStdString();
        EXPECT_TRUE(d.Button2->isEnabled() && d.Button3->isEnabled()) << "ready for another try";
        EXPECT_EQ(inhalt(u"lager.dbf"_qs), lagerVorherBytes) << ordner.toStdString();
        return meldungen.size() == 1 ? meldungen[0].text : QString();
    };
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        EXPECT_TRUE(versuchen(d, register_).contains(u"gehört zu diesem Marlex99"_qs));
        EXPECT_TRUE(versuchen(d, prog).contains(u"gehört zu diesem Marlex99"_qs));
        EXPECT_TRUE(versuchen(d, register_ + u"/prog/Symbol"_qs).contains(u"keine Datei LAGER.MX1"_qs));
        EXPECT_TRUE(versuchen(d, register_ + u"/gibtsnicht"_qs).contains(u"gibt es nicht"_qs));
        EXPECT_TRUE(versuchen(d, kaputt).contains(u"\"viele\" ist keine Zahl"_qs));
        waehlen(d.RadioItem1);
        const QString ohneZan = versuchen(d, kaputt);
        EXPECT_TRUE(ohneZan.contains(u"keine Datei CHEMIE.ZAN"_qs)) << ohneZan.toStdString();
        klick(d.Button3);
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_TRUE(programm && programm->gestartet());
    EXPECT_EQ(lagerZeilen().size(), lagerVorher);
    EXPECT_EQ(pruefsummen(kaputt), kaputtVorher);
    EXPECT_EQ(optionImFile(u"First"_qs), u"0"_qs) << "declined: not offered again";
}

// The batch run of Marlex 1.x (option WIN98 off) takes every old record as
// it is, also one whose name the register does not know, which the
// record-by-record run passes over and counts.
TEST_F(ErsterStart, TheRecordRunPassesOverUnknownNamesAndTheBatchRunTakesThemAsTheyAre)
{
    const QString fremd = register_ + u"/fremd"_qs;
    demo::DemoData daten = demodaten();
    ASSERT_FALSE(daten.substances.empty());
    demo::Substance unbekannt = daten.substances.front();
    unbekannt.fields[u"NAME1"_qs] = u"2'-Unbekannt*"_qs;
    unbekannt.fields[u"CARN"_qs] = u"999-99-9"_qs;
    daten.substances.push_back(unbekannt);
    demo::StockItem item = daten.stock.front();
    item.carn = unbekannt.carn();
    item.subcarn = unbekannt.subcarn();
    daten.stock = {item};
    demo::writeEarlierVersion(daten, QDir(fremd));
    // The old installation: this substance's item and a second bottle of it.
    for (const bool einzeln : {true, false}) {
        SCOPED_TRACE(einzeln ? "record by record" : "batch");
        option(u"WIN98"_qs, einzeln ? u"1"_qs : u"0"_qs);
        option(u"First"_qs, u"1"_qs);
        const qsizetype vorher = lagerZeilen().size();
        fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
            QTest::keyClicks(d.Edit1, fremd);
            klick(d.Button2);
        });
        ASSERT_TRUE(programm && programm->gestartet());
        programm.reset();
        const QJsonArray zeilen = lagerZeilen();
        if (einzeln) {
            EXPECT_EQ(zeilen.size(), vorher);
            ASSERT_FALSE(meldungen.empty());
            EXPECT_TRUE(meldungen.back().text.contains(u"2 Lagerdatensätze der früheren Version wurden übergangen"_qs))
                << meldungen.back().text.toStdString();
        } else {
            const QJsonArray neu = mit(zeilen, "NAME1", u"2'-Unbekannt*"_qs);
            EXPECT_EQ(neu.size(), 2);
            EXPECT_EQ(zeilen.size(), vorher + 2);
            for (const QJsonValue& z : neu)
                EXPECT_EQ(z.toObject()["STRIPNAME1"].toString(), StripNameBilden(u"2'-Unbekannt*"_qs));
        }
    }
}

// An old table whose header is damaged (a field name of escape and bell
// bytes, a type byte that is no letter) is refused with a message that
// shows those bytes escaped: nothing of the file reaches the screen raw.
TEST_F(ErsterStart, ADamagedOldTableIsToldWithItsBytesEscaped)
{
    const QString kaputt = register_ + u"/zankaputt"_qs;
    ASSERT_TRUE(QDir().mkpath(kaputt));
    {
        dbase::Table t;
        t.setTableName(kaputt + u"/chemie.dbf"_qs);
        t.createTable(dbase::TableLayout({{"NAME1", dbase::FieldType::Character, 20},
                                          {"MARKER", dbase::FieldType::Character, 1}}));
    }
    QFile datei(kaputt + u"/chemie.dbf"_qs);
    ASSERT_TRUE(datei.open(QIODevice::ReadWrite));
    datei.seek(32); // the first field's descriptor: name, then type
    datei.write(QByteArray("\x1B[2J\x07\xFFN", 7));
    datei.seek(32 + 11);
    datei.write(QByteArray("\x01", 1));
    datei.close();
    ASSERT_TRUE(QFile::rename(kaputt + u"/chemie.dbf"_qs, kaputt + u"/CHEMIE.ZAN"_qs));

    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        waehlen(d.RadioItem1);
        QTest::keyClicks(d.Edit1, QDir::toNativeSeparators(kaputt));
        meldungen.clear();
        klick(d.Button2);
        ASSERT_EQ(meldungen.size(), 1u);
        const QString text = meldungen[0].text;
        EXPECT_TRUE(text.contains(u"\\x1B[2J\\x07\\xFFN"_qs)) << text.toStdString();
        EXPECT_TRUE(text.contains(u"'\\x01'"_qs)) << text.toStdString();
        for (const QChar c : text)
            EXPECT_TRUE(c == u'\n' || (c.isPrint() && c != QChar::ReplacementCharacter))
                << "U+" << std::hex << int(c.unicode()) << " in " << text.toStdString();
        klick(d.Button3);
    });
}
