#pragma once

// Tables for the dataset tests: sample rows of the name table (made by the
// shared fixture) and small readers of a table's rows.

#include <initializer_list>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "DbfTestSupport.h"
#include "dbase/Table.h"
#include "fixtures/Tables.h"

namespace tabletest {

using dbftest::field;
using fixtures::appendRow;
using fixtures::makeNameTable;
using fixtures::nameLayout;
using fixtures::NameRow;

inline std::vector<NameRow> sampleNames()
{
    return {
        {"Ethanol", "ETHANOL", "64-17-5", "1"},
        {"Aceton", "ACETON", "67-64-1", "2"},
        {"Wasser", "WASSER", "7732-18-5", "3"},
        {"Ethylalkohol", "ETHYLALKOHOL", "64-17-5", "1"},
        {"Benzol", "BENZOL", "71-43-2", "4"},
    };
}

// The values of one field over all rows the cursor shows, from first().
inline QStringList column(dbase::Table& table, int field)
{
    QStringList values;
    for (table.first(); !table.eof(); table.next())
        values << table.field(field).asString();
    return values;
}

// The same walked backwards from last().
inline QStringList columnBackwards(dbase::Table& table, int field)
{
    QStringList values;
    for (table.last(); !table.bof(); table.prior())
        values << table.field(field).asString();
    return values;
}

// The record numbers the cursor visits, from first().
inline std::vector<std::uint32_t> recNos(dbase::Table& table)
{
    std::vector<std::uint32_t> result;
    for (table.first(); !table.eof(); table.next())
        result.push_back(table.recNo());
    return result;
}

// Creates chemie.dbf with CARN C(12) and MEMOTEXT M, opens it on `table`
// and starts a record for CARN 64-17-5, not yet posted.
inline void insertIntoNewMemoTable(dbase::Table& table)
{
    table.setTableName("chemie.dbf");
    table.createTable(dbase::TableLayout({field("CARN", dbase::FieldType::Character, 12),
                                          field("MEMOTEXT", dbase::FieldType::Memo, 10)}));
    table.open();
    table.append();
    table.field(0).setAsString("64-17-5");
}

// Records of about a kilobyte, so that a few thousand rows span several of
// the chunks bulk appends are written in; a tag goes on NR.
inline dbase::TableLayout wideLayout()
{
    using dbase::FieldType;
    return dbase::TableLayout({field("NR", FieldType::Character, 10), field("A", FieldType::Character, 250),
                               field("B", FieldType::Character, 250), field("C", FieldType::Character, 250),
                               field("D", FieldType::Character, 239)});
}

inline void openTable(dbase::Table& table, const QString& file, const QString& index = {},
                      const QString& tag = {})
{
    table.setTableName(file);
    table.setIndexFiles(index);
    table.setIndexName(tag);
    table.open();
}

} // namespace tabletest
