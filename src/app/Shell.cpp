#include "app/Shell.h"

#include <utility>

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

#include "widgets/MessageBox.h"

namespace {

ShellStarter desktop()
{
    return {[](const QUrl& adresse) { return QDesktopServices::openUrl(adresse); },
            [](const QString& programm, const QStringList& argumente, const QString& verzeichnis) {
                return QProcess::startDetached(programm, argumente, verzeichnis);
            }};
}

ShellStarter& starter()
{
    static ShellStarter aktuell = desktop();
    return aktuell;
}

} // namespace

bool Shell::oeffnen(const QUrl& adresse)
{
    return starter().oeffnen(adresse);
}

void Shell::oeffnenOderMelden(QWidget* owner, const QUrl& adresse)
{
    if (!oeffnen(adresse))
        widgets::MessageBox::error(owner, QStringLiteral("%1 konnte nicht geöffnet werden: Auf diesem System ist "
                                                         "kein Programm dafür eingerichtet.")
                                              .arg(adresse.toDisplayString(QUrl::PreferLocalFile)));
}

bool Shell::starten(const QString& programm, const QStringList& argumente, const QString& verzeichnis)
{
    return starter().starten(programm, argumente, verzeichnis);
}

ScopedShellStarter::ScopedShellStarter(ShellStarter neu) : m_vorher(std::exchange(starter(), std::move(neu))) {}

ScopedShellStarter::~ScopedShellStarter()
{
    starter() = std::move(m_vorher);
}
