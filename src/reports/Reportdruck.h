#pragma once

#include <QDialog>
#include <QString>

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
    explicit TReportdruck(QWidget* parent = nullptr);

    QLabel* Label1;       // the question
    QPushButton* Button1; // "&Ja"
    QPushButton* Button2; // "&Nein"
    QPushButton* Button3; // "&Druckerinstallation"

    // The question, naming the printer (or PDF file) of the main window's
    // choice; a stored printer that is no longer installed is replaced by
    // the default printer, which the question then names.
    static QString frage();

    void Button3Click();

protected:
    void showEvent(QShowEvent* event) override;
};
