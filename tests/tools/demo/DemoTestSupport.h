#pragma once

// The demo register and program directory, generated once for the tests of
// this folder into a temporary directory, and small readers over them.

#include <filesystem>
#include <memory>
#include <vector>

#include <QDir>
#include <QString>
#include <QStringList>

#include "demo/DemoData.h"
#include "fixtures/TempDir.h"

namespace demotest {

struct Generated {
    fixtures::TempDir temp;
    QDir daten;    // the register tables
    QDir programm; // Symbol/, Hilfe/, marlex99.ini
    demo::DemoData data;
};

// Generated on first use from tools/demo/data; lives until the process ends.
const Generated& generated();

// The demo's source data directory.
QDir sourceDataDir();

// The given fields of every row of a table, in physical order or in the
// order of `tag`.
std::vector<QStringList> readRows(const QDir& dir, const QString& table, const QStringList& fields,
                                  const QString& tag = {});

// One run of a tool of the build (tools/sheets/NAME), as a user runs it.
struct Werkzeuglauf {
    int exitCode = -1; // -1 when it crashed
    QString out;
    QString err;
};
Werkzeuglauf werkzeugStarten(const QString& name, const QStringList& args);

} // namespace demotest
