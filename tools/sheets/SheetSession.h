#pragma once

#include <memory>
#include <stdexcept>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class Programm;

namespace widgets {
class ScopedAnswerProvider;
}

namespace sheets {

// What went wrong, in German, with the program's own messages.
class SheetError : public std::runtime_error {
public:
    explicit SheetError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// Which register the program starts on and which sheet layout it prints.
struct SheetOptions {
    // A register directory of a user; empty: a freshly written demo register.
    QString registerDir;
    // A sheet layout ("STO" file); empty: the demo's STOFFINFO.STO.
    QString layout;
};

// The program started as a user starts it (for the sheet and report tools,
// their tests and benchmarks): the register and the demo's
// program directory in a temporary directory, the register's directory the
// current one, the run-long windows created in the program's order, and the
// sheet layout named as the default in the settings and loaded into the
// sheet engine. A user's register is read and never written: its files are
// copied (its folders linked) into the temporary directory, so what the
// start writes beside the tables stays there, and read-only tables serve as
// well. Needs a QApplication; one session at a time, as the program's
// windows are globals. Message boxes are answered (OK, or the question's
// escape answer) and kept instead of shown, so nothing waits for a user.
// A SheetError with the program's messages when the program does not start
// or the layout does not load.
class SheetSession {
public:
    explicit SheetSession(const SheetOptions& options = {});
    ~SheetSession();
    SheetSession(const SheetSession&) = delete;
    SheetSession& operator=(const SheetSession&) = delete;

    // Selects the list line that reads `name` and shows its record, as a
    // click on the line does. A SheetError when no line reads so.
    void select(const QString& name);

    // The selected substance's sheet, printed into a PDF file in place of
    // the printer. A SheetError with the program's messages when the run
    // did not print.
    void printPdf(const QString& path);

    // The sheet in the preview window; returns when the window has closed.
    // A SheetError when the preview could not be shown.
    void preview();

    // The messages the program showed since the last call, oldest first.
    QStringList takeMessages();

private:
    void loadLayout();
    void run(int druckModus, const QString& what);

    QTemporaryDir m_dir;
    QString m_registerName; // for messages
    QString m_previousDir;
    QString m_previousProgramDir;
    QStringList m_messages;
    std::unique_ptr<widgets::ScopedAnswerProvider> m_answers;
    std::unique_ptr<Programm> m_programm;
};

// The substances the sheets are shown with unless others are named: among
// them every kind of picture the sheet has.
QStringList defaultSubstances();

// A file name for a substance's sheet: letters and digits kept, everything
// else one underscore.
QString fileNameFor(const QString& substance);

} // namespace sheets
