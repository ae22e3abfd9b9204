#pragma once

#include <QRect>
#include <Qt>

class QScreen;

// Windows that keep their place, size and state in the settings (the main
// window, the preview) open through these, so that values from another
// computer, a screen unplugged since or a hand-edited file still give a
// window the user can see and reach.

// The number a window state is stored as: 0 normal, 1 minimised,
// 2 maximised.
int zustandsnummer(Qt::WindowStates state);

// The bounds a window opens with, from the stored place and size (kept
// apart: a stored size may be too large for a rectangle to hold). A width,
// height or coordinate that no screen could show (a size below 200 x 150 or
// beyond 32767 pixels, a coordinate beyond ±32767) takes the value of
// `standard`. The window is then made no larger than the free area of
// `screen` and, when too little of its title bar would lie on any screen to
// take hold of it, moved onto `screen`; without a screen only the values no
// screen could show are replaced.
QRect fensterAufBildschirm(QPoint lage, QSize groesse, const QRect& standard, const QScreen* screen);
