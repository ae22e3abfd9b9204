// The label export as a user runs it: the storage page, the menu command,
// the export dialog and the file dialog answered as a person answers them.
// Every written picture is read back by tools of their own: libwmf's
// wmf2svg, file(1) and ImageMagick's identify, giflib's giftext and gif2rgb.

#include <gtest/gtest.h>

#include <set>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtEndian>
#include <QTest>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "fixtures/Modal.h"
#include "labels/EtikettExport.h"
#include "labels/EtikettenLayout.h"
#include "report/TextLayout.h"
#include "reports/Layout.h"
#include "sheets/SheetSession.h"
#include "stream/Picture.h"
#include "stream/StreamWriter.h"
#include "EtikettenTestSupport.h"

namespace {

using etikettentest::element;
using stream::Object;
using stream::Value;

constexpr int kBreite = 397;
constexpr int kHoehe = 200;
constexpr QRgb kRot = 0xFFFF0000;

Object text(const QString& name, int tag, QRect lage, const QString& caption)
{
    Object e = element("TQRLabel", name, tag, lage);
    e.append(QStringLiteral("Caption"), Value::string(caption));
    return e;
}

// A label in black and red on white: fixed text, the stock item's number,
// the substance's name, its sum formula and R/S phrases in a narrow box, a
// red ellipse with a black outline, a conditional text and system data.
void etikettSchreiben(const QString& pfad, int breite = kBreite, int hoehe = kHoehe)
{
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(breite));
    bericht.append(QStringLiteral("Height"), Value::integer(hoehe));
    bericht.children.push_back(text("Cas", 0, {10, 10, 40, 18}, "CAS:"));
    bericht.children.push_back(text("Nummer", 100, {60, 10, 120, 18}, "[lager.dbf CARN]"));
    bericht.children.push_back(text("Name", 100, {10, 32, 250, 18}, "[chemie.dbf NAME1]"));
    bericht.children.push_back(text("Formel", 700, {10, 54, 150, 18}, ""));
    bericht.children.push_back(text("Bedingt", 600, {200, 54, 150, 18}, "Nur im Abzug"));
    bericht.children.push_back(text("Datum", 900, {200, 10, 100, 18}, "S1"));
    Object saetze = element("TQRMemo", "Saetze", 400, {10, 80, 150, 110});
    saetze.append(QStringLiteral("WordWrap"), Value::boolean(true));
    saetze.append(QStringLiteral("Font.Height"), Value::integer(-15));
    bericht.children.push_back(saetze);
    Object kreis = element("TQRShape", "Kreis", 300, {300, 100, 80, 80});
    kreis.append(QStringLiteral("Shape"), Value::identifier("qrsCircle"));
    kreis.append(QStringLiteral("Brush.Color"), Value::integer(0x0000FF));
    bericht.children.push_back(kreis);
    stream::StreamWriter::writeFile(pfad, {bericht});
}

// A label with a 20 x 20 picture of 400 colours, more than a GIF holds.
void bunteEtikettSchreiben(const QString& pfad)
{
    QImage bunt(20, 20, QImage::Format_RGB32);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            bunt.setPixel(x, y, qRgb(x * 12, y * 12, 100));
    QByteArray bmp;
    QBuffer puffer(&bmp);
    puffer.open(QIODevice::WriteOnly);
    bunt.save(&puffer, "BMP");
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(kBreite));
    bericht.append(QStringLiteral("Height"), Value::integer(kHoehe));
    bericht.children.push_back(text("Cas", 0, {10, 10, 40, 18}, "CAS:"));
    Object bild = element("TQRImage", "Bild", 800, {100, 100, 20, 20});
    bild.append(QStringLiteral("Picture.Data"), Value::binary(stream::Picture{"TBitmap", bmp}.toPictureData()));
    bericht.children.push_back(bild);
    stream::StreamWriter::writeFile(pfad, {bericht});
}

