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

TEST(PageFlow, BandsStackAndMoveToTheNextPageWhenTheyDoNotFit)
{
    FlowReport flow;
    const std::vector<Page> pages = build(flow.report);
    ASSERT_EQ(pages.size(), 3u);

    for (const Page& page : pages) {
        EXPECT_EQ(page.sizeMm, QSizeF(100, 100));
        const DrawnItem* header = findText(page, "Kopf");
        ASSERT_NE(header, nullptr);
        EXPECT_DOUBLE_EQ(header->rect.top(), 10.0);
        EXPECT_DOUBLE_EQ(header->rect.left(), 10.0);
    }
    // Page 1: title below the header, two details, the third would end at 95.
    EXPECT_DOUBLE_EQ(findText(pages[0], "Titel")->rect.top(), 20.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "R1")->rect.top(), 35.0 + 2.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "R1")->rect.left(), 10.0 + 5.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "R2")->rect.top(), 55.0 + 2.0);
    EXPECT_EQ(findText(pages[0], "R3"), nullptr);
    // Page 2: the title is not repeated; the fifth detail ends exactly at the
    // footer's room and still fits.
    EXPECT_EQ(findText(pages[1], "Titel"), nullptr);
    EXPECT_DOUBLE_EQ(findText(pages[1], "R3")->rect.top(), 22.0);
    EXPECT_DOUBLE_EQ(findText(pages[1], "R4")->rect.top(), 42.0);
    EXPECT_DOUBLE_EQ(findText(pages[1], "R5")->rect.top(), 62.0);
    // Page 3: only the summary, which no longer fitted on page 2.
    EXPECT_DOUBLE_EQ(findText(pages[2], "Summe")->rect.top(), 20.0);
    EXPECT_EQ(findText(pages[1], "Summe"), nullptr);

    for (int i = 0; i < 3; ++i) {
        const DrawnItem* number = findText(pages[std::size_t(i)], QString::number(i + 1));
        ASSERT_NE(number, nullptr) << "page " << i + 1;
        EXPECT_DOUBLE_EQ(number->rect.top(), 80.0) << "footer at the foot of page " << i + 1;
    }
}

TEST(PageFlow, EventsRunInOrderAndSuppressedBandsTakeNoRoom)
{
    FlowReport flow;
    QStringList log;
    flow.report.events.beforePrint = [&] { log << "beforePrint"; };
    flow.report.events.beforeBand = [&](Band& band, bool& print) {
        if (band.type == BandType::Detail) {
            log << "detail " + flow.source.current();
            print = flow.source.current() != "R2";
        }
    };
    const std::vector<Page> pages = build(flow.report);
    EXPECT_EQ(log, QStringList({"beforePrint", "detail R1", "detail R2", "detail R3", "detail R4", "detail R5"}));
    EXPECT_EQ(findText(pages[0], "R2"), nullptr);
    // R3 takes R2's place.
    EXPECT_DOUBLE_EQ(findText(pages[0], "R3")->rect.top(), 57.0);
}

TEST(PageFlow, ChildBandsFollowTheirParentAndShareItsSuppression)
{
    Report report;
    smallPage(report);
    ListSource source({"A", "B"});
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 30;
    addLabel(detail, "Eltern");
    Band& child = detail.childBand();
    EXPECT_TRUE(detail.hasChild());
    EXPECT_EQ(child.type, BandType::Child);
    child.height = 30;
    addLabel(child, "Kind");
    Band& grandChild = child.childBand();
    grandChild.height = 5;
    addLabel(grandChild, "Enkel");

    report.events.beforeBand = [&](Band& band, bool& print) {
        if (band.type == BandType::Detail)
            print = source.current() == "A";
    };
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 1u);
    // Parent at 10, child at 40, grandchild at 70; the suppressed second
    // detail brings no child.
    EXPECT_DOUBLE_EQ(findText(pages[0], "Eltern")->rect.top(), 10.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "Kind")->rect.top(), 40.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "Enkel")->rect.top(), 70.0);
    EXPECT_EQ(texts(pages[0]), QStringList({"Eltern", "Kind", "Enkel"}));
}

TEST(PageFlow, ChildBandMovesToTheNextPageOnItsOwn)
{
    Report report;
    smallPage(report);
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 50;
    addLabel(detail, "Eltern");
    Band& child = detail.childBand();
    child.height = 40;
    addLabel(child, "Kind");
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_DOUBLE_EQ(findText(pages[1], "Kind")->rect.top(), 10.0);
}

