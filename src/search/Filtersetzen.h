#pragma once

#include <QDialog>

class QComboBox;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;

namespace dbase { class Table; }
namespace ini { class IniChanges; }

// "Filter setzen": the expression of the list filter (over chemie.dbf) or of
// the storage filter (over lager.dbf), as the main window's LagerFilterModus
// says when the dialog is made. The field and operator lists help typing;
// each mode keeps its list of saved expressions in the settings file
// (sections "Filter" and "LagerFilter"). Made to live while shown.
class TFiltersetzen : public QDialog {
    Q_OBJECT
public:
    explicit TFiltersetzen(QWidget* parent = nullptr);
    ~TFiltersetzen() override;

    QPlainTextEdit* Memo1;  // the expression
    QListWidget* ListBox1;  // the field names of the filtered table
    QListWidget* ListBox2;  // operators, parentheses and the apostrophe
    QComboBox* ComboBox1;   // the saved expressions
    QPushButton* Button1;   // "&Setzen"
    QPushButton* Button2;   // "&Abbruch"
    QPushButton* Button3;   // "&Filter löschen"
    QPushButton* Button4;   // "Alle Filter löschen"

    void ListBox1DblClick(QListWidgetItem* item);
    void ListBox2DblClick(QListWidgetItem* item);
    void ComboBox1Click(int index);
    // Checks the expression first: one that the table cannot take is told
    // with its reason and the dialog stays open, nothing changed.
    void Button1Click();
    void Button3Click();
    void Button4Click();
    // Stores the saved expressions of this mode in the settings file.
    void FilterInIniFileSchreiben();

private:
    void FormCreate();
    void anhaengen(const QString& text);
    void merken(const QString& text);
    // Stores the changes all or none; a failure is told, the filter stays.
    void speichern(const ini::IniChanges& aenderungen);
    bool lagerModus() const;
    dbase::Table& tabelle() const;
    QString sektion() const;
};
