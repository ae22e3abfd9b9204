// Rebuilds the production indexes of the register's tables in the current
// directory. The caller ignores results and has no way to take an exception:
// every entry point catches everything, and a table that cannot be rebuilt
// keeps the index it had.

#include <QFileInfo>

#include "dbase/DbfFile.h"
#include "dbase/MdxFile.h"
#include "dbase/Table.h"
#include "files/Paths.h"

namespace {

std::filesystem::path toPath(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

// The table file and its production index, found in whatever case they are
// stored; a table without an index has nothing to rebuild.
void rebuild(const QString& tableFile)
{
    const auto table = files::find(tableFile);
    if (!table)
        return;
    const QFileInfo info(*table);
    const auto index = files::find(info.path() + u'/' + info.completeBaseName() + u".mdx"_qs);
    if (!index)
        return;

    // Before the index file is touched: it must be one (a damaged tag table
    // is left alone), and no one else may hold the table (the probe's lock is
    // given up at once, for the open below to take).
    dbase::MdxFile::readTagInfos(toPath(*index));
    dbase::DbfFile::open(toPath(*table), dbase::OpenMode::ReadWrite, dbase::ShareMode::Exclusive)
        .reset();

    // An index marked as being changed is rebuilt from the rows by whoever
    // opens the table next, with the tags' names, expressions and options;
    // opening it exclusively here does it now and writing it back ends it.
    dbase::MdxFile::markDirty(toPath(*index));
    dbase::Table reindexed;
    reindexed.setTableName(*table);
    reindexed.setIndexFiles(*index);
    reindexed.setExclusive(true);
    reindexed.open();
    reindexed.flush();
    reindexed.close();
}

void rebuildQuietly(const QString& tableFile) noexcept
{
    try {
        rebuild(tableFile);
    } catch (...) {
        // Nothing to report to: the start goes on with the index as it is.
    }
}

} // namespace

#define MARLEX_EXPORT extern "C" __attribute__((visibility("default")))

// The rebuilds need no state between the calls; the start-up calls these two
// around them all the same.
MARLEX_EXPORT void _ReINDEX_Init() {}
MARLEX_EXPORT void _ReINDEX_Close() {}

MARLEX_EXPORT void _ReINDEX_NAMEN() { rebuildQuietly(u"namen.dbf"_qs); }
MARLEX_EXPORT void _ReINDEX_CHEMIE() { rebuildQuietly(u"chemie.dbf"_qs); }
MARLEX_EXPORT void _ReINDEX_SIGEF() { rebuildQuietly(u"si_gef.dbf"_qs); }
MARLEX_EXPORT void _ReINDEX_FORMEL() { rebuildQuietly(u"formeln.dbf"_qs); }
MARLEX_EXPORT void _ReINDEX_LAGER() { rebuildQuietly(u"lager.dbf"_qs); }
