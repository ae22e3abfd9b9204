#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QByteArrayList>
#include <QFont>
#include <QMainWindow>
#include <QRect>
#include <QStringList>

#include "app/Bilder.h"
#include "app/RecNoListe.h"
#include "search/Namentabellen.h"

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QMimeData;
class QScrollArea;
class QSplitter;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;

namespace dbase {
class RecordDeletedError;
class Table;
}
namespace ini { class IniFile; }
namespace widgets {
class DBComboBox;
class DBEdit;
class DBGrid;
class DBImage;
class DBRichEdit;
class NameList;
}

class SymbolBild;
enum class Namentabelle;

// The directory of the program file, ending with a separator: the base of
// the settings file, of "Symbol\" and of the help pages. Set by
// TMarlex's set-up; tests set it to their own directory first.
extern QString Programmverzeichnis;

// The register's main window: the name list with its symbol panel, the
// substance record page, the storage page, the menus and tool bars. It owns
// the state the dialogs read and write (the fields below) and the pictogram
// pictures the sheet and label engines draw from.
class TMarlex : public QMainWindow {
    Q_OBJECT
public:
    // Creates the window and runs FormCreate. The program directory is
    // files::programDirectory() unless Programmverzeichnis was set before.
    explicit TMarlex(QWidget* parent = nullptr);
    ~TMarlex() override;

    // --- the list's markers (index into the list's marker pictures)
    static constexpr std::uint8_t LagerMarke = 0;     // the substance has storage rows
    static constexpr std::uint8_t KeinLagerMarke = 1; // it has none

    // --- main-window state
    int VorherigerListenIndex = 0;  // the list line on whose row Table1 stands
    int AktuellerListenIndex = 0;   // the list line last shown
    std::unique_ptr<ini::IniFile> IniDatei;
    int MemoEingabeModus = 0;
    int ChemieSatzAnzahl = 0;       // record count of chemie.dbf
    RecNoListe RecNoList;           // physical record number of each list line's row
    int ListenFilterAktiv = 0;
    int LagerFilterAktiv = 0;
    int LagerFilterModus = 0;
    int EtikettUmfang = 0;
    int EtikettDialogOk = 0;
    QString EtikettDatei;
    QString GewaehltesVerzeichnis;
    int ExportFormat = 0;
    QFont ScreenFont;
    int NurDruckoptionen = 0;
    int DruckerIndex = 0;
    // A PDF file that print jobs write instead of printing, chosen with
    // "print to file" in the printer dialog; empty: the printer of
    // DruckerIndex. Kept for the run only.
    QString DruckDatei;
    QString Symbolendung = QStringLiteral("BMP");
    QString AktuelleNamenDatei = namentabellenDatei(Namentabelle::Stamm);
    QString AktuelleIndexDatei = namentabellenIndexDatei(Namentabelle::Stamm);
    int EditModus = 0;
    int EingabeModus = 0;
    int LagerEditModus = 0;

    // The pictogram pictures, loaded at set-up.
    SymbolBilder Bilder;
    // What went wrong during set-up (missing pictures, a bad column-width
    // setting), one German line each; already reported once.
    QStringList StartFehler;

    // --- routines other windows call
    // Reads the list, RecNoList and ChemieSatzAnzahl again, shows the list
    // page with line 0 selected and shown.
    void DatenlisteEinlesen();
    // Shows the substance of ListBox1's current line.
    void AktuellenDatensatzZeigen();
    // Fills ListBox1 and RecNoList from the name table Datas->Table1, with
    // the storage markers from Datas->Table3 when OptLagerMarkieren is set;
    // `schritt` runs once per row (the progress bar). Leaves Table1 on its
    // first row. The one list reader of the start-up and of
    // DatenlisteEinlesen.
    void NamenlisteLesen(const std::function<void()>& schritt = {});
    // Switches every editing command on or off (read-only mode).
    void BearbeitungFreigeben(bool enabled);
    // Binds the record page, the structure picture and the storage grid to
    // the data module's sources; done by the list readers once the data
    // module exists, and harmless to repeat.
    void DatenquellenVerbinden();

