#pragma once

#include <cstdint>

#include <QString>

namespace dbase { class Table; }

// The sub-number (SUBCARN) a new substance of CAS number `carn` gets: `ab`
// (the substance count + 1) unless a record of chemie.dbf other than
// `eigene` already carries that key, then the next number free for that CAS
// number. Records the list filter hides count too. The table's record,
// filter and index stay as they were, and its controls hear nothing.
QString FreieSubcarn(dbase::Table& chemie, const QString& carn, int ab, std::uint32_t eigene = 0);
