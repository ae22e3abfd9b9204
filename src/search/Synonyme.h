#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// "Verwandte Synonyme anzeigen": the other names of the substance of the
// main list's current line, in alphabetical order, and a jump to the line of
// the one chosen. The jump needs the lines of the whole name table, so it is
// off while the list filter is on.
class TSynonyme : public QDialog {
    Q_OBJECT
public:
    explicit TSynonyme(QWidget* parent = nullptr);

    QLabel* Label1;        // "Name:"
    QLineEdit* Edit1;      // the current name, not editable
    QLabel* Label2;        // "Verwandte Synonyme:"
    QListWidget* ListBox1; // the related names
    QPushButton* Button1;  // "&Schließen"
    QPushButton* Button2;  // "&Gehe zu"

    // Selects the main list's line of the chosen name, shows its substance
    // and closes.
    void Button2Click();

private:
    void FormCreate();

    // The record number of each line's name row, line by line.
    QStringList SynonymRecNos;
};
