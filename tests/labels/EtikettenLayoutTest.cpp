// Label jobs on the demo register, started the way the label dialogs start
// them; printed labels are read back with poppler's tools.

#include <gtest/gtest.h>

#include <map>

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "labels/EtikettenLayout.h"
#include "reports/Vorschau.h"
#include "sheets/SheetSession.h"
#include "stream/StreamWriter.h"
#include "fixtures/Poppler.h"
#include "EtikettenTestSupport.h"

namespace {

using etikettentest::alle;
using etikettentest::casProSeite;
using fixtures::poppler;

using stream::Object;
using stream::Value;

Object feld(const QString& name, int left, int top, const QString& caption, int tag = 100)
{
    Object e(QStringLiteral("TQRLabel"), name);
    e.append(QStringLiteral("Tag"), Value::integer(tag));
    e.append(QStringLiteral("Left"), Value::integer(left));
    e.append(QStringLiteral("Top"), Value::integer(top));
    e.append(QStringLiteral("Width"), Value::integer(300));
    e.append(QStringLiteral("Height"), Value::integer(18));
    e.append(QStringLiteral("Caption"), Value::string(caption));
    return e;
}

// A label of `hoehe` pixels: "CAS:" and the stock item's number, and the
// substance's name.
void etikettSchreiben(const QString& pfad, int hoehe)
{
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(397));
    bericht.append(QStringLiteral("Height"), Value::integer(hoehe));
    bericht.children.push_back(feld(QStringLiteral("Cas"), 10, 10, QStringLiteral("CAS:"), 0));
    bericht.children.push_back(feld(QStringLiteral("Nummer"), 60, 10, QStringLiteral("[lager.dbf CARN]")));
    bericht.children.push_back(feld(QStringLiteral("Name"), 10, 40, QStringLiteral("[chemie.dbf NAME1]")));
    stream::StreamWriter::writeFile(pfad, {bericht});
}

class Etiketten : public ::testing::Test {
protected:
    void SetUp() override
    {
        vorlage = out.filePath("TEST.ETI");
        etikettSchreiben(vorlage, 340); // 90 mm: three to a page
        EtikettenLayout->VorlagenDatei = vorlage;
        OptEtikettAnzahlLoeschen = true;
    }

    dbase::Table& lager() { return *Datas->Table3; }

    // ANZAHL of every stock row by "CARN/SUBCARN", read past any filter.
    std::map<QString, int> anzahlen()
    {
        std::map<QString, int> werte;
        dbase::Table t;
        t.setTableName(QStringLiteral("lager.dbf"));
        t.open();
        for (t.first(); !t.eof(); t.next())
            werte[t.fieldByName("CARN").asString() + "/" + t.fieldByName("SUBCARN").asString() + "#" +
                  QString::number(t.recNo())] = static_cast<int>(t.fieldByName("ANZAHL").asInteger());
        return werte;
    }

    // Every stock item's label count 0.
    void keinesMarkiert()
    {
        dbase::Table& t = lager();
        for (t.first(); !t.eof(); t.next()) {
            t.edit();
            t.fieldByName("ANZAHL").setAsInteger(0);
            t.post();
        }
    }

    void anzahlSetzen(const QString& carn, const QString& subcarn, int anzahl)
    {
        etikettentest::anzahlSetzen(lager(), carn, subcarn, anzahl);
    }

    // The labels the job should give: every marked row's CAS number as often
    // as its count, in the storage table's order.
    QStringList erwartet() { return etikettentest::nurCas(etikettentest::etikettenfolge(lager())); }

    QTemporaryDir out;
    sheets::SheetSession session;
    QString vorlage;
};

} // namespace

