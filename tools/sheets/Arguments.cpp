#include "Arguments.h"

#include <exception>
#include <utility>

#include <QApplication>
#include <QFileInfo>

namespace sheets {

void printLine(FILE* to, const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
}

std::optional<QDir> outputDirectory(const QString& out, const QString& tool)
{
    const QDir output(QFileInfo(out).absoluteFilePath());
    if (QDir().mkpath(output.path()))
        return output;
    printLine(stderr, QStringLiteral("%1: Das Verzeichnis %2 kann nicht angelegt werden.").arg(tool, output.path()));
    return std::nullopt;
}

std::optional<Arguments> parseArguments(QStringList args, const QString& tool)
{
    Arguments parsed;
    bool namesOnly = false;
    while (!args.isEmpty()) {
        QString arg = args.takeFirst();
        if (namesOnly || !arg.startsWith(QLatin1Char('-'))) {
            parsed.names << arg;
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
            printLine(stderr, QStringLiteral("%1: Unbekannte Option %2.").arg(tool, arg));
            return std::nullopt;
        }
        if (value.isEmpty()) {
            printLine(stderr, QStringLiteral("%1: Zu %2 fehlt der Wert.").arg(tool, arg));
            return std::nullopt;
        }
        *target = value;
    }
    return parsed;
}

namespace {

QString usage(const Tool& tool)
{
    // The options' texts start in one column; a text's further lines too.
    const auto option = [](const char* name, QString text) {
        const QString indent = QLatin1Char('\n') + QString(26, u' ');
        return QStringLiteral("\n  %1%2").arg(QString::fromLatin1(name).leftJustified(24),
                                              text.replace(QLatin1Char('\n'), indent));
    };
    QString synopsis = QStringLiteral("Aufruf: %1 [--register VERZEICHNIS] [--layout DATEI] [--out VERZEICHNIS]")
                           .arg(tool.name);
    if (!tool.nameWord.isEmpty())
        synopsis += QStringLiteral(" [%1 ...]").arg(tool.nameWord);
    return synopsis + QLatin1Char('\n') + tool.purpose
        + option("--register VERZEICHNIS", QStringLiteral("der Bestand (namen.dbf, chemie.dbf, lager.dbf, ...); er "
                                                          "wird nur gelesen.\nVorgabe: ein frisch erzeugter "
                                                          "Demo-Bestand"))
        + option("--layout DATEI", tool.layout)
        + option("--out VERZEICHNIS", tool.out + QStringLiteral("; Vorgabe: das aktuelle Verzeichnis"));
}

} // namespace

int toolMain(int argc, char** argv, const Tool& tool, const std::function<int(Job&)>& print)
{
    // The program's windows are made but never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        printLine(stdout, usage(tool));
        return 0;
    }
    std::optional<Arguments> parsed = parseArguments(args, tool.name);
    if (parsed && tool.nameWord.isEmpty() && !parsed->names.isEmpty()) {
        printLine(stderr, QStringLiteral("%1: Unbekanntes Argument %2.").arg(tool.name, parsed->names.front()));
        parsed.reset();
    }
    if (!parsed) {
        printLine(stderr, usage(tool));
        return 2;
    }
    const std::optional<QDir> output = outputDirectory(parsed->out, tool.name);
    if (!output)
        return 1;
    // The path is the caller's: the session makes the register's directory
    // the current one.
    QString& layout = parsed->options.layout;
    if (!layout.isEmpty())
        layout = QFileInfo(layout).absoluteFilePath();
    QString eigenesLayout;
    if (tool.ownLayout)
        std::swap(eigenesLayout, layout);
    try {
        SheetSession session(parsed->options);
        Job job{session, parsed->names, eigenesLayout, *output};
        return print(job);
    } catch (const std::exception& e) {
        printLine(stderr, QStringLiteral("%1: %2").arg(tool.name, QString::fromUtf8(e.what())));
        return 1;
    }
}

int printEach(const QString& tool, const QStringList& names, const std::function<QString(const QString&)>& pdfFor,
              const std::function<void(const QString& name, const QString& pdf)>& print)
{
    int failed = 0;
    for (const QString& name : names) {
        const QString pdf = pdfFor(name);
        try {
            print(name, pdf);
            printLine(stdout, QDir::toNativeSeparators(pdf));
        } catch (const SheetError& e) {
            printLine(stderr, QStringLiteral("%1: %2: %3").arg(tool, name, QString::fromUtf8(e.what())));
            ++failed;
        }
    }
    return failed == 0 ? 0 : 1;
}

} // namespace sheets
