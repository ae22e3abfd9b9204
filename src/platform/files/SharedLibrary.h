#pragma once

#include <memory>

#include <QString>
#include <QStringList>

class QLibrary;

namespace files {

// A library loaded at run time by the name the program gives it on Windows
// ("MARLEX99.DLL"): the file, named the platform's way ("libmarlex99.so"),
// is looked for in the program directory first, then on the system's library
// search path. The library is released when the object goes.
class SharedLibrary {
public:
    using Function = void (*)();

    // Loading never throws: whether it worked is loaded(), why not is
    // errorString(). `programDirectory` is for tests; the program passes
    // nothing.
    explicit SharedLibrary(const QString& windowsName, const QString& programDirectory = {});
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&&) noexcept;
    SharedLibrary& operator=(SharedLibrary&&) noexcept;

    bool loaded() const;
    QString errorString() const;
    // The file that was loaded; empty when nothing was.
    QString fileName() const;

    // The entry point of that name, or nullptr when the library lacks it.
    Function resolve(const QString& symbol) const;
    // Those of `symbols` the library lacks, in the given order; all of them
    // when it is not loaded. A caller checks every entry point it is going to
    // call before calling any.
    QStringList missingSymbols(const QStringList& symbols) const;

    // The base name the system's loader knows the library by: "MARLEX99.DLL"
    // gives "marlex99" (file libmarlex99.so).
    static QString baseName(const QString& windowsName);

private:
    std::unique_ptr<QLibrary> m_library;
    QString m_error;
};

} // namespace files
