#include <gtest/gtest.h>

#include <ostream>

#include <QDir>
#include <QFile>

#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "IniTestFiles.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    QString path = u"marlex99.ini"_qs;
    ini::IniFile settings{path};
};

} // namespace

TEST_F(IniFileTest, MissingFileGivesDefaultsAndIsNotCreatedByReading)
{
    EXPECT_EQ(settings.readString("Marlex99", "symbolendung", "BMP"), u"BMP"_qs);
    EXPECT_EQ(settings.readInteger("Marlex99", "state", 4), 4);
    EXPECT_TRUE(settings.readBool("Optionen", "Hint", true));
    EXPECT_FALSE(settings.readBool("Optionen", "IndexCheck", false));
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(IniFileTest, FindsSectionsAndKeysIgnoringCaseAndBlanks)
{
    writeBytes(path, "; Einstellungen\r\n"
                     "Verwaist=vor jedem Abschnitt\r\n"
                     "[Optionen]\r\n"
                     "  Lieferant   =   Chemiehandel Nord  \r\n"
                     "\tVerwender\t=\tLabor 3\r\n"
                     ";Hint=0\r\n"
                     "leer=\r\n"
                     "ohne Gleichheitszeichen\r\n"
                     "[ FONT ]\r\n"
                     "FONTNAME=Arial\r\n");

    EXPECT_EQ(settings.readString("optionen", "LIEFERANT", "?"), u"Chemiehandel Nord"_qs);
    EXPECT_EQ(settings.readString("Optionen", "verwender", "?"), u"Labor 3"_qs);
    EXPECT_EQ(settings.readString("Font", "FontName", "MS Sans Serif"), u"Arial"_qs);
    // A present key with an empty value is an empty string, not the default.
    EXPECT_EQ(settings.readString("Optionen", "leer", "?"), QString());
    // Comments, keys before the first section and keys of other sections do not count.
    EXPECT_TRUE(settings.readBool("Optionen", "Hint", true));
    EXPECT_EQ(settings.readString("Optionen", "Verwaist", "?"), u"?"_qs);
    EXPECT_EQ(settings.readString("Font", "Lieferant", "?"), u"?"_qs);
    EXPECT_EQ(settings.readString("Optionen", "ohne Gleichheitszeichen", "?"), u"?"_qs);
}

TEST_F(IniFileTest, ReadsFilesWithBareLineFeedsAndWithoutAFinalLineEnd)
{
    writeBytes(path, "[Marlex99]\nxpos=12\nypos=34");
    EXPECT_EQ(settings.readInteger("Marlex99", "xpos", 0), 12);
    EXPECT_EQ(settings.readInteger("Marlex99", "ypos", 0), 34);
}

TEST_F(IniFileTest, ReadsAndWritesFilesSavedElsewhereAsTheirAuthorMeantThem)
{
    // UTF-8 with its byte-order mark right before the first section.
    writeBytes(path, "\xEF\xBB\xBF[Optionen]\r\nLagerdatens\xC3\xA4tze markieren=0\r\nLieferant=M\xC3\xBCller\r\n");
    EXPECT_FALSE(settings.readBool("Optionen", u"Lagerdatensätze markieren"_qs, true));
    EXPECT_EQ(settings.readString("Optionen", "Lieferant", ""), u"Müller"_qs);
    settings.writeString("Optionen", "Verwender", u"Ωmega Süd"_qs);
    settings.writeBool("Optionen", u"Lagerdatensätze markieren"_qs, true);
    EXPECT_EQ(readBytes(path), QByteArray("\xEF\xBB\xBF[Optionen]\r\nLagerdatens\xC3\xA4tze markieren=1\r\n"
                                          "Lieferant=M\xC3\xBC" "ller\r\nVerwender=\xCE\xA9mega S\xC3\xBC" "d\r\n"));

    // UTF-8 without the mark: bytes that only UTF-8 makes sense of.
    writeBytes(path, "[Optionen]\nLagerdatens\xC3\xA4tze markieren=0\n");
    EXPECT_FALSE(settings.readBool("Optionen", u"Lagerdatensätze markieren"_qs, true));

    // Lines ended by a lone CR; new lines end the same way.
    const QByteArray mac = "; alt\r[Marlex99]\rxpos=12\rypos=34\r\r[Font]\rFontSize=10";
    writeBytes(path, mac);
    EXPECT_EQ(settings.readInteger("Marlex99", "xpos", 0), 12);
    EXPECT_EQ(settings.readInteger("Marlex99", "ypos", 0), 34);
    EXPECT_EQ(settings.readInteger("Font", "FontSize", 0), 10);
    settings.writeInteger("Marlex99", "xpos", 5);
    settings.writeInteger("Marlex99", "breite", 700);
    settings.writeInteger("Vorschau", "zoom", 80);
    EXPECT_EQ(readBytes(path), QByteArray("; alt\r[Marlex99]\rxpos=5\rypos=34\rbreite=700\r\r[Font]\rFontSize=10\r"
                                          "\r[Vorschau]\rzoom=80\r"));
}

TEST_F(IniFileTest, AStrayByteInAUtf8FileSpoilsOnlyItsOwnLine)
{
    // A hand edit in a Windows-1252 editor left an "Å" at a line's end of a
    // file marked UTF-8: the next line, a section header, still counts.
    writeBytes(path, "\xEF\xBB\xBF[Optionen]\nLieferant=Nord \xC5\n[Font]\nFontSize=10\n; Ende \xC5");
    EXPECT_EQ(settings.readInteger("Font", "FontSize", 0), 10);
    // A setting written after such a line is the one read back.
    settings.writeString("Vorschau", "zoom", u"80"_qs);
    EXPECT_EQ(settings.readInteger("Vorschau", "zoom", 0), 80);
}

TEST_F(IniFileTest, AFileEndingInTheMiddleOfAUtf8SequenceKeepsItsCodePageWhenWritten)
{
    // Without a mark, a file whose last bytes open a UTF-8 sequence that
    // never ends is no UTF-8: it reads as Windows-1252 before and after a
    // write that puts a line behind those bytes.
    writeBytes(path, "[Optionen]\r\nStandardStoffinfo=C:\\MARLE\xEF\xBB");
    const QString before = settings.readString("Optionen", "StandardStoffinfo", "");
    EXPECT_EQ(before, u"C:\\MARLE\u00EF\u00BB"_qs);
    settings.writeInteger("Optionen", "RandOben", 10);
    EXPECT_EQ(settings.readString("Optionen", "StandardStoffinfo", ""), before);
    EXPECT_EQ(settings.readInteger("Optionen", "RandOben", 0), 10);
}

TEST_F(IniFileTest, ChangesWrittenTogetherAreStoredAllOrNone)
{
    const QByteArray original = "[Marlex99]\r\nxpos=1\r\n\r\n[Optionen]\r\nHint=1\r\n";
    writeBytes(path, original);
    settings.write(ini::IniChanges()
                       .setInteger("Marlex99", "xpos", 40)
                       .setInteger("Marlex99", "ypos", 30)
                       .setInteger("Optionen", "AktPrinterIndex", 2)
                       .setString("Lager", "Feldbreiten", "64.120.")
                       .setBool("Lager", "Markiert", true));
    EXPECT_EQ(readBytes(path), QByteArray("[Marlex99]\r\nxpos=40\r\nypos=30\r\n\r\n[Optionen]\r\nHint=1\r\n"
                                          "AktPrinterIndex=2\r\n\r\n[Lager]\r\nFeldbreiten=64.120.\r\nMarkiert=1\r\n"));

    // One change the file cannot take, and none of them is written.
    writeBytes(path, original);
    EXPECT_THROW(settings.write(ini::IniChanges()
                                    .setInteger("Marlex99", "xpos", 40)
                                    .setString("Optionen", "Verwender", u"Ωmega"_qs)),
                 ini::IniError);
    EXPECT_THROW(settings.write(ini::IniChanges().setInteger("Marlex99", "xpos", 40).setInteger("Opt]", "x", 1)),
                 ini::IniError);
    EXPECT_EQ(readBytes(path), original);
}

TEST_F(IniFileTest, TheFirstSectionAndTheFirstKeyOfANameCount)
{
    writeBytes(path, "[Lager]\r\nFeldbreiten=10,20\r\nFeldbreiten=99\r\n[lager]\r\nAnderes=1\r\n");
    EXPECT_EQ(settings.readString("Lager", "Feldbreiten", ""), u"10,20"_qs);
    EXPECT_EQ(settings.readString("Lager", "Anderes", "nein"), u"nein"_qs);
}

TEST_F(IniFileTest, StripsOnePairOfMatchingQuotes)
{
    writeBytes(path, "[Filter]\r\n"
                     "Filter1=\"NAME1 = 'Aceton'\"\r\n"
                     "Filter2='Aceton'\r\n"
                     "Filter3=\"\"doppelt\"\"\r\n"
                     "Filter4=\"ungleich'\r\n"
                     "Filter5=\"\r\n"
                     "Filter6=\"  innen  \"\r\n");
    EXPECT_EQ(settings.readString("Filter", "Filter1", ""), u"NAME1 = 'Aceton'"_qs);
    EXPECT_EQ(settings.readString("Filter", "Filter2", ""), u"Aceton"_qs);
    EXPECT_EQ(settings.readString("Filter", "Filter3", ""), u"\"doppelt\""_qs);
    EXPECT_EQ(settings.readString("Filter", "Filter4", ""), u"\"ungleich'"_qs);
    EXPECT_EQ(settings.readString("Filter", "Filter5", ""), u"\""_qs);
    EXPECT_EQ(settings.readString("Filter", "Filter6", ""), u"  innen  "_qs);
}

TEST_F(IniFileTest, LongStringsComeBackWhole)
{
    const QByteArray longValue(3000, 'x');
    writeBytes(path, "[Optionen]\r\nHelpBrowser=" + longValue + "\r\n");
    EXPECT_EQ(settings.readString("Optionen", "HelpBrowser", ""), QString(3000, u'x'));
    // A default is no exception.
    EXPECT_EQ(settings.readString("Optionen", "fehlt", QString(3000, u'y')).size(), 3000);
}

TEST_F(IniFileTest, ReadsIntegersLikeTheProfileFunctions)
{
    writeBytes(path, "[Zahlen]\r\n"
                     "hex=0x1\r\nhexgross=0X1f\r\nnurpraefix=0x\r\nhexfalsch=0xg\r\nhexrest=0x1G\r\n"
                     "hexvoll=0xFFFFFFFF\r\nhexzugross=0x100000000\r\n"
                     "ziffern=12abc\r\nja=ja\r\nleer=\r\nminus=-1\r\nplus=+7\r\nblanks=  42  \r\n"
                     "max=2147483647\r\nmin=-2147483648\r\nzugross=2147483648\r\nnurminus=-\r\n");
    auto read = [&](const char* key) { return settings.readInteger("Zahlen", key, 555); };
    EXPECT_EQ(read("hex"), 1);
    EXPECT_EQ(read("hexgross"), 31);
    EXPECT_EQ(read("nurpraefix"), 555);
    EXPECT_EQ(read("hexfalsch"), 555);
    EXPECT_EQ(read("hexrest"), 555) << "a text that is not a number gives the default";
    EXPECT_EQ(read("hexvoll"), -1);
    EXPECT_EQ(read("hexzugross"), 555);
    EXPECT_EQ(read("ziffern"), 555);
    EXPECT_EQ(read("ja"), 555);
    EXPECT_EQ(read("leer"), 555);
    EXPECT_EQ(read("minus"), -1);
    EXPECT_EQ(read("plus"), 7);
    EXPECT_EQ(read("blanks"), 42);
    EXPECT_EQ(read("max"), 2147483647);
    EXPECT_EQ(read("min"), -2147483647 - 1);
    EXPECT_EQ(read("zugross"), 555);
    EXPECT_EQ(read("nurminus"), 555);
}

TEST_F(IniFileTest, ReadsBooleansAsIntegers)
{
    writeBytes(path, "[Optionen]\r\neins=1\r\nminus=-1\r\nzwei=2\r\nnull=0\r\nja=ja\r\nhex=0x0\r\n");
    EXPECT_TRUE(settings.readBool("Optionen", "eins", false));
    EXPECT_TRUE(settings.readBool("Optionen", "minus", false));
    EXPECT_TRUE(settings.readBool("Optionen", "zwei", false));
    EXPECT_FALSE(settings.readBool("Optionen", "null", true));
    EXPECT_FALSE(settings.readBool("Optionen", "hex", true));
    EXPECT_TRUE(settings.readBool("Optionen", "ja", true));
    EXPECT_FALSE(settings.readBool("Optionen", "ja", false));
}

TEST_F(IniFileTest, ReadsAndWritesWindows1252)
{
    writeBytes(path, "[Optionen]\r\nLagerdatens\xe4tze markieren=0\r\nLieferant=Gr\xfc\xdf Gott \x80\r\n");
    EXPECT_FALSE(settings.readBool("Optionen", u"Lagerdatensätze markieren"_qs, true));
    EXPECT_FALSE(settings.readBool("OPTIONEN", u"LAGERDATENSÄTZE MARKIEREN"_qs, true));
    EXPECT_EQ(settings.readString("Optionen", "Lieferant", ""), u"Grüß Gott €"_qs);

    settings.writeBool("Optionen", u"lagerdatensätze markieren"_qs, true);
    settings.writeString("Optionen", "Verwender", u"Müller"_qs);
    EXPECT_EQ(readBytes(path), QByteArray("[Optionen]\r\nLagerdatens\xe4tze markieren=1\r\n"
                                          "Lieferant=Gr\xfc\xdf Gott \x80\r\nVerwender=M\xfcller\r\n"));
}

TEST_F(IniFileTest, FirstWriteCreatesTheFileWithCrLf)
{
    settings.writeBool("Optionen", "First", false);
    EXPECT_EQ(readBytes(path), QByteArray("[Optionen]\r\nFirst=0\r\n"));
    settings.writeInteger("Marlex99", "xpos", -20);
    EXPECT_EQ(readBytes(path), QByteArray("[Optionen]\r\nFirst=0\r\n\r\n[Marlex99]\r\nxpos=-20\r\n"));
    EXPECT_EQ(settings.readInteger("Marlex99", "xpos", 0), -20);
    EXPECT_FALSE(settings.readBool("Optionen", "First", true));
    // Nothing but the file is left behind by the atomic replacement.
    EXPECT_EQ(QDir(".").entryList(QDir::Files | QDir::Hidden), QStringList{path});
}

TEST_F(IniFileTest, WritesKeepEveryOtherByteOfTheFile)
{
    const QByteArray original = "; Marlex99 Einstellungen\r\n"
                                "\r\n"
                                "[Optionen]\r\n"
                                "  hint = 1   \r\n"
                                "; Lieferant=alt\n"
                                "Lieferant=\"Chemiehandel\"\r\n"
                                "\r\n"
                                "[Font]\n"
                                "FontName = Arial\n"
                                "[Marlex99]\r\n"
                                "xpos=10";
    writeBytes(path, original);

    settings.writeBool("OPTIONEN", "Hint", false);
    EXPECT_EQ(readBytes(path), QByteArray(original).replace("  hint = 1   \r\n", "hint=0\r\n"));

    writeBytes(path, original);
    settings.writeInteger("Optionen", "TabPosition", 1);
    EXPECT_EQ(readBytes(path), QByteArray(original).replace("\"Chemiehandel\"\r\n",
                                                            "\"Chemiehandel\"\r\nTabPosition=1\r\n"));

    writeBytes(path, original);
    settings.writeInteger("font", "FontSize", 10);
    EXPECT_EQ(readBytes(path), QByteArray(original).replace("FontName = Arial\n",
                                                            "FontName = Arial\nFontSize=10\r\n"));

    // The last line had no line end: it gets one, then the new key follows.
    writeBytes(path, original);
    settings.writeInteger("Marlex99", "ypos", 5);
    EXPECT_EQ(readBytes(path), original + "\r\nypos=5\r\n");

    writeBytes(path, original);
    settings.writeInteger("Marlex99", "xpos", 7);
    EXPECT_EQ(readBytes(path), QByteArray(original).replace("xpos=10", "xpos=7"));

    writeBytes(path, original);
    settings.writeString("Vorschau", "zoom", "100");
    EXPECT_EQ(readBytes(path), original + "\r\n\r\n[Vorschau]\r\nzoom=100\r\n");
}

TEST_F(IniFileTest, ANewKeyGoesIntoAnEmptySectionRightAfterItsHeader)
{
    writeBytes(path, "[Filter]\r\n\r\n[LagerFilter]\r\nAnzahl=0\r\n");
    settings.writeInteger("Filter", "Anzahl", 1);
    EXPECT_EQ(readBytes(path), QByteArray("[Filter]\r\nAnzahl=1\r\n\r\n[LagerFilter]\r\nAnzahl=0\r\n"));
}

TEST_F(IniFileTest, UsesTheFileInWhateverCaseItIsStored)
{
    writeBytes(u"MARLEX99.INI"_qs, "[Optionen]\r\nHint=0\r\n");
    EXPECT_FALSE(settings.readBool("Optionen", "Hint", true));
    settings.writeBool("Optionen", "Hint", true);
    EXPECT_EQ(readBytes(u"MARLEX99.INI"_qs), QByteArray("[Optionen]\r\nHint=1\r\n"));
    EXPECT_EQ(QDir(".").entryList(QDir::Files), QStringList{u"MARLEX99.INI"_qs});
}

TEST_F(IniFileTest, RefusesWhatTheFileCouldNotGiveBackAndLeavesItUntouched)
{
    const QByteArray original = "[Optionen]\r\nHint=1\r\n";
    writeBytes(path, original);
    EXPECT_THROW(settings.writeString("Optionen", "HelpBrowser", "a\r\nHint=0"), ini::IniError);
    EXPECT_THROW(settings.writeString("Optionen", "a=b", "1"), ini::IniError);
    EXPECT_THROW(settings.writeString("Optionen", "", "1"), ini::IniError);
    EXPECT_THROW(settings.writeString("Optionen", " Hint", "1"), ini::IniError);
    EXPECT_THROW(settings.writeString("Optionen", ";Hint", "1"), ini::IniError);
    EXPECT_THROW(settings.writeString("Opt]ionen", "Hint", "1"), ini::IniError);
    EXPECT_THROW(settings.writeString("Optionen", "Verwender", u"Ωmega"_qs), ini::IniError);
    EXPECT_EQ(readBytes(path), original);
}

TEST_F(IniFileTest, AFailedWriteThrowsAGermanMessageNamingTheFile)
{
    ini::IniFile nowhere(u"fehlt/marlex99.ini"_qs);
    try {
        nowhere.writeBool("Optionen", "First", false);
        FAIL() << "the write into a missing directory did not fail";
    } catch (const ini::IniError& error) {
        EXPECT_TRUE(error.message().contains(u"fehlt/marlex99.ini"_qs)) << error.what();
        EXPECT_TRUE(error.message().contains(u"Einstellungsdatei"_qs)) << error.what();
    }
    // The reads of such a file still give the defaults.
    EXPECT_EQ(nowhere.readInteger("Marlex99", "state", 4), 4);

    // A settings "file" that cannot be read must not be replaced by one
    // holding only the new key.
    ASSERT_TRUE(QDir().mkdir(path));
    EXPECT_THROW(settings.writeBool("Optionen", "First", false), ini::IniError);
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// A removed key's line goes, with its line end, and nothing else; in the
// same write as other changes, all or none.
TEST_F(IniFileTest, RemovesTheLineReadsSeeAndKeepsEveryOtherByte)
{
    const QByteArray original = "[Filter]\r\n"
                                "Anzahl=2\r\n"
                                "filter1 = WGK='3'\r\n"
                                "; Filter2=alt\r\n"
                                "Filter2=GEFSYM1='T'\n"
                                "\r\n"
                                "[LagerFilter]\r\n"
                                "Filter1=LAGER_ORT='Keller'\r\n"
                                "[Filter]\r\n"
                                "Filter1=zweiter Abschnitt\r\n";
    writeBytes(path, original);

    settings.write(ini::IniChanges()
                       .setInteger("Filter", "Anzahl", 0)
                       .removeKey("FILTER", "Filter1")
                       .removeKey("Filter", "Filter2")
                       .removeKey("Filter", "Filter3")
                       .removeKey("Vorschau", "zoom"));
    EXPECT_EQ(readBytes(path), QByteArray(original)
                                   .replace("Anzahl=2", "Anzahl=0")
                                   .replace("filter1 = WGK='3'\r\n", "")
                                   .replace("Filter2=GEFSYM1='T'\n", ""));
    EXPECT_EQ(settings.readString("Filter", "Filter1", "-"), "-") << "the second section of a name never counts";
    EXPECT_EQ(settings.readString("LagerFilter", "Filter1", "-"), "LAGER_ORT='Keller'");

    // Removing what is not there leaves the file as it is, and a missing
    // file is not made.
    const QByteArray jetzt = readBytes(path);
    settings.write(ini::IniChanges().removeKey("Filter", "Filter9"));
    EXPECT_EQ(readBytes(path), jetzt);
    ini::IniFile fehlt(u"fehlt.ini"_qs);
    fehlt.write(ini::IniChanges().removeKey("Filter", "Filter1"));
    EXPECT_FALSE(QFile::exists(u"fehlt.ini"_qs));
}

namespace {

// A settings file as an editor saves it in "Unicode": UTF-16 in either byte
// order behind its byte-order mark, spelt out unit by unit.
QByteArray utf16(const QString& text, bool bigEndian)
{
    QByteArray bytes = bigEndian ? QByteArray("\xFE\xFF") : QByteArray("\xFF\xFE");
    for (const QChar c : text) {
        const char high = char(c.unicode() >> 8);
        const char low = char(c.unicode() & 0xFF);
        bytes += bigEndian ? QByteArray{&high, 1} + low : QByteArray{&low, 1} + high;
    }
    return bytes;
}

struct Utf16Case {
    bool bigEndian;
    QString newLine;
};

void PrintTo(const Utf16Case& c, std::ostream* out)
{
    *out << (c.bigEndian ? "big-endian" : "little-endian") << ", line end " << c.newLine.toUtf8().toHex().toStdString();
}

class Utf16File : public IniFileTest, public ::testing::WithParamInterface<Utf16Case> {
protected:
    QByteArray unicode(QString text) const
    {
        return utf16(text.replace(u"\n"_qs, GetParam().newLine), GetParam().bigEndian);
    }
};

} // namespace

// "ਊ" (U+0A0A) and "ഊ" (U+0D0A) are made of the bytes of LF and CR: they
// must not break their line.
TEST_P(Utf16File, IsReadAndWrittenInItsByteOrderAndLineEnd)
{
    writeBytes(path, unicode(u"; Einstellungen\n[Optionen]\nLagerdatensätze markieren=0\nLieferant=ਊഊ Müller\n"
                             u"[Font]\nFontSize=10\n"_qs));
    EXPECT_FALSE(settings.readBool("Optionen", u"Lagerdatensätze markieren"_qs, true));
    EXPECT_EQ(settings.readString("Optionen", "Lieferant", ""), u"ਊഊ Müller"_qs);
    EXPECT_EQ(settings.readInteger("Font", "FontSize", 0), 10);

    settings.writeBool("optionen", u"LAGERDATENSÄTZE markieren"_qs, true);
    settings.writeString("Optionen", "Verwender", u"Ωmega 🧪"_qs);
    settings.writeInteger("Vorschau", "zoom", 80);
    EXPECT_EQ(readBytes(path), unicode(u"; Einstellungen\n[Optionen]\nLagerdatensätze markieren=1\n"
                                       u"Lieferant=ਊഊ Müller\nVerwender=Ωmega 🧪\n[Font]\nFontSize=10\n"
                                       u"\n[Vorschau]\nzoom=80\n"_qs));
    EXPECT_EQ(settings.readString("Optionen", "Verwender", ""), u"Ωmega 🧪"_qs);
}

INSTANTIATE_TEST_SUITE_P(ByteOrders, Utf16File,
                         ::testing::Values(Utf16Case{false, u"\r\n"_qs}, Utf16Case{true, u"\n"_qs},
                                           Utf16Case{false, u"\r"_qs}),
                         [](const auto& info) {
                             return std::string(info.param.bigEndian ? "BigEndian" : "LittleEndian")
                                  + (info.param.newLine == u"\r"_qs ? "Cr" : info.param.newLine == u"\n"_qs ? "Lf" : "CrLf");
                         });

TEST_F(IniFileTest, AUtf16FileWithoutLinesOrCutShortGetsUnicodeLines)
{
    // Nothing but the mark: the new lines end in CR LF, in UTF-16.
    writeBytes(path, "\xFF\xFE");
    settings.writeBool("Optionen", "First", false);
    EXPECT_EQ(readBytes(path), utf16(u"[Optionen]\r\nFirst=0\r\n"_qs, false));

    // No line end after the last line: it gets the file's own.
    writeBytes(path, utf16(u"[Marlex99]\nxpos=10"_qs, true));
    settings.writeInteger("Marlex99", "ypos", 5);
    EXPECT_EQ(readBytes(path), utf16(u"[Marlex99]\nxpos=10\nypos=5\n"_qs, true));

    // Half a character at the end: the text before it reads as it stands,
    // and the stray byte stays the file's last.
    writeBytes(path, utf16(u"[Marlex99]\r\nxpos=10"_qs, false) + 'x');
    EXPECT_EQ(settings.readString("Marlex99", "xpos", ""), u"10"_qs);
    settings.writeInteger("Marlex99", "ypos", 5);
    EXPECT_EQ(readBytes(path), utf16(u"[Marlex99]\r\nxpos=10\r\nypos=5\r\n"_qs, false) + 'x');
    EXPECT_EQ(settings.readInteger("Marlex99", "xpos", 0), 10);
}
