#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class Verzeichnisliste;

// The directory chooser of the storage takeover ("Verzeichniswahl"): it
// opens on the main window's GewaehltesVerzeichnis and "&Ok" puts the
// chosen directory there; "&Abbruch" and the close box leave it alone.
class TVerzeichnisWahl : public QDialog {
    Q_OBJECT
public:
    explicit TVerzeichnisWahl(QWidget* parent = nullptr);
    ~TVerzeichnisWahl() override;

    QLabel* StaticText1;
    Verzeichnisliste* DirectoryListBox1;
    QPushButton* Button1; // "&Ok"
    QPushButton* Button2; // "&Abbruch"

private:
    void Button1Click();
};
