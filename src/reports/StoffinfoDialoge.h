#pragma once

#include <QDialog>
#include <QString>

#include "reports/Drucker.h"

class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;

// What the two sheet dialogs share: the layout file box ("Dateiname" with
// the name field and the browse button), the OK button that the box enables,
// the cancel button, and the loading of the named layout into the sheet
// engine. Made to live while shown: create, exec, destroy.
class TStoffinfoDateiDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox* GroupBox1;
    QLineEdit* Edit1;
    QFileDialog* OpenDialog1; // the browse; not native, so that tests can answer it
    QPushButton* Button1;     // OK: default, enabled by a default layout or a browse
    QPushButton* Button2;     // cancel

protected:
    struct Knopf {
        QString text;
        QString hinweis;
    };
    TStoffinfoDateiDialog(QWidget* parent, const QString& caption, QSize client, Knopf ok, Knopf abbruch,
                          const char* durchsuchenName);

    // The browse button, created with the name the dialog gives it.
    QPushButton* durchsuchenKnopf() const { return m_durchsuchen; }

    // Loads the layout named by Edit1, as typed, into the sheet engine. A
    // name left empty or a file that is missing or no sheet layout is told to
    // the user in German; the layout loaded before stays. True on success.
    bool LoadStoffinfo();

    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
    void Durchsuchen();

    QPushButton* m_durchsuchen;
};

// "Stoffinfo Druck": asks whether to print the current substance's sheet on
// the printer named in the question, lets the user choose another printer
// first, and prints with "&Ja".
class TStoffinfoDruck : public TStoffinfoDateiDialog {
    Q_OBJECT
public:
    explicit TStoffinfoDruck(QWidget* parent = nullptr);

    QLabel* Label1;            // the printer question
    QPushButton* Button3;      // "&Druckerinstallation"
    QPushButton* Button4;      // "&Durchsuchen"
    QScrollArea* ScrollBox1;   // hidden

    // The question, naming the printer of the main window's choice or,
    // while that is a PDF file, the sheet's own file beside it, named after
    // the substance of the name table's current row.
    QString frage() const;

    // "&Ja": loads the layout and prints the sheet while the dialog is open;
    // closes with OK once the sheet was printed. On a failed load or print,
    // or a PDF file the user would not have replaced, the dialog stays open,
    // so the user can correct the name or choose another printer or file.
    void Button1Click();
    // "&Druckerinstallation": the printer dialog on this job's printer or
    // file; the choice is stored in the main window at once and the
    // question names it.
    void Button3Click();

private:
    reports::Auftragsziel m_ziel;
};

// "Stoffinfo Layout": names the layout for the preview of the current
// substance's sheet; the caller previews after the dialog closed with OK.
class TStoffinfoLayout : public TStoffinfoDateiDialog {
    Q_OBJECT
public:
    explicit TStoffinfoLayout(QWidget* parent = nullptr);

    QPushButton* Button3; // "&Durchsuchen"

    // "&Ok": loads the layout; closes with OK only when it loaded, so that
    // no preview starts on a layout that failed to load.
    void Button1Click();
};
