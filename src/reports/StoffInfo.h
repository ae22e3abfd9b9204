#pragma once

#include <optional>

#include <QString>
#include <QWidget>

#include "report/Report.h"
#include "reports/Laufrahmen.h"
#include "reports/Layout.h"
#include "reports/StoffInfoBuilder.h"

namespace report {
class PageBuilder;
} // namespace report

// The substance information sheet ("Stoffinfo") of the current substance:
// one run builds a report from the sheet layout, narrows the substance and
// structure tables to the substance and puts the storage table on its stock,
// fills every element once before the first page, prints or previews, and
// puts every table back as it found it, on every path.
//
// A window made at start in the program's creation order and never shown;
// the sheet dialogs load the layout and start runs, the main window's
// commands open the dialogs. Reads at run time: the data module's tables
// (Datas), the main window's list filter flag, printer choice and pictogram
// pictures (Marlex), and the option values (margins, FarbDruck).
class TStoffInfo : public QWidget {
    Q_OBJECT
public:
    explicit TStoffInfo(QWidget* parent = nullptr);
    ~TStoffInfo() override;

    // Holds the run reports' hidden parts; never shown.
    QWidget* ScrollBox1 = nullptr;

    // 1 print, 0 preview; set by the caller before Erstellen().
    int DruckModus = 0;

    // Reads a sheet layout ("STO") and keeps it for the following runs. On
    // failure the earlier layout stays and the error (a stream::StreamError
    // naming the file) is thrown on.
    void LoadStoffinfo(const QString& datei);
    // The layout of the runs; nothing before the first successful load.
    const std::optional<reports::Layout>& LayoutReport() const { return m_layout; }

    // Makes the sheet of the substance of the name table's current row:
    // printed (DruckModus 1) on the main window's printer choice, else shown
    // in the preview window, which this call waits for. Every failure
    // (no layout, a margin option that is not a number, margins that leave
    // no room to print, a dataset error while filling, no printer) is told to
    // the user in German and ends the run with every table as before. True
    // when the sheet was printed or previewed.
    //
    // The detail band prints once per record of "chemie.dbf" narrowed to the
    // substance; "formeln.dbf" is narrowed to it as well and "lager.dbf"
    // stands on its first stock row, so a substance without stock or
    // structure picture shows those empty, never another substance's. The
    // sheet's conditions on "lager.dbf" ask about all of the stock the
    // user's storage filter shows. With the list filter on, the name table
    // is "namen.dbf" for the run, standing on the selected name.
    bool Erstellen();

    // The run objects of the current run, for the fill and for tests that
    // look at a run from inside its events; nullptr outside a run.
    const reports::StoffInfoBuilder* Builder() const;

private:
    struct Lauf; // everything of one run; lives while Erstellen() runs

    void BeforePrint();
    void SetStoffinfoInputData();
    void QuickRep1Preview(report::PageBuilder& builder);
    void AfterPreviewPrint();
    bool ausgeben(Lauf& lauf);
    QWidget* besitzer() const;

    std::optional<reports::Layout> m_layout;
    Lauf* m_lauf = nullptr;
    reports::Laufrahmen m_rahmen;
};

// The sheet engine of the run; created and owned by the program's main
// routine, null before and after.
extern TStoffInfo* StoffInfo;

namespace reports {

// The four margin options (OptRandOben, OptRandUnten, OptRandLinks,
// OptRandRechts) as the print jobs use them when the layout's own margins
// are not wanted: millimetres typed with a decimal comma or point ("10,5" and
// "10.5" are both 10.5).
struct Randoptionen {
    report::Margins mm;
    // Empty when every option is a number; else a German message naming the
    // first option that is empty, not a number or negative, with its text.
    QString fehler;
};
Randoptionen randoptionenLesen();
// One margin as typed, in millimetres; none when it is empty, not a number
// or negative.
std::optional<double> randMm(const QString& text);

// The page of a run report from its layout: paper, orientation and size,
// and the layout's margins unless `raender` (millimetres) are given.
void seiteAusLayout(report::PageSetup& seite, const Layout& layout, const std::optional<report::Margins>& raender);

// A German message when the page's margins leave nothing to print on (each
// page would come out blank), naming the page and its margins and where they
// come from; empty when there is room.
QString druckbereichFehler(const report::PageSetup& seite, bool randAusOptionen);

} // namespace reports
