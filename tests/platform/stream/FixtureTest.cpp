// Layouts written by Free Pascal's converter (tests/tools/fpstream) from the
// text sources beside them in tests/data/stream.

#include <gtest/gtest.h>

#include "StreamTestSupport.h"
#include "stream/LayoutValues.h"
#include "stream/Picture.h"
#include "stream/StreamReader.h"

using namespace streamtest;
using stream::Object;

namespace {

std::vector<Object> readData(const char* name)
{
    return stream::StreamReader::readFile(dataFile(name), layoutClasses());
}

} // namespace

TEST(Fixture, EveryValueOfTheTextFormArrivesInTheTree)
{
    const std::vector<Object> records = readData("values.bin");
    ASSERT_EQ(records.size(), 1u);
    const Object& probe = records[0];
    EXPECT_EQ(probe.className, "TOwnQuickRep");
    EXPECT_EQ(probe.name, "Probe");
    EXPECT_EQ(probe.integer(u"Left"), 10);
    EXPECT_EQ(probe.integer(u"Top"), 300);
    EXPECT_EQ(probe.integer(u"Width"), 70000);
    EXPECT_EQ(probe.integer(u"Tag"), -5);
    EXPECT_EQ(probe.integer(u"Height"), -200);
    EXPECT_EQ(probe.integer(u"HelpContext"), -70000);
    EXPECT_EQ(probe.integer(u"Big"), 3000000000LL);
    EXPECT_EQ(probe.integer(u"Huge"), -9000000000000000000LL);
    EXPECT_EQ(probe.number(u"Scale"), 1.5);
    EXPECT_EQ(probe.number(u"Tiny"), 0.1);
    EXPECT_EQ(probe.number(u"Negative"), -2.25);
    EXPECT_EQ(probe.string(u"Caption"), QString::fromUtf8("Gefährliche Stoffe"));
    EXPECT_EQ(probe.string(u"Hint"), QString::fromUtf8("Preis in €"));
    EXPECT_EQ(probe.string(u"Description"), QString("Sicherheitsdatenblatt ").repeated(14));
    EXPECT_EQ(probe.identifier(u"Units"), "MM");
    EXPECT_EQ(probe.colour(u"Color", {}), stream::Colour::fromRgb(255, 0, 0));
    EXPECT_EQ(probe.colour(u"Font.Color", {}), stream::Colour::fromRgb(0, 0, 255));
    EXPECT_FALSE(probe.boolean(u"Enabled", true));
    EXPECT_TRUE(probe.boolean(u"Visible"));
    EXPECT_TRUE(probe.find(u"PopupMenu")->isNil());
    EXPECT_EQ(probe.setMembers(u"Font.Style"), QStringList({"fsBold", "fsItalic"}));
    EXPECT_TRUE(probe.setMembers(u"Options").isEmpty());
    EXPECT_EQ(probe.binary(u"Data"), bytes("01 02 FF"));
    EXPECT_EQ(probe.strings(u"Lines.Strings"), QStringList({"eins", "zwei", QString::fromUtf8("Ätzend")}));
    const auto* items = probe.find(u"Items")->collection();
    ASSERT_NE(items, nullptr);
    ASSERT_EQ(items->size(), 2u);
    EXPECT_EQ((*items)[0].string(u"Caption"), "A");
    EXPECT_TRUE((*items)[1].isEmpty());

    ASSERT_EQ(probe.children.size(), 3u);
    EXPECT_EQ(probe.children[0].identifier(u"BandType"), "rbTitle");
    EXPECT_EQ(probe.findChild(u"Grandchild")->string(u"Caption"), "Enkel");
    EXPECT_EQ(probe.children[1].flags, stream::Inherited | stream::ChildPos);
    EXPECT_EQ(probe.children[1].childPosition, 3);
    const QImage image = stream::Picture::fromPictureData(probe.children[2].binary(u"Picture.Data"), "values.bin").toImage();
    EXPECT_EQ(image.size(), QSize(2, 2));
}

// The sheet layout: the report's record, then one record for each band whose
// class is exactly TQRBand, in the report's component order.
TEST(Fixture, SheetLayoutReadsRecordByRecord)
{
    const std::vector<Object> records = readData("sheet.sto");
    ASSERT_EQ(records.size(), 3u);
    const Object& report = records[0];
    std::vector<QString> bandsWithRecords;
    for (const Object& child : report.children) {
        if (child.className == "TQRBand")
            bandsWithRecords.push_back(child.name);
    }
    ASSERT_EQ(bandsWithRecords, (std::vector<QString>{"Kopf", "Daten"}));
    EXPECT_EQ(records[1].name, "Kopf");
    EXPECT_EQ(records[2].name, "Daten");

    const stream::PageValues page = stream::PageValues::fromProperties(report);
    EXPECT_EQ(stored(page), (std::vector<double>{150, 2970, 60, 2100, 130, 100, 0}));
    EXPECT_EQ(stream::unitsFromIdentifier(report.identifier(u"Units")), stream::Units::MM);
    const auto bandSize = stream::BandSize::fromProperties(report.children[0]);
    ASSERT_TRUE(bandSize.has_value());
    EXPECT_NEAR(bandSize->length, 211.667, 0.001);

    const Object& title = *records[1].findChild(u"Titel");
    const stream::Font font = title.font(report.font(stream::Font{}));
    EXPECT_EQ(font.name, "Times New Roman");
    EXPECT_EQ(font.height, -21);
    EXPECT_TRUE(font.bold());
    EXPECT_TRUE(font.underline());
    EXPECT_FALSE(font.italic());
    EXPECT_EQ(font.colour, stream::Colour::fromRgb(0, 0, 128));
    EXPECT_EQ(font.charset, 0);
    // A label without font properties takes the report's font.
    EXPECT_EQ(records[1].findChild(u"Name1")->font(report.font(stream::Font{})).name, "Arial");
    EXPECT_EQ(records[1].findChild(u"Name1")->integer(u"Tag"), 101);
    EXPECT_EQ(records[2].findChild(u"Symbol")->string(u"Hint"), "[chemie.dbf GEFAHR1]");
    EXPECT_EQ(records[2].findChild(u"Rahmen")->colour(u"Brush.Color", {}), stream::Colour::fromRgb(192, 192, 192));
}

TEST(Fixture, LabelLayoutIsOneRecordWithItsElements)
{
    const std::vector<Object> records = readData("label.eti");
    ASSERT_EQ(records.size(), 1u);
    const Object& label = records[0];
    ASSERT_EQ(label.children.size(), 3u);
    const stream::PageValues page = stream::PageValues::fromProperties(label);
    EXPECT_EQ(page.length, 700);
    EXPECT_EQ(page.width, 1000);
    const stream::Picture picture =
        stream::Picture::fromPictureData(label.findChild(u"Bild")->binary(u"Picture.Data"), "label.eti");
    EXPECT_EQ(picture.graphicClass, "TBitmap");
    EXPECT_TRUE(picture.file.startsWith("BM"));
    EXPECT_EQ(label.children[2].className, "TShape");
}
