// marlex99-blatt: prints the substance information sheet of the named
// substances into PDF files, with the program's own windows and sheet engine,
// on a register and with a layout of the user's or on the demo's.

#include <cstdio>
#include <exception>

#include <QDir>

#include "sheets/Arguments.h"
#include "sheets/SheetSession.h"

namespace {

const QString kTool = QStringLiteral("marlex99-blatt");

void usage(FILE* to)
{
    sheets::printLine(to, QStringLiteral(
        "Aufruf: marlex99-blatt [--register VERZEICHNIS] [--layout DATEI] [--out VERZEICHNIS] [STOFF ...]\n"
        "Druckt das Stoffinfo-Blatt jedes genannten Stoffs (Vorgabe: %1) als PDF-Datei STOFF.pdf.\n"
        "  --register VERZEICHNIS  der Bestand (namen.dbf, chemie.dbf, ...); er wird nur gelesen.\n"
        "                          Vorgabe: ein frisch erzeugter Demo-Bestand\n"
        "  --layout DATEI          das Stoffinfo-Layout (*.STO); Vorgabe: STOFFINFO.STO der Demo\n"
        "  --out VERZEICHNIS       wohin die PDF-Dateien kommen; Vorgabe: das aktuelle Verzeichnis")
        .arg(sheets::defaultSubstances().join(QStringLiteral(", "))));
}

int blaetterDrucken(sheets::Arguments& arguments, const QDir& output)
{
    if (arguments.names.isEmpty())
        arguments.names = sheets::defaultSubstances();
    try {
        sheets::SheetSession session(arguments.options);
        return sheets::printEach(
            kTool, arguments.names,
            [&output](const QString& substance) {
                return output.filePath(sheets::fileNameFor(substance) + QStringLiteral(".pdf"));
            },
            [&session](const QString& substance, const QString& pdf) {
                session.select(substance);
                session.printPdf(pdf);
            });
    } catch (const std::exception& e) {
        sheets::printLine(stderr, QStringLiteral("%1: %2").arg(kTool, QString::fromUtf8(e.what())));
        return 1;
    }
}

} // namespace

int main(int argc, char** argv)
{
    return sheets::toolMain(argc, argv, kTool, usage, blaetterDrucken);
}
