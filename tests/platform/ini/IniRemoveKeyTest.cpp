#include <gtest/gtest.h>

#include <QFile>

#include "fixtures/TempDir.h"
#include "ini/IniFile.h"
#include "IniTestFiles.h"

namespace {

class IniRemoveKeyTest : public ::testing::Test {
protected:
    fixtures::TempDir dir;
    QString path = u"marlex99.ini"_qs;
    ini::IniFile settings{path};
};

} // namespace

// A removed key's line goes, with its line end, and nothing else; in the
// same write as other changes, all or none.
TEST_F(IniRemoveKeyTest, RemovesTheLineReadsSeeAndKeepsEveryOtherByte)
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