TEST_F(Etiketten, EveryMarkedItemGivesItsCountOfLabelsAcrossPagesAndIsResetAfterThePrint)
{
    // Counts 0, 1 and 3 among the demo's own; nine labels in all.
    anzahlSetzen("67-64-1", "1", 0);
    anzahlSetzen("1310-73-2", "1", 1);
    anzahlSetzen("7647-14-5", "1", 3);
    const QStringList folge = erwartet();
    ASSERT_GT(folge.size(), 6);
    ASSERT_FALSE(folge.contains("67-64-1"));
    const QString pdf = out.filePath("alle.pdf");
    Marlex->DruckDatei = pdf;
    const auto vorher = anzahlen();

    ASSERT_TRUE(EtikettenLayout->EtikettenGesamtDrucken()) << session.takeMessages().join("\n").toStdString();
    const auto seiten = casProSeite(pdf);
    ASSERT_EQ(seiten.size(), static_cast<std::size_t>((folge.size() + 2) / 3));
    for (std::size_t i = 0; i + 1 < seiten.size(); ++i)
        EXPECT_EQ(seiten[i].size(), 3) << "page " << i + 1;
    EXPECT_EQ(alle(seiten), folge);
    EXPECT_TRUE(poppler("pdftotext", {pdf, "-"}).contains("Natriumhydroxid"));

    for (const auto& [zeile, anzahl] : anzahlen())
        EXPECT_EQ(anzahl, 0) << zeile.toStdString() << " was " << vorher.at(zeile);
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(Etiketten, APreviewAndAFailedPrintKeepEveryCountAndTheStorageTableAsItWas)
{
    lager().setFilter(dbase::Filter::parse("LAGER_ORT<>'Regal 3'"));
    lager().setFiltered(true);
    lager().first();
    lager().next();
    const auto zeile = lager().recNo();
    const auto vorher = anzahlen();

    bool gezeigt = false;
    auto* wache = new QTimer;
    QObject::connect(wache, &QTimer::timeout, [&gezeigt, wache] {
        if (auto* v = qobject_cast<TVorschau*>(QApplication::activeModalWidget())) {
            gezeigt = true;
            v->close();
            wache->stop();
            wache->deleteLater();
        }
    });
    wache->start(0);
    EXPECT_TRUE(EtikettenLayout->EtikettenLayoutZeigen(true));
    EXPECT_TRUE(gezeigt);
    EXPECT_EQ(anzahlen(), vorher);

    Marlex->DruckDatei = out.filePath("fehlt/alle.pdf"); // a folder that is not there
    EXPECT_FALSE(EtikettenLayout->EtikettenGesamtDrucken());
    EXPECT_FALSE(session.takeMessages().isEmpty());
    EXPECT_EQ(anzahlen(), vorher);
    EXPECT_TRUE(lager().filtered());
    EXPECT_EQ(lager().filter().text(), dbase::Filter::parse("LAGER_ORT<>'Regal 3'").text());
    EXPECT_EQ(lager().recNo(), zeile);
}

TEST_F(Etiketten, TheCurrentItemIsItsOwnRowNotEveryRowOfItsSubstance)
{
    // A second stock row of the same substance, also marked.
    dbase::Table& t = lager();
    t.append();
    t.fieldByName("CARN").setAsString("64-17-5");
    t.fieldByName("SUBCARN").setAsString("1");
    t.fieldByName("LAGER_ORT").setAsString("Keller");
    t.fieldByName("ANZAHL").setAsInteger(4);
    t.post();
    // The user stands on it.
    for (t.first(); t.fieldByName("LAGER_ORT").asString() != "Keller"; t.next())
        ASSERT_FALSE(t.eof());
    const auto neu = t.recNo();
    const auto vorher = anzahlen();
    const QString pdf = out.filePath("aktuell.pdf");
    Marlex->DruckDatei = pdf;

    ASSERT_TRUE(EtikettenLayout->EtikettAktuellDrucken()) << session.takeMessages().join("\n").toStdString();
    EXPECT_EQ(alle(casProSeite(pdf)), QStringList(4, "64-17-5"));
    for (const auto& [zeile, anzahl] : anzahlen())
        EXPECT_EQ(anzahl, zeile.endsWith("#" + QString::number(neu)) ? 0 : vorher.at(zeile)) << zeile.toStdString();
    EXPECT_EQ(t.recNo(), neu);

    // An unmarked current row prints nothing and says so.
    Marlex->DruckDatei = out.filePath("nichts.pdf");
    EXPECT_FALSE(EtikettenLayout->EtikettAktuellDrucken());
    EXPECT_EQ(session.takeMessages(), QStringList("Es wurden keine markierten Lagerdatensätze gefunden."));
    EXPECT_FALSE(QFile::exists(out.filePath("nichts.pdf")));
}

TEST_F(Etiketten, AStorageFilterWithOrIsJoinedAsAWhole)
{
    // Sodium hydroxide is unmarked; joined as text, the marked condition
    // would bind only to the last term and let it through.
    anzahlSetzen("1310-73-2", "1", 0);
    lager().setFilter(dbase::Filter::parse("CARN='1310-73-2' OR CARN='7647-01-0'"));
    lager().setFiltered(true);
    const QString pdf = out.filePath("oder.pdf");
    Marlex->DruckDatei = pdf;

    ASSERT_TRUE(EtikettenLayout->EtikettenGesamtDrucken()) << session.takeMessages().join("\n").toStdString();
    EXPECT_EQ(alle(casProSeite(pdf)), QStringList(4, "7647-01-0"));
    EXPECT_EQ(anzahlen().at("64-17-5/1#2"), 2) << "outside the storage filter";
}

TEST_F(Etiketten, ABadInputIsAGermanMessageAndChangesNothing)
{
    lager().setFilter(dbase::Filter::parse("ANZAHL>1"));
    lager().setFiltered(true);
    lager().first();
    const auto zeile = lager().recNo();
    const auto namen = Datas->Table1->indexName();
    Marlex->DruckDatei = out.filePath("nie.pdf");

    const auto pruefen = [&](const char* was, const QString& erwartet) {
        EXPECT_FALSE(EtikettenLayout->EtikettenGesamtDrucken()) << was;
        const QStringList meldungen = session.takeMessages();
        ASSERT_EQ(meldungen.size(), 1) << was;
        EXPECT_TRUE(meldungen.front().contains(erwartet)) << was << ": " << meldungen.front().toStdString();
        EXPECT_FALSE(QFile::exists(out.filePath("nie.pdf"))) << was;
        EXPECT_EQ(lager().filter().text(), QStringLiteral("ANZAHL>1")) << was;
        EXPECT_EQ(lager().recNo(), zeile) << was;
        EXPECT_EQ(Datas->Table1->indexName(), namen) << was;
    };
    EtikettenLayout->VorlagenDatei = out.filePath("FEHLT.ETI");
    pruefen("missing file", "kann nicht gelesen werden");
    QFile kaputt(out.filePath("KAPUTT.ETI"));
    ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly));
    kaputt.write("TPF0 kein Etikett");
    kaputt.close();
    EtikettenLayout->VorlagenDatei = kaputt.fileName();
    pruefen("damaged file", "kann nicht gelesen werden");

    EtikettenLayout->VorlagenDatei = vorlage;
    const QString rand = OptRandOben;
    OptRandOben = QStringLiteral("zehn");
    pruefen("margin", "Rand oben");
    OptRandOben = rand;

    etikettSchreiben(out.filePath("HOCH.ETI"), 1200); // 317 mm
    EtikettenLayout->VorlagenDatei = out.filePath("HOCH.ETI");
    pruefen("too tall", "mm hoch");
}

