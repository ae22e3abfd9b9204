#pragma once

#include <vector>

#include <QString>

class QTextEdit;

// The small rules on names, CAS numbers and sum formulas that every writer
// and reader of names shares.

// The sort and search key of a name (field STRIPNAME1): leading characters
// that do not begin a capitalised word (locants, digits, prefixes) move behind
// the name, then umlauts are folded. "2-Propanol" -> "Propanol2-".
QString StripNameBilden(const QString& name);

// Folds Ä Ö Ü ä ö ü ß into Ae Oe Ue ae oe ue ss; other characters stay.
void UmlauteErsetzen(QString& s);
QString umlauteErsetzt(QString s);

// True when the check digit of a CAS registry number is right.
bool CarnPruefen(const QString& carn);

// Offsets (0-based) of the characters of a sum formula's first line that are
// drawn at half size as subscripts: "H2O" -> {1}, "CuSO4 * 5H2O" -> {4, 10}.
std::vector<int> formelTiefstellungen(const QString& firstLine);

// Shows the digits of the first line of a rich text control as subscripts
// (half the default character size); the text itself stays as it is.
void FormelFormatieren(QTextEdit& control);
