#include "Generator.h"

#include <QFile>

#include "DemoData.h"
#include "DemoError.h"
#include "HelpPages.h"
#include "LabelLayout.h"
#include "Pictograms.h"
#include "RegisterTables.h"
#include "ReportLayouts.h"
#include "SheetLayout.h"
#include "StructureFormulas.h"
#include "UpdateTable.h"
#include "ini/IniFile.h"

namespace demo {

RegisterSummary generateRegister(const DemoData& data, const QDir& registerDir)
{
    writeRegister(data, registerDir);
    RegisterSummary summary;
    summary.substances = int(data.substances.size());
    for (const Substance& s : data.substances) {
        summary.names += 1 + int(s.synonyms.size());
        if (!structureFormula(s.carn()).isNull())
            ++summary.structurePictures;
    }
    summary.phrases = int(data.phrases.size());
    for (const auto& [key, text] : data.phrases)
        summary.phraseRecords += int(phraseLines(key.mid(1), text).size());
    summary.stockItems = int(data.stock.size());
    summary.updateRecords = writeUpdateTable(data, QDir(registerDir.filePath(QLatin1String(kUpdateFolder))));
    return summary;
}

void writeSettings(const QString& iniPath, const QString& sheetLayout, const QString& labelLayout)
{
    if (QFile::exists(iniPath) && !QFile::remove(iniPath))
        throw DemoError(QStringLiteral("Die alte Datei %1 kann nicht ersetzt werden.").arg(iniPath));
    // One write for all keys: one file replacement, synced once.
    ini::IniChanges settings;
    const QString o = QStringLiteral("Optionen");
    settings.setBool(o, QStringLiteral("Hint"), true);
    settings.setBool(o, QStringLiteral("Abfrage vor Beenden"), false);
    settings.setBool(o, QStringLiteral("Nur Lesemodus"), false);
    settings.setBool(o, QStringLiteral("IndexCheck"), false);
    settings.setBool(o, QStringLiteral("ExklusivZugriff"), false);
    settings.setBool(o, QStringLiteral("Darstellung in Farbe"), true);
    settings.setBool(o, QStringLiteral("Formel darstellen"), true);
    settings.setBool(o, QStringLiteral("Lagerdatensätze markieren"), true);
    settings.setString(o, QStringLiteral("Lieferant"), QString());
    settings.setString(o, QStringLiteral("Verwender"), QString());
    settings.setBool(o, QStringLiteral("Farb-Druck"), true);
    settings.setInteger(o, QStringLiteral("TabPosition"), 0);
    settings.setString(o, QStringLiteral("StandardStoffinfo"), sheetLayout);
    settings.setString(o, QStringLiteral("StandardEtikett"), labelLayout);
    // The margins are the labels' (the sheets keep their layout's own).
    const LabelMargins rand;
    settings.setString(o, QStringLiteral("RandOben"), QLatin1String(rand.top));
    settings.setString(o, QStringLiteral("RandUnten"), QLatin1String(rand.bottom));
    settings.setString(o, QStringLiteral("RandRechts"), QLatin1String(rand.right));
    settings.setString(o, QStringLiteral("RandLinks"), QLatin1String(rand.left));
    settings.setBool(o, QStringLiteral("OnlyEtikett"), true);
    // The demo has no earlier storage data to take over.
    settings.setBool(o, QStringLiteral("First"), false);
    settings.setBool(o, QStringLiteral("EtikettAnzahlLoeschen"), true);
    settings.setBool(o, QStringLiteral("AutoHelp"), true);
    settings.setString(o, QStringLiteral("HelpBrowser"), QString());
    settings.setBool(o, QStringLiteral("WIN98"), true);
    settings.setInteger(o, QStringLiteral("AktPrinterIndex"), 0);
    const QString font = QStringLiteral("Font");
    settings.setString(font, QStringLiteral("FontName"), QStringLiteral("DejaVu Sans"));
    settings.setInteger(font, QStringLiteral("FontSize"), 9);
    const QString window = QStringLiteral("Marlex99");
    settings.setInteger(window, QStringLiteral("xpos"), 60);
    settings.setInteger(window, QStringLiteral("ypos"), 40);
    settings.setInteger(window, QStringLiteral("breite"), 900);
    settings.setInteger(window, QStringLiteral("hoehe"), 640);
    settings.setInteger(window, QStringLiteral("state"), 0);
    settings.setString(window, QStringLiteral("symbolendung"), QStringLiteral("BMP"));
    ini::IniFile(iniPath).write(settings);
}

ProgramFilesSummary generateProgramFiles(const QDir& programDir)
{
    if (!programDir.exists() && !QDir().mkpath(programDir.path()))
        throw DemoError(QStringLiteral("Das Verzeichnis %1 kann nicht angelegt werden.").arg(programDir.path()));
    ProgramFilesSummary summary;
    summary.pictograms = writePictograms(QDir(programDir.filePath(QStringLiteral("Symbol"))));
    writeHelpPages(QDir(programDir.filePath(QStringLiteral("Hilfe"))));
    // The program runs in the register's directory, so the settings name the
    // layout by its full path.
    const QString sheetLayout = programDir.absoluteFilePath(QLatin1String(kSheetLayoutFile));
    writeSheetLayout(sheetLayout);
    writeReportLayouts(programDir);
    const QString labelLayout = programDir.absoluteFilePath(QLatin1String(kLabelLayoutFile));
    writeLabelLayout(labelLayout);
    writeSettings(programDir.filePath(QStringLiteral("marlex99.ini")), sheetLayout, labelLayout);
    return summary;
}

} // namespace demo
