#pragma once

#include <QSizeF>
#include <QString>

namespace report {

// Page measures arrive in the unit the layout was drawn in; the report keeps
// everything in millimetres and converts at its boundary only.
enum class Unit { MM, Inches, Pixels, Characters, Native };

// Characters measure differently across and down the page, so a conversion
// must know its direction.
enum class Axis { Horizontal, Vertical };

// Fixed conversion factors (millimetres per unit):
//   MM          1
//   Inches      25.4
//   Pixels      25.4 / 96: the screen resolution layouts are drawn at
//   Characters  across: 25.4 / 10 (10 characters per inch, the typewriter
//               pitch); down: 25.4 / 6 (6 lines per inch)
//   Native      0.1: the report's own fine grid of tenths of a millimetre
double mmPerUnit(Unit unit, Axis axis);
double toMm(double value, Unit unit, Axis axis);
double fromMm(double mm, Unit unit, Axis axis);

// Element and band geometry of a layout is stored in screen pixels at 96 dpi.
inline double pixelsToMm(double pixels) { return toMm(pixels, Unit::Pixels, Axis::Horizontal); }

// 1 point = 1/72 inch.
constexpr double kMmPerPoint = 25.4 / 72.0;

enum class Orientation { Portrait, Landscape };

enum class PaperSize { Default, Letter, Legal, Executive, A3, A4, A5, B4, B5, Custom };

// Portrait size of a paper in millimetres; Default is A4. Custom has no size
// of its own (the page's length and width give it) and yields an empty size.
QSizeF paperSizeMm(PaperSize paper);

// The paper and the unit by the names a layout stores ("A4", "Letter",
// "Custom"; "MM", "Inches", ...), in any case; an unknown paper gives
// Default, an unknown unit MM.
PaperSize paperSizeFromName(const QString& name);
Unit unitFromName(const QString& name);

} // namespace report
