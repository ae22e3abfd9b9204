#pragma once

#include "search/Filterfenster.h"

// "Aktueller Datenfilter": the list filter in force.
class TAktuellerFilter : public TFilterfenster {
    Q_OBJECT
public:
    TAktuellerFilter();

    // Clears the list filter and reads the list again.
    void Filterlschen1Click() override;
};

// The list filter window of the run; created by the main routine.
extern TAktuellerFilter* AktuellerFilter;
