// What a printed label shows: the demo's label holds the phrase texts of
// every demo substance whole, a text too big for its element in a user's
// layout prints cut as the layout says and its labels are named afterwards,
// and the cut lines between the labels print dashed. The PDF is read back
// with poppler's tools.

#include <gtest/gtest.h>

#include <algorithm>

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "demo/DemoData.h"
#include "labels/EtikettenLayout.h"
#include "reports/Vorschau.h"
#include "sheets/LabelRun.h"
#include "sheets/SheetSession.h"
#include "stream/StreamWriter.h"
#include "fixtures/Events.h"
#include "fixtures/Modal.h"
#include "fixtures/Poppler.h"
#include "EtikettenTestSupport.h"

namespace {

using etikettentest::element;
using fixtures::poppler;
using stream::Object;
using stream::Value;

QString ohneLeerraum(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("\\s+")));
}

// A user's label: the substance's name, and its phrase texts in a memo of
// `saetzeHoehe` pixels.
void etikettSchreiben(const QString& pfad, int saetzeHoehe)
{
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(397));
    bericht.append(QStringLiteral("Height"), Value::integer(saetzeHoehe + 60));
    Object name = element("TQRLabel", QStringLiteral("Name"), 100, {10, 10, 300, 18});
    name.append(QStringLiteral("Caption"), Value::string(QStringLiteral("[chemie.dbf NAME1]")));
    bericht.children.push_back(name);
    Object saetze = element("TQRMemo", QStringLiteral("Saetze"), 400, {10, 40, 370, saetzeHoehe});
    saetze.append(QStringLiteral("WordWrap"), Value::boolean(true));
    bericht.children.push_back(saetze);
    stream::StreamWriter::writeFile(pfad, {bericht});
}

class EtikettenDruckbild : public ::testing::Test {
protected:
    void SetUp() override { OptEtikettAnzahlLoeschen = false; }

    // Marks exactly the stock rows of the given "CARN/SUBCARN" keys for one
    // label each; a key without a stock row gets one.
    void nurMarkieren(const QStringList& schluessel)
    {
        dbase::Table& lager = *Datas->Table3;
        QStringList fehlend = schluessel;
        for (lager.first(); !lager.eof(); lager.next()) {
            const QString s = lager.fieldByName("CARN").asString() + "/" + lager.fieldByName("SUBCARN").asString();
            lager.edit();
            lager.fieldByName("ANZAHL").setAsInteger(fehlend.removeAll(s) > 0 ? 1 : 0);
            lager.post();
        }
        for (const QString& s : fehlend) {
            lager.append();
            lager.fieldByName("CARN").setAsString(s.section('/', 0, 0));
            lager.fieldByName("SUBCARN").setAsString(s.section('/', 1, 1));
            lager.fieldByName("LAGER_ORT").setAsString(QStringLiteral("Regal 9"));
            lager.fieldByName("ANZAHL").setAsInteger(1);
            lager.post();
        }
        lager.first();
    }

    QTemporaryDir out;
    sheets::SheetSession session;
};

} // namespace

TEST_F(EtikettenDruckbild, TheDemoLabelHoldsThePhraseTextsOfEveryDemoSubstanceWhole)
{
    const demo::DemoData daten = demo::DemoData::load(QDir(QStringLiteral(MARLEX_SOURCE_DIR "/tools/demo/data")));
    QStringList schluessel;
    for (const demo::Substance& stoff : daten.substances)
        schluessel << stoff.carn() + "/" + stoff.subcarn();
    nurMarkieren(schluessel);
    const QString pdf = out.filePath("alle.pdf");
    sheets::printLabelsPdf(session, {}, pdf);
    EXPECT_TRUE(EtikettenLayout->AbgeschnitteneEtiketten().isEmpty())
        << EtikettenLayout->AbgeschnitteneEtiketten().join(", ").toStdString();
    EXPECT_TRUE(session.takeMessages().isEmpty());

    // Each label ends with its storage place; what comes before it back to
    // the previous label's is this label's, its CAS number among it.
    const QStringList etiketten = poppler("pdftotext", {pdf, "-"}).split(QStringLiteral("Lagerort:"));
    ASSERT_EQ(etiketten.size(), qsizetype(daten.substances.size()) + 1);
    const QRegularExpression casNummer(QStringLiteral("CAS-Nr\\.:\\s*(\\S+)"));
    int geprueft = 0;
    for (qsizetype i = 0; i + 1 < etiketten.size(); ++i) {
        // Two substances share a CAS number: the name on the label tells.
        const QString cas = casNummer.match(etiketten[i]).captured(1);
        const auto stoff = std::find_if(daten.substances.begin(), daten.substances.end(),
                                        [&](const demo::Substance& s) {
                                            return s.carn() == cas && etiketten[i].contains(s.name() + "\n");
                                        });
        ASSERT_NE(stoff, daten.substances.end()) << "label " << i + 1 << ": " << etiketten[i].toStdString();
        const QString text = ohneLeerraum(etiketten[i]);
        for (const QChar buchstabe : {QLatin1Char('R'), QLatin1Char('S')})
            for (const QString& nummer : stoff->phraseNumbers(buchstabe)) {
                const QString satz = daten.phrases.at(buchstabe + nummer);
                EXPECT_TRUE(text.contains(ohneLeerraum(satz)))
                    << stoff->name().toStdString() << " " << buchstabe.toLatin1() << nummer.toStdString() << ": "
                    << satz.toStdString() << "\nprinted:\n" << etiketten[i].toStdString();
                ++geprueft;
            }
    }
    EXPECT_GT(geprueft, 200);
}

