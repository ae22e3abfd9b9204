#include <gtest/gtest.h>

#include <QFile>

#include "data/Optionen.h"
#include "fixtures/Files.h"
#include "fixtures/TempDir.h"
#include "ini/IniFile.h"

TEST(EinstellungenLaden, GivesEveryDefaultWithoutASettingsFile)
{
    fixtures::TempDir dir;
    ini::IniFile ini(QString::fromStdString(dir.file("marlex99.ini").string()));
    EinstellungenLaden(ini);

    EXPECT_TRUE(OptHint);
    EXPECT_FALSE(OptAbfrageVorBeenden);
    EXPECT_FALSE(OptNurLesemodus);
    EXPECT_FALSE(OptIndexCheck);
    EXPECT_FALSE(OptExklusivZugriff);
    EXPECT_TRUE(OptDarstellungInFarbe);
    EXPECT_TRUE(OptFormelDarstellen);
    EXPECT_TRUE(OptLagerMarkieren);
    EXPECT_FALSE(OptFarbDruck);
    EXPECT_EQ(OptTabPosition, 0);
    EXPECT_TRUE(OptOnlyEtikett);
    EXPECT_TRUE(OptFirst);
    EXPECT_EQ(OptFontName, "MS Sans Serif");
    EXPECT_EQ(OptFontSize, 8);
    EXPECT_EQ(OptBreite, 640);
    EXPECT_EQ(OptHoehe, 480);
    EXPECT_EQ(OptState, 4);
    EXPECT_TRUE(OptEtikettAnzahlLoeschen);
    EXPECT_TRUE(OptAutoHelp);
    EXPECT_TRUE(OptWin98);
    EXPECT_TRUE(OptRandOben.isEmpty());
    EXPECT_FALSE(std::filesystem::exists(dir.file("marlex99.ini")));
}

TEST(EinstellungenLaden, ReadsHexIntegersBooleansUmlautKeysAndRawMargins)
{
    fixtures::TempDir dir;
    fixtures::writeFile(dir.file("marlex99.ini"),
                        "[Optionen]\r\nTabPosition=0x1\r\nHint=ja\r\nAbfrage vor Beenden=-1\r\n"
                        "Lagerdatens\xe4tze markieren=0\r\nRandOben=zehn\r\n"
                        "[Font]\r\nFontName=Arial\r\nFontSize=10\r\n[Marlex99]\r\nstate=2\r\n");
    ini::IniFile ini(QString::fromStdString(dir.file("marlex99.ini").string()));
    EinstellungenLaden(ini);

    EXPECT_EQ(OptTabPosition, 1);
    EXPECT_TRUE(OptHint) << "a text that is not a number gives the default";
    EXPECT_TRUE(OptAbfrageVorBeenden);
    EXPECT_FALSE(OptLagerMarkieren);
    EXPECT_EQ(OptRandOben, "zehn") << "margins are loaded unchanged";
    EXPECT_EQ(OptFontName, "Arial");
    EXPECT_EQ(OptFontSize, 10);
    EXPECT_EQ(OptState, 2);
}
