#pragma once

#include <QDir>
#include <QString>

namespace demo {

struct DemoData;

// The supplier's update table for the demo register, in a folder of its
// own: chemie.dbf's layout with a few substances changed (one loses its
// melting point, which is a decomposition), one as it stands, and one
// substance the register does not hold yet. Of a smaller data set, only the
// substances it holds.
inline constexpr const char* kUpdateFolder = "Update";
inline constexpr const char* kUpdateTable = "UPDATE.DBF";

// Writes kUpdateTable (+ .dbt) into `dir`; returns the number of records.
int writeUpdateTable(const DemoData& data, const QDir& dir);

} // namespace demo
