#include <gtest/gtest.h>

#include "ReportTestSupport.h"
#include "report/Element.h"

using namespace report;
using namespace reporttest;

namespace {

// Header 10, title 15, detail 20 per record, summary 10, footer 10 on the
// small page: the body runs from the header's foot down to y = 80.
struct FlowReport {
    Report report;
    ListSource source{{"R1", "R2", "R3", "R4", "R5"}};

    FlowReport()
    {
        smallPage(report);
        Band& header = report.addBand(BandType::PageHeader);
        header.height = 10;
        addLabel(header, "Kopf");
        Band& title = report.addBand(BandType::Title);
        title.height = 15;
        addLabel(title, "Titel");
        Band& detail = report.addBand(BandType::Detail);
        detail.height = 20;
        auto& value = detail.add<DataText>();
        value.rect = QRectF(5, 2, 60, 5);
        value.value = [this] { return source.current(); };
        Band& summary = report.addBand(BandType::Summary);
        summary.height = 10;
        addLabel(summary, "Summe");
        Band& footer = report.addBand(BandType::PageFooter);
        footer.height = 10;
        auto& page = footer.add<SystemData>();
        page.data = SystemDataKind::PageNumber;
        page.rect = QRectF(0, 0, 20, 5);
        report.dataSource = &source;
    }
};

} // namespace

TEST(ReportPageFlow, BandsStackAndMoveToTheNextPageWhenTheyDoNotFit)
{
    FlowReport flow;
    const std::vector<Page> pages = build(flow.report);
    ASSERT_EQ(pages.size(), 3u);

    for (const Page& page : pages)
        EXPECT_EQ(page.sizeMm, QSizeF(100, 100));
    // Page 1: title below the header, two details (text 2 mm into the band),
    // the third would end at 95; the footer's page number at 80 on every page.
    EXPECT_EQ(textTops(pages[0]), (Tops{{"Kopf", 10}, {"Titel", 20}, {"R1", 37}, {"R2", 57}, {"1", 80}}));
    EXPECT_DOUBLE_EQ(findText(pages[0], "R1")->rect.left(), 10.0 + 5.0);
    // Page 2: the title is not repeated; the fifth detail ends exactly at the
    // footer's room and still fits.
    EXPECT_EQ(textTops(pages[1]), (Tops{{"Kopf", 10}, {"R3", 22}, {"R4", 42}, {"R5", 62}, {"2", 80}}));
    // Page 3: only the summary, which no longer fitted on page 2.
    EXPECT_EQ(textTops(pages[2]), (Tops{{"Kopf", 10}, {"Summe", 20}, {"3", 80}}));
}

TEST(ReportPageFlow, EventsRunInOrderAndSuppressedBandsTakeNoRoom)
{
    FlowReport flow;
    QStringList log;
    flow.report.events.beforePrint = [&] { log << "beforePrint"; };
    flow.report.events.beforeBand = [&](Band& band, bool& print) {
        if (band.type == BandType::Title)
            log << "title " + flow.source.current();
        if (band.type == BandType::Detail) {
            log << "detail " + flow.source.current();
            print = flow.source.current() != "R2";
        }
    };
    const std::vector<Page> pages = build(flow.report);
    EXPECT_EQ(log, QStringList({"beforePrint", "title R1", "detail R1", "detail R2", "detail R3", "detail R4",
                                "detail R5"}));
    // R3 takes R2's place.
    EXPECT_EQ(textTops(pages[0]), (Tops{{"Kopf", 10}, {"Titel", 20}, {"R1", 37}, {"R3", 57}, {"1", 80}}));

    // A disabled band is not even asked about and takes no room either.
    log.clear();
    flow.report.bands()[1]->enabled = false; // the title
    EXPECT_EQ(textTops(build(flow.report)[0]), (Tops{{"Kopf", 10}, {"R1", 22}, {"R3", 42}, {"R4", 62}, {"1", 80}}));
    EXPECT_EQ(log, QStringList({"beforePrint", "detail R1", "detail R2", "detail R3", "detail R4", "detail R5"}));
}

TEST(ReportPageFlow, ChildBandsFollowTheirParentShareItsSuppressionAndMoveOnAlone)
{
    Report report;
    smallPage(report);
    ListSource source({"A", "B", "C"});
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 30;
    addLabel(detail, "Eltern");
    Band& child = detail.childBand();
    EXPECT_EQ(child.type, BandType::Child);
    child.height = 30;
    addLabel(child, "Kind");
    child.childBand().height = 5;
    addLabel(child.childBand(), "Enkel");
    report.events.beforeBand = [&](Band& band, bool& print) {
        if (band.type == BandType::Detail)
            print = source.current() != "B";
    };
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 2u);
    // A's chain fills page one to 75; B brings no child; C's parent and child
    // fit on page two and the grandchild goes on with them.
    EXPECT_EQ(textTops(pages[0]), (Tops{{"Eltern", 10}, {"Kind", 40}, {"Enkel", 70}}));
    EXPECT_EQ(textTops(pages[1]), (Tops{{"Eltern", 10}, {"Kind", 40}, {"Enkel", 70}}));

    // A child that no longer fits moves to the next page without its parent.
    child.height = 60;
    const std::vector<Page> moved = build(report);
    EXPECT_EQ(textTops(moved[0]), (Tops{{"Eltern", 10}}));
    EXPECT_EQ(textTops(moved[1]), (Tops{{"Kind", 10}, {"Enkel", 70}}));
}

