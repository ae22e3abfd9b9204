#pragma once

#include "labels/EtikettenDateiDialog.h"

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
    // the printer (or PDF file) that print jobs now go to.
    static QString frage();

    // "&Druckerinstallation": the printer dialog on the main window's
    // choice; a new choice is the main window's at once, for every later
    // print job. The question is built anew, also after a cancel.
    void Button4Click();
};
