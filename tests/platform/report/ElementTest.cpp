#include <gtest/gtest.h>

#include "ReportTestSupport.h"
#include "report/Element.h"
#include "report/TextLayout.h"

using namespace report;
using namespace reporttest;

namespace {

ElementOutput renderAlone(const Element& element, SystemValues system = {})
{
    TextMeasure measure;
    ElementOutput out;
    element.render(RenderContext{measure, system}, out);
    return out;
}

QFont font(double points)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(points);
    return f;
}

} // namespace

TEST(ReportUnits, ConvertToMillimetresAndKeepThePageWhenUnitsChange)
{
    PageSetup page;
    page.setUnits(Unit::Inches);
    page.setTopMargin(1);
    page.setUnits(Unit::Pixels);
    page.setBottomMargin(96);
    page.setUnits(Unit::Characters);
    page.setLeftMargin(10); // ten characters across make an inch ...
    page.setLength(6);      // ... and six lines down
    page.setUnits(Unit::Native);
    page.setRightMargin(127);

    page.setUnits(Unit::MM);
    EXPECT_DOUBLE_EQ(page.topMargin(), 25.4);
    EXPECT_DOUBLE_EQ(page.bottomMargin(), 25.4);
    EXPECT_DOUBLE_EQ(page.leftMargin(), 25.4);
    EXPECT_DOUBLE_EQ(page.length(), 25.4);
    EXPECT_DOUBLE_EQ(page.rightMargin(), 12.7);
    page.setUnits(Unit::Characters);
    EXPECT_DOUBLE_EQ(page.leftMargin(), 10.0);
}

TEST(ReportUnits, PaperSizeOrientationAndPrintableArea)
{
    PageSetup page;
    page.setLength(50); // counts only for a custom paper
    page.setOrientation(Orientation::Landscape);
    page.setTopMargin(20);
    page.setLeftMargin(15);
    EXPECT_EQ(page.printableRectMm(), QRectF(15, 20, 297 - 25, 210 - 30));
    page.setLeftMargin(400);
    EXPECT_GE(page.printableRectMm().width(), 0.0) << "margins wider than the paper leave an empty area";

    page.setOrientation(Orientation::Portrait);
    page.setPaperSize(PaperSize::Custom);
    page.setWidth(80);
    EXPECT_EQ(page.pageSizeMm(), QSizeF(80, 50));
    page.setWidth(0);
    EXPECT_EQ(page.pageSizeMm(), QSizeF(210, 297)) << "a custom paper without size falls back to A4";

    EXPECT_EQ(paperSizeFromName("letter"), PaperSize::Letter);
    EXPECT_EQ(paperSizeFromName("Papyrus"), PaperSize::Default);
    EXPECT_EQ(unitFromName("Characters"), Unit::Characters);
    EXPECT_EQ(unitFromName(""), Unit::MM);
}

TEST(ReportTextBox, AutoSizeFitsTheBoxAndKeepsTheAlignedEdge)
{
    const QRectF box(10, 10, 40, 5);
    const QSizeF text(12, 4);
    EXPECT_EQ(fitBox(box, text, {false, true, false, Qt::AlignLeft}), QRectF(10, 10, 12, 4));
    EXPECT_EQ(fitBox(box, text, {false, true, false, Qt::AlignRight}), QRectF(38, 10, 12, 4));
    EXPECT_EQ(fitBox(box, text, {false, true, false, Qt::AlignHCenter}), QRectF(24, 10, 12, 4));
    // With word wrap the width stays and only the height follows the text.
    EXPECT_EQ(fitBox(box, QSizeF(40, 12), {true, true, false, Qt::AlignLeft}), QRectF(10, 10, 40, 12));
    // Stretch grows, never shrinks; with neither rule the box stays.
    EXPECT_EQ(fitBox(box, QSizeF(40, 12), {true, false, true, Qt::AlignLeft}), QRectF(10, 10, 40, 12));
    EXPECT_EQ(fitBox(box, QSizeF(40, 2), {true, false, true, Qt::AlignLeft}), box);
    EXPECT_EQ(fitBox(box, QSizeF(90, 2), {false, false, false, Qt::AlignLeft}), box);
}

TEST(ReportTextBox, WordWrapBreaksAtBlanksWithinTheWidthAndKeepsLineBreaks)
{
    TextMeasure measure;
    const QFont f = font(10);
    const QString text = "Schwefelsäure ist ätzend und reagiert heftig mit Wasser\nZweiter Absatz";
    const QStringList lines = measure.wrap(text, f, 40.0);
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(lines.last(), "Zweiter Absatz");
    EXPECT_EQ(lines.join(' '), QString(text).replace('\n', ' '));
    for (const QString& line : lines)
        EXPECT_LE(measure.width(line, f), 40.0) << line.toStdString();

    // A word longer than the line is broken inside rather than lost.
    const QStringList broken = measure.wrap(QString(40, QChar('W')), f, 20.0);
    EXPECT_GT(broken.size(), 1);
    EXPECT_EQ(broken.join(QString()), QString(40, QChar('W')));
}

