#pragma once

#include "data/Wartefenster.h"

// The wait window of jobs that run in one piece (a batch move).
class TDatenAuffrischen : public Wartefenster {
    Q_OBJECT
public:
    explicit TDatenAuffrischen(QWidget* parent = nullptr);
    ~TDatenAuffrischen() override;

    QLabel* Label1; // "Datenliste wird aufgefrischt. Bitte warten..." until a job sets another
};

// The wait window of the run; created by the main routine.
extern TDatenAuffrischen* DatenAuffrischen;
