#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// "Datensatz kopieren": the shown substance copied into a new substance with
// a new sub-number and one name row of the name typed here.
class TKopieren : public QDialog {
    Q_OBJECT
public:
    explicit TKopieren(QWidget* parent = nullptr);

    QLabel* Label1;       // "Synonymname:"
    QLineEdit* Edit1;     // the new name row's name, starting from the current one
    QPushButton* Button1; // "&Kopieren"
    QPushButton* Button2; // "&Abbruch"

    // Makes the copy and closes.
    void Button1Click();

private:
    void FormCreate();
};
