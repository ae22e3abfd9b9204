#pragma once

#include <QString>

namespace ini {

// Whether files can be created in `directory`, found out by creating (and
// removing) one: permission bits alone mislead (read-only mounts, root).
bool directoryWritable(const QString& directory);

// The per-user directory that holds the settings when the program directory
// cannot: the user's configuration directory + "/Marlex99".
QString userSettingsDirectory();

// The settings file to use: `fileName` in `programDirectory` (in its stored
// case) when that directory is writable; otherwise `fileName` in
// `userDirectory`, which is created and, the first time, seeded with a copy
// of the program directory's file so that the shipped settings still count.
// When the user directory cannot be made either, the program directory's
// file is used: it can be read, and writes report their failure.
QString settingsFileLocation(const QString& programDirectory, const QString& fileName,
                             bool programDirectoryWritable, const QString& userDirectory);

// The same, deciding writability by trying and using userSettingsDirectory().
QString settingsFileLocation(const QString& programDirectory, const QString& fileName);

} // namespace ini
