#include "widgets/IconTheme.h"

#include <optional>

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QResource>
#include <QStandardPaths>

namespace widgets {

namespace {

// Where the resource file puts the theme: a folder of its own among the
// resources, searched before the system's icon folders.
constexpr const char* resourceFolder = "/marlex-icons";

std::optional<QString> themeFile(const QString& programDirectory)
{
    const QString shipped = QDir(programDirectory).filePath(QLatin1String(IconThemeFile));
    if (QFileInfo(shipped).isFile())
        return shipped;
    const QString installed = QStandardPaths::locate(
        QStandardPaths::GenericDataLocation,
        QStringLiteral("icons/%1/%2").arg(QLatin1String(IconThemeName), QLatin1String(IconThemeFile)));
    if (!installed.isEmpty())
        return installed;
    return std::nullopt;
}

bool install(const QString& programDirectory)
{
    const QString theme = QLatin1String(IconThemeName);
    if (const auto file = themeFile(programDirectory)) {
        const QString folder = QLatin1String(resourceFolder);
        if (QResource::registerResource(*file, folder + u'/' + theme))
            QIcon::setThemeSearchPaths(QStringList{u':' + folder} + QIcon::themeSearchPaths());
    }
    QIcon::setThemeName(theme);
    // A theme without a single action icon is no theme: nothing was found.
    return !QIcon::fromTheme(QStringLiteral("document-print")).isNull();
}

} // namespace

bool installIconTheme(const QString& programDirectory)
{
    static const bool available = install(programDirectory);
    return available;
}

} // namespace widgets
