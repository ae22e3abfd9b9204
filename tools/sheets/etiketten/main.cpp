// marlex99-etiketten: prints the hazard labels of all marked stock items into
// one PDF file, with the program's own windows and label engine, on a
// register and with a label layout of the user's or on the demo's.

#include <cstdio>
#include <exception>

#include <QDir>

#include "sheets/Arguments.h"
#include "sheets/LabelRun.h"
#include "sheets/SheetSession.h"

namespace {

const QString kTool = QStringLiteral("marlex99-etiketten");

void usage(FILE* to)
{
    sheets::printLine(to, QStringLiteral(
        "Aufruf: marlex99-etiketten [--register VERZEICHNIS] [--layout DATEI] [--out VERZEICHNIS]\n"
        "Druckt die Etiketten aller markierten Lagerdatensätze (ANZAHL > 0) in die PDF-Datei labels.pdf.\n"
        "  --register VERZEICHNIS  der Bestand (namen.dbf, chemie.dbf, lager.dbf, ...); er wird nur gelesen.\n"
        "                          Vorgabe: ein frisch erzeugter Demo-Bestand\n"
        "  --layout DATEI          das Etikett (*.ETI); Vorgabe: ETIKETT.ETI der Demo\n"
        "  --out VERZEICHNIS       wohin labels.pdf kommt; Vorgabe: das aktuelle Verzeichnis"));
}

int etikettenDrucken(sheets::Arguments& arguments, const QDir& output)
{
    if (!arguments.names.isEmpty()) {
        sheets::printLine(stderr, QStringLiteral("%1: Unbekanntes Argument %2.").arg(kTool, arguments.names.front()));
        usage(stderr);
        return 2;
    }
    // --layout names a label layout here; the session keeps the demo's
    // sheet layout.
    const QString layout = arguments.options.layout;
    arguments.options.layout.clear();
    const QString pdf = output.filePath(QStringLiteral("labels.pdf"));
    try {
        sheets::SheetSession session(arguments.options);
        sheets::printLabelsPdf(session, layout, pdf);
        // Labels of stock items without substance data are printed all the
        // same; the program's word on them goes to stderr.
        for (const QString& message : session.takeMessages())
            sheets::printLine(stderr, QStringLiteral("%1: %2").arg(kTool, message));
    } catch (const std::exception& e) {
        sheets::printLine(stderr, QStringLiteral("%1: %2").arg(kTool, QString::fromUtf8(e.what())));
        return 1;
    }
    sheets::printLine(stdout, QDir::toNativeSeparators(pdf));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    return sheets::toolMain(argc, argv, kTool, usage, etikettenDrucken);
}
