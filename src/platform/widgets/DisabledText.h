#pragma once

#include <QColor>

class QWidget;

namespace widgets {

// Contrast that text needs to its background to stay readable (WCAG AA for
// ordinary text).
constexpr double readableContrast = 4.5;

// The contrast ratio of two colours, 1 to 21, by their relative luminance.
double contrastRatio(const QColor& a, const QColor& b);

// `text` if it is readable on `background`; otherwise the first colour on
// the way from `text` towards `toward` that is, or black or white when not
// even `toward` is.
QColor readableOn(const QColor& text, const QColor& background, const QColor& toward);

// Keeps a control's text readable while it is disabled: the palette's
// disabled text colours are darkened (or lightened) towards the enabled
// ones as far as their backgrounds need, now and whenever the palette or
// style changes. A data control shows values the user reads while the
// record cannot be changed.
void keepTextReadableWhenDisabled(QWidget& control);

} // namespace widgets