QString werkzeug(const QString& programm, const QStringList& argumente, int* rc = nullptr)
{
    QProcess p;
    p.start(programm, argumente);
    p.waitForFinished(30000);
    if (rc)
        *rc = p.exitCode();
    return QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
}

class EtikettExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vorlage = out.filePath("EXPORT.ETI");
        etikettSchreiben(vorlage);
        OptStandardEtikett = vorlage;
        // The user opens the storage page and stands on ethanol's stock item,
        // marked for two labels.
        QTabBar* reiter = Marlex->PageControl1->tabBar();
        QTest::mouseClick(reiter, Qt::LeftButton, {},
                          reiter->tabRect(Marlex->PageControl1->indexOf(Marlex->TabSheet3)).center());
        QApplication::processEvents();
        aufPosten("64-17-5", 2);
    }

    dbase::Table& lager() { return *Datas->Table3; }

    void aufPosten(const QString& carn, int anzahl)
    {
        dbase::Table& t = lager();
        for (t.first(); !t.eof(); t.next())
            if (t.fieldByName("CARN").asString() == carn) {
                t.edit();
                t.fieldByName("ANZAHL").setAsInteger(anzahl);
                t.post();
                return;
            }
        FAIL() << "no stock row " << carn.toStdString();
    }

    // The export from the menu: the dialog with its label file, then the
    // file dialog, where `dateiSchritt` acts as the user; without a step no
    // file dialog may open. Returns the dialog's caption and the file name
    // the file dialog proposed.
    struct Ablauf {
        QString caption;
        QString vorschlag;
        QString dialogTitel;
        bool dateiDialog = false;
        bool offenNachExport = false;
    };
    Ablauf exportieren(QAction* befehl, const QString& etikett, const std::function<void(QFileDialog&)>& dateiSchritt)
    {
        Ablauf ablauf;
        fixtures::imDialogVon<TEtikettExport>([befehl] { befehl->trigger(); }, [&](TEtikettExport& d) {
            ablauf.caption = d.windowTitle();
            d.Edit1->setText(etikett);
            std::vector<fixtures::ModalAntworten::Antwort> dateiDialog;
            if (dateiSchritt)
                dateiDialog.push_back(fixtures::abbrechendNach<QFileDialog>([&](QFileDialog& datei) {
                    ablauf.dateiDialog = true;
                    ablauf.dialogTitel = datei.windowTitle();
                    ablauf.vorschlag = datei.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->text();
                    dateiSchritt(datei);
                }));
            fixtures::ModalAntworten antworten(std::move(dateiDialog));
            QTest::mouseClick(d.Button1, Qt::LeftButton);
            ablauf.offenNachExport = d.isVisible();
        });
        return ablauf;
    }

    // Types the name into the file dialog and confirms, as a user does.
    static std::function<void(QFileDialog&)> speichernUnter(const QString& pfad)
    {
        return [pfad](QFileDialog& d) {
            d.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(pfad);
            static_cast<QDialog&>(d).accept();
        };
    }

    // What a failed export must leave: no dialog for a file, the message,
    // the tables as they were.
    void ohneFolgen(const char* was, const QString& etikett, const QString& meldung)
    {
        const auto zeile = lager().recNo();
        const QString filter = lager().filter().text();
        const QString index = Datas->Table1->indexName();
        const Ablauf ablauf = exportieren(Marlex->Bitmap1, etikett, {});
        EXPECT_FALSE(ablauf.dateiDialog) << was;
        EXPECT_TRUE(ablauf.offenNachExport) << was << ": the user may choose another label";
        const QStringList meldungen = session.takeMessages();
        ASSERT_EQ(meldungen.size(), 1) << was;
        EXPECT_TRUE(meldungen.front().contains(meldung)) << was << ": " << meldungen.front().toStdString();
        EXPECT_FALSE(QFile::exists(out.filePath("nie.BMP"))) << was;
        EXPECT_EQ(lager().recNo(), zeile) << was;
        EXPECT_EQ(lager().filter().text(), filter) << was;
        EXPECT_EQ(Datas->Table1->indexName(), index) << was;
    }

    QTemporaryDir out;
    sheets::SheetSession session;
    QString vorlage;
};

