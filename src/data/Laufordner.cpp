#include "data/Laufordner.h"

#include <QCoreApplication>
#include <QDir>
#include <QLockFile>
#include <QRandomGenerator>

#include "dbase/DbaseError.h"

namespace {

const QString vorsilbe = u"lauf-"_qs;
const QString sperrendung = u".lock"_qs;

} // namespace

Laufordner::Laufordner(const QString& basis)
{
    if (!QDir().mkpath(basis))
        throw dbase::DbaseError(u"Der Ordner \"%1\" für die Recherche- und Filterdateien kann nicht angelegt werden."_qs
                                    .arg(QDir::toNativeSeparators(basis))
                                    .toStdString());
    aufraeumen(basis);

    // The lock first, the folder after: a folder without a live lock is
    // always one of an ended run.
    const QDir ordner(basis);
    for (int versuch = 0; versuch < 100 && !m_sperre; ++versuch) {
        const QString name = vorsilbe + QString::number(QCoreApplication::applicationPid()) + u'-'
                             + QString::number(QRandomGenerator::global()->generate() % 1000000);
        auto sperre = std::make_unique<QLockFile>(ordner.filePath(name + sperrendung));
        sperre->setStaleLockTime(0);
        if (!sperre->tryLock(0))
            continue;
        QDir alt(ordner.filePath(name));
        alt.removeRecursively(); // an ended run's of the same name
        if (!ordner.mkdir(name))
            break;
        m_pfad = ordner.filePath(name);
        m_sperre = std::move(sperre);
    }
    if (!m_sperre)
        throw dbase::DbaseError(u"Im Ordner \"%1\" kann kein Ordner für die Recherche- und Filterdateien angelegt "
                                u"werden."_qs.arg(QDir::toNativeSeparators(basis))
                                    .toStdString());
}

Laufordner::~Laufordner()
{
    QDir(m_pfad).removeRecursively();
    m_sperre->unlock(); // removes the lock file
}

void Laufordner::aufraeumen(const QString& basis)
{
    const QDir ordner(basis);
    const QStringList sperren =
        ordner.entryList({vorsilbe + u'*' + sperrendung}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& datei : sperren) {
        QLockFile sperre(ordner.filePath(datei));
        // Only a lock whose process is gone counts as ended, however old.
        sperre.setStaleLockTime(0);
        if (!sperre.tryLock(0))
            continue;
        QDir(ordner.filePath(datei.chopped(sperrendung.size()))).removeRecursively();
        sperre.unlock();
    }
}
