#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Synonymname hinzufügen": the names the substance of the main list's
// current line has, and a new one to add to it.
class TSynoadd : public QDialog {
    Q_OBJECT
public:
    explicit TSynoadd(QWidget* parent = nullptr);

    QLabel* Label1;        // "Vorhandene Synonyme:"
    QListWidget* ListBox1; // the substance's names
    QLabel* Label2;        // "Neuer Synonymname:"
    QLineEdit* Edit1;      // the new name, starting from the current one
    QPushButton* Button1;  // "&Hinzufügen"
    QPushButton* Button2;  // "&Abbruch"

    // Adds the name to the substance and closes; an empty name or one the
    // substance has already is refused with a message, the dialog stays.
    void Button1Click();

private:
    void FormCreate();

    QString SynonymCarn;    // the substance's key when the dialog was made
    QString SynonymSubcarn;
};
