#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>

#include "ReportTestSupport.h"
#include "fixtures/Errors.h"
#include "fixtures/TempDir.h"
#include "report/Output.h"
#include "report/PageFile.h"
#include "report/ReportError.h"

using namespace report;
using namespace reporttest;
using fixtures::errorOf;

namespace {

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    EXPECT_TRUE(process.waitForFinished(30000)) << program.toStdString();
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Three pages of a register list on A4 with umlauts, a rich-text formula and
// a picture, so that every kind of drawn item is in the output.
void registerReport(Report& report, ListSource& source)
{
    report.title = "Marlex99: Reportdruck";
    report.page().setPaperSize(PaperSize::A4);
    report.page().setTopMargin(15);
    report.page().setBottomMargin(15);
    Band& header = report.addBand(BandType::PageHeader);
    header.height = 12;
    addLabel(header, "Gefahrstoffverzeichnis Lager Süd", QRectF(0, 0, 120, 8));
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 40;
    auto& name = detail.add<DataText>();
    name.rect = QRectF(0, 0, 100, 8);
    name.value = [&source] { return source.current(); };
    auto& formula = detail.add<RichText>();
    formula.rect = QRectF(110, 0, 40, 8);
    formula.runs = {{"H", 0, false}, {"2", 5, false}, {"SO", 0, false}, {"4", 5, false}};
    auto& shape = detail.add<Shape>();
    shape.shape = ShapeKind::Ellipse;
    shape.rect = QRectF(0, 10, 20, 20);
    auto& image = detail.add<Image>();
    image.picture = QImage(16, 16, QImage::Format_RGB32);
    image.picture.fill(Qt::green);
    image.rect = QRectF(30, 10, 10, 10);
    image.stretch = true;
    Band& footer = report.addBand(BandType::PageFooter);
    footer.height = 10;
    auto& page = footer.add<SystemData>();
    page.data = SystemDataKind::PageNumber;
    page.rect = QRectF(0, 0, 30, 6);
    report.dataSource = &source;
}

QStringList rows(int count)
{
    QStringList result;
    for (int i = 1; i <= count; ++i)
        result << QStringLiteral("Stoff Nr. %1 Ätzend").arg(i);
    return result;
}

} // namespace

TEST(ReportPdfOutput, PdftotextFindsTextsAndPageCount)
{
    fixtures::TempDir dir;
    Report report;
    ListSource source(rows(15));
    registerReport(report, source);
    int afterPrint = 0;
    bool completed = false;
    report.events.afterPrint = [&](bool ok) {
        ++afterPrint;
        completed = ok;
    };
    const QString pdf = QString::fromStdString(dir.file("liste.pdf").string());
    printToPdf(report, pdf);
    EXPECT_EQ(afterPrint, 1);
    EXPECT_TRUE(completed);

    // 297 - 30 margins - 12 header - 10 footer = 245 mm: six details a page.
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 842"))) << info.toStdString();
    EXPECT_TRUE(info.contains("Marlex99: Reportdruck"));

    // Compatibility decomposition turns the font's ligatures back into letters.
    const QString text = run("pdftotext", {"-layout", pdf, "-"}).normalized(QString::NormalizationForm_KC);
    const QStringList pages = text.split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 3) << text.toStdString();
    EXPECT_TRUE(pages[0].contains("Gefahrstoffverzeichnis Lager Süd"));
    EXPECT_TRUE(pages[0].contains("Stoff Nr. 1 Ätzend"));
    EXPECT_TRUE(pages[0].contains("Stoff Nr. 6 Ätzend"));
    EXPECT_FALSE(pages[0].contains("Stoff Nr. 7 "));
    EXPECT_TRUE(pages[2].contains("Stoff Nr. 15 Ätzend"));
    EXPECT_TRUE(pages[2].contains("Gefahrstoffverzeichnis Lager Süd"));
    EXPECT_TRUE(pages[1].contains(QRegularExpression("\\b2\\s*$"))) << "page number in the footer";
    EXPECT_TRUE(text.contains(QRegularExpression("H\\s*2\\s*SO\\s*4")));
}

TEST(ReportPdfOutput, LandscapePagesStayLandscape)
{
    fixtures::TempDir dir;
    Report report;
    report.page().setOrientation(Orientation::Landscape);
    addLabel(report.addBand(BandType::Title), "Quer");
    const QString pdf = QString::fromStdString(dir.file("quer.pdf").string());
    printToPdf(report, pdf);
    const QString info = run("pdfinfo", {pdf});
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+842(\\.\\d+)? x 595"))) << info.toStdString();
}