    // --- components, named as the other windows and the tests find them
    // (each also carries its name as objectName)
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QToolBar* ToolBar4 = nullptr;
    QToolBar* ToolBar2 = nullptr;
    QToolBar* ToolBar3 = nullptr;
    widgets::NameList* ListBox1 = nullptr;
    SymbolBild* Image11 = nullptr;
    QLabel* Label48 = nullptr;
    QSplitter* Splitter1 = nullptr;
    QFrame* Panel3 = nullptr;
    QFrame* Panel4 = nullptr;
    QFrame* Panel5 = nullptr;
    QFrame* Panel6 = nullptr;
    QFrame* Panel7 = nullptr;
    QFrame* Panel13 = nullptr;
    SymbolBild* Image2 = nullptr;
    SymbolBild* Image3 = nullptr;
    SymbolBild* Image4 = nullptr;
    SymbolBild* Image12 = nullptr;
    SymbolBild* Image5 = nullptr;
    SymbolBild* Image6 = nullptr;
    SymbolBild* Image7 = nullptr;
    SymbolBild* Image13 = nullptr;
    SymbolBild* Image8 = nullptr;
    SymbolBild* Image9 = nullptr;
    SymbolBild* Image10 = nullptr;
    SymbolBild* Image14 = nullptr;
    widgets::DBImage* DBImage1 = nullptr;
    widgets::DBGrid* DBGrid1 = nullptr;
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QMenu* PopupMenu2 = nullptr;
    // Status panels: record number, name table, mode, storage state.
    std::array<QLabel*, 4> StatusPanel{};

    // Record page.
    QScrollArea* ScrollBox1 = nullptr;
    widgets::DBRichEdit* DBRichEdit1 = nullptr;
    widgets::DBRichEdit* DBRichEdit2 = nullptr;
    widgets::DBRichEdit* DBRichEdit3 = nullptr;
    widgets::DBRichEdit* DBRichEdit4 = nullptr;
    QLabel* Label35 = nullptr; // "Synonym:"
    QLabel* Label36 = nullptr; // "Carn-Nummer:"
    widgets::DBEdit* DBEdit15 = nullptr;
    widgets::DBEdit* DBEdit18 = nullptr;
    widgets::DBEdit* DBEdit19 = nullptr;
    widgets::DBEdit* DBEdit23 = nullptr;
    widgets::DBEdit* DBEdit24 = nullptr;
    widgets::DBEdit* DBEdit25 = nullptr;
    widgets::DBEdit* DBEdit26 = nullptr;
    widgets::DBEdit* DBEdit46 = nullptr;
    widgets::DBEdit* DBEdit47 = nullptr;
    widgets::DBEdit* DBEdit48 = nullptr;
    widgets::DBEdit* DBEdit49 = nullptr;
    widgets::DBEdit* DBEdit50 = nullptr;
    widgets::DBEdit* DBEdit51 = nullptr;
    widgets::DBEdit* DBEdit52 = nullptr;
    widgets::DBEdit* DBEdit53 = nullptr;
    widgets::DBEdit* DBEdit54 = nullptr;
    widgets::DBEdit* DBEdit55 = nullptr;
    widgets::DBComboBox* DBComboBox1 = nullptr;
    widgets::DBComboBox* DBComboBox2 = nullptr;
    widgets::DBComboBox* DBComboBox3 = nullptr;
    widgets::DBComboBox* DBComboBox4 = nullptr;
    widgets::DBComboBox* DBComboBox5 = nullptr;
    widgets::DBComboBox* DBComboBox6 = nullptr;
    widgets::DBComboBox* DBComboBox7 = nullptr;
    widgets::DBComboBox* DBComboBox8 = nullptr;
    widgets::DBComboBox* DBComboBox9 = nullptr;
    widgets::DBComboBox* DBComboBox10 = nullptr;
    widgets::DBComboBox* DBComboBox11 = nullptr;
    widgets::DBComboBox* DBComboBox12 = nullptr;
    widgets::DBComboBox* DBComboBox13 = nullptr;
    widgets::DBComboBox* DBComboBox14 = nullptr;
    widgets::DBComboBox* DBComboBox15 = nullptr;
    widgets::DBComboBox* DBComboBox16 = nullptr;
    widgets::DBComboBox* DBComboBox17 = nullptr;
    widgets::DBComboBox* DBComboBox18 = nullptr;

