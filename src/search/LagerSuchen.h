#pragma once

#include "search/Suchdialog.h"

// "Suchen" on the storage page: finds the first storage record, inside the
// storage filter in force, whose key matches, and makes it the current
// record of the storage grid.
class TLagerSuchen : public TSuchdialog {
    Q_OBJECT
public:
    explicit TLagerSuchen(QWidget* parent = nullptr);

protected:
    void suchen() override;
};
