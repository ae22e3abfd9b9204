#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dbase/Collation.h"
#include "dbase/DbaseError.h"
#include "dbase/DbfFile.h"
#include "dbase/FieldDef.h"
#include "dbase/IndexTag.h"
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

// The message of the DbaseError `body` throws; empty when it throws none.
template <typename Body>
std::string errorOf(Body&& body)
{
    try {
        body();
    } catch (const dbase::DbaseError& error) {
        return error.what();
    }
    return {};
}

// Whether `body` throws a DbaseError whose message holds `part` (the file
// concerned, a German phrase): EXPECT_TRUE(failsWith("T.DBF", [&] { ... })).
template <typename Body>
::testing::AssertionResult failsWith(const std::string& part, Body&& body)
{
    const std::string message = errorOf(body);
    if (message.empty())
        return ::testing::AssertionFailure() << "no error, expected one naming \"" << part << '"';
    if (message.find(part) == std::string::npos)
        return ::testing::AssertionFailure() << "\"" << part << "\" not in: " << message;
    return ::testing::AssertionSuccess();
}

// Field `field` of record `recNo` as text.
inline QString textAt(const dbase::DbfFile& file, std::uint32_t recNo, int field = 0)
{
    std::string bytes;
    file.readRecord(recNo, bytes);
    return dbase::RecordView(file.layout(), file.codePage(), bytes).text(field);
}

// The collation of the program's own tables (language driver 0x58).
inline const dbase::Collation& westernEurope() { return dbase::Collation::forLanguageDriver(0x58); }

// A tag's record numbers in its order.
inline std::vector<std::uint32_t> recNosOf(const dbase::IndexTag& tag)
{
    std::vector<std::uint32_t> recNos;
    for (std::size_t i = 0; i < tag.size(); ++i)
        recNos.push_back(tag.recNoAt(i));
    return recNos;
}

} // namespace dbftest
