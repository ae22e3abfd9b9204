#include "TdbfRegister.h"

#include <map>
#include <memory>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include "BenchRegister.h"

namespace bench {

namespace {

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool done = process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit
                      && process.exitCode() == 0;
    if (!done)
        QTextStream(stderr) << program << " failed: " << process.readAll() << process.errorString() << '\n';
    return done;
}

// The copier, compiled once a run; empty when that failed.
QString tdbfcopy()
{
    static const QTemporaryDir dir;
    static const QString program = [] {
        const QString source = QStringLiteral(MARLEX_TDBF_SOURCES);
        const bool built = dir.isValid()
                           && run(QStringLiteral("fpc"), {u"-O1"_qs, u"-l-"_qs, u"-v0"_qs, u"-FE"_qs + dir.path(),
                                                          u"-Fu"_qs + source, source + u"/tdbfcopy.pas"_qs});
        return built ? dir.filePath(u"tdbfcopy"_qs) : QString();
    }();
    return program;
}

} // namespace

QString tdbfRegister(const BenchRegister& source)
{
    static std::map<const BenchRegister*, std::unique_ptr<QTemporaryDir>> made;
    std::unique_ptr<QTemporaryDir>& dir = made[&source];
    if (!dir) {
        dir = std::make_unique<QTemporaryDir>();
        const QString copier = tdbfcopy();
        if (copier.isEmpty()
            || !run(copier, {dir->path(), source.path(u"namen.dbf"_qs), source.path(u"chemie.dbf"_qs),
                             source.path(u"lager.dbf"_qs)}))
            return {};
        for (const QString& name :
             QDir(source.directory()).entryList({u"si_gef.*"_qs, u"formeln.*"_qs, u"FILES.TXT"_qs}, QDir::Files))
            QFile::copy(source.path(name), dir->filePath(name));
    }
    return QFile::exists(dir->filePath(u"namen.mdx"_qs)) ? dir->path() : QString();
}

QString registerDirectory(int kind)
{
    switch (kind) {
    case 0: return BenchRegister::standard().path({});
    case 1: return BenchRegister::millionNames().path({});
    default: return tdbfRegister(BenchRegister::millionNames());
    }
}

std::string registerLabel(int kind)
{
    return kind == 0 ? "large" : kind == 1 ? "1M" : "1M, written by TDbf";
}

} // namespace bench
