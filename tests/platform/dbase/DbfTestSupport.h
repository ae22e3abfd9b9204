#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "dbase/FieldDef.h"

namespace dbftest {

inline dbase::FieldDef field(const std::string& name, dbase::FieldType type, int length,
                             int decimals = 0) {
    dbase::FieldDef def;
    def.name = name;
    def.type = type;
    def.length = static_cast<std::uint8_t>(length);
    def.decimals = static_cast<std::uint8_t>(decimals);
    return def;
}

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

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
