#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Synonymname ändern": a new name for the name row of the main list's
// current line; the substance's other names and its record stay as they are.
class TSynoaendern : public QDialog {
    Q_OBJECT
public:
    explicit TSynoaendern(QWidget* parent = nullptr);

    QLabel* Label1;       // "Synonymname:"
    QLineEdit* Edit1;     // the name, starting from the current one
    QPushButton* Button1; // "Ä&ndern"
    QPushButton* Button2; // "&Abbruch"

    // Renames the row and closes; an empty name or another name the
    // substance has already is refused with a message, the dialog stays.
    void Button1Click();
};
