#pragma once

#include <QDialog>
#include <QString>

#include "search/Namentabellen.h"

class QLabel;
class QPlainTextEdit;

namespace dbase { class Table; }
namespace widgets { enum class MessageKind; }

namespace datawidgets {
class Fortschrittsbalken;
class Suchanimation;
}

// The start-up window and the start of the data side: the required-file
// check against "FILES.TXT", the optional index rebuild through the index
// library, opening the tables, re-creating the research tables and reading
// the name list into the main window.
class TInit : public QDialog {
    Q_OBJECT
public:
    explicit TInit(QWidget* parent = nullptr);
    ~TInit() override;

    // Runs once per program run, with the main window (Marlex) and the data
    // module (Datas) in place. On success the window is closed and the main
    // window shows the first name. When the start cannot go on it has told
    // the user why, has opened nothing (or closed again what it opened),
    // stays on screen and startAbgebrochen() is true: the main routine then
    // ends the program without running the window's event loop.
    void Initialisieren();
    bool startAbgebrochen() const { return m_abgebrochen; }

    QLabel* Label1;                                // the current step's text
    QLabel* Label2;                                // the title "Marlex99"
    QLabel* Image1;                                // visible exactly when OptWin98 is set
    datawidgets::Fortschrittsbalken* ProgressBar1; // progress of the current step
    datawidgets::Suchanimation* Animate1;          // runs while the window is open
    QPlainTextEdit* Memo1;                         // invisible: the file check's error lines

public slots:
    // The window cannot be dismissed by the user: it closes when the start
    // is done.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormClose();
    bool DateiPruefen(const QString& dateiName, bool alleVorhanden);
    void schrittBeginnen(const QString& text, int maximum);
    void indexDateienErzeugen();
    // Index files of the start's tables that are damaged or missing are made
    // anew from the program's own tag definitions and the rows: the index
    // library leaves a damaged tag table alone. The rows stay as they are.
    void indexDateienErneuern();
    void unterbrocheneAenderungenZuruecknehmen();
    void dateienOeffnen();
    // Whether the index file can be read, checked before the open since the
    // open may read a tag only when it is first used.
    void indexDateiPruefen(const dbase::Table& tabelle);
    // Makes the research table anew, empty, with the name table's fields and
    // tags; Table5 is left naming it.
    void rechercheDateiErzeugen(Namentabelle art);
    void namenlisteLesen();
    void zugriffsartSetzen();
    void startBeenden(const QString& meldung, widgets::MessageKind art, const QString& einzelheiten = {});

    bool m_abgebrochen = false;
    bool m_gestartet = false;
};

// The start-up window of the run; created by the main routine.
extern TInit* Init;
