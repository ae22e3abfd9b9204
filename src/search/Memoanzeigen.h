#pragma once

#include <QDialog>

class QAction;
class QMenu;
class QPushButton;

namespace widgets { class DBMemo; }

// The memo of the current substance (MEMOTEXT of chemie.dbf), shown and
// changed in a modal window. What the user types is held back in the
// substance table's cached updates while the window is open: "&OK" stores
// it, "&Abbruch" drops it, and closing the window otherwise (its close box,
// Escape) asks which of the two the user wants. However the window ends,
// the substance table is left without cached updates.
class TMemoanzeigen : public QDialog {
    Q_OBJECT
public:
    // Switches the substance table to cached updates. `eingabe` (the main
    // window's MemoEingabeModus) opens the memo for typing at once;
    // otherwise it is shown read-only until "&Editieren".
    TMemoanzeigen(QWidget* parent, const QString& caption, bool eingabe);
    ~TMemoanzeigen() override;

    widgets::DBMemo* DBMemo1;
    QPushButton* Button1;  // "&OK"
    QPushButton* Button2;  // "&Editieren"
    QPushButton* Button3;  // "&Abbruch"
    QMenu* PopupMenu1;
    QAction* Kopieren1;    // "&Kopieren"
    QAction* Einfgen1;     // "&Einfügen"

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void PopupMenu1Popup();
    void Kopieren1Click();
    void Einfgen1Click();

    // The close box and Escape: asks whether the changes are to be kept
    // when there are any.
    void reject() override;

private:
    void editierbarSetzen(bool an);
    // Stores the held-back changes; false (after saying why, the window
    // staying open with the text as typed) when the table refuses them.
    bool speichern();
    void verwerfen();
    bool geaendert() const;
    // Cached updates off, once; whatever is still held is dropped.
    void pufferBeenden();

    bool m_puffer = false; // this window switched the table to cached updates
};
