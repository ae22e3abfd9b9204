#include <QMimeData>
#include <QPainter>

#include "WidgetTestSupport.h"
#include "widgets/NameList.h"

using namespace widgets;
using namespace widgettest;

namespace {

NameLines numberedLines(int count)
{
    NameLines lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        lines.add(QString("Name %1").arg(i), static_cast<std::uint8_t>(i % 2), static_cast<std::uint32_t>(count - i));
    return lines;
}

// 5 x 5 markers: red and blue, each with a white top-left pixel that must
// not be drawn.
std::vector<QImage> markerImages()
{
    std::vector<QImage> images;
    for (QColor colour : {QColor(Qt::red), QColor(Qt::blue)}) {
        QImage image(5, 5, QImage::Format_RGB32);
        image.fill(colour);
        image.setPixelColor(0, 0, Qt::white);
        images.push_back(image);
    }
    return images;
}

class NameListFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(300, 200);
        QPalette palette = list.palette();
        palette.setColor(QPalette::Base, Qt::white);
        palette.setColor(QPalette::Text, Qt::black);
        palette.setColor(QPalette::Highlight, QColor(0, 200, 0));
        palette.setColor(QPalette::HighlightedText, Qt::white);
        list.setPalette(palette);
        list.setMarkerImages(markerImages());
        list.setLines(numberedLines(10));
    }
    // The list's viewport as drawn on screen.
    QImage shot() { return list.viewport()->grab().toImage(); }

    NameList list;
};

TEST(NameListLoad, AHundredThousandLinesAreHeldAsGiven)
{
    NameList list;
    list.setLines(numberedLines(100000));
    ASSERT_EQ(list.count(), 100000);
    EXPECT_EQ(list.text(99999), "Name 99999");
    EXPECT_EQ(list.marker(99999), 1);
    EXPECT_EQ(list.recNo(0), 100000u);
    EXPECT_EQ(list.recNo(99999), 1u);
    EXPECT_EQ(list.lineOfRecNo(1), 99999);
    EXPECT_EQ(list.lineOfRecNo(100001), -1);
    EXPECT_EQ(list.recNo(100000), 0u) << "beyond the last line";

    list.setItemIndex(99999);
    EXPECT_EQ(list.itemIndex(), 99999);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.itemIndex(), -1);
}

TEST_F(NameListFixture, LinesAreDrawnWithTheMarkerAtTwoPixelsAndTheTextAfterIt)
{
    QFont font("DejaVu Sans", 14);
    list.setScreenFont(font);
    const int height = list.itemHeight();
    ASSERT_EQ(height, QFontMetrics(font).height());
    ASSERT_EQ(list.visualRect(list.model()->index(1, 0)).height(), height);

    list.setItemIndex(1); // line 1 selected: filled with the highlight
    const QImage image = shot();
    const QRect line0 = list.visualRect(list.model()->index(0, 0));
    const QRect line1 = list.visualRect(list.model()->index(1, 0));
    const int markerTop = (height - 5) / 2;

    // Line 0: red marker at x 2..6, vertically centred, white pixel left out.
    for (int x = 2; x <= 6; ++x)
        for (int y = 0; y < 5; ++y) {
            const QColor expected = x == 2 && y == 0 ? QColor(Qt::white) : QColor(Qt::red);
            EXPECT_EQ(image.pixelColor(line0.left() + x, line0.top() + markerTop + y), expected) << x << "," << y;
        }
    EXPECT_EQ(image.pixelColor(line0.left() + 1, line0.top() + markerTop + 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(line0.left() + 7, line0.top() + markerTop + 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(line0.left() + 4, line0.top() + markerTop - 1), QColor(Qt::white));

    // Line 1: blue marker on the selection colour, which shows through the white pixel.
    EXPECT_EQ(image.pixelColor(line1.left() + 4, line1.top() + markerTop + 2), QColor(Qt::blue));
    EXPECT_EQ(image.pixelColor(line1.left() + 2, line1.top() + markerTop), QColor(0, 200, 0));
    EXPECT_EQ(image.pixelColor(line1.right() - 2, line1.top() + 1), QColor(0, 200, 0))
        << "the selection fills the whole line";

    // Text starts at marker width + 6 = 11 pixels: nothing dark left of it.
    int firstInk = -1;
    for (int x = 7; x < line0.width() && firstInk < 0; ++x)
        for (int y = line0.top(); y <= line0.bottom(); ++y)
            if (image.pixelColor(line0.left() + x, y).lightness() < 128) {
                firstInk = x;
                break;
            }
    EXPECT_GE(firstInk, 11);
    EXPECT_LE(firstInk, 14);
}

TEST_F(NameListFixture, SelectionAndDragCarryTheSelectedLines)
{
    list.setItemIndex(2);
    list.setSelected(7, true);
    list.setSelected(4, true);
    EXPECT_EQ(list.selectedLines(), (std::vector<int>{2, 4, 7}));
    EXPECT_TRUE(list.isSelected(4));
    EXPECT_EQ(list.itemIndex(), 2);

    const QModelIndexList selected = list.selectionModel()->selectedIndexes();
    std::unique_ptr<QMimeData> data(list.model()->mimeData(selected));
    ASSERT_TRUE(data->hasFormat(NameList::mimeType()));
    EXPECT_EQ(NameList::linesFromMimeData(data.get()), (std::vector<int>{2, 4, 7}));

    QMimeData foreign;
    foreign.setText("2,4,7");
    EXPECT_EQ(NameList::linesFromMimeData(&foreign), std::nullopt);
    EXPECT_EQ(NameList::linesFromMimeData(nullptr), std::nullopt);

    list.setItemIndex(5); // the program's choice of line selects it alone
    EXPECT_EQ(list.selectedLines(), (std::vector<int>{5}));
    list.setItemIndex(-1);
    EXPECT_TRUE(list.selectedLines().empty());
}

TEST_F(NameListFixture, AMarkerChangesInPlace)
{
    Spy changed(list.model(), &QAbstractItemModel::dataChanged);
    Spy reset(list.model(), &QAbstractItemModel::modelReset);
    list.setItemIndex(3);
    list.setMarker(3, 0);
    EXPECT_EQ(list.marker(3), 0);
    ASSERT_EQ(changed.count(), 1);
    EXPECT_EQ(changed.at(0).at(0).toModelIndex().row(), 3);
    EXPECT_EQ(changed.at(0).at(1).toModelIndex().row(), 3);
    EXPECT_EQ(reset.count(), 0);
    EXPECT_EQ(list.itemIndex(), 3);
    list.setMarker(10, 0); // no such line: nothing happens
    EXPECT_EQ(changed.count(), 1);
}

TEST_F(NameListFixture, ClicksComeFromTheUserNotFromTheProgram)
{
    Spy clicks(&list, &NameList::lineClicked);
    Spy current(&list, &NameList::currentLineChanged);
    list.setItemIndex(0);
    EXPECT_EQ(clicks.count(), 0);
    ASSERT_EQ(current.count(), 1);
    EXPECT_EQ(current.at(0).at(0).toInt(), 0);

    pressKey(&list, Qt::Key_Down);
    EXPECT_EQ(list.itemIndex(), 1);
    EXPECT_EQ(clicks.count(), 1) << "a keyboard move counts as a click";
    pressKey(&list, Qt::Key_Up);
    pressKey(&list, Qt::Key_Up); // at the top: no move, no click
    EXPECT_EQ(clicks.count(), 2);
}

} // namespace
