#include "data/Fensterlage.h"

#include <algorithm>

#include <QGuiApplication>
#include <QScreen>

namespace {

// The largest coordinate and size a window system takes.
constexpr int kGroesste = 32767;
constexpr QSize kKleinste(200, 150);

// A window can be brought back only by its title bar: it counts as on a
// screen when enough of that strip lies on one to take hold of it.
constexpr int kTitelleiste = 30;
constexpr int kGriff = 100;

bool erreichbar(const QRect& fenster)
{
    const QRect leiste(fenster.left(), fenster.top(), fenster.width(), kTitelleiste);
    const int griff = std::min(kGriff, fenster.width());
    const auto screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
        const QRect teil = screen->availableGeometry().intersected(leiste);
        return teil.width() >= griff && teil.height() >= kTitelleiste / 2;
    });
}

int oderStandard(int wert, int kleinster, int groesster, int standard)
{
    return wert >= kleinster && wert <= groesster ? wert : standard;
}

} // namespace

int zustandsnummer(Qt::WindowStates state)
{
    if (state & Qt::WindowMinimized)
        return 1;
    if (state & Qt::WindowMaximized)
        return 2;
    return 0;
}

QRect fensterAufBildschirm(QPoint lage, QSize groesse, const QRect& standard, const QScreen* screen)
{
    QRect fenster(oderStandard(lage.x(), -kGroesste, kGroesste, standard.x()),
                  oderStandard(lage.y(), -kGroesste, kGroesste, standard.y()),
                  oderStandard(groesse.width(), kKleinste.width(), kGroesste, standard.width()),
                  oderStandard(groesse.height(), kKleinste.height(), kGroesste, standard.height()));
    if (!screen)
        return fenster;
    const QRect frei = screen->availableGeometry();
    fenster.setSize(fenster.size().boundedTo(frei.size()));
    if (erreichbar(fenster))
        return fenster;
    if (fenster.right() > frei.right())
        fenster.moveRight(frei.right());
    if (fenster.bottom() > frei.bottom())
        fenster.moveBottom(frei.bottom());
    if (fenster.left() < frei.left())
        fenster.moveLeft(frei.left());
    if (fenster.top() < frei.top())
        fenster.moveTop(frei.top());
    return fenster;
}
