#pragma once

// A register of the size users keep, written once into a temporary directory
// for the benchmarks: namen.dbf, chemie.dbf (+ .dbt), lager.dbf, the phrase
// table si_gef.dbf and the structure pictures formeln.dbf (+ .dbt), each with
// the production index and the tags the program works with, and FILES.TXT,
// so that the program starts on it. The content is the same on every run
// (fixed seed), so figures of two runs compare.

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <vector>

#include "dbase/FieldDef.h"
#include "dbase/Table.h"

namespace bench {

struct RegisterSize {
    int substances = 20000;
    int names = 100000; // every substance has at least one
    int stockItems = 5000;
};

// One row of namen.dbf as the program writes it.
struct NameRow {
    QString name1;
    QString stripName1;
    QString carn;
    QString subcarn;
};

// The substance key CARN, SUBCARN of one chemie.dbf row.
struct SubstanceKey {
    QString carn;
    QString subcarn;
};

// Appends `row` to a table of the namen.dbf layout and posts it.
void appendNameRow(dbase::Table& table, const NameRow& row);

class BenchRegister {
public:
    explicit BenchRegister(const RegisterSize& size);

    // The default size, written on first use and kept for the whole run.
    static const BenchRegister& standard();
    // Ten times that (1,000,000 names), as a long-kept register grows to;
    // written on first use and kept for the whole run, like standard().
    static const BenchRegister& millionNames();

    // A file of the register's directory; new files may be made there too.
    QString path(const QString& fileName) const;
    QString directory() const { return m_dir.path(); }
    // Copies the register's files into `directory`, for a benchmark that
    // changes them while the others must find the register as written.
    void copyTo(const QString& directory) const;

    // The rows of namen.dbf in physical order.
    const std::vector<NameRow>& names() const { return m_names; }
    // The keys of chemie.dbf in physical order.
    const std::vector<SubstanceKey>& substances() const { return m_substances; }
    // The main name of a substance with stock, a structure picture and R
    // and S phrases; no other name of the register reads so.
    const QString& sheetSubstance() const { return m_sheetSubstance; }

    static const dbase::IndexDef carnSubTag;
    static const dbase::IndexDef name1SubTag;

    // Opens a table of the register on a tag (empty: physical order).
    void open(dbase::Table& table, const QString& fileName, const QString& tag) const;

private:
    QTemporaryDir m_dir;
    std::vector<NameRow> m_names;
    std::vector<SubstanceKey> m_substances;
    QString m_sheetSubstance;
};

} // namespace bench
