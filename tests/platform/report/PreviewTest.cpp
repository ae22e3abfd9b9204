#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QPainter>

#include "ReportTestSupport.h"
#include "fixtures/Events.h"
#include "report/PreviewWidget.h"

using namespace report;
using namespace reporttest;

namespace {

// Forty details of 20 mm on the small page: ten pages.
struct LongReport {
    Report report;
    int bandsLaidOut = 0;
    int afterPreview = 0;
    bool completed = false;
    bool hooksRunAfterRestore = false;

    LongReport()
    {
        smallPage(report);
        Band& detail = report.addBand(BandType::Detail);
        detail.height = 20;
        addLabel(detail, "Zeile");
        int left = 40;
        report.needData = [left]() mutable { return left-- > 0; };
        report.events.beforeBand = [this](Band&, bool&) {
            ++bandsLaidOut;
            if (afterPreview > 0)
                hooksRunAfterRestore = true;
        };
        report.events.afterPreview = [this](bool ok) {
            ++afterPreview;
            completed = ok;
        };
    }
};

} // namespace

TEST(ReportSlicedBuild, FirstPageArrivesWhileLaterPagesAreStillBuilt)
{
    LongReport run;
    PageBuilder builder(run.report);
    int pagesAdded = 0;
    std::vector<bool> finished;
    QObject::connect(&builder, &PageBuilder::pageAdded, [&](int number) { EXPECT_EQ(number, ++pagesAdded); });
    QObject::connect(&builder, &PageBuilder::finished, [&](bool completed) { finished.push_back(completed); });
    builder.start(1);
    EXPECT_TRUE(builder.pages().empty()) << "start() returns before building";
    fixtures::processEventsUntil([&] { return !builder.pages().empty(); });
    ASSERT_EQ(builder.pages().size(), 1u);
    EXPECT_TRUE(builder.isBusy());

    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    EXPECT_TRUE(builder.isFinished());
    EXPECT_EQ(builder.pages().size(), 10u);
    EXPECT_EQ(pagesAdded, 10);
    EXPECT_EQ(finished, std::vector<bool>{true});
    EXPECT_EQ(run.afterPreview, 0) << "the preview is still open";

    builder.close();
    builder.close();
    EXPECT_EQ(run.afterPreview, 1);
    EXPECT_TRUE(run.completed);
}

TEST(ReportSlicedBuild, ClosingStopsTheBuildAndRestoresOnceAfterItStopped)
{
    LongReport run;
    {
        PageBuilder builder(run.report);
        builder.start(1);
        fixtures::processEventsUntil([&] { return builder.pages().size() >= 2; });
        builder.close();
        EXPECT_EQ(builder.status(), PageBuilder::Status::Cancelled);
        EXPECT_EQ(run.afterPreview, 1);
        EXPECT_FALSE(run.completed);
        const int laidOut = run.bandsLaidOut;
        for (int i = 0; i < 50; ++i)
            QCoreApplication::processEvents();
        EXPECT_EQ(run.bandsLaidOut, laidOut) << "no band after the close";
    }
    EXPECT_EQ(run.afterPreview, 1) << "the destructor does not restore again";
    EXPECT_FALSE(run.hooksRunAfterRestore);

    // A preview that is never closed restores when its builder goes.
    LongReport unclosed;
    {
        PageBuilder builder(unclosed.report);
        builder.start(3);
        fixtures::processEventsUntil([&] { return !builder.pages().empty(); });
    }
    EXPECT_EQ(unclosed.afterPreview, 1);
}

