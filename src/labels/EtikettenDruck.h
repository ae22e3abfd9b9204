#pragma once

#include "labels/EtikettenDateiDialog.h"
#include "reports/Drucker.h"

class QGroupBox;
class QLabel;

// Before a label print: asks whether to print on the printer of the main
// window's choice (named in the question), lets the user choose another
// printer, and names the label file. The launcher sets the caption and
// decides which stock items are printed.
class TEtikettenDruck : public TEtikettenDateiDialog {
    Q_OBJECT
public:
    explicit TEtikettenDruck(QWidget* parent = nullptr);

    QGroupBox* GroupBox2;  // "Ausgabe"
    QLabel* Label1;        // the question
    QPushButton* Button4;  // "&Druckerinstallation"

    // "Soll der Etikettendruck auf dem Drucker ... gedruckt werden?", naming
    // the printer of the main window's choice or, while that is a PDF file,
    // the labels' own file "Etiketten.pdf" beside it.
    QString frage() const;

    // OK: as for every label dialog, after the question before replacing a
    // PDF file that is there; the user's "Nein" there keeps the dialog open.
    void Button1Click() override;
    // "&Druckerinstallation": the printer dialog on this job's printer or
    // file; a new choice is the main window's at once, for every later
    // print job. The question is built anew, also after a cancel.
    void Button4Click();

private:
    reports::Auftragsziel m_ziel;
};
