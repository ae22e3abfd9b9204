#pragma once

#include "app/Namensdialog.h"

// "Datensatz kopieren": the shown substance copied into a new substance with
// a new sub-number and one name row of the name typed here.
class TKopieren : public TNamensdialog {
    Q_OBJECT
public:
    explicit TKopieren(QWidget* parent = nullptr);

    // Makes the copy and closes.
    void Button1Click() override;
};