TEST(ReportTextElement, LabelKeepsItsBoxDataTextWithAutoSizeGrowsWithItsText)
{
    Label label;
    label.caption = "Ein recht langer statischer Text";
    label.rect = QRectF(5, 5, 10, 5);
    ElementOutput out = renderAlone(label);
    ASSERT_EQ(out.items.size(), 1u);
    EXPECT_EQ(out.items[0].rect, label.rect);
    EXPECT_EQ(out.items[0].clip, label.rect) << "text runs on and is cut at the box";

    DataText data;
    data.value = [] { return QStringLiteral("Ein recht langer Feldinhalt"); };
    data.font = font(10);
    data.autoSize = true;
    data.rect = QRectF(5, 5, 10, 5);
    out = renderAlone(data);
    ASSERT_EQ(out.items.size(), 1u);
    EXPECT_NEAR(out.items[0].rect.width(), TextMeasure().width("Ein recht langer Feldinhalt", data.font), 1e-9);
    EXPECT_EQ(out.items[0].rect.topLeft(), QPointF(5, 5));
    EXPECT_EQ(out.items[0].clip, out.items[0].rect);
}

TEST(ReportSystemData, GermanDateAndTimeFormsAndCounters)
{
    SystemValues values;
    values.now = QDateTime(QDate(2026, 3, 7), QTime(8, 5, 9));
    values.pageNumber = 12;
    values.detailNumber = 3;
    values.detailCount = 40;
    values.title = "Marlex99: Reportdruck";
    EXPECT_EQ(SystemData::format(SystemDataKind::Time, values), "08:05:09");
    EXPECT_EQ(SystemData::format(SystemDataKind::Date, values), "07.03.2026");
    EXPECT_EQ(SystemData::format(SystemDataKind::DateTime, values), "07.03.2026 08:05:09");
    EXPECT_EQ(SystemData::format(SystemDataKind::PageNumber, values), "12");
    EXPECT_EQ(SystemData::format(SystemDataKind::ReportTitle, values), "Marlex99: Reportdruck");
    EXPECT_EQ(SystemData::format(SystemDataKind::DetailCount, values), "40");
    EXPECT_EQ(SystemData::format(SystemDataKind::DetailNumber, values), "3");
}

TEST(ReportSystemData, ValuesComeFromTheRunAndOneMomentServesAllPages)
{
    Report report;
    smallPage(report);
    int clockReads = 0;
    report.clock = [&] {
        ++clockReads;
        return QDateTime(QDate(2026, 12, 24), QTime(23, 59, 58));
    };
    ListSource source({"a", "b", "c"}, true);
    report.dataSource = &source;
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 30;
    for (SystemDataKind kind : {SystemDataKind::DateTime, SystemDataKind::DetailNumber, SystemDataKind::DetailCount,
                                SystemDataKind::PageNumber})
        detail.add<SystemData>().data = kind;
    for (std::size_t i = 0; i < detail.elements().size(); ++i)
        detail.elements()[i]->rect = QRectF(0, 5.0 * double(i), 80, 5);
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_EQ(clockReads, 1);
    const QString moment = "24.12.2026 23:59:58";
    EXPECT_EQ(texts(pages[0]), QStringList({moment, "1", "3", "1", moment, "2", "3", "1"}));
    EXPECT_EQ(texts(pages[1]), QStringList({moment, "3", "3", "2"}));
}

TEST(ReportRichText, FormulaRunsShareABaselineAndSmallDigitsKeepTheirSize)
{
    RichText formula;
    formula.font = font(12);
    formula.rect = QRectF(2, 3, 60, 8);
    formula.runs = {{"H", 0, false}, {"2", 6, false}, {"SO", 0, false}, {"4", 6, true}};
    EXPECT_EQ(formula.plainText(), "H2SO4");
    const ElementOutput out = renderAlone(formula);
    ASSERT_EQ(out.items.size(), 4u);
    QStringList runTexts;
    for (const DrawnItem& item : out.items) {
        EXPECT_EQ(item.kind, ItemKind::TextRun);
        EXPECT_EQ(item.clip, formula.rect);
        EXPECT_DOUBLE_EQ(item.rect.top(), 3.0) << "one line";
        runTexts << item.text;
    }
    EXPECT_EQ(runTexts, QStringList({"H", "2", "SO", "4"}));
    EXPECT_DOUBLE_EQ(out.items[0].rect.left(), 2.0);
    for (std::size_t i = 1; i < out.items.size(); ++i)
        EXPECT_NEAR(out.items[i].rect.left(), out.items[i - 1].rect.right(), 1e-9) << "runs follow each other";
    EXPECT_DOUBLE_EQ(out.items[0].font.pointSizeF(), 12.0);
    EXPECT_DOUBLE_EQ(out.items[1].font.pointSizeF(), 6.0);
    EXPECT_LT(out.items[1].rect.width(), out.items[0].rect.width());
    // Shrunk digits sit on the baseline; a subscript run is lowered below it.
    EXPECT_DOUBLE_EQ(out.items[1].baseline, out.items[0].baseline);
    EXPECT_GT(out.items[3].baseline, out.items[2].baseline);
}

