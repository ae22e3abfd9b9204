#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QPlainTextEdit;
class QPushButton;

namespace dbase { class Table; }

// A name whose substance's memo holds the searched text.
struct MemoTreffer {
    QString name;         // NAME1 of the name row
    std::uint32_t recNo;  // the name row's record number
};

struct MemoSuchergebnis {
    std::vector<MemoTreffer> treffer; // in the name table's order
    int unlesbar = 0;                 // substances whose memo could not be read
};

// Every row of the name table `namen`, in its index order, whose substance
// (looked up by CARN and SUBCARN in `chemie` on its tag CARN_SUB) has a memo
// that contains `text` as it stands: letter case counts, and a line break
// matches a line break however the memo stores it. A name without a
// substance is passed over, so is a memo that cannot be read (counted).
// `schritt` runs once per name row. Both tables are back on their rows,
// tags and filters at the end, and their controls follow none of the walk.
MemoSuchergebnis MemotexteDurchsuchen(dbase::Table& namen, dbase::Table& chemie, const QString& text,
                                      const std::function<void()>& schritt = {});

// "Memo suchen": the search over the substances' memos of the names in the
// current name table, and the jump to a found name in the main window's
// list, which then shows its substance.
class TMemoSuchen : public QDialog {
    Q_OBJECT
public:
    explicit TMemoSuchen(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;     // "Suchtext"
    QPlainTextEdit* Memo1;    // the search text, several lines possible
    QGroupBox* GroupBox2;     // "Gefundene Datensätze"
    QComboBox* ComboBox1;     // the found names
    QPushButton* Button3;     // "&Gehe zu"
    QPushButton* Button1;     // "&Suchen"
    QPushButton* Button2;     // "&Abbruch"

    void Button1Click();
    void Button3Click();

    // The record number of the name row of each entry of ComboBox1.
    const std::vector<std::uint32_t>& trefferSatznummern() const { return TrefferSatznummern; }

private:
    void trefferZeigen(const MemoSuchergebnis& ergebnis);

    std::vector<std::uint32_t> TrefferSatznummern;
};
