// Records, nesting, filer flags, resource headers and the class registry,
// from hand-written bytes.

#include <gtest/gtest.h>

#include <QBuffer>
#include <QFile>

#include "StreamTestSupport.h"
#include "fixtures/Errors.h"
#include "stream/StreamError.h"
#include "stream/StreamReader.h"

using namespace streamtest;
using stream::Object;
using stream::StreamError;
using stream::StreamReader;

namespace {

// A report owning a band that owns a label; the band carries filer flags
// inherited + child position 2.
const QByteArray kNested = bytes("'TPF0' 0C 'TOwnQuickRep' 03 'Rep' 04 'Left' 02 0A 00"
                                 "  F3 02 02 07 'TQRBand' 04 'Band' 03 'Tag' 03 2C 01 00"
                                 "    08 'TQRLabel' 00 00 00"
                                 "  00"
                                 "00");

std::string errorOf(const QByteArray& data, const stream::ClassRegistry& classes = layoutClasses())
{
    try {
        StreamReader reader(data, classes, "Muster.STO");
        reader.readAllRecords();
    } catch (const StreamError& error) {
        return error.what();
    }
    return {};
}

} // namespace

TEST(ReadStructure, NestedChildrenWithFlagsAndChildPosition)
{
    StreamReader reader(kNested, layoutClasses(), "Muster.STO");
    const Object report = reader.readRecord();
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(report.className, "TOwnQuickRep");
    EXPECT_EQ(report.name, "Rep");
    EXPECT_EQ(report.integer(u"Left"), 10);
    EXPECT_EQ(report.flags, 0);
    ASSERT_EQ(report.children.size(), 1u);
    const Object& band = report.children[0];
    EXPECT_EQ(band.className, "TQRBand");
    EXPECT_EQ(band.flags, stream::Inherited | stream::ChildPos);
    EXPECT_EQ(band.childPosition, 2);
    EXPECT_EQ(band.integer(u"tag"), 300) << "property names ignore case";
    ASSERT_EQ(band.children.size(), 1u);
    EXPECT_EQ(band.children[0].className, "TQRLabel");
    EXPECT_TRUE(band.children[0].name.isEmpty());
    EXPECT_EQ(report.findChild(u"band"), &band);
}

TEST(ReadStructure, RecordsFollowOneAnotherAndTheDeviceStandsBehindEach)
{
    const QByteArray second = record(property("Top", bytes("02 05")));
    QByteArray file = "junk" + kNested + second;
    QBuffer buffer(&file);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    buffer.seek(4);
    StreamReader reader(buffer, layoutClasses(), "Muster.STO");
    EXPECT_EQ(reader.readRecord().name, "Rep");
    EXPECT_EQ(buffer.pos(), 4 + kNested.size());
    EXPECT_EQ(reader.readRecord().integer(u"Top"), 5);
    EXPECT_TRUE(reader.atEnd());
    EXPECT_THROW(reader.readRecord(), StreamError);
}

TEST(ReadStructure, ResourceHeaderIsSkippedWithNamedOrNumberedResource)
{
    const QByteArray body = record({});
    const QByteArray named = bytes("FF 0A 00 'TSTOFFINFO' 00 30 10") + le32(body.size()) + body;
    const QByteArray numbered = bytes("FF 0A 00 FF 01 00 30 10") + le32(body.size()) + body;
    EXPECT_EQ(StreamReader(named, layoutClasses(), "a").readRecord().className, "TOwnQuickRep");
    EXPECT_EQ(StreamReader(numbered, layoutClasses(), "a").readRecord().className, "TOwnQuickRep");
}

