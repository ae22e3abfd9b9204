#pragma once

#include "app/Namensdialog.h"

// "Synonymname ändern": a new name for the name row of the main list's
// current line; the substance's other names and its record stay as they are.
class TSynoaendern : public TNamensdialog {
    Q_OBJECT
public:
    explicit TSynoaendern(QWidget* parent = nullptr);

    // Renames the row and closes; an empty name or another name the
    // substance has already is refused with a message, the dialog stays.
    void Button1Click() override;
};