TEST_F(Etiketten, AnItemWithoutSubstanceDataPrintsItsFieldsEmptyAndIsNamedAfterwards)
{
    keinesMarkiert();
    anzahlSetzen("64-17-5", "1", 1);
    dbase::Table& t = lager();
    t.append();
    t.fieldByName("CARN").setAsString("99-99-9");
    t.fieldByName("SUBCARN").setAsString("1");
    t.fieldByName("ANZAHL").setAsInteger(1);
    t.post();
    const QString pdf = out.filePath("fehlend.pdf");
    Marlex->DruckDatei = pdf;

    ASSERT_TRUE(EtikettenLayout->EtikettenGesamtDrucken());
    EXPECT_EQ(alle(casProSeite(pdf)), (QStringList{"64-17-5", "99-99-9"}));
    const QString text = poppler("pdftotext", {pdf, "-"});
    EXPECT_EQ(text.count("Ethanol"), 1) << "the second label shows no substance name:\n" << text.toStdString();
    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen.front().contains("99-99-9")) << meldungen.front().toStdString();
}

TEST_F(Etiketten, NumbersPrintWithADecimalCommaAndNoTrailingZeros)
{
    // Aceton's label alone, with its molar mass and melting point (stored
    // as "58.08" and "-95.0") each behind a mark of its own.
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(397));
    bericht.append(QStringLiteral("Height"), Value::integer(340));
    bericht.children.push_back(feld(QStringLiteral("Cas"), 10, 10, QStringLiteral("CAS:"), 0));
    bericht.children.push_back(feld(QStringLiteral("Nummer"), 60, 10, QStringLiteral("[lager.dbf CARN]")));
    bericht.children.push_back(feld(QStringLiteral("M"), 10, 40, QStringLiteral("MOLMASSE:"), 0));
    bericht.children.push_back(feld(QStringLiteral("Molmasse"), 120, 40, QStringLiteral("[chemie.dbf MOLMASSE]")));
    bericht.children.push_back(feld(QStringLiteral("S"), 10, 70, QStringLiteral("SMT:"), 0));
    bericht.children.push_back(feld(QStringLiteral("Smt"), 120, 70, QStringLiteral("[chemie.dbf SMT]")));
    stream::StreamWriter::writeFile(vorlage, {bericht});
    keinesMarkiert();
    anzahlSetzen("67-64-1", "1", 1);
    const QString pdf = out.filePath("zahlen.pdf");
    Marlex->DruckDatei = pdf;

    ASSERT_TRUE(EtikettenLayout->EtikettenGesamtDrucken()) << session.takeMessages().join("\n").toStdString();
    ASSERT_EQ(alle(casProSeite(pdf)), QStringList{"67-64-1"});
    EXPECT_EQ(alle(casProSeite(pdf, "MOLMASSE:")), QStringList{"58,08"});
    EXPECT_EQ(alle(casProSeite(pdf, "SMT:")), QStringList{"-95"});
}
