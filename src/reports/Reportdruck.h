#pragma once

#include <QDialog>
#include <QString>

#include "reports/Drucker.h"

class QLabel;
class QPushButton;

// "Reportdruck": asks whether the report of the current run is to be printed
// on the printer the question names, and lets the user choose another
// printer first. "&Ja" closes with OK, "&Nein" and the close box with
// Cancel; the run prints only on OK, on the printer chosen here. A printer
// chosen with "&Druckerinstallation" is the main window's choice at once,
// for every later print job, whatever the answer.
class TReportdruck : public QDialog {
    Q_OBJECT
public:
    // layoutDatei: the report layout of the run, whose name a PDF file of
    // the report's own is given.
    explicit TReportdruck(QWidget* parent = nullptr, const QString& layoutDatei = {});

    QLabel* Label1;       // the question
    QPushButton* Button1; // "&Ja"
    QPushButton* Button2; // "&Nein"
    QPushButton* Button3; // "&Druckerinstallation"

    // The question, naming the printer of the main window's choice (a stored
    // printer that is no longer installed is replaced by the default
    // printer, which the question then names) or, while that is a PDF file,
    // the report's own file beside it.
    QString frage() const;

    // "&Ja": closes with OK, after the question before replacing a PDF file
    // that is there; the user's "Nein" there keeps the dialog open.
    void Button1Click();
    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    reports::Auftragsziel m_ziel;
};
