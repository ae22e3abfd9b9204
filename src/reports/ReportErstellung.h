#pragma once

#include <optional>
#include <vector>

#include <QDialog>
#include <QDir>
#include <QString>
#include <QStringList>

#include "dbase/Filter.h"
#include "reports/Feldplatzhalter.h"
#include "reports/Laufrahmen.h"
#include "reports/Layout.h"
#include "reports/StoffInfoBuilder.h"

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QRadioButton;
class QScrollArea;

namespace report {
class Band;
class PageBuilder;
} // namespace report

// "Report erstellen": free reports over the storage register. The user picks
// a report layout ("*.REP") in the file lists and the output, screen or
// printer; each run builds a report from the layout with one detail line per
// stock item of lager.dbf in name order, looks up the item's substance before
// every band, and shows the pages in the preview or prints them after the
// question of TReportdruck. The layout's description names a selection table
// and a condition on it: through the look-ups, a condition on the name table
// or chemie.dbf selects the stock items whose substance passes it.
//
// Every input of a run (the layout, its selection, the margins, the tables
// and the storage table's name order) is read and checked before any table
// is touched: a missing or bad one is told in German and changes nothing. The run's guard puts tables, files, filters, index
// orders and positions back on every path. The dialog stays open for any
// number of runs; it keeps the layout it read until another file is chosen
// or the directory changes.
class TReportErstellung : public QDialog {
    Q_OBJECT
public:
    explicit TReportErstellung(QWidget* parent = nullptr);
    ~TReportErstellung() override;

    QGroupBox* GroupBox1;          // "Reportdatei"
    QComboBox* DriveComboBox1;     // the drives; choosing one shows its root
    QLabel* DirLabel;              // the directory the lists show
    QListWidget* DirectoryListBox1; // its parent and subdirectories; a double click opens one
    QListWidget* FileListBox1;     // its report layouts
    QGroupBox* RadioGroup1;        // "Ausgabe"
    QRadioButton* Bildschirm;      // item 0
    QRadioButton* Drucker;         // item 1
    QPushButton* Button1;          // "&Erstellen"
    QPushButton* Button2;          // "&Schließen"
    QScrollArea* ScrollBox1;       // hidden

    enum Ausgabe { AusgabeBildschirm = 0, AusgabeDrucker = 1 };

    // The directory the lists show; a change is the user's directory change.
    QDir Verzeichnis() const { return m_verzeichnis; }
    void VerzeichnisSetzen(const QString& pfad);
    // The full path of the selected report layout; empty when none is chosen.
    QString GewaehlteDatei() const;
    int RadioGroup1ItemIndex() const;

    // The file the held layout was read from; empty when none is held.
    const QString& GeladeneReportDatei() const { return m_geladeneDatei; }

    // One run on the layout file `datei` to `ausgabe`: read the file unless
    // it is the one held, check every input, then preview or ask and print.
    // True when the report was shown or printed; false after a German
    // message, or when the user declined the print.
    bool Erstellen(const QString& datei, Ausgabe ausgabe);

    // The run objects of the current run, for tests that look at a run from
    // inside its events; nullptr outside a run.
    const std::vector<reports::Laufobjekt>* ElementListe() const;

    void FileListBox1Click();
    void DirectoryListBox1Change();
    void Button1Click();

private:
    struct Lauf;        // everything of one run; lives while Erstellen() runs
    struct Vorbereitung; // the checked inputs of a run

    std::optional<Vorbereitung> vorbereiten(const QString& datei);
    bool ausgeben(Lauf& lauf, Ausgabe ausgabe);
    void SetReportData(Lauf& lauf);
    void BandBeforePrint(report::Band& band, bool& printBand);
    void SetReportInputData();
    void QuickRep1Preview(report::PageBuilder& builder);
    void AfterPreviewPrint();

    void verzeichnisZeigen();
    void DriveComboBox1Change(int index);
    void DirectoryListBox1DblClick(QListWidgetItem* item);

    QDir m_verzeichnis;
    QButtonGroup* m_ausgabe;
    std::optional<reports::Layout> m_layoutReport; // LayoutReport
    QString m_geladeneDatei;
    Lauf* m_lauf = nullptr;
    reports::Laufrahmen m_rahmen;
};

namespace reports {

// The selection of a report layout, read from its description: line 0 names
// the selection table (a file name, with or without a path, in any case),
// line 1 is a condition in the filter syntax (empty: none).
struct Reportauswahl {
    dbase::Table* tabelle = nullptr;
    dbase::Filter bedingung;
};

// Reads and checks the selection of `layout` against the tables the run will
// have: `tabellen` as they stand, with the name table read as "namen.dbf"
// when `namenDesRegisters` (the run switches the list filter's table back to
// it). The condition's fields must be fields of the selection table. A
// German message naming the file and the line when the description has
// fewer than two lines, names none of the four tables, or holds a condition
// the filter syntax or the table rejects.
struct Auswahlpruefung {
    std::optional<Reportauswahl> auswahl;
    QString fehler;
};
Auswahlpruefung reportauswahlLesen(const Layout& layout, const TabellenSatz& tabellen, bool namenDesRegisters);

// The text eaBedingungstext elements print in a free report, whatever their
// caption: conditional texts are not expanded there.
inline const QString kBedingungstextImReport = QStringLiteral("NOCHT NICHT IMPLEMENTIERT");

} // namespace reports
