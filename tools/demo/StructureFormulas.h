#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

namespace demo {

// The structure formula (skeletal formula, hetero atoms written out) of the
// substance with this CAS number, black on white; a null image for a
// substance without a drawing.
QImage structureFormula(const QString& carn);

// The CAS numbers that have a drawing.
QStringList structureFormulaCarns();

} // namespace demo
