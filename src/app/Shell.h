#pragma once

#include <functional>

#include <QString>
#include <QStringList>

class QUrl;
class QWidget;

// What the program hands to the desktop: a document or web address opened
// with the program the desktop has for it, and another program started as a
// process of its own (not waited for). Each says whether it got going.
// Tests put their own launcher in place, so no browser opens.
struct ShellStarter {
    std::function<bool(const QUrl& adresse)> oeffnen;
    std::function<bool(const QString& programm, const QStringList& argumente, const QString& verzeichnis)> starten;
};

namespace Shell {

bool oeffnen(const QUrl& adresse);
// Opens a web address or document for the user; when nothing opens it, a
// message says so.
void oeffnenOderMelden(QWidget* owner, const QUrl& adresse);
bool starten(const QString& programm, const QStringList& argumente, const QString& verzeichnis);

} // namespace Shell

// Puts a launcher in place for its lifetime and the earlier one back.
class ScopedShellStarter {
public:
    explicit ScopedShellStarter(ShellStarter starter);
    ~ScopedShellStarter();
    ScopedShellStarter(const ScopedShellStarter&) = delete;
    ScopedShellStarter& operator=(const ScopedShellStarter&) = delete;

private:
    ShellStarter m_vorher;
};