TEST(ReadStructure, UnregisteredClassFailsNamingFileAndClass)
{
    const std::string message = errorOf(record({}).replace("TOwnQuickRep", "TQRDBText123"));
    EXPECT_NE(message.find("Muster.STO"), std::string::npos) << message;
    EXPECT_NE(message.find("TQRDBText123"), std::string::npos) << message;
    EXPECT_NE(message.find("nicht registriert"), std::string::npos) << message;
    // A child is checked as well as the record's own component.
    EXPECT_NE(errorOf(kNested, {"TOwnQuickRep", "TQRBand"}).find("TQRLabel"), std::string::npos);
    // Registered names match without regard to case.
    EXPECT_EQ(errorOf(kNested, {"towNquickrep", "TQRBAND", "tqrlabel"}), "");
}

TEST(ReadStructure, EveryTruncationIsAnErrorWithPosition)
{
    for (qsizetype length = 0; length < kNested.size(); ++length) {
        const std::string message = errorOf(kNested.left(length));
        if (length == 0) {
            EXPECT_EQ(message, "") << "an empty stream holds no records";
            continue;
        }
        EXPECT_NE(message.find("Position"), std::string::npos) << length << ": " << message;
        EXPECT_NE(message.find("Muster.STO"), std::string::npos) << message;
    }
}

TEST(ReadStructure, DamagedStreamsAreErrorsNotCrashes)
{
    struct Case {
        const char* what;
        QByteArray data;
        const char* expected;
    };
    const Case cases[] = {
        {"no signature", bytes("'TPF1' 0C 'TOwnQuickRep' 00 00 00"), "TPF0"},
        {"text form", "object Stoffinfo: TOwnQuickRep\r\nend\r\n", "Textform"},
        {"unknown value type", record(property("P", bytes("15 00"))), "Werttyp 21"},
        {"null as value", record(property("P", bytes("00"))), "Werttyp 0"},
        {"binary past the end", record(property("P", bytes("0A FF FF FF 7F 01"))), "Längenangabe 2147483647"},
        {"wide string past the end", record(property("P", bytes("12 FF FF FF FF 41 00"))), "Längenangabe"},
        {"long string past the end", record(property("P", bytes("0C 10 00 00 00 'ab'"))), "Längenangabe 16"},
        {"empty class name", bytes("'TPF0' 00 00 00 00"), "Klassenname"},
        {"child position not an integer", bytes("'TPF0' F2 06 01 'x' 0C 'TOwnQuickRep' 00 00 00"), "Besitzerliste"},
        {"collection item without list", record(property("P", bytes("0E 06 01 'x' 00"))), "Sammlung"},
        {"resource header of wrong type", bytes("FF 05 00 'X' 00 30 10 00 00 00 00") + record({}), "Ressourcenkopf"},
        {"resource size past the end", bytes("FF 0A 00 'X' 00 30 10 FF 00 00 00") + record({}), "Längenangabe 255"},
        {"trailing garbage", record({}) + "x", "TPF0"},
    };
    for (const Case& c : cases) {
        const std::string message = errorOf(c.data);
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.what << ": " << message;
    }
}

TEST(ReadStructure, NestingAndEntryCountAreBounded)
{
    // Lists inside lists, deeper than any layout.
    const QByteArray deepList = record(property("P", QByteArray(500, '\x01') + QByteArray(500, '\0')));
    EXPECT_NE(errorOf(deepList).find("verschachtelt"), std::string::npos);

    QByteArray deepObjects = "TPF0";
    for (int i = 0; i < 200; ++i)
        deepObjects += shortString("TQRBand") + shortString("") + QByteArray(1, '\0');
    deepObjects += QByteArray(200, '\0');
    EXPECT_NE(errorOf(deepObjects).find("verschachtelt"), std::string::npos);

    // A small file may not claim memory out of proportion: two million nils.
    const QByteArray manyNils = record(property("P", "\x01" + QByteArray(2'000'000, '\x0D') + QByteArray(1, '\0')));
    EXPECT_NE(errorOf(manyNils).find("zu viele"), std::string::npos);
}

TEST(ReadStructure, FileThatCannotBeOpenedIsAnError)
{
    EXPECT_TRUE(fixtures::errorOf<StreamError>([] { StreamReader::readFile("/nonexistent/Fehlt.STO", layoutClasses()); })
                    .contains("Fehlt.STO"));
}
