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

// One of the printing tools, as its main() describes it to the frame they
// share; the frame writes the usage text from it.
struct Tool {
    QString name;   // the tool's name, before each of its messages
    QString purpose; // what it prints, the usage's second line
    QString layout; // what --layout names and its default ("\n" continues the line)
    QString out;    // what goes to the --out directory
    // Whether --layout names the tool's own layout (a report or label
    // layout); the session then keeps the demo's sheet layout.
    bool ownLayout = false;
    // The word for the names after the options ("STOFF", the sheet tool's
    // substances); empty for a tool that takes none and refuses one as an
    // unknown argument.
    QString nameWord = {};
};

// What a tool prints, once the frame has started the program: the names
// after the options, the tool's own layout (an absolute path, read before
// the session made the register's directory the current one; empty when
// none was given) and where the files go.
struct Job {
    SheetSession& session;
    QStringList names;
    QString layout;
    QDir output;
};

// The frame of a printing tool's main(): draws off screen unless
// QT_QPA_PLATFORM says otherwise, makes the application, prints the usage on
// stdout for --help (status 0), reads the arguments (usage on stderr and
// status 2 when they are wrong, or when a tool that takes no names is given
// one), makes the output directory (status 1 when it cannot), starts
// the program on the register and returns the status of `print`. An error
// that ends the tool (the program did not start, a print that failed) is
// told on stderr as "tool: message", with status 1.
int toolMain(int argc, char** argv, const Tool& tool, const std::function<int(Job&)>& print);

// Prints each of `names` with `print(name, pdf)` into the PDF file
// `pdfFor(name)`, naming each file written on stdout. A SheetError of one
// is told on stderr ("tool: name: message") and the others still go on; an
// error of another kind ends the run and is thrown on. Status 0 when every
// one was printed, else 1.
int printEach(const QString& tool, const QStringList& names, const std::function<QString(const QString&)>& pdfFor,
              const std::function<void(const QString& name, const QString& pdf)>& print);

// One line of text on a standard stream, in the local encoding.
void printLine(FILE* to, const QString& text);

} // namespace sheets
