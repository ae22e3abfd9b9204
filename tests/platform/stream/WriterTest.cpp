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

QByteArray fileBytes(const char* name)
{
    QFile file(dataFile(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

} // namespace

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
