// Each value type against hand-written bytes, read and written, so that the
// reader does not share a misreading with our own writer.

#include <gtest/gtest.h>

#include "StreamTestSupport.h"
#include "stream/StreamReader.h"
#include "stream/StreamWriter.h"

using namespace streamtest;
using stream::Object;
using stream::Value;

namespace {

// The value of property "P" in a record holding just that property.
Value readValue(const QByteArray& valueBytes)
{
    stream::StreamReader reader(record(property("P", valueBytes)), layoutClasses(), "probe.sto");
    const Object object = reader.readRecord();
    EXPECT_TRUE(reader.atEnd());
    const Value* value = object.find(u"P");
    return value ? *value : Value::identifier("missing");
}

// The bytes the writer gives for one property "P" with this value.
QByteArray written(const Value& value)
{
    Object object("TOwnQuickRep", "R");
    object.append("P", value);
    const QByteArray out = stream::StreamWriter::toBytes(object);
    const QByteArray head = "TPF0" + shortString("TOwnQuickRep") + shortString("R") + shortString("P");
    EXPECT_TRUE(out.startsWith(head));
    EXPECT_TRUE(out.endsWith(QByteArray(2, '\0')));
    return out.mid(head.size(), out.size() - head.size() - 2);
}

struct Form {
    Value value;
    QByteArray bytes;
};

} // namespace

// Value equality includes the kind, so a string read as an identifier or an
// extended read as a single fails here.
TEST(ValueForm, EveryKindReadsFromAndWritesToItsBytes)
{
    stream::CollectionItem captioned;
    captioned.append("Caption", Value::string("A"));
    stream::CollectionItem indexed; // as inherited forms store them
    indexed.index = 3;
    indexed.append("Width", Value::integer(5));
    const Form forms[] = {
        // Integers are signed little-endian in the smallest width that holds them.
        {Value::integer(10), bytes("02 0A")},
        {Value::integer(-5), bytes("02 FB")},
        {Value::integer(-128), bytes("02 80")},
        {Value::integer(128), bytes("03 80 00")},
        {Value::integer(300), bytes("03 2C 01")},
        {Value::integer(-200), bytes("03 38 FF")},
        {Value::integer(-32769), bytes("04 FF 7F FF FF")},
        {Value::integer(70000), bytes("04 70 11 01 00")},
        {Value::integer(INT32_MIN), bytes("04 00 00 00 80")},
        {Value::integer(3000000000LL), bytes("13 00 5E D0 B2 00 00 00 00")},
        {Value::integer(INT64_MIN), bytes("13 00 00 00 00 00 00 00 80")},
        // Scale = 1.5 as measured: 05 and ten bytes.
        {Value::extended(1.5), bytes("05 00 00 00 00 00 00 00 C0 FF 3F")},
        {Value::extended(-2.25), bytes("05 00 00 00 00 00 00 00 90 00 C0")},
        {Value::single(1.5f), bytes("0F 00 00 C0 3F")},
        {Value::currency(123456), bytes("10 40 E2 01 00 00 00 00 00")},   // 12.3456
        {Value::date(36526.5), bytes("11 00 00 00 00 D0 D5 E1 40")},      // 1 Jan 2000 noon
        // Windows-1252: C4 is "Ä", E4 "ä", 80 the euro sign.
        {Value::string(QString::fromUtf8("Ätzend€")), bytes("06 07 C4 'tzend' 80")},
        {Value::string(QString::fromUtf8("Gefährlich")), bytes("06 0A 'Gef' E4 'hrlich'")},
        {Value::string({}), bytes("06 00")},
        {Value::string(QString(255, QChar('x'))), bytes("06 FF") + QByteArray(255, 'x')},
        {Value::string(QString(256, QChar('x'))), bytes("0C 00 01 00 00") + QByteArray(256, 'x')},
        // Bytes read from a stream go back unchanged, even where Windows-1252
        // has no character for them.
        {Value::ansiString(bytes("81 8D")), bytes("06 02 81 8D")},
        {Value::wideString(QString::fromUtf8("€к")), bytes("12 02 00 00 00 AC 20 3A 04")},
        {Value::utf8String(QString::fromUtf8("äß")), bytes("14 04 00 00 00 C3 A4 C3 9F")},
        {Value::identifier("clRed"), bytes("07 05 'clRed'")},
        {Value::boolean(false), bytes("08")},
        {Value::boolean(true), bytes("09")},
        {Value::nil(), bytes("0D")},
        // Data={0102FF} as measured: 0A, a 32-bit length, the bytes.
        {Value::binary(bytes("01 02 FF")), bytes("0A 03 00 00 00 01 02 FF")},
        {Value::binary({}), bytes("0A 00 00 00 00")},
        {Value::set({"fsBold", "fsItalic"}), bytes("0B 06 'fsBold' 08 'fsItalic' 00")},
        {Value::set({}), bytes("0B 00")},
        {Value::list({Value::string("eins"), Value::integer(7), Value::list({})}), bytes("01 06 04 'eins' 02 07 01 00 00")},
        {Value::collection({captioned, indexed}),
         bytes("0E 01 07 'Caption' 06 01 'A' 00  02 03 01 05 'Width' 02 05 00 00")},
    };
    for (const Form& form : forms) {
        SCOPED_TRACE(form.bytes.toHex(' ').constData());
        EXPECT_EQ(written(form.value), form.bytes);
        EXPECT_EQ(readValue(form.bytes), form.value);
    }

    // Forms our writer does not choose still read.
    EXPECT_EQ(readValue(bytes("13 FF FF FF FF FF FF FF FF")), Value::integer(-1));
    EXPECT_EQ(readValue(bytes("0C 03 00 00 00 'abc'")), Value::string("abc"));
    // Cyrillic has no byte in Windows-1252: the text is written wide.
    EXPECT_EQ(written(Value::string(QString::fromUtf8("к"))), bytes("12 01 00 00 00 3A 04"));
}

TEST(ValueForm, ReadValuesAnswerTheirAccessors)
{
    // 81 is undefined in Windows-1252 and stays the character of its byte.
    const Value ansi = readValue(bytes("06 03 'a' 81 80"));
    EXPECT_EQ(ansi.toText(), QString::fromUtf8("a\u0081€"));
    EXPECT_EQ(ansi.ansiBytes(), bytes("'a' 81 80"));
    EXPECT_DOUBLE_EQ(*readValue(bytes("10 40 E2 01 00 00 00 00 00")).toNumber(), 12.3456);
    EXPECT_EQ(readValue(bytes("11 00 00 00 00 D0 D5 E1 40")).toNumber(), 36526.5);
    EXPECT_EQ(readValue(bytes("0F 00 00 C0 3F")).toNumber(), 1.5);
}
