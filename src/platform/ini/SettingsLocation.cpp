#include "ini/SettingsLocation.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include "files/Paths.h"

namespace ini {

namespace {

QString inDirectory(const QString& directory, const QString& fileName)
{
    return files::nativePath(directory + u'/' + fileName);
}

} // namespace

bool directoryWritable(const QString& directory)
{
    QTemporaryFile probe(inDirectory(directory, u".schreibtest-XXXXXX"_qs));
    return probe.open(); // removed again when the probe goes
}

QString userSettingsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u"/Marlex99"_qs;
}

QString settingsFileLocation(const QString& programDirectory, const QString& fileName,
                             bool programDirectoryWritable, const QString& userDirectory)
{
    const QString shipped = files::resolveForWrite(inDirectory(programDirectory, fileName));
    if (programDirectoryWritable)
        return shipped;

    const QString own = files::resolveForWrite(inDirectory(userDirectory, fileName));
    if (QFile::exists(own))
        return own;
    if (!QDir().mkpath(userDirectory))
        return shipped;
    if (QFile::exists(shipped)) {
        if (!QFile::copy(shipped, own))
            return shipped;
        // A copy of a read-only installation would be read-only too.
        QFile::setPermissions(own, QFile::permissions(own) | QFile::ReadOwner | QFile::WriteOwner);
    }
    return own;
}

QString settingsFileLocation(const QString& programDirectory, const QString& fileName)
{
    return settingsFileLocation(programDirectory, fileName, directoryWritable(programDirectory),
                                userSettingsDirectory());
}

} // namespace ini
