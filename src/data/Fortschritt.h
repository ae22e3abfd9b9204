#pragma once

#include <QProgressBar>
#include <QWidget>

class QTimer;

// Small controls shared by the start-up and progress windows.
namespace datawidgets {

// A progress bar that jobs step one record at a time. Its range starts at
// 0..100. A maximum of 0 (an empty table) shows an empty bar, never Qt's
// busy indicator, and steps past the maximum stay at the maximum. Steps
// reach the screen in a few hundred increments: a list of 100,000 names
// would otherwise spend more time drawing the bar than reading the names.
class Fortschrittsbalken : public QProgressBar {
    Q_OBJECT
public:
    explicit Fortschrittsbalken(QWidget* parent = nullptr);

    void setPosition(int position);
    int position() const { return m_position; }
    void setMaximumSteps(int maximum);
    int maximumSteps() const { return m_maximum; }
    void stepIt();

private:
    void anzeigen();
    void wertZeigen();
    int m_position = 0;
    int m_maximum = 100;
    int m_naechsteAnzeige = 0;
};

// The "searching files" animation: a magnifier passing over a sheet of
// paper. It runs while it is visible and stands still when hidden.
class Suchanimation : public QWidget {
    Q_OBJECT
public:
    explicit Suchanimation(QWidget* parent = nullptr);

    bool running() const;
    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QTimer* m_timer;
    int m_frame = 0;
};

} // namespace datawidgets
