#pragma once

#include "data/Wartefenster.h"

// "Bitte warten...": shown while the list filter's table is built.
class TFilterWarten : public Wartefenster {
    Q_OBJECT
public:
    explicit TFilterWarten(QWidget* parent = nullptr);
    ~TFilterWarten() override;

    QLabel* StaticText1;
};

// The filter wait window of the run; created by the main routine.
extern TFilterWarten* FilterWarten;
