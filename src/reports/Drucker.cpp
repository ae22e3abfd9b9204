#include "reports/Drucker.h"

#include <utility>

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "app/Marlex.h"
#include "report/Output.h"
#include "report/Report.h"
#include "report/ReportError.h"
#include "widgets/MessageBox.h"

namespace reports {

namespace {

const QString keinDrucker = QStringLiteral("Es ist kein Drucker installiert.");

// The dialog of the running program; tests put their own in its place.
DruckerDialog& druckerDialog()
{
    static DruckerDialog dialog;
    return dialog;
}

bool qtDruckerDialog(QWidget* owner, Druckerwahl& wahl)
{
    QPrinter printer;
    if (!wahl.drucker.isEmpty()) {
        printer.setPrinterName(wahl.drucker);
    } else {
        // Without a file of its own the dialog offers the home folder
        // itself, which no PDF can be written to.
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(wahl.datei.isEmpty() ? QDir::home().filePath(QStringLiteral("Marlex99.pdf"))
                                                       : wahl.datei);
    }
    // The printer set-up: it chooses where the jobs go and prints nothing,
    // so it is named so and its button sets the printer.
    QPrintDialog dialog(&printer, owner);
    dialog.setWindowTitle(QStringLiteral("Druckereinrichtung"));
    dialog.setOptions(QAbstractPrintDialog::PrintToFile);
    for (QDialogButtonBox* knoepfe : dialog.findChildren<QDialogButtonBox*>()) {
        if (QPushButton* ok = knoepfe->button(QDialogButtonBox::Ok))
            ok->setText(QStringLiteral("&OK"));
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (printer.outputFormat() == QPrinter::PdfFormat) {
        const QString datei = printer.outputFileName();
        if (datei.isEmpty() || QFileInfo(datei).isDir()) {
            widgets::MessageBox::error(owner, QStringLiteral("Für den Druck in eine Datei fehlt der Dateiname; "
                                                             "die bisherige Druckerwahl bleibt."));
            return false;
        }
        wahl.drucker.clear();
        wahl.datei = datei;
    } else {
        wahl.drucker = printer.printerName();
        wahl.datei.clear();
    }
    return true;
}

} // namespace

Druckziel hauptfensterDruckziel()
{
    return {Marlex->DruckerIndex, Marlex->DruckDatei};
}

void hauptfensterDruckzielSetzen(const Druckziel& ziel)
{
    Marlex->DruckerIndex = ziel.druckerIndex;
    Marlex->DruckDatei = ziel.datei;
}

Druckerauswahl druckerAufloesen(const Druckziel& ziel)
{
    Druckerauswahl auswahl;
    if (!ziel.datei.isEmpty()) {
        auswahl.vorhanden = true;
        auswahl.name = ziel.datei;
        return auswahl;
    }
    const QStringList drucker = report::installedPrinters();
    if (drucker.isEmpty()) {
        auswahl.hinweis = keinDrucker;
        return auswahl;
    }
    auswahl.vorhanden = true;
    if (ziel.druckerIndex >= 0 && ziel.druckerIndex < drucker.size()) {
        auswahl.index = ziel.druckerIndex;
    } else {
        auswahl.index = report::defaultPrinterIndex();
        auswahl.hinweis = QStringLiteral("Der eingestellte Drucker Nummer %1 ist nicht installiert. "
                                         "Es wird der Standarddrucker %2 verwendet.")
                              .arg(ziel.druckerIndex)
                              .arg(drucker.at(auswahl.index));
    }
    auswahl.name = drucker.at(auswahl.index);
    return auswahl;
}

QString druckerFrage(const QString& was, const Druckziel& ziel)
{
    const Druckerauswahl auswahl = druckerAufloesen(ziel);
    if (!auswahl.vorhanden)
        return QStringLiteral("Soll %1 gedruckt werden? Es ist kein Drucker installiert; wählen Sie unter "
                              "\u201eDruckerinstallation\u201c den Druck in eine PDF-Datei.")
            .arg(was);
    if (auswahl.index < 0)
        return QStringLiteral("Soll %1 in die PDF-Datei %2 gedruckt werden?").arg(was, auswahl.name);
    return QStringLiteral("Soll %1 auf dem Drucker %2 gedruckt werden?").arg(was, auswahl.name);
}

void druckerEinrichten(QWidget* owner, Druckziel& ziel)
{
    const Druckerauswahl auswahl = druckerAufloesen(ziel);
    // A printer removed since its number was stored: the dialog starts on
    // the default printer, and the user is told why.
    if (auswahl.index >= 0 && !auswahl.hinweis.isEmpty())
        widgets::MessageBox::information(owner, auswahl.hinweis);
    Druckerwahl wahl;
    if (auswahl.index >= 0)
        wahl.drucker = auswahl.name;
    else
        wahl.datei = ziel.datei;
    const DruckerDialog& dialog = druckerDialog();
    if (!(dialog ? dialog(owner, wahl) : qtDruckerDialog(owner, wahl)))
        return;
    if (!wahl.datei.isEmpty()) {
        ziel.datei = wahl.datei;
        return;
    }
    const int index = static_cast<int>(report::installedPrinters().indexOf(wahl.drucker));
    if (index < 0)
        return; // a printer the dialog offered but the list no longer has: keep the choice
    ziel.druckerIndex = index;
    ziel.datei.clear();
}

namespace {

// A name for a file of its own: no folder separators, no characters that
// Windows refuses in a file name (a register may be copied there).
QString dateiname(const QString& name)
{
    QString ergebnis = name.simplified();
    for (QChar& c : ergebnis)
        if (c.unicode() < 0x20 || QStringLiteral("/\\:*?\"<>|").contains(c))
            c = QLatin1Char('_');
    while (ergebnis.endsWith(QLatin1Char('.')))
        ergebnis.chop(1);
    return ergebnis.isEmpty() ? QStringLiteral("Druck") : ergebnis;
}

} // namespace

Auftragsziel::Auftragsziel(const QString& name)
    : m_ziel(hauptfensterDruckziel())
{
    if (!m_ziel.datei.isEmpty())
        m_ziel.datei = QFileInfo(m_ziel.datei).dir().filePath(dateiname(name) + QStringLiteral(".pdf"));
}

QString Auftragsziel::frage(const QString& was) const
{
    return druckerFrage(was, m_ziel);
}

void Auftragsziel::einrichten(QWidget* owner)
{
    const Druckziel vorher = m_ziel;
    druckerEinrichten(owner, m_ziel);
    // Cancelled: the main window's choice stays as it was.
    if (m_ziel.datei != vorher.datei || m_ziel.druckerIndex != vorher.druckerIndex)
        hauptfensterDruckzielSetzen(m_ziel);
}

bool Auftragsziel::bestaetigen(QWidget* owner)
{
    if (!m_ziel.datei.isEmpty() && QFileInfo::exists(m_ziel.datei) &&
        widgets::MessageBox::askYesNo(owner, QStringLiteral("Die Datei %1 gibt es schon. Soll sie ersetzt werden?")
                                                 .arg(QDir::toNativeSeparators(m_ziel.datei))) != widgets::Answer::Yes)
        return false;
    hauptfensterDruckzielSetzen(m_ziel);
    return true;
}

namespace {

// The choice resolved for a job about to print: a fallback is told, no
// printer at all is an error.
Druckerauswahl druckauswahl(const Druckziel& ziel)
{
    const Druckerauswahl auswahl = druckerAufloesen(ziel);
    if (!auswahl.vorhanden)
        throw report::ReportError(keinDrucker + QStringLiteral(" Der Druck ist nicht möglich; die Vorschau "
                                                               "bleibt verfügbar, und unter "
                                                               "\u201eDruckerinstallation\u201c kann in eine "
                                                               "PDF-Datei gedruckt werden."));
    if (!auswahl.hinweis.isEmpty())
        widgets::MessageBox::information(nullptr, auswahl.hinweis);
    return auswahl;
}

} // namespace

void drucken(report::Report& report, const Druckziel& ziel)
{
    Druckerauswahl auswahl;
    try {
        auswahl = druckauswahl(ziel);
    } catch (...) {
        if (report.events.afterPrint)
            report.events.afterPrint(false);
        throw;
    }
    if (auswahl.index < 0)
        report::printToPdf(report, auswahl.name);
    else
        report::printToPrinter(report, auswahl.index);
}

ScopedDruckerDialog::ScopedDruckerDialog(DruckerDialog dialog)
    : m_previous(std::exchange(druckerDialog(), std::move(dialog)))
{
}

ScopedDruckerDialog::~ScopedDruckerDialog()
{
    druckerDialog() = std::move(m_previous);
}

} // namespace reports
