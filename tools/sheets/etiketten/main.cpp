// marlex99-etiketten: prints the hazard labels of all marked stock items into
// one PDF file, with the program's own windows and label engine, on a
// register and with a label layout of the user's or on the demo's.

#include <cstdio>

#include <QDir>

#include "sheets/Arguments.h"
#include "sheets/LabelRun.h"
#include "sheets/SheetSession.h"

int main(int argc, char** argv)
{
    const sheets::Tool tool{
        .name = QStringLiteral("marlex99-etiketten"),
        .purpose = QStringLiteral("Druckt die Etiketten aller markierten Lagerdatensätze (ANZAHL > 0) in die "
                                  "PDF-Datei labels.pdf."),
        .layout = QStringLiteral("das Etikett (*.ETI); Vorgabe: ETIKETT.ETI der Demo"),
        .out = QStringLiteral("wohin labels.pdf kommt"),
        .ownLayout = true,
    };
    return sheets::toolMain(argc, argv, tool, [&tool](sheets::Job& job) {
        const QString pdf = job.output.filePath(QStringLiteral("labels.pdf"));
        sheets::printLabelsPdf(job.session, job.layout, pdf);
        // Labels of stock items without substance data are printed all the
        // same; the program's word on them goes to stderr.
        for (const QString& message : job.session.takeMessages())
            sheets::printLine(stderr, QStringLiteral("%1: %2").arg(tool.name, message));
        sheets::printLine(stdout, QDir::toNativeSeparators(pdf));
        return 0;
    });
}
