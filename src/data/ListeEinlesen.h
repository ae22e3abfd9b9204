#pragma once

#include <QDialog>

class QLabel;

namespace datawidgets {
class Fortschrittsbalken;
class Suchanimation;
}

// The progress window of jobs that work through a table record by record.
// It lives for the whole run and has no routines of its own: a job sets the
// caption, the bar's position and maximum, shows it, sets Label1 and lets
// pending events run, steps the bar per record and hides it at the end.
class TListeEinlesen : public QDialog {
    Q_OBJECT
public:
    explicit TListeEinlesen(QWidget* parent = nullptr);
    ~TListeEinlesen() override;

    QLabel* Label1;                            // status text of the job
    datawidgets::Fortschrittsbalken* ProgressBar1; // one step per record
    datawidgets::Suchanimation* Animate1;      // runs while the window is shown
};

// The progress window of the run; created by the main routine.
extern TListeEinlesen* ListeEinlesen;

// The progress window through one job: shown with the job's caption, status
// text and a bar of `schritte` steps, pending events run so that it is
// painted; hidden when the job ends, by error too.
class Fortschrittsanzeige {
public:
    Fortschrittsanzeige(const QString& caption, const QString& text, int schritte);
    ~Fortschrittsanzeige();
    Fortschrittsanzeige(const Fortschrittsanzeige&) = delete;
    Fortschrittsanzeige& operator=(const Fortschrittsanzeige&) = delete;

    // One record done.
    static void schritt();
};
