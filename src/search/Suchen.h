#pragma once

#include "search/Suchdialog.h"

// "Suchen" on the name list: finds the first row of the current name table
// (the filter's table while the list filter is on) whose key matches,
// selects its line and shows its substance.
class TSuchen : public TSuchdialog {
    Q_OBJECT
public:
    explicit TSuchen(QWidget* parent = nullptr);

protected:
    void suchen() override;
};
