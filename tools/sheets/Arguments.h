#pragma once

#include <cstdio>
#include <functional>
#include <optional>

#include <QDir>
#include <QString>
#include <QStringList>

#include "sheets/SheetSession.h"

namespace sheets {

// What the printing tools are told on their command line: the register and
// the layout of the session, where the files go, and the names after the
// options (substances, for the sheet tool).
struct Arguments {
    SheetOptions options;
    QString out = QStringLiteral(".");
    QStringList names;
};

// The options as `--name VALUE` or `--name=VALUE`, the last one counting:
// --register, --layout and --out; everything else, and all after "--", is a
// name. An unknown option or one without its value is told on stderr in
// German, under the tool's name, and gives nothing.
std::optional<Arguments> parseArguments(QStringList args, const QString& tool);

// The directory `out` names, made when missing and taken as an absolute
// path (the session makes the register's directory the current one);
// nothing, after telling so on stderr, when it cannot be made.
std::optional<QDir> outputDirectory(const QString& out, const QString& tool);

// The frame of a printing tool's main(): draws off screen unless
// QT_QPA_PLATFORM says otherwise, makes the application, prints `usage` on
// stdout for --help (status 0), reads the arguments (usage on stderr and
// status 2 when they are wrong), makes the output directory (status 1 when
// it cannot), then returns the status of `body`.
int toolMain(int argc, char** argv, const QString& tool, const std::function<void(FILE*)>& usage,
             const std::function<int(Arguments&, const QDir& output)>& body);

// Prints each of `names` with `print(name, pdf)` into the PDF file
// `pdfFor(name)`, naming each file written on stdout. A SheetError of one
// is told on stderr ("tool: name: message") and the others still go on; an
// error of another kind (the program did not start) ends the run and is told
// the same way. Status 0 when every one was printed, else 1.
int printEach(const QString& tool, const QStringList& names, const std::function<QString(const QString&)>& pdfFor,
              const std::function<void(const QString& name, const QString& pdf)>& print);

// One line of text on a standard stream, in the local encoding.
void printLine(FILE* to, const QString& text);

} // namespace sheets
