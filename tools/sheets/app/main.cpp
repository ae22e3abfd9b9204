// marlex99-blatt: prints the substance information sheet of the named
// substances into PDF files, with the program's own windows and sheet engine,
// on a register and with a layout of the user's or on the demo's.

#include <cstdio>
#include <exception>
#include <optional>

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

int usage(FILE* to, int exitCode)
{
    print(to, QStringLiteral(
        "Aufruf: marlex99-blatt [--register VERZEICHNIS] [--layout DATEI] [--out VERZEICHNIS] [STOFF ...]\n"
        "Druckt das Stoffinfo-Blatt jedes genannten Stoffs (Vorgabe: %1) als PDF-Datei STOFF.pdf.\n"
        "  --register VERZEICHNIS  der Bestand (namen.dbf, chemie.dbf, ...); er wird nur gelesen.\n"
        "                          Vorgabe: ein frisch erzeugter Demo-Bestand\n"
        "  --layout DATEI          das Stoffinfo-Layout (*.STO); Vorgabe: STOFFINFO.STO der Demo\n"
        "  --out VERZEICHNIS       wohin die PDF-Dateien kommen; Vorgabe: das aktuelle Verzeichnis")
        .arg(sheets::defaultSubstances().join(QStringLiteral(", "))));
    return exitCode;
}

struct Arguments {
    sheets::SheetOptions options;
    QString out = QStringLiteral(".");
    QStringList substances;
};

// The options as `--name VALUE` or `--name=VALUE`, the last one counting;
// everything else, and all after "--", names a substance.
std::optional<Arguments> parse(QStringList args)
{
    Arguments parsed;
    bool namesOnly = false;
    while (!args.isEmpty()) {
        QString arg = args.takeFirst();
        if (namesOnly || !arg.startsWith(QLatin1Char('-'))) {
            parsed.substances << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            namesOnly = true;
            continue;
        }
        QString value;
        const qsizetype equals = arg.indexOf(QLatin1Char('='));
        if (equals > 0) {
            value = arg.mid(equals + 1);
            arg.truncate(equals);
        } else if (!args.isEmpty()) {
            value = args.takeFirst();
        }
        QString* target = arg == QLatin1String("--register") ? &parsed.options.registerDir
                        : arg == QLatin1String("--layout")   ? &parsed.options.layout
                        : arg == QLatin1String("--out")      ? &parsed.out
                                                             : nullptr;
        if (!target) {
            print(stderr, QStringLiteral("marlex99-blatt: Unbekannte Option %1.").arg(arg));
            return std::nullopt;
        }
        if (value.isEmpty()) {
            print(stderr, QStringLiteral("marlex99-blatt: Zu %1 fehlt der Wert.").arg(arg));
            return std::nullopt;
        }
        *target = value;
    }
    if (parsed.substances.isEmpty())
        parsed.substances = sheets::defaultSubstances();
    return parsed;
}

} // namespace

int main(int argc, char** argv)
{
    // The program's windows are made but never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h")))
        return usage(stdout, 0);
    const std::optional<Arguments> parsed = parse(args);
    if (!parsed)
        return usage(stderr, 2);
    // The session makes the register's directory the current one.
    const QDir output(QFileInfo(parsed->out).absoluteFilePath());
    if (!QDir().mkpath(output.path())) {
        print(stderr, QStringLiteral("marlex99-blatt: Das Verzeichnis %1 kann nicht angelegt werden.").arg(output.path()));
        return 1;
    }

    int failed = 0;
    try {
        sheets::SheetSession session(parsed->options);
        for (const QString& substance : parsed->substances) {
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
