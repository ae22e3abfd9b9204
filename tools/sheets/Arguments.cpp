#include "Arguments.h"

#include <exception>

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

int toolMain(int argc, char** argv, const QString& tool, const std::function<void(FILE*)>& usage,
             const std::function<int(Arguments&, const QDir& output)>& body)
{
    // The program's windows are made but never need a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        usage(stdout);
        return 0;
    }
    std::optional<Arguments> parsed = parseArguments(args, tool);
    if (!parsed) {
        usage(stderr);
        return 2;
    }
    const std::optional<QDir> output = outputDirectory(parsed->out, tool);
    if (!output)
        return 1;
    return body(*parsed, *output);
}

int printEach(const QString& tool, const QStringList& names, const std::function<QString(const QString&)>& pdfFor,
              const std::function<void(const QString& name, const QString& pdf)>& print)
{
    int failed = 0;
    try {
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
    } catch (const std::exception& e) {
        printLine(stderr, QStringLiteral("%1: %2").arg(tool, QString::fromUtf8(e.what())));
        return 1;
    }
    return failed == 0 ? 0 : 1;
}

} // namespace sheets
