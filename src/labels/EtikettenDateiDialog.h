#pragma once

#include <QDialog>
#include <QString>

class QFileDialog;
class QGroupBox;
class QLineEdit;
class QPushButton;

// What the two label dialogs share: the label file box ("Etikettendatei"
// with the name field, starting on the default label of the settings, and
// the browse button), the OK and cancel buttons, and the answer handed to
// the main window (EtikettDatei, EtikettDialogOk). The name goes on as
// typed; the label engine reads and checks it before it changes anything.
// Made for one showing: create, exec, destroy.
class TEtikettenDateiDialog : public QDialog {
    Q_OBJECT
public:
    QGroupBox* GroupBox1;
    QLineEdit* Edit5;
    QPushButton* Button3;     // "&Durchsuchen"
    QFileDialog* OpenDialog1; // not native, so that tests can answer it
    QPushButton* Button1;     // OK, the default button
    QPushButton* Button2;     // "&Abbruch"

    // OK: EtikettDatei := Edit5 as typed, EtikettDialogOk := 1; the
    // dialog closes with OK.
    virtual void Button1Click();
    // "&Abbruch": nothing is confirmed; the close box does the same.
    void Button2Click();
    // "&Durchsuchen": a chosen file's full name goes into Edit5.
    void Button3Click();

protected:
    TEtikettenDateiDialog(QWidget* parent, const QString& caption, const QString& okText, const QString& okHinweis,
                          const QString& abbruchHinweis);

    void showEvent(QShowEvent* event) override;

private:
    void FormCreate();
};
