#include "Generator.h"

#include <QFile>

#include "DemoData.h"
#include "DemoError.h"
#include "HelpPages.h"
#include "Pictograms.h"
#include "RegisterTables.h"
#include "SheetLayout.h"
#include "StructureFormulas.h"
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
    return summary;
}

void writeSettings(const QString& iniPath, const QString& sheetLayout)
{
    if (QFile::exists(iniPath) && !QFile::remove(iniPath))
        throw DemoError(QStringLiteral("Die alte Datei %1 kann nicht ersetzt werden.").arg(iniPath));
    ini::IniFile file(iniPath);
    const QString o = QStringLiteral("Optionen");
    file.writeBool(o, QStringLiteral("Hint"), true);
    file.writeBool(o, QStringLiteral("Abfrage vor Beenden"), false);
    file.writeBool(o, QStringLiteral("Nur Lesemodus"), false);
    file.writeBool(o, QStringLiteral("IndexCheck"), false);
    file.writeBool(o, QStringLiteral("ExklusivZugriff"), false);
    file.writeBool(o, QStringLiteral("Darstellung in Farbe"), true);
    file.writeBool(o, QStringLiteral("Formel darstellen"), true);
    file.writeBool(o, QStringLiteral("Lagerdatensätze markieren"), true);
    file.writeString(o, QStringLiteral("Lieferant"), QString());
    file.writeString(o, QStringLiteral("Verwender"), QString());
    file.writeBool(o, QStringLiteral("Farb-Druck"), true);
    file.writeInteger(o, QStringLiteral("TabPosition"), 0);
    file.writeString(o, QStringLiteral("StandardStoffinfo"), sheetLayout);
    file.writeString(o, QStringLiteral("RandOben"), QStringLiteral("10"));
    file.writeString(o, QStringLiteral("RandUnten"), QStringLiteral("10"));
    file.writeString(o, QStringLiteral("RandRechts"), QStringLiteral("10"));
    file.writeString(o, QStringLiteral("RandLinks"), QStringLiteral("15"));
    file.writeBool(o, QStringLiteral("OnlyEtikett"), true);
    // The demo has no earlier storage data to take over.
    file.writeBool(o, QStringLiteral("First"), false);
    file.writeBool(o, QStringLiteral("EtikettAnzahlLoeschen"), true);
    file.writeBool(o, QStringLiteral("AutoHelp"), true);
    file.writeString(o, QStringLiteral("HelpBrowser"), QString());
    file.writeBool(o, QStringLiteral("WIN98"), true);
    file.writeInteger(o, QStringLiteral("AktPrinterIndex"), 0);
    const QString font = QStringLiteral("Font");
    file.writeString(font, QStringLiteral("FontName"), QStringLiteral("DejaVu Sans"));
    file.writeInteger(font, QStringLiteral("FontSize"), 9);
    const QString window = QStringLiteral("Marlex99");
    file.writeInteger(window, QStringLiteral("xpos"), 60);
    file.writeInteger(window, QStringLiteral("ypos"), 40);
    file.writeInteger(window, QStringLiteral("breite"), 900);
    file.writeInteger(window, QStringLiteral("hoehe"), 640);
    file.writeInteger(window, QStringLiteral("state"), 0);
    file.writeString(window, QStringLiteral("symbolendung"), QStringLiteral("BMP"));
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
    writeSettings(programDir.filePath(QStringLiteral("marlex99.ini")), sheetLayout);
    return summary;
}

} // namespace demo
