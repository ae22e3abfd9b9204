#pragma once

#include <QDialog>

class QLabel;

// The wait window of jobs that run in one piece (a batch move). It lives for
// the whole run and is only shown and hidden by the jobs.
class TDatenAuffrischen : public QDialog {
    Q_OBJECT
public:
    explicit TDatenAuffrischen(QWidget* parent = nullptr);
    ~TDatenAuffrischen() override;

    QLabel* Label1; // "Datenliste wird aufgefrischt. Bitte warten..." until a job sets another
};

// The wait window of the run; created by the main routine.
extern TDatenAuffrischen* DatenAuffrischen;
