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

constexpr int kKleinsteSchrift = 6;
constexpr int kGroessteSchrift = 72;

const QString& o = SektionOptionen;
const QString lagerMarkierenSchluessel = QStringLiteral("Lagerdatensätze markieren");

} // namespace

Dialogoptionen DialogoptionenLesen(const ini::IniFile& ini)
{
    const Dialogoptionen standard;
    Dialogoptionen w;
    w.hint = ini.readBool(o, "Hint", standard.hint);
    w.abfrageVorBeenden = ini.readBool(o, "Abfrage vor Beenden", standard.abfrageVorBeenden);
    w.nurLesemodus = ini.readBool(o, "Nur Lesemodus", standard.nurLesemodus);
    w.indexCheck = ini.readBool(o, "IndexCheck", standard.indexCheck);
    w.exklusivZugriff = ini.readBool(o, "ExklusivZugriff", standard.exklusivZugriff);
    w.darstellungInFarbe = ini.readBool(o, "Darstellung in Farbe", standard.darstellungInFarbe);
    w.formelDarstellen = ini.readBool(o, "Formel darstellen", standard.formelDarstellen);
    w.lagerMarkieren = ini.readBool(o, lagerMarkierenSchluessel, standard.lagerMarkieren);
    w.lieferant = ini.readString(o, "Lieferant", standard.lieferant);
    w.verwender = ini.readString(o, "Verwender", standard.verwender);
    w.farbDruck = ini.readBool(o, "Farb-Druck", standard.farbDruck);
    w.tabPosition = ini.readInteger(o, "TabPosition", standard.tabPosition);
    w.standardEtikett = ini.readString(o, "StandardEtikett", standard.standardEtikett);
    w.standardStoffinfo = ini.readString(o, "StandardStoffinfo", standard.standardStoffinfo);
    w.randOben = ini.readString(o, "RandOben", standard.randOben);
    w.randUnten = ini.readString(o, "RandUnten", standard.randUnten);
    w.randRechts = ini.readString(o, "RandRechts", standard.randRechts);
    w.randLinks = ini.readString(o, "RandLinks", standard.randLinks);
    w.onlyEtikett = ini.readBool(o, "OnlyEtikett", standard.onlyEtikett);
    w.fontName = ini.readString(SektionFont, "FontName", standard.fontName);
    w.fontSize = ini.readInteger(SektionFont, "FontSize", standard.fontSize);
    // A size nobody can read, or whose letters would not fit a list line on
    // any screen, is no choice anyone made.
    if (w.fontSize < kKleinsteSchrift || w.fontSize > kGroessteSchrift)
        w.fontSize = standard.fontSize;
    w.etikettAnzahlLoeschen = ini.readBool(o, "EtikettAnzahlLoeschen", standard.etikettAnzahlLoeschen);
    w.autoHelp = ini.readBool(o, "AutoHelp", standard.autoHelp);
    w.helpBrowser = ini.readString(o, "HelpBrowser", standard.helpBrowser);
    return w;
}

ini::IniChanges DialogoptionenAenderungen(const Dialogoptionen& w)
{
    ini::IniChanges c;
    c.setBool(o, "Hint", w.hint)
        .setBool(o, "Abfrage vor Beenden", w.abfrageVorBeenden)
        .setBool(o, "Nur Lesemodus", w.nurLesemodus)
        .setBool(o, "IndexCheck", w.indexCheck)
        .setBool(o, "ExklusivZugriff", w.exklusivZugriff)
        .setBool(o, "Darstellung in Farbe", w.darstellungInFarbe)
        .setBool(o, "Formel darstellen", w.formelDarstellen)
        .setBool(o, lagerMarkierenSchluessel, w.lagerMarkieren)
        .setString(o, "Lieferant", w.lieferant)
        .setString(o, "Verwender", w.verwender)
        .setBool(o, "Farb-Druck", w.farbDruck)
        .setInteger(o, "TabPosition", w.tabPosition)
        .setString(o, "StandardEtikett", w.standardEtikett)
        .setString(o, "StandardStoffinfo", w.standardStoffinfo)
        .setString(o, "RandOben", w.randOben)
        .setString(o, "RandUnten", w.randUnten)
        .setString(o, "RandRechts", w.randRechts)
        .setString(o, "RandLinks", w.randLinks)
        .setBool(o, "OnlyEtikett", w.onlyEtikett)
        .setString(SektionFont, "FontName", w.fontName)
        .setInteger(SektionFont, "FontSize", w.fontSize)
        .setBool(o, "EtikettAnzahlLoeschen", w.etikettAnzahlLoeschen)
        .setBool(o, "AutoHelp", w.autoHelp)
        .setString(o, "HelpBrowser", w.helpBrowser);
    return c;
}

void EinstellungenLaden(const ini::IniFile& ini)
{
    const Dialogoptionen w = DialogoptionenLesen(ini);
    OptHint = w.hint;
    OptAbfrageVorBeenden = w.abfrageVorBeenden;
    OptNurLesemodus = w.nurLesemodus;
    OptIndexCheck = w.indexCheck;
    OptExklusivZugriff = w.exklusivZugriff;
    OptDarstellungInFarbe = w.darstellungInFarbe;
    OptFormelDarstellen = w.formelDarstellen;
    OptLagerMarkieren = w.lagerMarkieren;
    OptLieferant = w.lieferant;
    OptVerwender = w.verwender;
    OptFarbDruck = w.farbDruck;
    OptTabPosition = w.tabPosition;
    OptStandardEtikett = w.standardEtikett;
    OptStandardStoffinfo = w.standardStoffinfo;
    OptRandOben = w.randOben;
    OptRandUnten = w.randUnten;
    OptRandRechts = w.randRechts;
    OptRandLinks = w.randLinks;
    OptOnlyEtikett = w.onlyEtikett;
    OptFontName = w.fontName;
    OptFontSize = w.fontSize;
    OptEtikettAnzahlLoeschen = w.etikettAnzahlLoeschen;
    OptAutoHelp = w.autoHelp;
    OptHelpBrowser = w.helpBrowser;
    // The keys no dialog control edits.
    OptFirst = ini.readBool(o, "First", true);
    OptXPos = ini.readInteger(SektionMarlex, "xpos", 0);
    OptYPos = ini.readInteger(SektionMarlex, "ypos", 0);
    OptBreite = ini.readInteger(SektionMarlex, "breite", 640);
    OptHoehe = ini.readInteger(SektionMarlex, "hoehe", 480);
    OptState = ini.readInteger(SektionMarlex, "state", 4);
    OptWin98 = ini.readBool(o, "WIN98", true);
}
