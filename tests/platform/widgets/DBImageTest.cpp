#include <QImage>

#include "WidgetTestSupport.h"
#include "fixtures/Images.h"
#include "widgets/DBImage.h"

using namespace widgets;
using namespace widgettest;

namespace {

class PictureField : public TableFixture {
protected:
    // Aceton gets a red BMP, Ethanol a green PNG; Wasser keeps none.
    void SetUp() override
    {
        TableFixture::SetUp();
        table.edit();
        table.field(BILD).setAsBytes(fixtures::encodedImage(fixtures::filledImage(30, 20, Qt::red), "BMP"));
        table.next();
        table.edit();
        table.field(BILD).setAsBytes(fixtures::encodedImage(fixtures::filledImage(200, 20, Qt::green), "PNG"));
        table.first();
    }
};

TEST_F(PictureField, ShowsThePictureOfTheCurrentRecord)
{
    auto& image = control<DBImage>("BILD");
    EXPECT_EQ(image.picture().size(), QSize(30, 20));
    EXPECT_EQ(image.picture().toImage().pixelColor(0, 0), QColor(Qt::red));
    table.next();
    EXPECT_EQ(image.picture().size(), QSize(200, 20));
    table.next();
    EXPECT_TRUE(image.picture().isEmpty()) << "a record without a picture shows none";

    // A picture of the program's own stays until the record changes.
    image.setPicture(graphics::Picture(fixtures::filledImage(5, 5, Qt::blue)));
    EXPECT_EQ(image.picture().size(), QSize(5, 5));
    table.first();
    EXPECT_EQ(image.picture().size(), QSize(30, 20));
    image.clearPicture();
    EXPECT_TRUE(image.picture().isEmpty());

    // Damaged data shows nothing instead of stopping the browsing.
    table.edit();
    table.field(BILD).setAsBytes(QByteArray("BM") + QByteArray(40, '\x7f'));
    EXPECT_TRUE(image.picture().isEmpty());
}

TEST(DBImageLayout, StretchesExactlyWhenThePictureIsLargerThanTheControl)
{
    DBImage image;
    image.resize(100, 80);
    image.setStretchWhenLarger(true);
    const QRect area = image.contentsRect();

    image.setPicture(graphics::Picture(fixtures::filledImage(50, 40, Qt::red)));
    EXPECT_EQ(image.pictureRect(), QRect(25, 20, 50, 40)) << "smaller: own size, centred";
    image.setCenter(false);
    EXPECT_EQ(image.pictureRect(), QRect(0, 0, 50, 40));

    image.setPicture(graphics::Picture(fixtures::filledImage(101, 10, Qt::red)));
    EXPECT_EQ(image.pictureRect(), area) << "wider than the control";
    image.setPicture(graphics::Picture(fixtures::filledImage(10, 81, Qt::red)));
    EXPECT_EQ(image.pictureRect(), area) << "higher than the control";
    image.setPicture(graphics::Picture(fixtures::filledImage(100, 80, Qt::red)));
    EXPECT_EQ(image.pictureRect(), QRect(0, 0, 100, 80)) << "exactly as large is not larger";

    image.setStretchWhenLarger(false);
    image.setPicture(graphics::Picture(fixtures::filledImage(300, 10, Qt::red)));
    EXPECT_EQ(image.pictureRect(), QRect(0, 0, 300, 10));

    // What is painted: a stretched picture fills the control.
    image.setStretchWhenLarger(true);
    image.setPicture(graphics::Picture(fixtures::filledImage(300, 300, Qt::green)));
    const QImage shot = image.grab().toImage();
    EXPECT_EQ(shot.pixelColor(1, 1), QColor(Qt::green));
    EXPECT_EQ(shot.pixelColor(98, 78), QColor(Qt::green));
}

} // namespace