    // Main menu (submenus are their menu actions).
    QAction* Marlex1 = nullptr;
    QAction* Optionen1 = nullptr;
    QAction* Druckerinstallation1 = nullptr;
    QAction* Kavuaufrufen1 = nullptr;
    QAction* Beenden1 = nullptr;
    QAction* Daten1 = nullptr;
    QAction* Datenpflege1 = nullptr;
    QAction* ndern1 = nullptr;
    QAction* Neueingabe1 = nullptr;
    QAction* Kopie1 = nullptr;
    QAction* Lschen1 = nullptr;
    QAction* Memo1 = nullptr;
    QAction* Ansehen1 = nullptr;
    QAction* Suchen2 = nullptr;
    QAction* Eingabe1 = nullptr;
    QAction* Datenbank1 = nullptr;
    QAction* Stamm1 = nullptr;
    QAction* TMP11 = nullptr;
    QAction* TMP21 = nullptr;
    QAction* Synonym1 = nullptr;
    QAction* ndern2 = nullptr;
    QAction* Hinzufgen1 = nullptr;
    QAction* Entfernen1 = nullptr;
    QAction* VerwanteSynonymeanzeigen1 = nullptr;
    QAction* Stoffinfo1 = nullptr;
    QAction* Ansehen2 = nullptr;
    QAction* Drucken1 = nullptr;
    QAction* Suchen1 = nullptr;
    QAction* Filtersetzen1 = nullptr;
    QAction* Reporterstellen1 = nullptr;
    QAction* Update1 = nullptr;
    QAction* RechercheinTMP11 = nullptr;
    QAction* RechercheinTMP21 = nullptr;
    QAction* Hilfe1 = nullptr;
    QAction* Index1 = nullptr;
    QAction* Infober1 = nullptr;
    QAction* Daten3 = nullptr;
    QAction* Neu2 = nullptr;
    QAction* Editieren2 = nullptr;
    QAction* Lschen2 = nullptr;
    QAction* Etikettfestlegen1 = nullptr;
    QAction* Filter2 = nullptr;
    QAction* Suchen3 = nullptr;
    QAction* Druckoptionen1 = nullptr;
    QAction* Drucken3 = nullptr;
    QAction* EtikettenLangform2 = nullptr;
    QAction* Gesamt2 = nullptr;
    QAction* Layout2 = nullptr;
    QAction* Exportnach1 = nullptr;
    QAction* EMF1 = nullptr;
    QAction* Bitmap1 = nullptr;
    QAction* GIF1 = nullptr;

    // List popup and storage grid popup.
    QAction* Menu11 = nullptr;
    QAction* Datensatzanzeigen1 = nullptr;
    QAction* Datensatzbearbeiten1 = nullptr;
    QAction* Datensatzkopieren1 = nullptr;
    QAction* Menu31 = nullptr;
    QAction* Stoffinfoanzeigen1 = nullptr;
    QAction* Stoffinfodrucken1 = nullptr;
    QAction* Layout1 = nullptr;
    QAction* AktuellenDatensatz1 = nullptr;
    QAction* Gesamt1 = nullptr;

    // Tool buttons: list page, record page, storage page.
    QToolButton* ToolButton38 = nullptr;
    QToolButton* ToolButton41 = nullptr;
    QToolButton* ToolButton42 = nullptr;
    QToolButton* ToolButton43 = nullptr;
    QToolButton* ToolButton55 = nullptr;
    QToolButton* ToolButton48 = nullptr;
    QToolButton* ToolButton49 = nullptr;
    QToolButton* ToolButton50 = nullptr;
    QToolButton* ToolButton52 = nullptr;
    QToolButton* ToolButton53 = nullptr;
    QToolButton* ToolButton57 = nullptr;
    QToolButton* ToolButton58 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton22 = nullptr;
    QToolButton* ToolButton23 = nullptr;
    QToolButton* ToolButton24 = nullptr;
    QToolButton* ToolButton39 = nullptr;
    QToolButton* ToolButton40 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton25 = nullptr;
    QToolButton* ToolButton30 = nullptr;
    QToolButton* ToolButton31 = nullptr;
    QToolButton* ToolButton33 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton37 = nullptr;

