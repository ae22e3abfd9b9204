#pragma once

#include <string>

#include <QString>

namespace bench {

class BenchRegister;

// `source`'s register as another dBASE program leaves it: namen.dbf,
// chemie.dbf (with its memo) and lager.dbf written anew by Free Pascal's
// TDbf (tests/tools/tdbf/tdbfcopy, compiled once a run), their rows appended
// one by one with the tags kept up, so that each index file holds a tag's
// pages in the order TDbf split them; the phrase and structure tables and
// FILES.TXT copied as they are. Made on first use for each source and kept
// for the run; its directory, or an empty text when Free Pascal is missing
// or the copy failed (the reason on standard error).
QString tdbfRegister(const BenchRegister& source);

// The register a benchmark's argument names: 0 the large one
// (BenchRegister::standard()), 1 the one of 1,000,000 names
// (BenchRegister::millionNames()), 2 that one written by TDbf; its
// directory, empty when it cannot be made. The label says which it is.
QString registerDirectory(int kind);
std::string registerLabel(int kind);

} // namespace bench
