// marlex99-report: prints free reports over the storage register into PDF
// files, with the program's own windows and report generator, on a register
// and with report layouts of the user's or on the demo's.

#include <cstdio>
#include <exception>

#include <QDir>
#include <QFileInfo>

#include "sheets/Arguments.h"
#include "sheets/ReportRun.h"
#include "sheets/SheetSession.h"

namespace {

const QString kTool = QStringLiteral("marlex99-report");

void usage(FILE* to)
{
    sheets::printLine(to, QStringLiteral(
        "Aufruf: marlex99-report [--register VERZEICHNIS] [--layout DATEI] [--out VERZEICHNIS]\n"
        "Druckt den Report jedes Layouts als PDF-Datei LAYOUT.pdf (LAGERLISTE.REP wird LAGERLISTE.pdf).\n"
        "  --register VERZEICHNIS  der Bestand (namen.dbf, chemie.dbf, lager.dbf, ...); er wird nur gelesen.\n"
        "                          Vorgabe: ein frisch erzeugter Demo-Bestand\n"
        "  --layout DATEI          ein Report-Layout (*.REP); Vorgabe: jedes Report-Layout der Demo\n"
        "                          (LAGERLISTE.REP, GIFTLISTE.REP)\n"
        "  --out VERZEICHNIS       wohin die PDF-Dateien kommen; Vorgabe: das aktuelle Verzeichnis"));
}

int reporteDrucken(sheets::Arguments& arguments, const QDir& output)
{
    if (!arguments.names.isEmpty()) {
        sheets::printLine(stderr, QStringLiteral("%1: Unbekanntes Argument %2.").arg(kTool, arguments.names.front()));
        usage(stderr);
        return 2;
    }
    // --layout names a report layout here; the session keeps the demo's
    // sheet layout. The path is the caller's: the session makes the
    // register's directory the current one.
    const QString layout = arguments.options.layout.isEmpty() ? QString()
                                                              : QFileInfo(arguments.options.layout).absoluteFilePath();
    arguments.options.layout.clear();
    try {
        sheets::SheetSession session(arguments.options);
        return sheets::printEach(
            kTool, layout.isEmpty() ? sheets::demoReportLayouts() : QStringList{layout},
            [&output](const QString& datei) {
                return output.filePath(QFileInfo(datei).completeBaseName() + QStringLiteral(".pdf"));
            },
            [&session](const QString& datei, const QString& pdf) { sheets::printReportPdf(session, datei, pdf); });
    } catch (const std::exception& e) {
        sheets::printLine(stderr, QStringLiteral("%1: %2").arg(kTool, QString::fromUtf8(e.what())));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    return sheets::toolMain(argc, argv, kTool, usage, reporteDrucken);
}