TEST_F(EtikettenDruckbild, ATextTooBigForItsElementPrintsCutAndItsLabelsAreNamedAfterPrintAndPreview)
{
    // Phenol's phrases fill many lines; sodium chloride has none.
    nurMarkieren({"108-95-2/1", "7647-14-5/1"});
    const QString vorlage = out.filePath("KLEIN.ETI");
    etikettSchreiben(vorlage, 24);
    const QString pdf = out.filePath("klein.pdf");
    sheets::printLabelsPdf(session, vorlage, pdf);

    // Printed as the layout says: both labels, Phenol's text cut.
    const QString text = poppler("pdftotext", {pdf, "-"});
    EXPECT_TRUE(text.contains("Phenol") && text.contains("Natriumchlorid")) << text.toStdString();
    EXPECT_FALSE(ohneLeerraum(text).contains(QStringLiteral("sofortArztzuziehen"))) << text.toStdString();
    EXPECT_EQ(EtikettenLayout->AbgeschnitteneEtiketten(), QStringList{"Phenol (108-95-2-1)"});
    // The tool writes this message to its error output.
    QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen[0].startsWith("Auf diesen Etiketten ist Text abgeschnitten, weil sein Feld im Etikett „" +
                                        vorlage + "“ zu klein ist:\nPhenol (108-95-2-1)\n"))
        << meldungen[0].toStdString();

    // The preview tells the same once its window closed; a layout with room
    // enough tells nothing.
    {
        fixtures::ModalAntworten antworten({fixtures::als<TVorschau>([](TVorschau& v) {
            EXPECT_TRUE(fixtures::processEventsUntil([&] { return v.Panel0->text() == "Seite 1 von 1"; }, 5000))
                << v.Panel0->text().toStdString();
            v.close();
        })});
        EtikettenLayout->VorlagenDatei = vorlage;
        EXPECT_TRUE(EtikettenLayout->EtikettenLayoutZeigen(true));
    }
    meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen[0].contains("\nPhenol (108-95-2-1)\n")) << meldungen[0].toStdString();

    etikettSchreiben(vorlage, 400);
    sheets::printLabelsPdf(session, vorlage, pdf);
    EXPECT_TRUE(EtikettenLayout->AbgeschnitteneEtiketten().isEmpty());
    EXPECT_TRUE(session.takeMessages().isEmpty());
}

TEST_F(EtikettenDruckbild, TheCutLinesBetweenTheLabelsPrintDashed)
{
    nurMarkieren({"67-64-1/1"});
    const QString pdf = out.filePath("schnitt.pdf");
    sheets::printLabelsPdf(session, {}, pdf);
    poppler("pdftoppm", {"-gray", "-r", "150", "-f", "1", "-l", "1", pdf, out.filePath("seite")});
    const QImage seite(out.filePath("seite-1.pgm"));
    ASSERT_FALSE(seite.isNull());

    // The rows whose black pixels reach across the whole label of 105 mm,
    // beyond its frame, its rule and its texts: the cut lines at the label's
    // top and bottom edge.
    constexpr double pixelProMm = 150 / 25.4;
    int linien = 0;
    for (int y = 0; y < seite.height(); ++y) {
        int erstes = -1;
        int letztes = -1;
        int striche = 0;
        int laengster = 0;
        int lauf = 0;
        for (int x = 0; x < seite.width(); ++x) {
            if (qGray(seite.pixel(x, y)) >= 100) {
                lauf = 0;
                continue;
            }
            erstes = erstes < 0 ? x : erstes;
            letztes = x;
            striche += lauf == 0;
            laengster = std::max(laengster, ++lauf);
        }
        if (erstes < 0 || letztes - erstes < 100 * pixelProMm)
            continue;
        ++linien;
        // Dashes of about a millimetre: many, none long.
        EXPECT_GT(striche, 40) << "row " << y;
        EXPECT_LT(laengster, 3 * pixelProMm) << "row " << y;
    }
    EXPECT_GE(linien, 2);
}
