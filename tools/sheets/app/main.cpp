// marlex99-blatt: prints the substance information sheet of the named
// substances into PDF files, with the program's own windows and sheet engine,
// on a register and with a layout of the user's or on the demo's.

#include "sheets/Arguments.h"
#include "sheets/SheetSession.h"

int main(int argc, char** argv)
{
    const sheets::Tool tool{
        .name = QStringLiteral("marlex99-blatt"),
        .purpose = QStringLiteral("Druckt das Stoffinfo-Blatt jedes genannten Stoffs (Vorgabe: %1) als PDF-Datei "
                                  "STOFF.pdf.")
                       .arg(sheets::defaultSubstances().join(QStringLiteral(", "))),
        .layout = QStringLiteral("das Stoffinfo-Layout (*.STO); Vorgabe: STOFFINFO.STO der Demo"),
        .out = QStringLiteral("wohin die PDF-Dateien kommen"),
        .nameWord = QStringLiteral("STOFF"),
    };
    return sheets::toolMain(argc, argv, tool, [&tool](sheets::Job& job) {
        return sheets::printEach(
            tool.name, job.names.isEmpty() ? sheets::defaultSubstances() : job.names,
            [&job](const QString& substance) {
                return job.output.filePath(sheets::fileNameFor(substance) + QStringLiteral(".pdf"));
            },
            [&job](const QString& substance, const QString& pdf) {
                job.session.select(substance);
                job.session.printPdf(pdf);
            });
    });
}
