#pragma once

#include <QString>

namespace ini { class IniFile; }

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

// Reads every option key of the settings file, in the file's key order, into
// the option values. It does not apply them: the callers do. A font size
// outside 6 to 72 points gives the default 8.
void EinstellungenLaden(const ini::IniFile& iniDatei);
