#pragma once

#include "data/Wartefenster.h"

// "Bitte warten...": shown while the list filter's table is built.
class TFilterWarten : public Wartefenster {
    Q_OBJECT
public:
    explicit TFilterWarten(QWidget* parent = nullptr);
    ~TFilterWarten() override;

    QLabel* StaticText1;

    // Shows the window and paints it before the caller goes on with work
    // that holds up the event loop: it waits until the window system has
    // put it on screen, a fifth of a second at most.
    void zeigen();
};

// The filter wait window of the run; created by the main routine.
extern TFilterWarten* FilterWarten;
