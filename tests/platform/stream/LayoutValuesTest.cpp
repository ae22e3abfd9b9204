// Colours, fonts, page and size values as the layers above read them.

#include <gtest/gtest.h>

#include "StreamTestSupport.h"
#include "stream/Font.h"
#include "stream/LayoutValues.h"
#include "stream/Object.h"

using stream::Colour;
using stream::Object;
using stream::Value;

TEST(LayoutValues, ColoursFromIdentifiersAndNumbers)
{
    const auto red = Colour::fromIdentifier(u"clRed");
    ASSERT_TRUE(red.has_value());
    EXPECT_EQ(red->red(), 255);
    EXPECT_EQ(red->blue(), 0);
    // $00BBGGRR: blue in the third byte.
    const Colour navyish(0x00800000);
    EXPECT_EQ(navyish.blue(), 0x80);
    EXPECT_EQ(navyish.red(), 0);
    EXPECT_EQ(navyish.identifier(), "clNavy");
    // System colours take the classic scheme.
    const Colour face = *Colour::fromIdentifier(u"clbtnface");
    EXPECT_TRUE(face.isSystem());
    EXPECT_EQ(face.red(), 0xD4);
    EXPECT_EQ(face.blue(), 0xC8);
    EXPECT_EQ(Colour::fromIdentifier(u"clWindowText")->red(), 0);
    EXPECT_EQ(Colour(0x80000005).identifier(), "clWindow");
    EXPECT_TRUE(Colour::fromIdentifier(u"clNone")->isNone());
    EXPECT_FALSE(Colour::fromIdentifier(u"clPaisley").has_value());

    Object shape("TQRShape", "S");
    shape.append("Brush.Color", Value::identifier("clPaisley"));
    shape.append("Pen.Color", Value::integer(0x0000FF));
    shape.append("Color", Value::string("clRed"));
    const Colour fallback = Colour::fromRgb(1, 2, 3);
    EXPECT_EQ(shape.colour(u"Brush.Color", fallback), fallback) << "unknown name";
    EXPECT_EQ(shape.colour(u"Pen.Color", fallback), Colour::fromRgb(255, 0, 0));
    EXPECT_EQ(shape.colour(u"Color", fallback), fallback) << "a string is no colour";
    EXPECT_EQ(shape.colour(u"Missing", fallback), fallback);
}

TEST(LayoutValues, FontTakesWhatIsStoredAndInheritsTheRest)
{
    stream::Font parent;
    parent.name = "Arial";
    parent.height = -13;
    parent.style = {"fsItalic"};

    Object label("TQRLabel", "L");
    label.append("Font.Height", Value::integer(-16));
    label.append("Font.Charset", Value::identifier("EASTEUROPE_CHARSET"));
    label.append("Font.Style", Value::set({}));
    const stream::Font font = label.font(parent);
    EXPECT_EQ(font.name, "Arial");
    EXPECT_EQ(font.height, -16);
    EXPECT_DOUBLE_EQ(font.pointSize(), 12.0);
    EXPECT_FALSE(font.italic()) << "an empty stored style replaces the parent's";
    EXPECT_EQ(font.charset, 238);
    EXPECT_EQ(font.colour, parent.colour);

    EXPECT_TRUE(Object("TQRLabel", "M").font(parent).italic());
}

TEST(LayoutValues, PageValuesByPlaceAndByName)
{
    Object report("TOwnQuickRep", "R");
    // Landscape A4 as public forms store it: length and width swapped.
    report.append("Page.Values", Value::list({Value::extended(50), Value::extended(2100), Value::extended(100),
                                              Value::extended(2970), Value::integer(130), Value::extended(70),
                                              Value::extended(5)}));
    stream::PageValues page = stream::PageValues::fromProperties(report);
    EXPECT_EQ(streamtest::stored(page), (std::vector<double>{50, 2100, 100, 2970, 130, 70, 5}));

    report.append("Page.TopMargin", Value::extended(250));
    EXPECT_EQ(stream::PageValues::fromProperties(report).topMargin, 250);

    // What the demo generator writes reads back place for place.
    Object written("TOwnQuickRep", "W");
    written.append("Page.Values", page.toValue());
    EXPECT_EQ(written.numbers(u"Page.Values"), (std::vector<double>{50, 2100, 100, 2970, 130, 70, 5}));

    // Short lists fill what they hold; nothing stored gives A4 portrait.
    Object partial("TOwnQuickRep", "P");
    partial.append("Page.Values", Value::list({Value::integer(10), Value::integer(1480)}));
    page = stream::PageValues::fromProperties(partial);
    EXPECT_EQ(page.length, 1480);
    EXPECT_EQ(page.width, 2100);
    EXPECT_EQ(stream::PageValues::fromProperties(Object()).length, 2970);
}

TEST(LayoutValues, SizesAndUnits)
{
    Object band("TQRBand", "B");
    band.append("Size.Values", Value::list({Value::extended(113.77), Value::extended(1899.71)}));
    EXPECT_EQ(stream::BandSize::fromProperties(band)->width, 1899.71);
    EXPECT_FALSE(stream::ElementSize::fromProperties(band).has_value());

    Object label("TQRLabel", "L");
    label.append("Size.Values", Value::list({Value::extended(66.15), Value::extended(42.33),
                                             Value::extended(21.17), Value::extended(1822.98)}));
    const auto size = stream::ElementSize::fromProperties(label);
    ASSERT_TRUE(size.has_value());
    EXPECT_EQ(size->height, 66.15);
    EXPECT_EQ(size->left, 42.33);
    EXPECT_EQ(size->top, 21.17);
    EXPECT_EQ(size->width, 1822.98);
    Object copy("TQRLabel", "C");
    copy.append("Size.Values", size->toValue());
    EXPECT_EQ(*copy.find(u"Size.Values"), *label.find(u"Size.Values"));

    EXPECT_EQ(stream::unitsFromIdentifier(u"Inches"), stream::Units::Inches);
    EXPECT_EQ(stream::unitsFromIdentifier(u"Characters"), stream::Units::Characters);
    EXPECT_FALSE(stream::unitsFromIdentifier(u"Furlongs").has_value());
}
