#pragma once

#include <QDir>

namespace demo {

// Writes the help start page index.htm and the classification supplement
// page hinweis1.htm (UTF-8) into `dir`, created when missing.
void writeHelpPages(const QDir& dir);

} // namespace demo
