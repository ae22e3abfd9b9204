#pragma once

#include <QApplication>

namespace bench {

// The one application object of the benchmark run, made on first use: fonts,
// PDF output and widgets need it, and most benchmarks do not. Qt allows a
// single application object per process, so every benchmark file takes it
// from here. Draws off screen unless QT_QPA_PLATFORM says otherwise.
QApplication& application();

// Destroys the application object, if one was made. The benchmark main
// calls it before it returns: at the process's exit Qt's own globals are
// gone already, and an application object destroyed after them crashes.
void closeApplication();

} // namespace bench