    // The image (index into the tool bar pictures) a tool button shows; the
    // mode blinking swaps it.
    static int buttonImage(const QToolButton* button);
    void setButtonImage(QToolButton* button, int image);

    // --- event routines
    void ListBox1Click();
    void PopupMenu1Popup();
    void Datensatzanzeigen1Click();
    // The substance sheet of the current substance: view (the layout dialog,
    // then a preview) and print (the print dialog, which prints).
    void Ansehen2Click();
    void Drucken1Click();
    // "&Report erstellen": the report generator, modal, for any number of
    // reports over the storage register.
    void Reporterstellen1Click();
    // Hazard labels of the storage page, each after its dialog: the preview
    // of the current or all marked stock items, the print of all marked
    // ones, the print of the current one.
    void ToolButton33Click();
    void ToolButton37Click();
    void ToolButton3Click();
    // "&Update": a supplied update table merged into the substance data.
    void Update1Click();
    // "Exportieren nach": the current stock item's label as a metafile, a
    // bitmap or a GIF image (ExportFormat 0, 1, 2), through the export
    // dialog.
    void EMF1Click();
    void Bitmap1Click();
    void GIF1Click();
    // The filter dialog on the list filter ("&Daten") and on the storage
    // filter ("&Lagerdaten").
    void Filtersetzen1Click();
    void Filter2Click();
    // The name search ("&Daten", F3, ToolButton43) and the storage search
    // ("&Lagerdaten").
    void Suchen1Click();
    void Suchen3Click();
    // Sets chosen fields of every stock item of the storage view at once.
    void Etikettfestlegen1Click();
    // The memo of the current substance, viewed ("&Ansehen", ToolButton55)
    // or entered ("&Eingabe"), and the search over all memos.
    void Ansehen1Click();
    void Eingabe1Click();
    void Suchen2Click();
    // The options dialog on all its pages, and on its storage and print
    // pages alone ("D&ruckoptionen").
    void Optionen1Click();
    void Druckoptionen1Click();
    // What the options dialog's OK changes on the screen, from the option
    // values just loaded: the screen font (ScreenFont := `schrift`),
    // tooltips, the structure picture, colour pictures, the tab position,
    // the list with or without storage markers when that option differs
    // from `lagerMarkierenVorher`, the editing commands when the access
    // mode was `zugriffGewechselt`; then the record of the selected line.
    void OptionenAnwenden(const QFont& schrift, bool lagerMarkierenVorher, bool zugriffGewechselt);
    // Reopens the name, substance and storage tables (and formeln.dbf for
    // read-only mode) in the access mode given, after storing what is being
    // edited. When that cannot be stored, or a table cannot be opened so,
    // every table is put back into the mode it had, the record is shown
    // again, and false comes back with the German reason in `grund`.
    bool ZugriffsartWechseln(bool nurLesen, bool exklusiv, QString& grund);
    // Whether a record is being edited or entered (or a table holds back
    // changes) now.
    bool offeneBearbeitung() const;
    // The name table the list shows ("D&atenbank", ToolButton48 to 50):
    // namen.dbf or one of the research tables, the list filter in force
    // rebuilt on it, the list read again. The table already current is only
    // told.
    void StammDatenbankAktivieren();
    void Tmp1DatenbankAktivieren();
    void Tmp2DatenbankAktivieren();
    // The research into TMP1 and TMP2 ("&Daten").
    void RechercheinTMP11Click();
    void RechercheinTMP21Click();
    void DBRichEdit3Exit();

