#pragma once

#include <QIcon>

class QWidget;

// The pictures of the main window's tool buttons, by the picture number each
// button carries (the blinking of a mode button swaps the number). Every
// picture is an action icon of the program's icon theme, chosen for what the
// button does; where no icon of the theme says it alone, a second icon or a
// number is drawn small at its lower right.
struct Werkzeugbild {
    int bild;
    const char* icon;              // name in the icon theme
    const char* beiIcon = nullptr; // a second theme icon at the lower right
    const char* zeichen = nullptr; // a short text at the lower right
    bool hervorgehoben = false;    // on the highlight colour: the other phase of a blinking mode button
};

inline constexpr Werkzeugbild Werkzeugbilder[] = {
    {0, "server-database", nullptr, "2"},                  // to the research database TMP2
    {1, "document-edit"},                                  // change the current record
    {2, "edit-copy"},                                      // copy the record
    {3, "document-new"},                                   // new record
    {4, "edit-find"},                                      // search
    {6, "document-print", "document-multiple"},            // print all marked labels
    {8, "document-edit"},                                  // storage edit mode
    {10, "document-print"},                                // print the current label
    {11, "document-print-preview"},                        // show the label layout
    {12, "edit-table-delete-row"},                         // delete the storage row
    {13, "edit-table-insert-row-below"},                   // new storage row
    {19, "view-pim-notes"},                                // show the memo
    {20, "server-database"},                               // to the master database
    {21, "document-preview"},                              // look at the substance sheet
    {22, "document-print"},                                // print the substance sheet
    {23, "list-remove"},                                   // remove the synonym
    {24, "list-add"},                                      // add a synonym
    {25, "server-database", nullptr, "1"},                 // to the research database TMP1
    {27, "compass"},                                       // the data navigator
    {29, "zoom-fit-best"},                                 // pictures in proportion
    {30, "document-edit", nullptr, nullptr, true},         // edit modes, other blink phase
    {31, "document-new", nullptr, nullptr, true},          // input mode, other blink phase
    {32, "documentinfo"},                                  // supplement to the classification
};

// Menu items that give a tool button's command carry its picture.
struct Menuebild {
    const char* aktion; // object name of the menu item
    int bild;
};

inline constexpr Menuebild Menuebilder[] = {
    // main menu "Daten"
    {"ndern1", 1}, {"Neueingabe1", 3}, {"Kopie1", 2}, {"Ansehen1", 19}, {"Stamm1", 20}, {"TMP11", 25},
    {"TMP21", 0}, {"Hinzufgen1", 24}, {"Entfernen1", 23}, {"Ansehen2", 21}, {"Drucken1", 22}, {"Suchen1", 4},
    // main menus "Lagerdaten" and "Drucken"
    {"Neu2", 13}, {"Lschen2", 12}, {"Layout2", 11}, {"EtikettenLangform2", 10}, {"Gesamt2", 6},
    // the popup menus of the name list and the storage grid
    {"Datensatzbearbeiten1", 1}, {"Datensatzkopieren1", 2}, {"Stoffinfoanzeigen1", 21},
    {"Stoffinfodrucken1", 22}, {"Layout1", 11}, {"AktuellenDatensatz1", 10}, {"Gesamt1", 6},
};

// The icon of a picture number, drawn in `widget`'s palette; a null icon
// for a number the table lacks or when the icon theme is missing.
QIcon werkzeugbild(const QWidget& widget, int bild);
