// The help pages, the about box, the sibling program KAVU and the printer
// set-up: the commands of the menus "Marlex" and "Hilfe" that lead out of
// the register.

#include <QAction>
#include <QFileInfo>
#include <QUrl>

#include "app/Marlex.h"
#include "app/Shell.h"
#include "app/Ueber.h"
#include "data/Optionen.h"
#include "files/Paths.h"
#include "reports/Drucker.h"
#include "widgets/MessageBox.h"

namespace {

bool istDatei(const std::optional<QString>& pfad)
{
    return pfad && QFileInfo(*pfad).isFile();
}

} // namespace

void TMarlex::hilfeBefehleVerbinden()
{
    connect(Index1, &QAction::triggered, this, &TMarlex::Index1Click);
    connect(Infober1, &QAction::triggered, this, &TMarlex::Infober1Click);
    connect(Kavuaufrufen1, &QAction::triggered, this, &TMarlex::Kavuaufrufen1Click);
    connect(Druckerinstallation1, &QAction::triggered, this, &TMarlex::Druckerinstallation1Click);
}

void TMarlex::Index1Click()
{
    const QString verzeichnis = Programmverzeichnis + QStringLiteral("HILFE\\");
    const std::optional<QString> seite = files::find(verzeichnis + QStringLiteral("index.htm"));
    if (!OptAutoHelp && !istDatei(files::find(OptHelpBrowser))) {
        widgets::MessageBox::information(this, QStringLiteral("Der angegebene Browser ist auf Ihrem System nicht "
                                                              "installiert!"));
        return;
    }
    if (!istDatei(seite)) {
        widgets::MessageBox::error(this, QStringLiteral("Die Hilfe ist nicht installiert: Die Seite \"%1\" fehlt.")
                                             .arg(files::nativePath(verzeichnis + QStringLiteral("index.htm"))));
        return;
    }
    const QString pfad = QFileInfo(*seite).absoluteFilePath();
    if (OptAutoHelp) {
        if (!Shell::oeffnen(QUrl::fromLocalFile(pfad)))
            widgets::MessageBox::error(this, QStringLiteral("Die Hilfe konnte nicht geöffnet werden: Für "
                                                            "HTML-Seiten ist auf diesem System kein Programm "
                                                            "eingerichtet. Tragen Sie unter \u201eOptionen\u201c "
                                                            "einen Browser ein."));
        return;
    }
    const QString browser = QFileInfo(*files::find(OptHelpBrowser)).absoluteFilePath();
    if (!Shell::starten(browser, {pfad}, QFileInfo(pfad).absolutePath()))
        widgets::MessageBox::error(this, QStringLiteral("Der Browser \"%1\" konnte nicht gestartet werden.")
                                             .arg(files::nativePath(OptHelpBrowser)));
}

void TMarlex::Kavuaufrufen1Click()
{
    // The start-up offered the command because the program was there.
    const std::optional<QString> kavu = files::find(QStringLiteral("KAVU.EXE"));
    if (!istDatei(kavu)) {
        widgets::MessageBox::error(this, QStringLiteral("KAVU ist nicht mehr vorhanden: Die Datei \"KAVU.EXE\" "
                                                        "fehlt."));
        return;
    }
    if (!Shell::starten(QFileInfo(*kavu).absoluteFilePath(), {}, files::nativePath(Programmverzeichnis)))
        widgets::MessageBox::error(this, QStringLiteral("KAVU konnte nicht gestartet werden: Die Datei \"%1\" "
                                                        "ist kein ausführbares Programm.")
                                             .arg(QFileInfo(*kavu).absoluteFilePath()));
}

void TMarlex::Druckerinstallation1Click()
{
    reports::Druckziel ziel = reports::hauptfensterDruckziel();
    reports::druckerEinrichten(this, ziel);
    reports::hauptfensterDruckzielSetzen(ziel);
}

void TMarlex::Infober1Click()
{
    TUeber ueber(this);
    ueber.exec();
}