TEST_F(EtikettExportTest, AMetafileFromTheMenuHasAValidPlaceableHeaderAndReadsBackWithLibwmf)
{
    const auto zeile = lager().recNo();
    const QString datei = out.filePath("ethanol.WMF");
    const Ablauf ablauf = exportieren(Marlex->EMF1, vorlage, speichernUnter(datei));
    EXPECT_TRUE(session.takeMessages().isEmpty());
    EXPECT_EQ(ablauf.caption, QStringLiteral("Exportieren des aktuellen Etiketts nach WMF"));
    EXPECT_EQ(ablauf.dialogTitel, QStringLiteral("Etikett als Windows Meta File abspeichern"));
    EXPECT_EQ(ablauf.vorschlag, QStringLiteral("64-17-51.WMF")) << "CARN and SUBCARN run together";
    EXPECT_FALSE(ablauf.offenNachExport);

    QFile f(datei);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    ASSERT_GT(bytes.size(), 22 + 18);
    const auto wort = [&](int i) { return qFromLittleEndian<quint16>(bytes.constData() + 2 * i); };
    EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData()), 0x9AC6CDD7u);
    quint16 summe = 0;
    for (int i = 0; i < 10; ++i)
        summe ^= wort(i);
    EXPECT_EQ(wort(10), summe) << "checksum of the placeable header";
    const int einheiten = wort(7) / 96; // units per pixel at 96 dpi
    ASSERT_GE(einheiten, 1);
    EXPECT_EQ(wort(7), 96 * einheiten);
    EXPECT_EQ(qint16(wort(5)) - qint16(wort(3)), kBreite * einheiten);
    EXPECT_EQ(qint16(wort(6)) - qint16(wort(4)), kHoehe * einheiten);

    int rc = -1;
    const QString svgDatei = out.filePath("ethanol.svg");
    const QString ausgabe = werkzeug("wmf2svg", {"-o", svgDatei, datei}, &rc);
    ASSERT_EQ(rc, 0) << ausgabe.toStdString();
    QFile svg(svgDatei);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(QString::fromLatin1(svg.readAll()));
    xml.setNamespaceProcessing(false);
    QString texte;
    int formen = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == u"text")
            texte += xml.readElementText(); // one element per character
        else if (xml.name() == u"ellipse" || xml.name() == u"polygon" || xml.name() == u"path")
            ++formen;
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const char* erwartet : {"CAS:", "64-17-5", "Ethanol", "Nur im Abzug", "C2H6O", "Leichtentz"})
        EXPECT_TRUE(texte.contains(QString::fromUtf8(erwartet))) << erwartet << " in " << texte.toStdString();
    EXPECT_GE(formen, 1) << "the ellipse";

    // The export changes no count and leaves the user on the item.
    EXPECT_EQ(lager().recNo(), zeile);
    EXPECT_EQ(lager().fieldByName("ANZAHL").asInteger(), 2);
}

