#pragma once

#include <QDir>

namespace demo {

struct DemoData;

// What a run made, for the summary the tool prints.
struct RegisterSummary {
    int substances = 0;
    int names = 0;
    int phrases = 0;
    int phraseRecords = 0;
    int stockItems = 0;
    int structurePictures = 0;
    int updateRecords = 0;
};

struct ProgramFilesSummary {
    int pictograms = 0;
};

// The register tables and FILES.TXT in `registerDir`, and a supplier's
// update table for it in its folder "Update".
RegisterSummary generateRegister(const DemoData& data, const QDir& registerDir);

// Symbol\ with every pictogram, Hilfe\index.htm and Hilfe\hinweis1.htm, the
// sheet layout STOFFINFO.STO, the report layouts LAGERLISTE.REP and
// GIFTLISTE.REP, the label layout ETIKETT.ETI, and marlex99.ini (written
// anew) in the program directory.
ProgramFilesSummary generateProgramFiles(const QDir& programDir);

// Writes marlex99.ini with the defaults the demo starts with: the first-start
// takeover done, pictograms in colour, structure pictures shown,
// `sheetLayout` as the sheet dialogs' default layout, and `labelLayout` as
// the label dialogs' default label with the margins of its label sheet.
void writeSettings(const QString& iniPath, const QString& sheetLayout, const QString& labelLayout);

} // namespace demo