TEST(ReportPageFlow, StretchingMemoGrowsItsBandOtherwiseTheMemoIsCutAtItsBox)
{
    Report report;
    smallPage(report);
    ListSource source({"A", "B"});
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 8;
    detail.frame.bottom = true;
    auto& memo = detail.add<Memo>();
    memo.rect = QRectF(0, 2, 60, 5);
    memo.autoStretch = true;
    memo.wordWrap = true;
    report.events.beforeBand = [&](Band&, bool&) {
        memo.lines = source.current() == "A" ? QStringList({"eins", "zwei", "drei", "vier"}) : QStringList({"x"});
    };
    auto itemsOf = [](const Page& page, ItemKind kind) {
        std::vector<DrawnItem> result;
        std::copy_if(page.items.begin(), page.items.end(), std::back_inserter(result),
                     [kind](const DrawnItem& item) { return item.kind == kind; });
        return result;
    };
    std::vector<Page> pages = build(report);
    std::vector<DrawnItem> memos = itemsOf(pages[0], ItemKind::Text);
    std::vector<DrawnItem> frames = itemsOf(pages[0], ItemKind::Shape);
    ASSERT_EQ(memos.size(), 2u);
    EXPECT_EQ(memos[0].text, "eins\nzwei\ndrei\nvier");
    EXPECT_GT(memos[0].rect.height(), 5.0 * 2) << "four lines need more than twice the 5 mm box";
    const double grownBand = 2.0 + memos[0].rect.height();
    EXPECT_NEAR(memos[1].rect.top(), 10.0 + grownBand + 2.0, 1e-9);
    // The frame follows the stretched band; the second band keeps its height.
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(frames[0].rect.top(), 10.0 + grownBand, 1e-9);
    EXPECT_NEAR(frames[1].rect.top(), 10.0 + grownBand + 8.0, 1e-9);

    memo.autoStretch = false;
    pages = build(report);
    memos = itemsOf(pages[0], ItemKind::Text);
    EXPECT_EQ(memos[0].clip, QRectF(10, 12, 60, 5));
    EXPECT_DOUBLE_EQ(memos[1].rect.top(), 10.0 + 8.0 + 2.0);
}

TEST(ReportPageFlow, BandTallerThanAPageIsCutOffAndTheBuildStillEnds)
{
    Report report;
    smallPage(report);
    report.addBand(BandType::PageFooter).height = 10;
    ListSource source({"A", "B", "C"});
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 200;
    detail.add<Shape>().rect = QRectF(0, 0, 80, 200);
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 3u);
    for (const Page& page : pages) {
        ASSERT_EQ(page.items.size(), 1u);
        EXPECT_EQ(page.items[0].clip, QRectF(10, 10, 80, 70)) << "cut off above the footer's room";
    }
}

TEST(ReportPageFlow, NeedDataDecidesHowManyDetailsPrintAndCannotHangWithoutDetail)
{
    Report report;
    smallPage(report);
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 5;
    auto& number = detail.add<SystemData>();
    number.data = SystemDataKind::DetailNumber;
    number.rect = QRectF(0, 0, 20, 5);
    int asked = 0;
    report.needData = [&] { return ++asked <= 3; };
    EXPECT_EQ(texts(build(report)[0]), QStringList({"1", "2", "3"}));
    EXPECT_EQ(asked, 4);

    // With no band to print per record, an answer that never says no ends.
    detail.enabled = false;
    report.needData = [] { return true; };
    EXPECT_EQ(build(report).size(), 1u);
}

TEST(ReportPageFlow, ReportWithoutBandsGivesOneEmptyPageOfItsPaper)
{
    Report report;
    report.page().setOrientation(Orientation::Landscape);
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].items.empty());
    EXPECT_EQ(pages[0].sizeMm, QSizeF(297, 210));
}

TEST(ReportPageFlow, ColumnHeaderFollowsTheTitleOnPageOneAndTheHeaderAfterwards)
{
    Report report;
    smallPage(report);
    report.addBand(BandType::PageHeader).height = 10;
    report.addBand(BandType::Title).height = 10;
    Band& columns = report.addBand(BandType::ColumnHeader);
    columns.height = 5;
    addLabel(columns, "Spalten");
    ListSource source({"A", "B", "C", "D"});
    report.dataSource = &source;
    report.addBand(BandType::Detail).height = 25;
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(textTops(pages[0]), (Tops{{"Spalten", 30}}));
    EXPECT_EQ(textTops(pages[1]), (Tops{{"Spalten", 20}}));
}
