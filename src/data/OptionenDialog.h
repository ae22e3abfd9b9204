#pragma once

#include <QDialog>
#include <QFont>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

// "Optionen": the settings of the settings file on five pages ("Marlex",
// "Daten", "Lager", "Druck", "Hilfe"; in print-options mode, when the main
// window's NurDruckoptionen is set, "Lager" and "Druck" alone). "&OK"
// stores every setting with one write of the settings file, reloads the
// option values and applies them to the main window at once; "&Abbruch"
// changes nothing.
class TOptionen : public QDialog {
    Q_OBJECT
public:
    explicit TOptionen(QWidget* parent = nullptr);

    QTabWidget* PageControl1;
    QWidget* TabSheet1; // "Marlex"
    QWidget* TabSheet2; // "Daten"
    QWidget* TabSheet3; // "Lager"
    QWidget* TabSheet4; // "Druck"
    QWidget* TabSheet5; // "Hilfe"
    QPushButton* Button1; // "&OK"
    QPushButton* Button2; // "&Abbruch"

    // "Marlex"
    QGroupBox* GroupBox5;
    QCheckBox* CheckBox9;   // "Hint"
    QCheckBox* CheckBox10;  // "Abfrage vor Beenden"
    QPushButton* Button3;   // "Schriftauswahl"
    QGroupBox* RadioGroup1; // "Tab-Position"
    QRadioButton* RadioOben;
    QRadioButton* RadioUnten;
    // "Daten"
    QCheckBox* CheckBox1;   // "IndexCheck"
    QCheckBox* CheckBox2;   // "ExklusivZugriff"
    QCheckBox* CheckBox3;   // "Darstellung in Farbe"
    QCheckBox* CheckBox5;   // "Formel darstellen"
    QCheckBox* CheckBox12;  // "Nur Lesemodus"
    QCheckBox* CheckBox11;  // "Lagerdatensätze markieren"
    // "Lager"
    QLineEdit* Edit2;       // "Lieferant"
    QLineEdit* Edit3;       // "Verwender"
    QCheckBox* CheckBox4;   // "EtikettAnzahlLoeschen"
    // "Druck"
    QGroupBox* GroupBox1;
    QLineEdit* Edit5;       // "StandardEtikett"
    QPushButton* Button4;
    QGroupBox* GroupBox2;
    QLineEdit* Edit6;       // "StandardStoffinfo"
    QPushButton* Button5;
    QGroupBox* GroupBox3;   // "Rand in mm"
    QLineEdit* Edit7;       // "RandOben"
    QLineEdit* Edit8;       // "RandUnten"
    QLineEdit* Edit9;       // "RandRechts"
    QLineEdit* Edit10;      // "RandLinks"
    QCheckBox* CheckBox6;   // "OnlyEtikett"
    QCheckBox* CheckBox7;   // "Farb-Druck"
    // "Hilfe"
    QCheckBox* CheckBox8;   // "AutoHelp"
    QGroupBox* GroupBox4;   // "Browser - Datei"
    QLineEdit* Edit1;       // "HelpBrowser"
    QPushButton* Button6;

    // The font that OK stores and applies; the screen font until the user
    // chooses another.
    QFont PendingFont;

    // The tab position's item: 0 "Oben", 1 "Unten".
    int radioGroup1ItemIndex() const;

    // Margins typed that no print could use (not a number of millimetres
    // from 0, or leaving no room on the labels' page) are refused with a
    // German message naming the field, which gets the focus; true when all
    // four can be used. An empty one is left as it is.
    bool RaenderPruefen();
    void Button1Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void CheckBox8Click();

    // Shows every key of the settings file that a control edits, read with
    // its default (not the option values).
    void EinstellungenAnzeigen();
    // Writes every control to its key, all in one write; IniError when the
    // file cannot be written, and then nothing is.
    void EinstellungenSpeichern();

private:
    void seitenAnlegen();
    // A layout file chosen in the file dialog into `feld` (full path).
    void layoutWaehlen(QLineEdit* feld, const QString& endung, int filterIndex);

    QButtonGroup* m_tabPosition;
    // The option values that need more than a new look when they change,
    // as they were when the dialog opened.
    bool AlteLagerMarkierung = false;
    bool AlterNurLesemodus = false;
    bool AlterExklusivZugriff = false;
};
