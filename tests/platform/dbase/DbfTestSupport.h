#pragma once

#include <cstdint>
#include <string>

#include "dbase/FieldDef.h"
#include "fixtures/Files.h"
#include "fixtures/Tables.h"

namespace dbftest {

using fixtures::field;
using fixtures::readFile;
using fixtures::writeFile;

inline std::uint32_t le32(const std::string& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes.at(at + static_cast<std::size_t>(i)));
    return v;
}

inline std::uint16_t le16(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at))
                                      | static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

// Puts `text` into a record at the field's position, padded with blanks
// (left-aligned) or right-aligned for numbers.
inline void put(std::string& record, const dbase::FieldDef& def, const std::string& text,
                bool rightAlign = false) {
    std::string cell(def.length, ' ');
    const std::size_t n = std::min(text.size(), cell.size());
    if (rightAlign)
        cell.replace(cell.size() - n, n, text.substr(0, n));
    else
        cell.replace(0, n, text.substr(0, n));
    record.replace(def.offset, def.length, cell);
}

} // namespace dbftest
