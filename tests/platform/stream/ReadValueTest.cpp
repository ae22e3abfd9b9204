// The reader against hand-written bytes, one value type at a time, so that it
// does not share a misreading with our own writer.

#include <cmath>

#include <gtest/gtest.h>

#include "StreamTestSupport.h"
#include "stream/StreamReader.h"

using namespace streamtest;
using stream::Value;

namespace {

// The value of property "P" in a record holding just that property.
Value readValue(const QByteArray& valueBytes)
{
    stream::StreamReader reader(record(property("P", valueBytes)), layoutClasses(), "probe.sto");
    const stream::Object object = reader.readRecord();
    EXPECT_TRUE(reader.atEnd());
    const Value* value = object.find(u"P");
    return value ? *value : Value::identifier("missing");
}

} // namespace

TEST(ReadValue, IntegersOfEveryWidthAreSignedLittleEndian)
{
    EXPECT_EQ(readValue(bytes("02 0A")).toInteger(), 10);
    EXPECT_EQ(readValue(bytes("02 FB")).toInteger(), -5);
    EXPECT_EQ(readValue(bytes("03 2C 01")).toInteger(), 300);
    EXPECT_EQ(readValue(bytes("03 38 FF")).toInteger(), -200);
    EXPECT_EQ(readValue(bytes("04 70 11 01 00")).toInteger(), 70000);
    EXPECT_EQ(readValue(bytes("04 00 00 00 80")).toInteger(), INT32_MIN);
    EXPECT_EQ(readValue(bytes("13 00 5E D0 B2 00 00 00 00")).toInteger(), 3000000000LL);
    EXPECT_EQ(readValue(bytes("13 FF FF FF FF FF FF FF FF")).toInteger(), -1);
}

TEST(ReadValue, FloatingPointForms)
{
    // Scale = 1.5 as measured: 05 and ten bytes.
    EXPECT_EQ(readValue(bytes("05 00 00 00 00 00 00 00 C0 FF 3F")).toNumber(), 1.5);
    EXPECT_EQ(readValue(bytes("05 00 00 00 00 00 00 00 90 00 C0")).toNumber(), -2.25);
    const Value single = readValue(bytes("0F 00 00 C0 3F"));
    EXPECT_EQ(single.kind(), Value::Kind::Single);
    EXPECT_EQ(single.toNumber(), 1.5);
    // 12.3456 currency units are stored as 123456.
    const Value currency = readValue(bytes("10 40 E2 01 00 00 00 00 00"));
    EXPECT_EQ(currency.kind(), Value::Kind::Currency);
    EXPECT_EQ(currency.currencyScaled(), 123456);
    EXPECT_DOUBLE_EQ(*currency.toNumber(), 12.3456);
    // 1 Jan 2000 noon: day 36526.5.
    const Value date = readValue(bytes("11 00 00 00 00 D0 D5 E1 40"));
    EXPECT_EQ(date.kind(), Value::Kind::Date);
    EXPECT_EQ(date.toNumber(), 36526.5);
}

TEST(ReadValue, StringsDecodeFromTheirOwnEncodings)
{
    // Windows-1252: E4 is "ä", 80 is the euro sign, 81 is undefined there.
    const Value shortString = readValue(bytes("06 0B 'Gef' E4 'hrlich' 80"));
    EXPECT_EQ(shortString.kind(), Value::Kind::String);
    EXPECT_EQ(shortString.toText(), QString::fromUtf8("Gefährlich€"));
    EXPECT_EQ(shortString.ansiBytes(), bytes("'Gef' E4 'hrlich' 80"));
    EXPECT_EQ(readValue(bytes("06 01 81")).toText(), QString(QChar(0x81)));

    EXPECT_EQ(readValue(bytes("0C 03 00 00 00 'abc'")).toText(), "abc");
    EXPECT_EQ(readValue(bytes("06 00")).toText(), QString());

    const Value wide = readValue(bytes("12 02 00 00 00 AC 20 3A 04"));
    EXPECT_EQ(wide.kind(), Value::Kind::WideString);
    EXPECT_EQ(wide.toText(), QString::fromUtf8("€к"));

    const Value utf8 = readValue(bytes("14 04 00 00 00 C3 A4 C3 9F"));
    EXPECT_EQ(utf8.kind(), Value::Kind::Utf8String);
    EXPECT_EQ(utf8.toText(), QString::fromUtf8("äß"));
}

TEST(ReadValue, IdentifiersBooleansNilAndBinary)
{
    EXPECT_EQ(readValue(bytes("07 05 'clRed'")).toIdentifier(), "clRed");
    EXPECT_EQ(readValue(bytes("08")).toBoolean(), false);
    EXPECT_EQ(readValue(bytes("09")).toBoolean(), true);
    EXPECT_TRUE(readValue(bytes("0D")).isNil());
    // Data={0102FF} as measured: 0A, a 32-bit length, the bytes.
    const Value binary = readValue(bytes("0A 03 00 00 00 01 02 FF"));
    ASSERT_NE(binary.binary(), nullptr);
    EXPECT_EQ(*binary.binary(), bytes("01 02 FF"));
    EXPECT_EQ(readValue(bytes("0A 00 00 00 00")).binary()->size(), 0);
}

TEST(ReadValue, SetsListsAndCollections)
{
    const Value set = readValue(bytes("0B 06 'fsBold' 08 'fsItalic' 00"));
    ASSERT_NE(set.setMembers(), nullptr);
    EXPECT_EQ(*set.setMembers(), QStringList({"fsBold", "fsItalic"}));
    EXPECT_TRUE(readValue(bytes("0B 00")).setMembers()->isEmpty());

    const Value list = readValue(bytes("01 06 04 'eins' 02 07 01 00 00"));
    ASSERT_NE(list.list(), nullptr);
    ASSERT_EQ(list.list()->size(), 3u);
    EXPECT_EQ((*list.list())[0].toText(), "eins");
    EXPECT_EQ((*list.list())[1].toInteger(), 7);
    ASSERT_NE((*list.list())[2].list(), nullptr);
    EXPECT_TRUE((*list.list())[2].list()->empty());

    // Two items, the second with an index (as inherited forms store them).
    const Value collection = readValue(bytes("0E 01 07 'Caption' 06 01 'A' 00"
                                             "   02 03 01 05 'Width' 02 05 00 00"));
    ASSERT_NE(collection.collection(), nullptr);
    ASSERT_EQ(collection.collection()->size(), 2u);
    const auto& first = (*collection.collection())[0];
    EXPECT_FALSE(first.index.has_value());
    EXPECT_EQ(first.string(u"Caption"), "A");
    const auto& second = (*collection.collection())[1];
    EXPECT_EQ(second.index, 3);
    EXPECT_EQ(second.integer(u"Width"), 5);
}