TEST(ReportSlicedBuild, CloseFromInsideAHookWaitsForTheBandToFinish)
{
    LongReport run;
    PageBuilder builder(run.report);
    bool insideHook = false;
    bool restoredInsideHook = false;
    run.report.events.beforeBand = [&](Band&, bool&) {
        insideHook = true;
        if (++run.bandsLaidOut == 3)
            builder.close(); // as if the window closed while events were let through
        insideHook = false;
    };
    run.report.events.afterPreview = [&](bool ok) {
        restoredInsideHook = insideHook;
        ++run.afterPreview;
        run.completed = ok;
    };
    builder.start(5);
    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(run.bandsLaidOut, 3);
    EXPECT_EQ(run.afterPreview, 1);
    EXPECT_FALSE(restoredInsideHook);
    EXPECT_FALSE(run.completed);
    // The third band was laid out completely before the stop.
    EXPECT_EQ(builder.pages().size(), 0u) << "its page was never closed";
}

TEST(ReportSlicedBuild, FailingHookStopsTheBuildAndIsReported)
{
    LongReport run;
    run.report.events.beforeBand = [&](Band&, bool&) {
        if (++run.bandsLaidOut == 7)
            throw std::runtime_error("Tabelle nicht geöffnet");
    };
    PageBuilder builder(run.report);
    QStringList failed;
    QObject::connect(&builder, &PageBuilder::failed, [&](const QString& message) { failed << message; });
    builder.start(2);
    fixtures::processEventsUntil([&] { return !builder.isBusy(); });
    EXPECT_EQ(builder.status(), PageBuilder::Status::Failed);
    EXPECT_EQ(failed, QStringList({"Tabelle nicht geöffnet"}));
    EXPECT_EQ(run.bandsLaidOut, 7);
    builder.close();
    EXPECT_EQ(run.afterPreview, 1);
}

TEST(ReportPreviewWidget, ShowsPagesAsTheyArriveAndGuardsNavigationAndZoom)
{
    LongReport run;
    auto builder = std::make_unique<PageBuilder>(run.report);
    report::PreviewWidget preview;
    preview.attach(*builder);
    int changed = 0;
    QObject::connect(&preview, &report::PreviewWidget::pageChanged, [&] { ++changed; });
    preview.setPageNumber(1);
    EXPECT_EQ(preview.pageNumber(), 0) << "no page exists yet";

    builder->start(1);
    fixtures::processEventsUntil([&] { return preview.pageCount() >= 1; });
    EXPECT_EQ(preview.pageNumber(), 1);
    EXPECT_EQ(changed, 1);
    preview.setPageNumber(preview.pageCount() + 1);
    EXPECT_EQ(preview.pageNumber(), 1) << "only built pages can be reached";

    fixtures::processEventsUntil([&] { return !builder->isBusy(); });
    preview.setPageNumber(10);
    EXPECT_EQ(preview.pageNumber(), 10);
    preview.setPageNumber(0);
    EXPECT_EQ(preview.pageNumber(), 10);

    const QSize full = preview.pagePixelSize();
    preview.setZoom(50);
    EXPECT_NEAR(preview.pagePixelSize().width(), full.width() / 2, 1);
    preview.setZoom(1);
    preview.setZoom(2001);
    EXPECT_EQ(preview.zoom(), 50);

    // Pages that are gone are not shown.
    builder.reset();
    EXPECT_EQ(preview.pageCount(), 0);
    EXPECT_EQ(preview.pageNumber(), 0);
    preview.widget()->grab();
}

TEST(ReportPreviewWidget, PaintsTheRecordedPage)
{
    Report report;
    smallPage(report);
    Band& title = report.addBand(BandType::Title);
    title.height = 40;
    auto& box = title.add<Shape>();
    box.rect = QRectF(0, 0, 40, 40);
    box.brushColor = Qt::black;
    report::PreviewWidget preview;
    preview.setPages(build(report));
    preview.setZoom(100);
    preview.resize(600, 600);
    const QImage shot = preview.widget()->grab().toImage();
    const double dotsPerMm = preview.logicalDpiX() / 25.4;
    // Inside the black square (10..50 mm) and outside it.
    EXPECT_EQ(QColor(shot.pixel(int(30 * dotsPerMm), int(30 * dotsPerMm))), QColor(Qt::black));
    EXPECT_EQ(QColor(shot.pixel(int(70 * dotsPerMm), int(70 * dotsPerMm))), QColor(Qt::white));
}

