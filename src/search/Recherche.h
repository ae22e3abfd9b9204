#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
enum class Namentabelle;

// "Recherche": the text to look for in every field of every substance, and
// the research table that receives the name rows of the substances found
// (TMP1 or TMP2, chosen by the opener). The whole research runs in the OK
// routine; the list then shows the research table.
class TRecherche : public QDialog {
    Q_OBJECT
public:
    // `ziel` is Namentabelle::Tmp1 or Namentabelle::Tmp2.
    TRecherche(QWidget* parent, Namentabelle ziel);
    ~TRecherche() override;

    QGroupBox* GroupBox1;  // "Recherche in TMP1" / "Recherche in TMP2"
    QLabel* Label2;        // "Präfix:"
    QLineEdit* Edit1;      // the text looked for
    QCheckBox* CheckBox1;  // "Synonyme mitkopieren"
    QCheckBox* CheckBox2;  // "Aktuellen Filter mitbenutzen"
    QCheckBox* CheckBox3;  // "Groß- / Kleinschreibung"
    QPushButton* Button1;  // "&OK": researches, then closes
    QPushButton* Button2;  // "&Abbruch"

    const bool RechercheInTmp1;
    bool RechercheGefunden = false;  // the last run copied name rows
    int RechercheTrefferAnzahl = 0;  // how many

    // Nothing while Edit1 is empty. A research into the name table the list
    // shows, which its rows would come from, is refused; earlier results
    // are overwritten only when the user agrees. What fails is told. The
    // dialog closes in every case.
    void Button1Click();

private:
    void FormCreate();
    Namentabelle ziel() const;
};
