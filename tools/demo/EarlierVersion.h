#pragma once

#include <QDir>

namespace demo {

struct DemoData;

// What an earlier installation left: the folder the storage takeover reads.
struct EarlierVersionSummary {
    int oldStockItems = 0;   // records of LAGER.MX1
    int markedSubstances = 0; // substances of CHEMIE.ZAN with MARKER above 0
};

// The storage files of the two earlier versions the program takes over, in
// `dir` (made if missing), each in its own layout:
//  - LAGER.MX1 (Marlex 1.x): name, CAS number, sub-number, then the stock
//    data at the positions of lager.dbf (3 to 14); the demo's stock items
//    as they stood years ago, one substance with two items;
//  - CHEMIE.ZAN (Zan 3.0): 34 fields, the name at 0, the supplier at 1, the
//    CAS number at 3, the storage place at 18, a remark at 32 and MARKER
//    (above 0: in stock); every demo substance, those in stock marked.
EarlierVersionSummary writeEarlierVersion(const DemoData& data, const QDir& dir);

} // namespace demo
