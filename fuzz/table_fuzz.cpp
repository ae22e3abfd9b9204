// A table opened as the program opens the register's tables: the .dbf with
// its production index and its memo file, each damaged in any way. One input
// holds the three files one after the other, the .mdx and the .dbt each
// after a line "=MARLEX=" of its own; a part that is missing is a missing
// file. Opening must give the table or a DbaseError; an opened table must
// walk in physical order and in every tag's order, seek, show its memos,
// take an edited and an appended row, close, and open again, all without a
// crash, a hang or a sanitizer report.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"

namespace {

constexpr std::string_view separator = "\n=MARLEX=\n";
constexpr std::size_t maxRows = 300;

void writeFiles(std::string_view input)
{
    std::size_t part = 0;
    for (const char* suffix : {".dbf", ".mdx", ".dbt"}) {
        const std::filesystem::path file = scratchDir("table_fuzz") / (std::string("fuzz") + suffix);
        std::filesystem::remove(file);
        if (part > input.size())
            continue;
        const std::size_t end = std::min(input.find(separator, part), input.size());
        std::ofstream(file, std::ios::binary).write(input.data() + part, std::streamsize(end - part));
        part = end + separator.size();
    }
}

// The record numbers of the rows in the table's present order.
std::vector<std::uint32_t> walk(dbase::Table& table)
{
    std::vector<std::uint32_t> rows;
    for (table.first(); !table.eof() && rows.size() < maxRows; table.next()) {
        rows.push_back(table.recNo());
        for (int f = 0; f < table.fieldCount(); ++f)
            (void)table.field(f).asString();
    }
    std::size_t back = 0;
    for (table.last(); !table.bof() && back < rows.size(); table.prior())
        ++back;
    return rows;
}

// Every tag's order, and a seek for the first row's value in it. Once the
// table has written its index itself, every order shows each row at most
// once and no row that the physical order lacks.
void walkTags(dbase::Table& table, bool written)
{
    std::vector<std::uint32_t> physical = walk(table);
    std::sort(physical.begin(), physical.end());
    for (const dbase::IndexDef& def : table.indexDefs()) {
        table.setIndexName(QString::fromStdString(def.name));
        std::vector<std::uint32_t> rows = walk(table);
        std::sort(rows.begin(), rows.end());
        if (written && physical.size() < maxRows
            && (std::adjacent_find(rows.begin(), rows.end()) != rows.end()
                || !std::includes(physical.begin(), physical.end(), rows.begin(), rows.end())))
            std::abort();
        table.first();
        if (!table.eof() && table.fieldCount() > 0) {
            const QString value = table.field(0).asString();
            (void)table.findKey({value});
            table.findNearest({value});
        }
    }
    table.setIndexName({});
}

// A value a field may refuse; the others are set all the same.
void set(dbase::Table& table, int field, const QString& value)
{
    try {
        table.field(field).setAsString(value);
    } catch (const dbase::DbaseError&) {
    }
}

void change(dbase::Table& table)
{
    table.first();
    if (!table.eof()) {
        table.edit();
        for (int f = 0; f < table.fieldCount(); ++f)
            set(table, f, table.field(f).asString());
        table.post();
    }
    table.append();
    for (int f = 0; f < table.fieldCount(); ++f)
        set(table, f, QStringLiteral("1"));
    table.post();
    table.last();
    table.remove();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    writeFiles(std::string_view(reinterpret_cast<const char*>(data), size));
    dbase::Table table;
    table.setTableName(QString::fromStdString((scratchDir("table_fuzz") / "fuzz.dbf").string()));
    try {
        table.open();
        walkTags(table, false);
        change(table);
        table.close();
        table.open();
        walkTags(table, true);
    } catch (const dbase::DbaseError&) {
    }
    return 0;
}
