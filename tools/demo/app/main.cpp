// marlex99-demo: writes the demo register and the program directory's files.

#include <cstdio>
#include <exception>

#include <QDir>
#include <QGuiApplication>
#include <QStringList>

#include "DemoData.h"
#include "EarlierVersion.h"
#include "Generator.h"
#include "UpdateTable.h"

namespace {

void print(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
}

int usage()
{
    std::fputs("Aufruf: marlex99-demo DATENVERZEICHNIS PROGRAMMVERZEICHNIS [--quelle VERZEICHNIS]\n"
               "Schreibt den Demo-Bestand (Tabellen, Indexdateien, FILES.TXT) in DATENVERZEICHNIS, die Lagerdaten\n"
               "einer früheren Version in DATENVERZEICHNIS/Altbestand und\n"
               "Symbol\\, Hilfe\\, STOFFINFO.STO, ETIKETT.ETI und marlex99.ini in PROGRAMMVERZEICHNIS. --quelle nennt das Verzeichnis\n"
               "mit substances.txt, phrases.txt und stock.txt (Vorgabe: die Daten aus dem Quellbaum).\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing text needs a platform; the tool never opens a window.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QStringList args = app.arguments().mid(1);
    QString source = QStringLiteral(MARLEX_DEMO_DATA_DIR);
    if (const qsizetype i = args.indexOf(QStringLiteral("--quelle")); i >= 0) {
        if (i + 1 >= args.size())
            return usage();
        source = args[i + 1];
        args.remove(i, 2);
    }
    if (args.size() != 2)
        return usage();

    try {
        const demo::DemoData data = demo::DemoData::load(QDir(source));
        const QDir registerDir(args[0]);
        const QDir programDir(args[1]);
        const demo::RegisterSummary r = demo::generateRegister(data, registerDir);
        const demo::ProgramFilesSummary p = demo::generateProgramFiles(programDir);
        const QDir earlierDir(registerDir.filePath(QStringLiteral("Altbestand")));
        const demo::EarlierVersionSummary e = demo::writeEarlierVersion(data, earlierDir);
        print(QStringLiteral("Demo-Bestand in %1:").arg(QDir::toNativeSeparators(registerDir.absolutePath())));
        print(QStringLiteral("  %1 Stoffe (chemie.dbf), %2 Namen und Synonyme (namen.dbf), %3 Lagerposten (lager.dbf)")
                  .arg(r.substances).arg(r.names).arg(r.stockItems));
        print(QStringLiteral("  %1 R- und S-Sätze in %2 Zeilen (si_gef.dbf), %3 Strukturformeln (formeln.dbf), FILES.TXT")
                  .arg(r.phrases).arg(r.phraseRecords).arg(r.structurePictures));
        print(QStringLiteral("  Updatetabelle zum Ausprobieren (Daten > Update): %1 mit %2 Datensätzen")
                  .arg(QDir::toNativeSeparators(QStringLiteral("%1/%2").arg(QLatin1String(demo::kUpdateFolder),
                                                                           QLatin1String(demo::kUpdateTable))))
                  .arg(r.updateRecords));
        print(QStringLiteral("Frühere Version in %1 (zur Datenübernahme beim ersten Start):")
                  .arg(QDir::toNativeSeparators(earlierDir.absolutePath())));
        print(QStringLiteral("  LAGER.MX1 (Marlex 1.x) mit %1 Lagerposten, CHEMIE.ZAN (Zan 3.0) mit %2 Stoffen im Lager")
                  .arg(e.oldStockItems).arg(e.markedSubstances));
        print(QStringLiteral("Programmverzeichnis %1:").arg(QDir::toNativeSeparators(programDir.absolutePath())));
        print(QStringLiteral("  %1 Piktogramme in Symbol/, Hilfe/index.htm, Hilfe/hinweis1.htm, STOFFINFO.STO, ETIKETT.ETI, marlex99.ini")
                  .arg(p.pictograms));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "marlex99-demo: %s\n", e.what());
        return 1;
    }
}
