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

// The program started on the demo register as a user starts it: the demo's
// register and program directory written into a temporary directory, the
// register's directory the current one, the run-long windows created in the
// program's order, and the demo's sheet layout loaded into the sheet engine.
// Needs a QApplication; one session at a time, as the program's windows are
// globals. Message boxes are answered (OK, or the question's escape answer)
// and kept instead of shown, so nothing waits for a user.
class SheetSession {
public:
    SheetSession();
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
    void run(int druckModus, const QString& what);

    QTemporaryDir m_dir;
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
