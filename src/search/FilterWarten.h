#pragma once

#include <QDialog>

class QLabel;

// "Bitte warten...": shown while the list filter's table is built. It lives
// for the whole run and has no behaviour of its own.
class TFilterWarten : public QDialog {
    Q_OBJECT
public:
    explicit TFilterWarten(QWidget* parent = nullptr);
    ~TFilterWarten() override;

    QLabel* StaticText1;
};

// The filter wait window of the run; created by the main routine.
extern TFilterWarten* FilterWarten;