TEST(ReportRichText, WrapsOnlyAtBlanksAndStretchesWhenAsked)
{
    RichText formula;
    formula.font = font(12);
    formula.wordWrap = true;
    formula.autoStretch = true;
    formula.runs = {{"CuSO", 0, false}, {"4", 6, false}, {" * 5H", 0, false}, {"2", 6, false}, {"O", 0, false}};
    TextMeasure measure;
    // Narrower than the whole formula, wide enough for its widest word.
    const double word = measure.width("CuSO ", formula.font) + measure.width("4", font(6));
    formula.rect = QRectF(0, 0, word + 0.5, 4);
    const ElementOutput out = renderAlone(formula);
    auto top = [&](const QString& text) {
        for (const DrawnItem& item : out.items) {
            if (item.text == text)
                return item.rect.top();
        }
        ADD_FAILURE() << "no run " << text.toStdString();
        return -1.0;
    };
    EXPECT_DOUBLE_EQ(top("4"), top("CuSO"));
    EXPECT_GT(top("5H"), top("CuSO"));
    EXPECT_DOUBLE_EQ(top("2"), top("5H")) << "5H2O stays together";
    EXPECT_DOUBLE_EQ(top("O"), top("5H"));
    EXPECT_GT(out.stretchBottom, 4.0);
    EXPECT_DOUBLE_EQ(out.stretchBottom, out.items.back().clip.bottom());
    for (const DrawnItem& item : out.items)
        EXPECT_LE(item.rect.right(), formula.rect.right() + 1e-9) << item.text.toStdString();
}

TEST(ReportPicture, StretchCentreAndAutoSizeRules)
{
    Image image;
    image.picture = QImage(96, 48, QImage::Format_RGB32); // 25.4 x 12.7 mm at 96 dpi
    image.rect = QRectF(10, 10, 50, 50);
    image.stretch = true;
    EXPECT_EQ(renderAlone(image).items.at(0).rect, image.rect);

    image.stretch = false;
    DrawnItem item = renderAlone(image).items.at(0);
    EXPECT_EQ(item.rect, QRectF(10, 10, 25.4, 12.7));
    EXPECT_EQ(item.clip, image.rect);

    image.center = true;
    EXPECT_EQ(renderAlone(image).items.at(0).rect.center(), image.rect.center());

    image.center = false;
    image.autoSize = true;
    image.rect = QRectF(0, 0, 5, 5);
    EXPECT_EQ(renderAlone(image).items.at(0).clip, QRectF(0, 0, 25.4, 12.7));

    QImage fine(300, 300, QImage::Format_RGB32);
    fine.setDotsPerMeterX(int(300 / 0.0254));
    fine.setDotsPerMeterY(int(300 / 0.0254));
    EXPECT_DOUBLE_EQ(PictureElement::naturalSizeMm(fine).width(), 25.4) << "its own resolution counts";

    DataImage empty;
    EXPECT_TRUE(renderAlone(empty).items.empty());
}

TEST(ReportBandFrame, SidesBecomeLinesAlongTheBandEdges)
{
    Report report;
    smallPage(report);
    Band& band = report.addBand(BandType::Title);
    band.height = 20;
    band.frame.top = true;
    band.frame.right = true;
    band.frame.width = 0.5;
    const std::vector<Page> pages = build(report);
    ASSERT_EQ(pages[0].items.size(), 2u);
    EXPECT_EQ(pages[0].items[0].shape, ShapeKind::HorLine);
    EXPECT_EQ(pages[0].items[0].rect, QRectF(10, 10, 80, 0));
    EXPECT_DOUBLE_EQ(pages[0].items[0].penWidth, 0.5);
    EXPECT_EQ(pages[0].items[1].shape, ShapeKind::VertLine);
    EXPECT_EQ(pages[0].items[1].rect, QRectF(90, 10, 0, 20));
}
