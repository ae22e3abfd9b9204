#include "data/Optionen.h"

#include "ini/IniFile.h"

bool OptHint = false;
bool OptAbfrageVorBeenden = false;
bool OptNurLesemodus = false;
bool OptIndexCheck = false;
bool OptExklusivZugriff = false;
bool OptDarstellungInFarbe = false;
bool OptFormelDarstellen = false;
bool OptLagerMarkieren = false;
QString OptLieferant;
QString OptVerwender;
bool OptFarbDruck = false;
int OptTabPosition = 0;
QString OptStandardEtikett;
QString OptStandardStoffinfo;
QString OptRandOben;
QString OptRandUnten;
QString OptRandRechts;
QString OptRandLinks;
bool OptOnlyEtikett = false;
bool OptFirst = false;
QString OptFontName;
int OptFontSize = 0;
int OptXPos = 0;
int OptYPos = 0;
int OptBreite = 0;
int OptHoehe = 0;
int OptState = 0;
bool OptEtikettAnzahlLoeschen = false;
bool OptAutoHelp = false;
QString OptHelpBrowser;
bool OptWin98 = false;

int FarbDarstellung = 0;
int FarbDruck = 0;

namespace {

constexpr int kStandardSchriftgroesse = 8;
constexpr int kKleinsteSchrift = 6;
constexpr int kGroessteSchrift = 72;

} // namespace

void EinstellungenLaden(const ini::IniFile& ini)
{
    const QString& o = SektionOptionen;
    OptHint = ini.readBool(o, "Hint", true);
    OptAbfrageVorBeenden = ini.readBool(o, "Abfrage vor Beenden", false);
    OptNurLesemodus = ini.readBool(o, "Nur Lesemodus", false);
    OptIndexCheck = ini.readBool(o, "IndexCheck", false);
    OptExklusivZugriff = ini.readBool(o, "ExklusivZugriff", false);
    OptDarstellungInFarbe = ini.readBool(o, "Darstellung in Farbe", true);
    OptFormelDarstellen = ini.readBool(o, "Formel darstellen", true);
    OptLagerMarkieren = ini.readBool(o, QStringLiteral("Lagerdatensätze markieren"), true);
    OptLieferant = ini.readString(o, "Lieferant", QString());
    OptVerwender = ini.readString(o, "Verwender", QString());
    OptFarbDruck = ini.readBool(o, "Farb-Druck", false);
    OptTabPosition = ini.readInteger(o, "TabPosition", 0);
    OptStandardEtikett = ini.readString(o, "StandardEtikett", QString());
    OptStandardStoffinfo = ini.readString(o, "StandardStoffinfo", QString());
    OptRandOben = ini.readString(o, "RandOben", QString());
    OptRandUnten = ini.readString(o, "RandUnten", QString());
    OptRandRechts = ini.readString(o, "RandRechts", QString());
    OptRandLinks = ini.readString(o, "RandLinks", QString());
    OptOnlyEtikett = ini.readBool(o, "OnlyEtikett", true);
    OptFirst = ini.readBool(o, "First", true);
    OptFontName = ini.readString(SektionFont, "FontName", "MS Sans Serif");
    OptFontSize = ini.readInteger(SektionFont, "FontSize", kStandardSchriftgroesse);
    // A size nobody can read, or whose letters would not fit a list line on
    // any screen, is no choice anyone made.
    if (OptFontSize < kKleinsteSchrift || OptFontSize > kGroessteSchrift)
        OptFontSize = kStandardSchriftgroesse;
    OptXPos = ini.readInteger(SektionMarlex, "xpos", 0);
    OptYPos = ini.readInteger(SektionMarlex, "ypos", 0);
    OptBreite = ini.readInteger(SektionMarlex, "breite", 640);
    OptHoehe = ini.readInteger(SektionMarlex, "hoehe", 480);
    OptState = ini.readInteger(SektionMarlex, "state", 4);
    OptEtikettAnzahlLoeschen = ini.readBool(o, "EtikettAnzahlLoeschen", true);
    OptAutoHelp = ini.readBool(o, "AutoHelp", true);
    OptHelpBrowser = ini.readString(o, "HelpBrowser", QString());
    OptWin98 = ini.readBool(o, "WIN98", true);
}