TEST_F(EtikettExportTest, ABitmapFromTheMenuIsAWindowsBitmapOfTheLabelsSizeInTheLabelsOwnColours)
{
    const QString datei = out.filePath("ethanol.BMP");
    const Ablauf ablauf = exportieren(Marlex->Bitmap1, vorlage, speichernUnter(datei));
    EXPECT_TRUE(session.takeMessages().isEmpty());
    EXPECT_EQ(ablauf.caption, QStringLiteral("Exportieren des aktuellen Etiketts nach Bitmap"));
    EXPECT_EQ(ablauf.dialogTitel, QStringLiteral("Etikett als Bitmap abspeichern"));
    EXPECT_EQ(ablauf.vorschlag, QStringLiteral("64-17-51.BMP"));

    EXPECT_TRUE(werkzeug("file", {"-b", datei}).startsWith("PC bitmap")) << werkzeug("file", {datei}).toStdString();
    EXPECT_EQ(werkzeug("identify", {"-format", "%w %h", datei}).trimmed(),
              QStringLiteral("%1 %2").arg(kBreite).arg(kHoehe));
    EXPECT_TRUE(werkzeug("identify", {"-format", "%m", datei}).startsWith("BMP"));

    // Drawn without smoothing: black text and outline, a red ellipse on
    // white, and no colour in between.
    const QImage bild(datei);
    ASSERT_FALSE(bild.isNull());
    std::set<QRgb> farben;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            farben.insert(bild.pixel(x, y));
    EXPECT_EQ(farben, (std::set<QRgb>{0xFFFFFFFF, 0xFF000000, kRot}));
    EXPECT_EQ(bild.pixel(340, 140), kRot) << "the ellipse's middle";
    int schwarz = 0;
    for (int y = 10; y < 28; ++y)
        for (int x = 10; x < 50; ++x)
            schwarz += bild.pixel(x, y) == 0xFF000000;
    EXPECT_GT(schwarz, 20) << "the text \"CAS:\"";
}

TEST_F(EtikettExportTest, AGifFromTheMenuDecodesBackToExactlyTheBitmapsPixels)
{
    const QString bmp = out.filePath("ethanol.BMP");
    exportieren(Marlex->Bitmap1, vorlage, speichernUnter(bmp));
    const QString gif = out.filePath("ethanol.GIF");
    const Ablauf ablauf = exportieren(Marlex->GIF1, vorlage, speichernUnter(gif));
    EXPECT_TRUE(session.takeMessages().isEmpty());
    EXPECT_EQ(ablauf.caption, QStringLiteral("Exportieren des aktuellen Etiketts nach GIF"));
    EXPECT_EQ(ablauf.dialogTitel, QStringLiteral("Etikett als GIF abspeichern"));
    EXPECT_EQ(ablauf.vorschlag, QStringLiteral("64-17-51.GIF"));

    int rc = -1;
    const QString text = werkzeug("giftext", {gif}, &rc);
    ASSERT_EQ(rc, 0) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Width = %1, Height = %2").arg(kBreite).arg(kHoehe))) << text.toStdString();
    EXPECT_FALSE(text.contains("Interlaced: Yes")) << text.toStdString();

    const QString rgb = out.filePath("ethanol.rgb");
    const QString ausgabe = werkzeug("gif2rgb", {"-1", "-o", rgb, gif}, &rc);
    ASSERT_EQ(rc, 0) << ausgabe.toStdString();
    QFile roh(rgb);
    ASSERT_TRUE(roh.open(QIODevice::ReadOnly));
    const QByteArray punkte = roh.readAll();
    const QImage bild(bmp);
    ASSERT_EQ(punkte.size(), 3 * kBreite * kHoehe);
    int abweichend = 0;
    for (int y = 0; y < kHoehe; ++y)
        for (int x = 0; x < kBreite; ++x) {
            const char* p = punkte.constData() + 3 * (y * kBreite + x);
            abweichend += qRgb(uchar(p[0]), uchar(p[1]), uchar(p[2])) != bild.pixel(x, y);
        }
    EXPECT_EQ(abweichend, 0);
    EXPECT_EQ(qRgb(uchar(punkte[3 * (140 * kBreite + 340)]), uchar(punkte[3 * (140 * kBreite + 340) + 1]),
                   uchar(punkte[3 * (140 * kBreite + 340) + 2])),
              kRot);

    // A label of more colours than a GIF holds is told, and no file is left.
    bunteEtikettSchreiben(out.filePath("BUNT.ETI"));
    const Ablauf bunt = exportieren(Marlex->GIF1, out.filePath("BUNT.ETI"), speichernUnter(out.filePath("bunt.GIF")));
    EXPECT_TRUE(bunt.offenNachExport);
    const QStringList meldungen = session.takeMessages();
    ASSERT_EQ(meldungen.size(), 1);
    EXPECT_TRUE(meldungen.front().contains("256 Farben")) << meldungen.front().toStdString();
    EXPECT_FALSE(QFile::exists(out.filePath("bunt.GIF")));
}

