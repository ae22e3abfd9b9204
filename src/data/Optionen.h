#pragma once

#include <QString>

namespace ini {
class IniChanges;
class IniFile;
} // namespace ini

// The option values of the settings file: one process-wide value per key,
// filled only by EinstellungenLaden and read by every part of the program.
// Before the first load they are false, 0 or empty.

extern bool OptHint;
extern bool OptAbfrageVorBeenden;
extern bool OptNurLesemodus;
extern bool OptIndexCheck;
extern bool OptExklusivZugriff;
extern bool OptDarstellungInFarbe;
extern bool OptFormelDarstellen;
extern bool OptLagerMarkieren;
extern QString OptLieferant;
extern QString OptVerwender;
extern bool OptFarbDruck;
extern int OptTabPosition;
extern QString OptStandardEtikett;
extern QString OptStandardStoffinfo;
// Print margins in millimetres as typed; the print jobs convert them.
extern QString OptRandOben;
extern QString OptRandUnten;
extern QString OptRandRechts;
extern QString OptRandLinks;
extern bool OptOnlyEtikett;
extern bool OptFirst;
extern QString OptFontName;
extern int OptFontSize;
extern int OptXPos;
extern int OptYPos;
extern int OptBreite;
extern int OptHoehe;
extern int OptState;
extern bool OptEtikettAnzahlLoeschen;
extern bool OptAutoHelp;
extern QString OptHelpBrowser;
extern bool OptWin98;

// The picture member (0 plain, 1 colour) that the screen and printing use;
// copies of OptDarstellungInFarbe and OptFarbDruck, set by their callers.
extern int FarbDarstellung;
extern int FarbDruck;

// Section names of the settings file.
inline const QString SektionOptionen = QStringLiteral("Optionen");
inline const QString SektionFont = QStringLiteral("Font");
inline const QString SektionMarlex = QStringLiteral("Marlex99");

// The settings the options dialog shows and stores, each with its default:
// what a settings file without the key gives.
struct Dialogoptionen {
    bool hint = true;
    bool abfrageVorBeenden = false;
    bool nurLesemodus = false;
    bool indexCheck = false;
    bool exklusivZugriff = false;
    bool darstellungInFarbe = true;
    bool formelDarstellen = true;
    bool lagerMarkieren = true;
    QString lieferant;
    QString verwender;
    bool farbDruck = false;
    int tabPosition = 0;
    QString standardEtikett;
    QString standardStoffinfo;
    QString randOben;
    QString randUnten;
    QString randRechts;
    QString randLinks;
    bool onlyEtikett = true;
    QString fontName = QStringLiteral("MS Sans Serif");
    int fontSize = 8;
    bool etikettAnzahlLoeschen = true;
    bool autoHelp = true;
    QString helpBrowser;
};

// The dialog's settings as the settings file holds them now. A font size
// outside 6 to 72 points gives the default 8.
Dialogoptionen DialogoptionenLesen(const ini::IniFile& iniDatei);
// The changes that store the dialog's settings, every key in the dialog's
// order, for one write of the settings file.
ini::IniChanges DialogoptionenAenderungen(const Dialogoptionen& werte);

// Reads every option key of the settings file into the option values. It
// does not apply them: the callers do.
void EinstellungenLaden(const ini::IniFile& iniDatei);
