#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include <QFile>

#include "StreamTestSupport.h"
#include "stream/StreamError.h"
#include "stream/StreamReader.h"
#include "stream/StreamWriter.h"

using namespace streamtest;
using stream::Object;
using stream::StreamWriter;
using stream::Value;

namespace {

// The bytes the writer gives for one property "P" with this value.
QByteArray written(const Value& value)
{
    Object object("TOwnQuickRep", "R");
    object.append("P", value);
    const QByteArray out = StreamWriter::toBytes(object);
    const QByteArray head = "TPF0" + shortString("TOwnQuickRep") + shortString("R") + shortString("P");
    EXPECT_TRUE(out.startsWith(head));
    EXPECT_TRUE(out.endsWith(QByteArray(2, '\0')));
    return out.mid(head.size(), out.size() - head.size() - 2);
}

QByteArray fileBytes(const char* name)
{
    QFile file(dataFile(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace

TEST(Writer, IntegersTakeTheSmallestForm)
{
    EXPECT_EQ(written(Value::integer(10)), bytes("02 0A"));
    EXPECT_EQ(written(Value::integer(-128)), bytes("02 80"));
    EXPECT_EQ(written(Value::integer(128)), bytes("03 80 00"));
    EXPECT_EQ(written(Value::integer(300)), bytes("03 2C 01"));
    EXPECT_EQ(written(Value::integer(-32769)), bytes("04 FF 7F FF FF"));
    EXPECT_EQ(written(Value::integer(3000000000LL)), bytes("13 00 5E D0 B2 00 00 00 00"));
    EXPECT_EQ(written(Value::integer(INT64_MIN)), bytes("13 00 00 00 00 00 00 00 80"));
}

TEST(Writer, StringsTakeTheFormTheirTextNeeds)
{
    EXPECT_EQ(written(Value::string(QString::fromUtf8("Ätzend€"))), bytes("06 07 C4 'tzend' 80"));
    const QString long256(256, QChar('x'));
    EXPECT_EQ(written(Value::string(long256)), bytes("0C 00 01 00 00") + QByteArray(256, 'x'));
    EXPECT_EQ(written(Value::string(QString(255, QChar('x')))).left(2), bytes("06 FF"));
    // Cyrillic has no byte in Windows-1252.
    EXPECT_EQ(written(Value::string(QString::fromUtf8("к"))), bytes("12 01 00 00 00 3A 04"));
    EXPECT_EQ(written(Value::wideString("A")), bytes("12 01 00 00 00 41 00"));
    EXPECT_EQ(written(Value::utf8String(QString::fromUtf8("ä"))), bytes("14 02 00 00 00 C3 A4"));
    // Bytes read from a stream go back unchanged, even where Windows-1252
    // has no character for them.
    EXPECT_EQ(written(Value::ansiString(bytes("81 8D"))), bytes("06 02 81 8D"));
}

TEST(Writer, OtherValueForms)
{
    EXPECT_EQ(written(Value::extended(1.5)), bytes("05 00 00 00 00 00 00 00 C0 FF 3F"));
    EXPECT_EQ(written(Value::single(1.5f)), bytes("0F 00 00 C0 3F"));
    EXPECT_EQ(written(Value::currency(123456)), bytes("10 40 E2 01 00 00 00 00 00"));
    EXPECT_EQ(written(Value::date(36526.5)), bytes("11 00 00 00 00 D0 D5 E1 40"));
    EXPECT_EQ(written(Value::identifier("clRed")), bytes("07 05 'clRed'"));
    EXPECT_EQ(written(Value::boolean(false)), bytes("08"));
    EXPECT_EQ(written(Value::boolean(true)), bytes("09"));
    EXPECT_EQ(written(Value::nil()), bytes("0D"));
    EXPECT_EQ(written(Value::binary(bytes("01 02 FF"))), bytes("0A 03 00 00 00 01 02 FF"));
    EXPECT_EQ(written(Value::set({"fsBold", "fsItalic"})), bytes("0B 06 'fsBold' 08 'fsItalic' 00"));
    EXPECT_EQ(written(Value::list({Value::integer(1), Value::string("a")})), bytes("01 02 01 06 01 'a' 00"));

    stream::CollectionItem plain;
    plain.append("Width", Value::integer(5));
    stream::CollectionItem indexed;
    indexed.index = 3;
    EXPECT_EQ(written(Value::collection({plain, indexed})), bytes("0E 01 05 'Width' 02 05 00 02 03 01 00 00"));
}

TEST(Writer, FlagsAndChildPosition)
{
    Object parent("TOwnQuickRep", "R");
    Object child("TQRBand", "B");
    child.flags = stream::Inherited;
    child.childPosition = 2;
    parent.children.push_back(child);
    EXPECT_EQ(StreamWriter::toBytes(parent),
              bytes("'TPF0' 0C 'TOwnQuickRep' 01 'R' 00  F3 02 02 07 'TQRBand' 01 'B' 00 00  00"));
}

TEST(Writer, WhatTheFormCannotHoldIsAnError)
{
    Object object("TOwnQuickRep", "R");
    EXPECT_THROW(StreamWriter::toBytes(Object("", "R")), stream::StreamError);
    EXPECT_THROW(StreamWriter::toBytes(Object(QString(256, QChar('T')), "R")), stream::StreamError);
    EXPECT_THROW(StreamWriter::toBytes(Object("TOwnQuickRep", QString::fromUtf8("Отчёт"))), stream::StreamError);
    object.append("", Value::integer(1));
    EXPECT_THROW(StreamWriter::toBytes(object), stream::StreamError);
    Object withEmptySetMember("TOwnQuickRep", "R");
    withEmptySetMember.append("S", Value::set({"a", ""}));
    EXPECT_THROW(StreamWriter::toBytes(withEmptySetMember), stream::StreamError);
}

// The fixtures were written by Free Pascal's converter from their text
// sources: reading them and writing them again must give the very same bytes.
TEST(Writer, RewritesIndependentlyWrittenLayoutsByteForByte)
{
    for (const char* name : {"values.bin", "sheet.sto", "label.eti"}) {
        const QByteArray original = fileBytes(name);
        ASSERT_FALSE(original.isEmpty()) << name;
        stream::StreamReader reader(original, layoutClasses(), name);
        QByteArray rewritten;
        for (const Object& record : reader.readAllRecords())
            rewritten += StreamWriter::toBytes(record);
        EXPECT_EQ(rewritten.toHex().toStdString(), original.toHex().toStdString()) << name;
    }
}

TEST(Writer, RoundTripKeepsEveryValueKind)
{
    Object report("TOwnQuickRep", "Report");
    report.append("Int", Value::integer(-70000));
    report.append("Big", Value::integer(INT64_MAX));
    report.append("Ext", Value::extended(-0.1));
    report.append("Inf", Value::extended(std::numeric_limits<double>::infinity()));
    report.append("Sgl", Value::single(0.25f));
    report.append("Cur", Value::currency(-5));
    report.append("Dat", Value::date(45000.75));
    report.append("Str", Value::string(QString::fromUtf8("Größe ✓")));
    report.append("Long", Value::string(QString(1000, QChar(0xE4))));
    report.append("Wide", Value::wideString("w"));
    report.append("Utf8", Value::utf8String(QString::fromUtf8("ü")));
    report.append("Id", Value::identifier("poLandscape"));
    report.append("Yes", Value::boolean(true));
    report.append("None", Value::nil());
    report.append("Bin", Value::binary(QByteArray(70000, '\x7F')));
    report.append("Set", Value::set({}));
    report.append("List", Value::list({Value::list({Value::extended(2970)}), Value::string("")}));
    stream::CollectionItem item;
    item.index = 40000;
    item.append("Caption", Value::string("x"));
    report.append("Items", Value::collection({item, stream::CollectionItem()}));
    Object band("TQRBand", "Band");
    band.childPosition = 0;
    band.flags = stream::Inherited | stream::ChildPos;
    band.children.push_back(Object("TQRLabel", ""));
    report.children.push_back(band);

    const fixtures::TempDir dir;
    const QString path = QString::fromStdString(dir.file("Rund.STO").string());
    StreamWriter::writeFile(path, {report, Object("TQRBand", "Band")});
    const std::vector<Object> back = stream::StreamReader::readFile(path, layoutClasses());
    // The string that Windows-1252 cannot hold comes back as a wide string.
    Object expected = report;
    expected.set("Str", Value::wideString(QString::fromUtf8("Größe ✓")));
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(back[0], expected);
    EXPECT_EQ(back[1], Object("TQRBand", "Band"));
}
