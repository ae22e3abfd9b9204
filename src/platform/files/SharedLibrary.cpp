#include "files/SharedLibrary.h"

#include <QFileInfo>
#include <QLibrary>

#include "files/Paths.h"

namespace files {

namespace {

QString platformFileName(const QString& base)
{
#if defined(Q_OS_WIN)
    return base + u".dll"_qs;
#elif defined(Q_OS_MACOS)
    return u"lib"_qs + base + u".dylib"_qs;
#else
    return u"lib"_qs + base + u".so"_qs;
#endif
}

} // namespace

QString SharedLibrary::baseName(const QString& windowsName)
{
    QString name = QFileInfo(nativePath(windowsName)).fileName();
    if (name.endsWith(u".dll", Qt::CaseInsensitive))
        name.chop(4);
    return name.toLower();
}

SharedLibrary::SharedLibrary(const QString& windowsName, const QString& programDirectory)
{
    const QString base = baseName(windowsName);
    const QString directory = programDirectory.isEmpty() ? files::programDirectory()
                                                         : programDirectory + u'/';
    // In the program directory the platform's full file name: handed
    // "dir/marlex99", QLibrary would try the program file "marlex99" first
    // and, as that file exists, give up. On the search path QLibrary adds
    // the prefix and suffix ("lib", ".so") itself.
    for (const QString& candidate : {nativePath(directory + platformFileName(base)), base}) {
        auto library = std::make_unique<QLibrary>(candidate);
        if (library->load()) {
            m_library = std::move(library);
            m_error.clear();
            return;
        }
        if (!m_error.isEmpty())
            m_error += u"; "_qs;
        m_error += library->errorString();
    }
}

SharedLibrary::~SharedLibrary()
{
    if (m_library)
        m_library->unload();
}

SharedLibrary::SharedLibrary(SharedLibrary&&) noexcept = default;

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept
{
    if (this != &other) {
        if (m_library)
            m_library->unload();
        m_library = std::move(other.m_library);
        m_error = std::move(other.m_error);
    }
    return *this;
}

bool SharedLibrary::loaded() const
{
    return m_library != nullptr;
}

QString SharedLibrary::errorString() const
{
    return m_error;
}

QString SharedLibrary::fileName() const
{
    return m_library ? m_library->fileName() : QString();
}

SharedLibrary::Function SharedLibrary::resolve(const QString& symbol) const
{
    if (!m_library)
        return nullptr;
    return reinterpret_cast<Function>(m_library->resolve(symbol.toLatin1().constData()));
}

QStringList SharedLibrary::missingSymbols(const QStringList& symbols) const
{
    QStringList missing;
    for (const QString& symbol : symbols) {
        if (!resolve(symbol))
            missing.append(symbol);
    }
    return missing;
}

} // namespace files
