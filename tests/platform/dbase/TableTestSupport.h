#pragma once

// Tables for the dataset tests: the name-table layout the program uses,
// filled through the Table API, and small readers of a table's rows.

#include <initializer_list>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

#include "DbfTestSupport.h"
#include "dbase/Table.h"

namespace tabletest {

using dbftest::field;

// NAME1 C(60), STRIPNAME1 C(60), CARN C(12), SUBCARN C(4)
inline dbase::TableLayout nameLayout()
{
    using dbase::FieldType;
    return dbase::TableLayout({field("NAME1", FieldType::Character, 60),
                               field("STRIPNAME1", FieldType::Character, 60),
                               field("CARN", FieldType::Character, 12),
                               field("SUBCARN", FieldType::Character, 4)});
}

struct NameRow {
    QString name;
    QString strip;
    QString carn;
    QString subcarn;
};

inline void appendRow(dbase::Table& table, const QStringList& values)
{
    table.append();
    for (int i = 0; i < values.size(); ++i)
        table.field(i).setAsString(values[i]);
    table.post();
}

// Creates `file` with the name layout and the rows, then the two tags the
// program builds: CARN_SUB on "CARN+SUBCARN" and NAME1_SUB on STRIPNAME1.
inline void makeNameTable(const QString& file, const std::vector<NameRow>& rows,
                          bool withTags = true)
{
    dbase::Table table;
    table.setTableName(file);
    table.createTable(nameLayout());
    table.open();
    for (const NameRow& row : rows)
        appendRow(table, {row.name, row.strip, row.carn, row.subcarn});
    table.close();
    if (withTags) {
        table.addIndex({"CARN_SUB", "CARN+SUBCARN", true});
        table.addIndex({"NAME1_SUB", "STRIPNAME1"});
    }
}

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

inline void openTable(dbase::Table& table, const QString& file, const QString& index = {},
                      const QString& tag = {})
{
    table.setTableName(file);
    table.setIndexFiles(index);
    table.setIndexName(tag);
    table.open();
}

} // namespace tabletest
