#pragma once

#include <QDir>
#include <QString>
#include <QStringList>

#include "dbase/FieldDef.h"
#include "dbase/Table.h"

namespace demo {

struct DemoData;
struct Substance;

// A field definition of the demo's tables.
dbase::FieldDef demoField(const std::string& name, dbase::FieldType type, int length, int decimals = 0);

// The 44 fields of chemie.dbf at the positions the program reads them by.
dbase::TableLayout chemieLayout();
// Appends and posts the chemie.dbf record of `substance` to `table` (of
// chemieLayout()): its fields, the picture names derived from its hazard
// codes and CAS number.
void appendSubstance(dbase::Table& table, const Substance& substance);
// namen.dbf: NAME1, STRIPNAME1, CARN, SUBCARN.
dbase::TableLayout namenLayout();
// The 16 fields of lager.dbf, the storage list.
dbase::TableLayout lagerLayout();
// si_gef.dbf: NRSATZ ("R11"), ZEILE (the line's number), SATZTEXT; its tag
// keeps a phrase's lines together and in order.
dbase::TableLayout siGefLayout();
inline const dbase::IndexDef siGefTag{"NRSATZ_SUB", "NRSATZ+STR(ZEILE,2)", true};
// formeln.dbf: CARN, SUBCARN and the structure picture FORMEL.
dbase::TableLayout formelnLayout();

// The picture name the record editor stores for a hazard symbol code in
// GEFSYMxBMP: "FPLU." for "F+", ..., "LEER.BMP" for an empty slot.
QString symbolDateiname(const QString& code);

// The structure picture name of FORMEL_BMP: the CAS number without its check
// digit and hyphen, then ".BMP" ("64-17-5" -> "64-17.BMP").
QString formelBildname(const QString& carn);

// The record lines of si_gef.dbf for one phrase: the first begins with the
// number, "=" and a blank; text longer than `width` continues at word
// boundaries in further lines.
QStringList phraseLines(const QString& number, const QString& text, int width = 80);

// The files the program requires at start, in the order of FILES.TXT.
QStringList requiredFiles();
// Writes requiredFiles() into FILES.TXT in `dir`.
void writeFilesList(const QDir& dir);

// Writes namen.dbf, chemie.dbf (+ .dbt), lager.dbf, si_gef.dbf, formeln.dbf
// (+ .dbt), each with its production index, and FILES.TXT into `dir`,
// replacing what is there. Throws DemoError or the dBASE layer's error.
void writeRegister(const DemoData& data, const QDir& dir);

} // namespace demo
