#pragma once

#include <QApplication>

namespace bench {

// The one application object of the benchmark run, made on first use: fonts,
// PDF output and widgets need it, and the benchmark main makes none. Qt allows
// a single application object per process, so every benchmark file takes it
// from here. Draws off screen unless QT_QPA_PLATFORM says otherwise.
QApplication& application();

} // namespace bench