TEST(PageFlow, StretchingMemoGrowsItsBandAndPushesTheNextBand)
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
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 1u);

    std::vector<const DrawnItem*> memos;
    std::vector<const DrawnItem*> frames;
    for (const DrawnItem& item : pages[0].items) {
        if (item.kind == ItemKind::Text)
            memos.push_back(&item);
        if (item.kind == ItemKind::Shape)
            frames.push_back(&item);
    }
    ASSERT_EQ(memos.size(), 2u);
    EXPECT_EQ(memos[0]->text, "eins\nzwei\ndrei\nvier");
    const double grown = memos[0]->rect.height();
    EXPECT_GT(grown, 5.0 * 2) << "four lines need more than twice the 5 mm box";
    const double firstBandHeight = 2.0 + grown;
    EXPECT_NEAR(memos[1]->rect.top(), 10.0 + firstBandHeight + 2.0, 1e-9);
    // The frame follows the stretched band; the second band keeps its height.
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_NEAR(frames[0]->rect.top(), 10.0 + firstBandHeight, 1e-9);
    EXPECT_NEAR(frames[1]->rect.top(), 10.0 + firstBandHeight + 8.0, 1e-9);
}

TEST(PageFlow, MemoWithoutStretchKeepsItsBoxAndIsClippedToIt)
{
    Report report;
    smallPage(report);
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 8;
    auto& memo = detail.add<Memo>();
    memo.rect = QRectF(0, 0, 60, 5);
    memo.wordWrap = true;
    memo.lines = QStringList({"eins", "zwei", "drei"});
    Band& summary = report.addBand(BandType::Summary);
    summary.height = 5;
    addLabel(summary, "Ende");
    const std::vector<Page> pages = build(report);
    const DrawnItem* text = findText(pages[0], "eins\nzwei\ndrei");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->clip, QRectF(10, 10, 60, 5));
    EXPECT_DOUBLE_EQ(findText(pages[0], "Ende")->rect.top(), 18.0);
}

TEST(PageFlow, BandTallerThanAPageIsCutOffAndTheBuildStillEnds)
{
    Report report;
    smallPage(report);
    Band& footer = report.addBand(BandType::PageFooter);
    footer.height = 10;
    ListSource source({"A", "B", "C"});
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 200;
    auto& shape = detail.add<Shape>();
    shape.rect = QRectF(0, 0, 80, 200);
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 3u);
    for (const Page& page : pages) {
        ASSERT_EQ(page.items.size(), 1u);
        EXPECT_EQ(page.items[0].clip, QRectF(10, 10, 80, 70)) << "cut off above the footer's room";
    }
}

TEST(PageFlow, NeedDataDecidesHowManyDetailsPrint)
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
    const std::vector<Page> pages = build(report);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(texts(pages[0]), QStringList({"1", "2", "3"}));
}

TEST(PageFlow, EndlessNeedDataWithoutDetailBandDoesNotHang)
{
    Report report;
    smallPage(report);
    addLabel(report.addBand(BandType::Summary), "Ende");
    report.needData = [] { return true; };
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(texts(pages[0]), QStringList({"Ende"}));
}

TEST(PageFlow, ReportWithoutBandsGivesOneEmptyPageOfItsPaper)
{
    Report report;
    report.page().setPaperSize(PaperSize::A4);
    report.page().setOrientation(Orientation::Landscape);
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].items.empty());
    EXPECT_EQ(pages[0].sizeMm, QSizeF(297, 210));
}

TEST(PageFlow, ColumnHeaderFollowsTheTitleOnPageOneAndTheHeaderAfterwards)
{
    Report report;
    smallPage(report);
    report.addBand(BandType::PageHeader).height = 10;
    Band& title = report.addBand(BandType::Title);
    title.height = 10;
    Band& columns = report.addBand(BandType::ColumnHeader);
    columns.height = 5;
    addLabel(columns, "Spalten");
    Band& overlay = report.addBand(BandType::Overlay);
    addLabel(overlay, "Entwurf");
    ListSource source({"A", "B", "C", "D"});
    report.dataSource = &source;
    report.addBand(BandType::Detail).height = 25;
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_DOUBLE_EQ(findText(pages[0], "Spalten")->rect.top(), 30.0);
    EXPECT_DOUBLE_EQ(findText(pages[1], "Spalten")->rect.top(), 20.0);
    EXPECT_DOUBLE_EQ(findText(pages[0], "Entwurf")->rect.top(), 10.0);
    EXPECT_DOUBLE_EQ(findText(pages[1], "Entwurf")->rect.top(), 10.0);
}

TEST(PageFlow, DisabledBandsAndElementsPrintNothing)
{
    Report report;
    smallPage(report);
    Band& off = report.addBand(BandType::Title);
    off.enabled = false;
    off.height = 50;
    addLabel(off, "aus");
    Band& on = report.addBand(BandType::Summary);
    on.height = 5;
    addLabel(on, "sichtbar");
    addLabel(on, "versteckt").enabled = false;
    const std::vector<Page> pages = build(report);
    EXPECT_EQ(texts(pages[0]), QStringList({"sichtbar"}));
    EXPECT_DOUBLE_EQ(findText(pages[0], "sichtbar")->rect.top(), 10.0);
}