TEST_F(EtikettExportTest, PhrasesAreBrokenWithTheirElementsFontAndFitItsWidth)
{
    const reports::Layout layout = reports::Layout::load(vorlage, reports::LayoutKind::Eti);
    QString fehler;
    const auto seite = EtikettenLayout->AktuellesEtikettZeichnen(layout, fehler);
    ASSERT_TRUE(seite) << fehler.toStdString();
    const report::TextMeasure messung;
    const double breite = 150 * 25.4 / 96;
    const report::DrawnItem* saetze = nullptr;
    for (const report::DrawnItem& item : seite->items)
        if (item.kind == report::ItemKind::Text && std::abs(item.rect.top() - 80 * 25.4 / 96) < 0.01)
            saetze = &item;
    ASSERT_NE(saetze, nullptr);
    const QStringList zeilen = saetze->text.split('\n');
    EXPECT_GT(zeilen.size(), 3) << saetze->text.toStdString();
    for (const QString& zeile : zeilen)
        EXPECT_LE(messung.width(zeile, saetze->font), breite + 1e-6) << zeile.toStdString();
    EXPECT_EQ(saetze->font.pixelSize() > 0 ? saetze->font.pixelSize() : qRound(saetze->font.pointSizeF() * 96 / 72),
              15);
}

TEST_F(EtikettExportTest, AnInputThatCannotGiveALabelIsAMessageBeforeAnyFileIsNamed)
{
    ohneFolgen("no file", QString(), "keine Etikettendatei");
    ohneFolgen("missing file", out.filePath("FEHLT.ETI"), "kann nicht gelesen werden");
    etikettSchreiben(out.filePath("RIESIG.ETI"), 40000, 100);
    ohneFolgen("too wide", out.filePath("RIESIG.ETI"), "40000 × 100 Pixel");
    etikettSchreiben(out.filePath("LEER.ETI"), 300, 0);
    ohneFolgen("no height", out.filePath("LEER.ETI"), "300 × 0 Pixel");

    lager().setFilter(dbase::Filter::parse("LAGER_ORT<>'nirgends'"));
    lager().setFiltered(true);
    aufPosten("64-17-5", 0);
    ohneFolgen("unmarked", vorlage, "Es wurden keine markierten Lagerdatensätze gefunden.");

    dbase::Table& t = lager();
    t.append();
    t.fieldByName("CARN").setAsString("99-99-9");
    t.fieldByName("SUBCARN").setAsString("1");
    t.post();
    aufPosten("99-99-9", 1); // the user stands on it
    ohneFolgen("no substance", vorlage, "99-99-9");
}

TEST_F(EtikettExportTest, ACancelledOrFailedSaveWritesNothing)
{
    const Ablauf abgebrochen = exportieren(Marlex->EMF1, vorlage, [](QFileDialog& d) { d.reject(); });
    EXPECT_TRUE(abgebrochen.dateiDialog);
    EXPECT_FALSE(abgebrochen.offenNachExport);
    EXPECT_TRUE(session.takeMessages().isEmpty());
    EXPECT_TRUE(QDir(out.path()).entryList({"*.WMF", "*.wmf"}).isEmpty());

    for (QAction* befehl : {Marlex->EMF1, Marlex->Bitmap1, Marlex->GIF1}) {
        const Ablauf ablauf = exportieren(befehl, vorlage, speichernUnter(out.filePath("fehlt/etikett.BIN")));
        EXPECT_TRUE(ablauf.offenNachExport) << "the user may name another file";
        const QStringList meldungen = session.takeMessages();
        ASSERT_EQ(meldungen.size(), 1);
        EXPECT_TRUE(meldungen.front().contains("etikett.BIN")) << meldungen.front().toStdString();
        EXPECT_FALSE(QFile::exists(out.filePath("fehlt/etikett.BIN")));
    }
}

} // namespace