    // --- substance editing (edit mode on the shown record, input mode for a
    // new substance held in cached updates until it is stored or discarded)
    // Enables or disables the record page's edit controls and sets the
    // edit-mode state (EditModus, status panel 2, Timer1).
    // Edit mode on the substance shown is refused, with a German message,
    // while another user edits it or after another user deleted it.
    void EditierfelderFreigeben(bool enabled);
    // Two users on one register: edit mode locks the substance shown and
    // reads it as stored now; false, the user told, when another user edits
    // it or deleted it meanwhile.
    bool stoffSperren();
    // Tells the user that another user deleted the record a command went on
    // from, and reads the list again.
    void inzwischenGeloescht(const dbase::RecordDeletedError& fehler);
    // Sets or clears input mode and locks what would leave the record page.
    void EingabemodusSetzen(bool on);
    void MenuAendern1Click();
    void ndern1Click();
    void Datensatzbearbeiten1Click();
    void Neueingabe1Click();
    // Starts input mode, or ends it: stores the new substance or discards it.
    void ToolButton22Click();
    // The writing step of storing: the copied values made from what the
    // rows hold, then the three tables written all or none. False, with a
    // German message and the input kept as typed, when anything failed.
    bool neuenStoffSpeichern();
    // Leaving the formula or the first name (`verlassen`), the synonym, the
    // CAS number; a change of a hazard symbol box.
    void DBRichEdit1Exit(widgets::DBRichEdit* verlassen);
    void DBEdit14Exit();
    void DBEdit15Exit();
    void DBComboBox1Change();
    void DBComboBox2Change();
    void DBComboBox3Change();
    void DBComboBox18Change();
    // Quitting, from the menu and by the close box: asks first when a record
    // is being edited or OptAbfrageVorBeenden is set (an answer other than
    // yes keeps the window open, with the edit as it was), then stores the
    // window's settings with one save. "Beenden" then ends the program
    // without asking again.
    void Beenden1Click();
    bool FormCloseQuery();
    // Help: the start page of "HILFE\" with the desktop's program for it
    // (OptAutoHelp), or with the browser OptHelpBrowser names.
    void Index1Click();
    // Starts the sibling program KAVU beside this one.
    void Kavuaufrufen1Click();
    // The printer dialog: the printer chosen, or a PDF file, takes every
    // later print job of the run.
    void Druckerinstallation1Click();
    void Infober1Click();
    // One step of the current mode button's blinking.
    void Timer1Timer();
    // The record page's check buttons: the data navigator and the
    // supplement to the classification, shown or hidden.
    void ToolButton2Click();
    void ToolButton6Click();
    // The status bar shows a hint alone while there is one.
    void DisplayHint(const QString& hint);
    // Whether tool tips are shown (OptHint).
    void setHinweiseZeigen(bool on) { m_hinweiseZeigen = on; }
    bool hinweiseZeigen() const { return m_hinweiseZeigen; }
    void FormResize();
    void Panel3Resize();
    void Splitter1Moved();
    void SymbolfeldAnordnen();

