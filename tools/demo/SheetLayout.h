#pragma once

#include <vector>

#include <QString>

#include "stream/Object.h"

namespace demo {

// The file name of the demo's sheet layout in the program directory.
inline constexpr char kSheetLayoutFile[] = "STOFFINFO.STO";

// The demo's substance information sheet on A4 portrait, as the layout
// designer stores it: the report record (page, bands), then one record per
// band with its elements. The bands are the title, the substance data, five
// sections hanging from it as child bands (hazard symbols and classification,
// precautions, R and S phrases, limits and physical data, school use,
// storage and disposal) and the page footer.
std::vector<stream::Object> sheetLayoutRecords();

// Writes sheetLayoutRecords() to `path`, replacing the file only when all of
// it was written. Throws stream::StreamError naming the file.
void writeSheetLayout(const QString& path);

} // namespace demo
