#pragma once

// Update tables for the update's tests, written beside the small register
// of the main window's tests.

#include <functional>
#include <vector>

#include <QString>

#include "MarlexTestSupport.h"
#include "dbase/FieldDef.h"

namespace updatetest {

// The substances the tests merge, by CAS number, and the positions of
// chemie.dbf's fields they change.
inline const QString aceton = QStringLiteral("67-64-1");
inline const QString benzol = QStringLiteral("71-43-2");
inline const QString chlor = QStringLiteral("7782-50-5");
inline const QString ethanol = QStringLiteral("64-17-5");
constexpr int WGK = 26;
constexpr int MOLMASSE = 27;
constexpr int SMT = 29;

// An update table at `datei` (its folder made) with the layout of the
// register's chemie.dbf, changed by `aendern` when given, and one record
// per substance: numbers where the update table has a numeric field, text
// everywhere else; a field left out stays blank.
void updateSchreiben(const QString& datei, const std::vector<marlextest::Stoff>& stoffe,
                     const std::function<void(std::vector<dbase::FieldDef>&)>& aendern = {});

// An update table that does not fit the register: its file, its records,
// the change to chemie.dbf's layout, and the words its refusal must hold.
struct Unpassend {
    const char* datei;
    std::vector<marlextest::Stoff> stoffe;
    std::function<void(std::vector<dbase::FieldDef>&)> aendern;
    QStringList genannt;
};

// A substance with its name and the fields given.
marlextest::Stoff stoff(const QString& name, const QString& carn, std::map<int, QString> felder = {});

// The rows of a table as dbfread reads it, each as "NAME1|CARN|SUBCARN"
// followed by the listed fields' values ("" for blank), in file order.
QStringList zeilen(const QString& tabelle, const QStringList& weitere = {});

} // namespace updatetest