TEST(ReportPdfOutput, FailedRunsAreErrorsLeaveNoFileAndStillRestoreOnce)
{
    fixtures::TempDir dir;
    Report report;
    addLabel(report.addBand(BandType::Title), "x");
    std::vector<bool> restores;
    report.events.afterPrint = [&](bool completed) { restores.push_back(completed); };

    const QString unwritable = QString::fromStdString(dir.file("fehlt/liste.pdf").string());
    EXPECT_TRUE(errorOf<ReportError>([&] { printToPdf(report, unwritable); }).contains(unwritable));
    EXPECT_EQ(restores, std::vector<bool>{false});

    report.events.beforeBand = [](Band&, bool&) { throw ReportError("Feld fehlt"); };
    const QString pdf = QString::fromStdString(dir.file("x.pdf").string());
    EXPECT_THROW(printToPdf(report, pdf), ReportError);
    EXPECT_EQ(restores, std::vector<bool>({false, false}));
    EXPECT_FALSE(QFile::exists(pdf));
}

namespace {

std::vector<Page> samplePages()
{
    Report report;
    ListSource source(rows(8));
    registerReport(report, source);
    report.bands()[1]->frame.bottom = true;
    auto& opaque = addLabel(*report.bands()[0], "Hinterlegt", QRectF(130, 0, 40, 6));
    opaque.transparent = false;
    opaque.background = Qt::yellow;
    opaque.font.setItalic(true);
    opaque.alignment = Qt::AlignRight;
    return build(report);
}

} // namespace

TEST(ReportPageFile, SavedPagesReadBackUnchanged)
{
    fixtures::TempDir dir;
    const std::vector<Page> pages = samplePages();
    ASSERT_EQ(pages.size(), 2u);
    const QString file = QString::fromStdString(dir.file("vorschau.QRP").string());
    PageFile::save(pages, file);
    const std::vector<Page> loaded = PageFile::load(file);
    ASSERT_EQ(loaded.size(), pages.size());
    for (std::size_t p = 0; p < pages.size(); ++p) {
        EXPECT_EQ(loaded[p].sizeMm, pages[p].sizeMm);
        ASSERT_EQ(loaded[p].items.size(), pages[p].items.size());
        for (std::size_t i = 0; i < pages[p].items.size(); ++i) {
            // Fonts and pictures come back equivalent, not bit for bit.
            DrawnItem a = pages[p].items[i];
            DrawnItem b = loaded[p].items[i];
            SCOPED_TRACE(a.text.toStdString());
            EXPECT_EQ(b.font.family(), a.font.family());
            EXPECT_DOUBLE_EQ(fontPoints(b.font), fontPoints(a.font));
            EXPECT_EQ(b.font.italic(), a.font.italic());
            EXPECT_EQ(b.picture.convertToFormat(QImage::Format_RGB32), a.picture.convertToFormat(QImage::Format_RGB32));
            a.font = b.font = QFont();
            a.picture = b.picture = QImage();
            EXPECT_EQ(b, a);
        }
    }
}

TEST(ReportPageFile, DamagedFilesAreClearErrorsNeverCrashes)
{
    fixtures::TempDir dir;
    const QString good = QString::fromStdString(dir.file("gut.QRP").string());
    PageFile::save(samplePages(), good);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();
    const QString bad = QString::fromStdString(dir.file("kaputt.QRP").string());
    auto write = [&](const QByteArray& data) {
        QFile out(bad);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(data);
    };

    // Every cut-off length fails cleanly.
    for (qsizetype length = 0; length < bytes.size(); length += std::max<qsizetype>(1, bytes.size() / 400)) {
        write(bytes.left(length));
        EXPECT_THROW(PageFile::load(bad), ReportError) << "length " << length;
    }
    // Flipped bytes load or fail with the report error, nothing else.
    QRandomGenerator random(4711);
    for (int round = 0; round < 300; ++round) {
        QByteArray damaged = bytes;
        for (int flips = 0; flips < 4; ++flips)
            damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
        write(damaged);
        try {
            PageFile::load(bad);
        } catch (const ReportError&) {
        }
    }
    // A huge page count must not be believed.
    QByteArray huge = bytes;
    huge[7] = char(0x7f);
    write(huge);
    EXPECT_THROW(PageFile::load(bad), ReportError);

    const auto loadError = [&] { return errorOf<ReportError>([&] { PageFile::load(bad); }); };
    write("GIF89a not a page file at all");
    const QString damaged = loadError();
    EXPECT_TRUE(damaged.contains("kaputt.QRP") && damaged.contains("beschädigt")) << damaged.toStdString();

    QByteArray later = bytes;
    later[5] = 0;
    later[6] = 9;
    write(later);
    EXPECT_TRUE(loadError().contains("Version 9")) << loadError().toStdString();

    EXPECT_THROW(PageFile::load(QString::fromStdString(dir.file("fehlt.QRP").string())), ReportError);
}

