#pragma once

#include <QDir>
#include <QImage>
#include <QString>
#include <QStringList>

namespace demo {

// The plain stems of every pictogram the main window loads from the Symbol folder
// ("C.", "F+.", "Xn.", "ABZUG.", "NOSEEK.", "###.", "LV&.", ..., "NODATA."),
// each once; the colour picture of a stem is "F_" + stem.
QStringList pictogramStems();

// The pictogram of a plain stem, drawn in colour (the "F_" picture) or in
// black and white. Hazard symbols are black on an orange square, precaution
// pictures white on a blue mandatory-sign disc, the other signs labelled
// badges. A null image for a stem that is not a pictogram.
QImage pictogram(const QString& stem, bool colour);

// Writes every pictogram as stem + "BMP" and "F_" + stem + "BMP" into `dir`
// (created when missing). Returns the number of files written.
int writePictograms(const QDir& dir);

} // namespace demo
