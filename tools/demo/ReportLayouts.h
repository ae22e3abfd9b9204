#pragma once

#include <vector>

#include <QDir>
#include <QString>
#include <QStringList>

#include "stream/Object.h"

namespace demo {

// The file names of the demo's report layouts in the program directory.
inline constexpr char kStockListLayoutFile[] = "LAGERLISTE.REP";
inline constexpr char kToxicListLayoutFile[] = "GIFTLISTE.REP";

// The stock list a school's safety officer keeps: every stock item with its
// storage place, substance, CAS number, amount and the two dates, one line
// each, with column headings on every page, the number of items at the end
// and the page number at the foot. Its selection is the whole storage table.
std::vector<stream::Object> stockListRecords();

// The stock items of very toxic and toxic substances (hazard symbol T+ or
// T in any of the four symbol fields): the selection line on chemie.dbf
// picks them, and each line shows the symbol, the R phrases and where the
// item is kept and how much of it.
std::vector<stream::Object> toxicListRecords();

// Writes both into `programDir` under the names above, each replaced only
// when all of it was written; the paths written, stock list first. Throws
// stream::StreamError naming a file that could not be written.
QStringList writeReportLayouts(const QDir& programDir);

} // namespace demo
