#pragma once

class QWidget;

namespace widgets {

// Places `window` in the middle of its screen (its parent's screen, if it
// has a parent) each time it is shown, rather than over its parent as Qt
// places a dialog.
void centreOnScreen(QWidget* window);
// The same once, now, for a window whose size is settled only as it is shown.
void moveToScreenCentre(QWidget* window);

} // namespace widgets
