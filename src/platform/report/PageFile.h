#pragma once

#include <vector>

#include <QString>

#include "report/Page.h"

namespace report {

// Recorded pages saved to a file of this program's own format (".QRP") and
// read back. Layout: the signature "MXQRP", a format version (uint16), then
// per page its size and items with every field of DrawnItem; numbers big
// endian, texts UTF-8 with their byte length, pictures as PNG with theirs.
// A file is written completely or not at all; a file that is short, damaged,
// of a later version or no page file at all gives a ReportError naming it.
class PageFile {
public:
    static constexpr quint16 kVersion = 1;

    static void save(const std::vector<Page>& pages, const QString& fileName);
    static std::vector<Page> load(const QString& fileName);
};

} // namespace report
