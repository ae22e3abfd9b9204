// marlex99-report: prints free reports over the storage register into PDF
// files, with the program's own windows and report generator, on a register
// and with report layouts of the user's or on the demo's.

#include <QFileInfo>

#include "sheets/Arguments.h"
#include "sheets/ReportRun.h"
#include "sheets/SheetSession.h"

int main(int argc, char** argv)
{
    const sheets::Tool tool{
        .name = QStringLiteral("marlex99-report"),
        .purpose = QStringLiteral("Druckt den Report jedes Layouts als PDF-Datei LAYOUT.pdf (LAGERLISTE.REP wird "
                                  "LAGERLISTE.pdf)."),
        .layout = QStringLiteral("ein Report-Layout (*.REP); Vorgabe: jedes Report-Layout der Demo\n"
                                 "(LAGERLISTE.REP, GIFTLISTE.REP)"),
        .out = QStringLiteral("wohin die PDF-Dateien kommen"),
        .ownLayout = true,
    };
    return sheets::toolMain(argc, argv, tool, [&tool](sheets::Job& job) {
        return sheets::printEach(
            tool.name, job.layout.isEmpty() ? sheets::demoReportLayouts() : QStringList{job.layout},
            [&job](const QString& datei) {
                return job.output.filePath(QFileInfo(datei).completeBaseName() + QStringLiteral(".pdf"));
            },
            [&job](const QString& datei, const QString& pdf) { sheets::printReportPdf(job.session, datei, pdf); });
    });
}
