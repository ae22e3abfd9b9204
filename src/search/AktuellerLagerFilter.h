#pragma once

#include "search/Filterfenster.h"

// "Aktueller Lagerfilter": the storage filter in force.
class TAktuellerLagerFilter : public TFilterfenster {
    Q_OBJECT
public:
    TAktuellerLagerFilter();

    // Clears the storage filter.
    void Filterlschen1Click() override;
};

// The storage filter window of the run; created by the main routine.
extern TAktuellerLagerFilter* AktuellerLagerFilter;
