#pragma once

#include <vector>

#include <QString>

#include "stream/Object.h"

namespace demo {

// The file name of the demo's label layout in the program directory.
inline constexpr char kLabelLayoutFile[] = "ETIKETT.ETI";

// The page margins in millimetres that put the demo's labels on a common
// self-adhesive sheet of 2 × 4 labels of 105 × 74 mm on A4: the labels run
// down the left column, four to a page, their cut lines on the labels'
// edges. Turned round, the sheet's other column takes the next run.
struct LabelMargins {
    const char* top = "0,5";
    const char* bottom = "0,5";
    const char* left = "0";
    const char* right = "105";
};

// The demo's hazard label, 105 mm wide and just under 74 mm high, as the
// layout designer stores a label: one record, the template report owning
// its elements. It shows the substance's name, sum formula and CAS number,
// its four hazard symbols with their codes and a key to the codes' names,
// the texts of its R and S phrases, and the stock item's supplier and
// storage place.
std::vector<stream::Object> labelLayoutRecords();

// Writes labelLayoutRecords() to `path`, replacing the file only when all of
// it was written. Throws stream::StreamError naming the file.
void writeLabelLayout(const QString& path);

} // namespace demo
