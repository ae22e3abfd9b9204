#pragma once

#include <memory>

#include <QDialog>

class QButtonGroup;
class QFileDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace dbase { class Table; }

// "Update": merges a supplied update table into the register's substance
// data, with its report UPDATE.TXT, or opens the maker's page that offers
// update tables. Made for each use of the main window's "&Update".
class TUpdate : public QDialog {
    Q_OBJECT
public:
    explicit TUpdate(QWidget* parent = nullptr);
    ~TUpdate() override;

    QGroupBox* RadioGroup1;      // "Update-Auswahl"
    QRadioButton* Internet;      // item 0 "Datendatei aus dem Internet laden"
    QRadioButton* Aktualisieren; // item 1 "Daten in Marlex99 aktualisieren"
    QLabel* Label1;              // "Updatedatei:"
    QLineEdit* Edit1;            // the update table's path
    QPushButton* Button3;        // "&Durchsuchen"
    QPushButton* Button1;        // "&Ok"
    QPushButton* Button2;        // "&Abbruch"
    QPlainTextEdit* Memo1;       // the report, hidden
    QFileDialog* OpenDialog1;    // not native, so that tests can answer it
    std::unique_ptr<dbase::Table> Table1; // the update table

    int RadioGroup1ItemIndex() const;
    void RadioGroup1Click();
    void Button3Click();
    void Button1Click();

    // The page of the maker's site where update tables are offered.
    static QString Updateadresse();
    // The report of every run, in the current directory.
    static const QString Berichtsdatei;

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Merges the table named in Edit1; false (after saying why) when it
    // could not start, with nothing changed.
    bool datenAktualisieren();

    QButtonGroup* m_auswahl;
};
