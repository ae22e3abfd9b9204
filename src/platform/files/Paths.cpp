#include "files/Paths.h"

#include <filesystem>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace files {

namespace {

// A path cut into its root ("/" or nothing), its components, and whether it
// asked for a directory with a trailing separator.
struct SplitPath {
    QString root;
    QStringList parts;
    bool wantsDirectory = false;
};

SplitPath split(const QString& native)
{
    SplitPath s;
    if (native.startsWith(u'/'))
        s.root = QStringLiteral("/");
    s.parts = native.split(u'/', Qt::SkipEmptyParts);
    s.wantsDirectory = native.endsWith(u'/') && !s.parts.isEmpty();
    return s;
}

QString join(const QString& base, const QString& name)
{
    if (base.isEmpty())
        return name;
    return base.endsWith(u'/') ? base + name : base + u'/' + name;
}

QString withTrailing(const QString& path, bool wantsDirectory)
{
    return wantsDirectory && !path.endsWith(u'/') ? path + u'/' : path;
}

// Compared in composed form too: names written on another system may store
// "ä" as "a" plus a combining diaeresis.
QString folded(const QString& name)
{
    return name.normalized(QString::NormalizationForm_C).toCaseFolded();
}

bool isSpecial(const QString& part)
{
    return part == u"." || part == u"..";
}

// The entries of `dir` other than `exact` whose names equal `part` ignoring
// case, in binary order so that the choice among several variants does not
// depend on the order the file system lists them in.
QStringList otherVariants(const QString& dir, const QString& part)
{
    const QDir directory(dir.isEmpty() ? QStringLiteral(".") : dir);
    const QStringList entries = directory.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    const QString wanted = folded(part);
    QStringList variants;
    for (const QString& entry : entries) {
        if (entry != part && folded(entry) == wanted)
            variants.append(entry);
    }
    variants.sort(Qt::CaseSensitive);
    return variants;
}

bool usable(const QString& path, bool needsDirectory)
{
    const QFileInfo info(path);
    return info.exists() && (!needsDirectory || info.isDir());
}

// Depth-first: the exact spelling first, then the other variants, so that a
// variant that leads nowhere (a "Symbol" file beside a "SYMBOL" directory)
// does not hide one that does.
std::optional<QString> walk(const QString& base, const SplitPath& path, qsizetype index)
{
    if (index == path.parts.size())
        return base;
    const QString& part = path.parts[index];
    const bool needsDirectory = index + 1 < path.parts.size() || path.wantsDirectory;

    const QString exact = join(base, part);
    if (usable(exact, needsDirectory)) {
        if (auto found = walk(exact, path, index + 1))
            return found;
    }
    if (isSpecial(part))
        return std::nullopt;
    for (const QString& variant : otherVariants(base, part)) {
        const QString candidate = join(base, variant);
        if (!usable(candidate, needsDirectory))
            continue;
        if (auto found = walk(candidate, path, index + 1))
            return found;
    }
    return std::nullopt;
}

// The stored spelling of the directory `part` inside `base`, if any.
std::optional<QString> directoryVariant(const QString& base, const QString& part)
{
    const QString exact = join(base, part);
    if (usable(exact, true))
        return exact;
    if (isSpecial(part))
        return std::nullopt;
    for (const QString& variant : otherVariants(base, part)) {
        const QString candidate = join(base, variant);
        if (usable(candidate, true))
            return candidate;
    }
    return std::nullopt;
}

} // namespace

QString nativePath(const QString& windowsPath)
{
    QString result;
    result.reserve(windowsPath.size());
    for (const QChar c : windowsPath) {
        const QChar ch = c == u'\\' ? QChar(u'/') : c;
        if (ch == u'/' && result.endsWith(u'/'))
            continue;
        result.append(ch);
    }
    return result;
}

std::optional<QString> find(const QString& path)
{
    const QString native = nativePath(path);
    if (native.isEmpty())
        return std::nullopt;
    const SplitPath s = split(native);
    // The common case costs one stat: the name is spelt as stored.
    if (usable(native, s.wantsDirectory))
        return native;
    if (s.parts.isEmpty())
        return std::nullopt;
    if (auto found = walk(s.root, s, 0))
        return withTrailing(*found, s.wantsDirectory);
    return std::nullopt;
}

QString resolveForWrite(const QString& path)
{
    const QString native = nativePath(path);
    if (auto found = find(native))
        return *found;
    const SplitPath s = split(native);
    QString result = s.root;
    qsizetype index = 0;
    // Leading directories that exist keep their stored spelling; from the
    // first one that does not, the rest is new and taken as given.
    for (; index + 1 < s.parts.size(); ++index) {
        const auto directory = directoryVariant(result, s.parts[index]);
        if (!directory)
            break;
        result = *directory;
    }
    for (; index < s.parts.size(); ++index)
        result = join(result, s.parts[index]);
    return withTrailing(result, s.wantsDirectory);
}

QString programDirectory()
{
    QString directory;
    if (QCoreApplication::instance()) {
        directory = QCoreApplication::applicationDirPath();
    } else {
        // Without an application object (libraries, tools) the kernel names
        // the program file; failing that, the start directory is the best guess.
        std::error_code error;
        const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
        directory = error ? QDir::currentPath()
                          : QString::fromStdString(exe.parent_path().string());
    }
    return withTrailing(directory, true);
}

} // namespace files