    // --- the storage page (lager.dbf in DBGrid1)
    // Takes the current substance into storage and shows the storage page.
    void Menu31Click();
    // Takes the substances of the dropped list lines into storage, one
    // stored row each, and shows the storage page.
    void Image11DragDrop(const std::vector<int>& zeilen);
    void Image11DblClick();
    // A further row for the substance of the current storage row.
    void ToolButton25Click();
    // The storage edit mode: cell editing in the grid and the new and
    // delete commands.
    void ToolButton31Click();
    void Editieren2Click();
    // Deletes the current storage row after asking.
    void ToolButton30Click();
    // Plus and minus change the label count of the current row outside the
    // edit mode.
    void DBGrid1KeyPress(QKeyEvent* event);
    // The user has switched pages.
    void PageControl1Change();
    void LagerseiteAktivieren();
    void DatenseiteAktivieren();
    // Label48: the storage rows the user can see.
    void lagerAnzahlZeigen();
    // --- synonyms, copies and deletes: a change of name rows goes into
    // namen.dbf and into each name table the list shows; each change is made
    // in all its tables or, when one refuses, in none (with a German
    // message); the list is read again afterwards.
    void VerwanteSynonymeanzeigen1Click();
    void Hinzufgen1Click();
    void ndern2Click();
    // Removes the name row of the list's current line after asking; the
    // last name of a substance is never removed.
    void Entfernen1Click();
    void Kopie1Click();
    // Deletes the shown substance with all its name and formula rows after
    // asking; its storage rows stay.
    void Lschen1Click();
    // Adds a name row to the substance carn/subcarn. False, after saying
    // why, for an empty name or one the substance has already.
    bool synonymHinzufuegen(const QString& name, const QString& carn, const QString& subcarn);
    // Renames the name row of the list's current line; false as above.
    bool synonymUmbenennen(const QString& name);
    // Copies the shown substance into a new one with a sub-number no
    // substance of its CAS number has, and one name row named `name`.
    void stoffKopieren(const QString& name);
    // Whether a drag brings lines of ListBox1, the only drags the drop
    // targets take.
    bool nimmtListenzeilenAn(const QMimeData* data, const QObject* quelle) const;

signals:
    // Selected list lines were dropped on a drop target (ToolButton42,
    // ToolButton52, ToolButton57, ToolButton58 or Image11).
    void listenzeilenAbgelegt(QObject* ziel, const std::vector<int>& zeilen);

protected:
    bool event(QEvent* event) override;
    // The close box and "Beenden": FormCloseQuery decides.
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void komponentenAnlegen();
    void menueAnlegen();
    void werkzeugleistenAnlegen();
    void listenseiteAnlegen();
    void datensatzseiteAnlegen();
    void lagerseiteAnlegen();
    void statusleisteAnlegen();
    void ereignisseVerbinden();
    void stoffinfoBefehleVerbinden();
    void reportBefehleVerbinden();
    void etikettenBefehleVerbinden();
    void updateBefehleVerbinden();
    void exportBefehleVerbinden();
    void filterBefehleVerbinden();
    void beendenVerbinden();
    void hilfeBefehleVerbinden();
    void hilfsfensterVerbinden();
    void suchBefehleVerbinden();
    void memoBefehleVerbinden();
    void optionenBefehleVerbinden();
    // Opens the memo window on the current substance (`modus` is
    // MemoEingabeModus), then shows the record again.
    void memofensterZeigen(int modus, const QString& caption);
    bool memoDesAktuellenStoffs() const;
    // The screen font, tooltips, colour pictures and tab position from
    // ScreenFont and the option values.
    void anzeigeoptionenSetzen();
    void tabellenwechselVerbinden();
    void rechercheBefehleVerbinden();
    void namentabelleAktivieren(Namentabelle tabelle);
    void rechercheOeffnen(Namentabelle ziel);
    void lagerBefehleVerbinden();
    void festlegenBefehleVerbinden();
    void synonymBefehleVerbinden();
    void kopierBefehleVerbinden();
    void lagerEditModusSetzen(bool an);
    void lagerzelleAbschliessen();
    // Writes what the grid cell being edited holds into its row; the open
    // editor, if any.
    QWidget* lagerzelleUebernehmen();
    // Shows the record page and sets it up, as the user's change of page does.
    void datenseiteZeigen();
    void lagerseiteVerlassen();
    // Shows the navigator and supplement windows with the record page only.
    void hilfsfensterZeigen(bool datenseite);
    // Shows the current-filter windows of the page entered.
    void filterfensterZeigen(bool lagerseite);
    // The mode's blinking and its text in the status bar, on or off.
    void modusZeigen(bool an, const QString& text);
    void lagerzustandAuffrischen();
    void seitenwechselVomNutzer();
    // Whether lager.dbf holds a row of the substance, whatever the user's
    // storage filter shows.
    bool lagerHatStoff(const QString& carn, const QString& subcarn);
    // Gives every list line of the substance the marker (with marking on).
    void lagerMarkeSetzen(const QString& carn, const QString& subcarn, std::uint8_t marke);
    // Appends and stores a storage row of the substance and marks its
    // lines; false (after saying why) when lager.dbf refuses it.
    bool insLagerUebernehmen(const QString& name1, const QString& carn, const QString& subcarn);
    void fensterzustandSetzen();
    // The outer bounds read at start, put on the window once the desktop
    // has told the size of its frame.
    void aeussereLageAnwenden();
    bool beendenBestaetigen();
    void bearbeitungVerwerfen();
    // Whether quitting now would lose input: a changed record, a new stock
    // item, a new substance with anything typed; text a control or a grid
    // cell still holds counts.
    bool eingabeUngespeichert();
    void fenstereinstellungenSpeichern();
    void startfehlerMelden(const QStringList& bildFehler);
    void symbolbilderLeeren();
    void datensatzBefehleFreigeben(bool enabled);
    void symbolBilderZeigen();
    void lagerzustandZeigen(const QString& carn, const QString& subcarn);
    void keineDatenZeigen();
    void symbolbreiteSetzen(int breite);
    void bearbeitungVerbinden();
    std::vector<QWidget*> editierfelder() const;
    void eingabefelderFreigeben(bool enabled);
    void symbolGeaendert(int slot);
    void namenszeilenNachfuehren();
    void eingabeBeenden(bool speichern);
    QString m_stoffnameVorher; // NAME1 of the substance when its name control was entered
    // The rows of namen, chemie and formeln as input mode starts them.
    std::array<QByteArrayList, 3> m_eingabeAnfang;
    // Lifts the list filter on chemie.dbf for the input of a new substance
    // and puts it back afterwards.
    void listenfilterRuhen(bool ruhen);
    bool m_listenfilterRuht = false;

