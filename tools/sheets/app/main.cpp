// marlex99-blatt: prints the demo's substance information sheet of the named
// substances into PDF files, with the program's own windows and sheet engine
// on a freshly written demo register.

#include <cstdio>
#include <exception>

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include "sheets/SheetSession.h"

namespace {

void print(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

int usage()
{
    print(stderr, QStringLiteral("Aufruf: marlex99-blatt AUSGABEVERZEICHNIS [STOFF ...]\n"
                                 "Druckt das Stoffinfo-Blatt des Demo-Bestands für jeden genannten Stoff als PDF "
                                 "nach AUSGABEVERZEICHNIS\n(Vorgabe: %1).")
                                 .arg(sheets::defaultSubstances().join(QStringLiteral(", "))));
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // The program's windows are made but never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.isEmpty() || args.front().startsWith(QLatin1Char('-')))
        return usage();
    // The session makes the register's directory the current one.
    const QDir output(QFileInfo(args.takeFirst()).absoluteFilePath());
    const QStringList substances = args.isEmpty() ? sheets::defaultSubstances() : args;
    if (!QDir().mkpath(output.path())) {
        print(stderr, QStringLiteral("marlex99-blatt: Das Verzeichnis %1 kann nicht angelegt werden.").arg(output.path()));
        return 1;
    }

    int failed = 0;
    try {
        sheets::SheetSession session;
        for (const QString& substance : substances) {
            const QString pdf = output.filePath(sheets::fileNameFor(substance) + QStringLiteral(".pdf"));
            try {
                session.select(substance);
                session.printPdf(pdf);
                print(stdout, QDir::toNativeSeparators(pdf));
            } catch (const sheets::SheetError& e) {
                print(stderr, QStringLiteral("marlex99-blatt: %1: %2").arg(substance, QString::fromUtf8(e.what())));
                ++failed;
            }
        }
    } catch (const std::exception& e) {
        print(stderr, QStringLiteral("marlex99-blatt: %1").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    return failed == 0 ? 0 : 1;
}
