#pragma once

#include <cstdint>

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace dbase {
class Filter;
struct FilterOptions;
class Table;
} // namespace dbase

// What the name search and the storage search share: the search text
// (compared with the name key STRIPNAME1 after umlaut folding, as the
// beginning of the key or as the whole key), the two options, and the
// look-up of the first row that passes in the table's index order. The
// user's text is a value of a built condition, never pasted into filter
// text, so any character in it (an apostrophe, a "*") is searched for.
class TSuchdialog : public QDialog {
    Q_OBJECT
public:
    QLabel* Label2;         // "Präfix:"
    QLineEdit* Edit1;       // the search text
    QCheckBox* CheckBox2;   // "Groß- / Kleinschreibung beachten"
    QCheckBox* CheckBox3;   // "Exakte Suche"
    QPushButton* Button1;   // "&OK": searches, then closes
    QPushButton* Button2;   // "&Abbruch"

    // Does nothing while Edit1 is empty. Otherwise searches and closes the
    // dialog, found or not; a table that cannot be searched is told and the
    // dialog stays open.
    void Button1Click();

protected:
    TSuchdialog(QWidget* parent, const QString& name);

    // The search on the dialog's table; tells when nothing was found.
    virtual void suchen() = 0;

    // Edit1's text with umlauts folded.
    QString suchtext() const;
    // The condition on STRIPNAME1 the options ask for.
    dbase::Filter namensbedingung() const;
    // The record number of the first row of `tabelle` in its order that
    // passes its own filter (with its own options) and the name condition
    // (with the dialog's), 0 when none; found in the range of the name tag
    // NAME1_SUB that the condition fixes. The table's cursor, filter and
    // filter options stay as they are, and its observers hear nothing.
    std::uint32_t ersterTreffer(dbase::Table& tabelle) const;

private:
    dbase::FilterOptions optionen() const;
};