    std::array<SymbolBild*, 12> symbolbilder() const;
    std::array<widgets::DBComboBox*, 18> auswahlfelder() const;

    bool m_hinweiseZeigen = true;
    bool m_datenquellenVerbunden = false;
    bool m_werkzeugbilderDa = false; // the icon theme of the tool buttons was found
    bool m_beendenBestaetigt = false; // "Beenden" has asked; the close that follows does not
    std::optional<QRect> m_aeussereLage;
    bool m_nutzerSeitenwechsel = false; // a page change now comes from the user
};

// A new storage row of a substance as the program appends it: amount and
// difference 0, both dates today, one label to print; lager.dbf is left in
// Insert state with the row not yet stored.
void LagerzeileAnhaengen(dbase::Table& lager, const QString& name1, const QString& carn, const QString& subcarn);
// The same row stored at once, the table's buffers written to disk; what
// lager.dbf refuses leaves it browsing, with the DbaseError thrown.
void LagerzeileSpeichern(dbase::Table& lager, const QString& name1, const QString& carn, const QString& subcarn);
// Completes a storage row before it is stored: when its amount differs from
// the stored one, the previous amount date becomes the stored date of the
// last change and that date today (dates the user changed in the same edit
// stay as typed). lager.dbf's before-post handler.
void LagerDatumStempeln(dbase::Table& lager);

// The main window of the run.
extern TMarlex* Marlex;

// The column widths of the "Feldbreiten" setting: each width in decimal
// followed by "." ("64.120." gives 64 and 120). Reading stops at the first
// piece that is not such a width, or beyond `spalten` columns; the widths
// before it count, and the text is then not `vollstaendig`.
struct Feldbreiten {
    std::vector<int> breiten;
    bool vollstaendig = true;
};
Feldbreiten FeldbreitenLesen(const QString& wert, int spalten);
// The setting's text of the widths: "64.120." for 64 and 120.
QString FeldbreitenText(const std::vector<int>& breiten);
// Which of the "Feldbreiten" are the user's own: the "EigeneFeldbreiten"
// setting, a "1" for such a column and a "0" for one fitted to its data.
QString EigeneFeldbreitenText(const std::vector<bool>& eigene);
// The widths a start gives the columns: the user's own, -1 for those that
// fit their data. A settings file without "EigeneFeldbreiten" (written by an
// earlier version) gave every column its width.
std::vector<int> EigeneFeldbreiten(const std::vector<int>& breiten, const QString& eigene);

// The window state the settings key "state" means: 0 normal, 1 minimised,
// 2 maximised; any other value opens the window normal.
Qt::WindowStates fensterzustand(int state);