TEST(ReportPreviewWidget, LinesKeepTheLayoutsSpacingAtSmallZoom)
{
    Report report;
    smallPage(report);
    Band& band = report.addBand(BandType::Title);
    auto& memo = band.add<Memo>();
    memo.font = QFont(QStringLiteral("DejaVu Sans"), 10);
    memo.rect = QRectF(0, 0, 60, 1);
    memo.autoStretch = true;
    memo.lines = QStringList(6, QStringLiteral("XXXX"));
    const Page page = build(report).at(0);
    const double spacing = page.items.at(0).lineSpacing;

    // Screen fonts round their metrics to whole pixels; lines spaced by them
    // drift from the layout and the last ones slip out of the box.
    const double dotsPerMm = 0.8 * 96 / 25.4;
    QImage image((page.sizeMm * dotsPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(page, painter, dotsPerMm);
    painter.end();
    std::vector<int> lineTops; // first inked row of each line
    bool inkAbove = false;
    for (int y = 0; y < image.height(); ++y) {
        bool ink = false;
        for (int x = 0; x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && !inkAbove)
            lineTops.push_back(y);
        inkAbove = ink;
    }
    ASSERT_EQ(lineTops.size(), 6u);
    EXPECT_NEAR(lineTops[5] - lineTops[0], 5 * spacing * dotsPerMm, 1.0);
}

namespace {

// Where ink is in each row of an image painted at `dotsPerMm`: the rightmost
// inked column, -1 for a blank image.
int rechtesteTinte(const Page& page, double dotsPerMm)
{
    QImage image((page.sizeMm * dotsPerMm).toSize(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(page, painter, dotsPerMm);
    painter.end();
    int rechts = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = image.width() - 1; x > rechts; --x)
            if (qGray(image.pixel(x, y)) < 160)
                rechts = x;
    return rechts;
}

} // namespace

TEST(ReportPreviewWidget, TextLinesAreWholeAtEveryZoomAsInTheLayout)
{
    // Text boxes fitted to their text, as data texts and labels of a sheet
    // are: a line painted wider than measured loses its last letters at the
    // box's edge.
    Report report;
    smallPage(report);
    Band& band = report.addBand(BandType::Title);
    band.height = 60;
    const QStringList zeilen{"Benzol", "Sofort Arzt zuziehen", "07.12.2026", "Wasserstoffperoxid 30 %"};
    for (qsizetype i = 0; i < zeilen.size(); ++i) {
        Label& label = addLabel(band, zeilen[i], QRectF(0, 12.0 * double(i), 10, 5));
        label.font = QFont(QStringLiteral("Arial"), i % 2 == 0 ? 10 : 8);
        label.autoSize = true;
    }
    const Page page = build(report).at(0);

    // The same page with every text box far wider than its text: nothing
    // can be cut there.
    Page frei = page;
    for (DrawnItem& item : frei.items) {
        item.rect.setWidth(item.rect.width() + 50);
        item.clip = item.rect;
    }
    for (const int zoom : {25, 50, 66, 75, 90, 100, 110, 125, 150, 175, 200, 300, 400}) {
        const double dotsPerMm = zoom / 100.0 * 96 / 25.4;
        for (std::size_t i = 0; i < page.items.size(); ++i) {
            Page eine{page.sizeMm, {page.items[i]}};
            Page eineFrei{frei.sizeMm, {frei.items[i]}};
            const int rechts = rechtesteTinte(eine, dotsPerMm);
            ASSERT_GE(rechts, 0);
            EXPECT_EQ(rechts, rechtesteTinte(eineFrei, dotsPerMm))
                << zoom << " %: " << page.items[i].text.toStdString();
        }
    }
}
