#pragma once

// Table text is kept in the code page the table's language driver names; the
// code pages themselves are the code-page layer's.
#include "codepage/CodePage.h"

namespace dbase {

using codepage::CodePage;

} // namespace dbase
