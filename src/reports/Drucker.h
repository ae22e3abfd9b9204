#pragma once

#include <functional>

#include <QString>

class QWidget;

namespace report {
class Report;
}

namespace reports {

// Where the print jobs of the sheet, report and label engines go: the
// installed printer with the index the main window keeps (DruckerIndex), or,
// when "print to file" was chosen in the printer dialog, a PDF file.
struct Druckziel {
    int druckerIndex = 0;
    QString datei; // a PDF file instead of a printer; empty: the printer
};

// What a choice comes to on this machine at this moment.
struct Druckerauswahl {
    bool vorhanden = false; // a printer or a file to print to
    int index = -1;         // the installed printer used; -1 for a file or none
    QString name;           // the printer's name, or the PDF file's path
    // German, for the user: the stored index names no installed printer (the
    // default printer is used instead), or there is no printer at all.
    // Empty when the choice is used as it stands.
    QString hinweis;
};

// The main window's choice (DruckerIndex, DruckDatei), the one that every
// print job uses, and storing a changed one back there at once.
Druckziel hauptfensterDruckziel();
void hauptfensterDruckzielSetzen(const Druckziel& ziel);

Druckerauswahl druckerAufloesen(const Druckziel& ziel);

// The question of the print dialogs, "Soll <was> auf dem Drucker <name>
// gedruckt werden?", naming the printer (or PDF file) the job will go to;
// with no printer at all it says so and points to the printer dialog.
// was: what is printed, e.g. "das Stoffinfo des aktuellen Datensatzes".
QString druckerFrage(const QString& was, const Druckziel& ziel);

// Runs the printer dialog on the choice, offering the installed printers and
// "print to file" (PDF). OK stores the printer's index or the file; cancel
// keeps the choice as it was. A stored index that names no installed
// printer is told, and the dialog starts on the default printer.
void druckerEinrichten(QWidget* owner, Druckziel& ziel);

// Where one print job goes, as its confirmation names and settles it. While
// the main window's choice is a printer, that printer. While it is a PDF
// file, a file of the job's own beside it, named after what is printed (the
// substance, "Etiketten", the report layout), so that one job never takes
// another's file. "Druckerinstallation" is the printer dialog preset to the
// job's target; what is chosen there is the main window's choice at once, as
// for every print question, and a file chosen there is this job's file as
// chosen.
class Auftragsziel {
public:
    // name: what is printed; characters a file name cannot hold become "_".
    explicit Auftragsziel(const QString& name);

    const Druckziel& ziel() const { return m_ziel; }
    // druckerFrage() naming this job's printer or file.
    QString frage(const QString& was) const;
    void einrichten(QWidget* owner);
    // The user's "Ja": a file that exists is replaced only after the
    // question "Die Datei ... gibt es schon. Soll sie ersetzt werden?". On
    // yes (or no such file) the job's target becomes the main window's
    // choice, which the engines print on, and true; on no nothing changes.
    bool bestaetigen(QWidget* owner);

private:
    Druckziel m_ziel;
};

// What the printer dialog is preset to and returns: a printer by name, or a
// PDF file (then drucker is empty).
struct Druckerwahl {
    QString drucker;
    QString datei;
};

// The printer dialog itself: true when the user accepted; it then leaves
// the choice in wahl.
using DruckerDialog = std::function<bool(QWidget* owner, Druckerwahl& wahl)>;

// Puts another printer dialog in place of Qt's for its lifetime (tests, with
// report::ScopedPrinters standing in for the printers) and puts the earlier
// one back.
class ScopedDruckerDialog {
public:
    explicit ScopedDruckerDialog(DruckerDialog dialog);
    ~ScopedDruckerDialog();
    ScopedDruckerDialog(const ScopedDruckerDialog&) = delete;
    ScopedDruckerDialog& operator=(const ScopedDruckerDialog&) = delete;

private:
    DruckerDialog m_previous;
};

// Prints the report on the choice. A fallback to the default printer is told
// once before printing; with no printer at all a report::ReportError says so
// in German, before anything is laid out (afterPrint then runs with false).
void drucken(report::Report& report, const Druckziel& ziel);

} // namespace reports
