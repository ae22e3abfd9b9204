#include "widgets/ScreenCentre.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace widgets {

namespace {

// Moves its window when it is shown: by then the window has its size, and
// Qt has placed a dialog over its parent, which this move overrides.
class Centring : public QObject {
public:
    explicit Centring(QWidget* window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Show)
            moveToScreenCentre(m_window);
        return false;
    }

private:
    QWidget* m_window;
};

} // namespace

void moveToScreenCentre(QWidget* window)
{
    const QWidget* parent = window->parentWidget();
    const QScreen* screen = parent ? parent->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        window->move(screen->availableGeometry().center() - QPoint(window->width() / 2, window->height() / 2));
}

void centreOnScreen(QWidget* window)
{
    window->installEventFilter(new Centring(window));
}

} // namespace widgets
