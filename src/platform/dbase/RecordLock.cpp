// Two users on one table: record locks for edits, records read as stored
// now, and the look at the file per move that keeps the cache honest.
//
// A record is locked from edit() to post() or cancel() with the record lock
// of dBASE programs on a share: the byte at 0x7FFFFFFE minus the record
// number (FileIo.h, recordLockBase), an open-file-description lock that
// conflicts between two opens in one process too and dies with its process.

#include "dbase/DbaseError.h"
#include "dbase/TableImpl.h"

namespace dbase {

namespace {

bool deleted(const std::string& bytes) { return !bytes.empty() && bytes[0] == '*'; }

} // namespace

void Table::Impl::lockForEdit(std::uint32_t r)
{
    if (r >= firstProvisionalRecNo)
        return; // a row held back in cached updates is nobody else's
    if (!dbf->lockRecord(r))
        throw RecordLockedError();
    try {
        if (pending.count(r) != 0) {
            readRow(r, buffer);
        } else {
            dbf->readStoredRecord(r, buffer);
            if (deleted(buffer))
                throw RecordDeletedError();
        }
    } catch (...) {
        dbf->unlockRecord(r);
        throw;
    }
    editLock = r;
}

void Table::Impl::endEditLock()
{
    if (editLock == 0)
        return;
    if (dbf)
        dbf->unlockRecord(editLock);
    editLock = 0;
}

void Table::Impl::checkStillStored(std::uint32_t r)
{
    if (r >= firstProvisionalRecNo || cachedUpdates)
        return;
    std::string stored;
    dbf->readStoredRecord(r, stored);
    if (deleted(stored))
        throw RecordDeletedError();
}

bool Table::Impl::foreignWrites(std::uint32_t r)
{
    if (exclusive || !dbf->checkFresh(r < firstProvisionalRecNo ? r : 0))
        return false;
    filteredCount.reset();
    ++writes;
    return true;
}

void Table::Impl::freshen(bool changedBefore)
{
    const bool changed = state == TableState::Browse && foreignWrites(recNo);
    if (changed && recNo != 0 && exists(recNo))
        readRow(recNo, buffer);
    if (changed || changedBefore)
        notifyData();
}

AppendHold::AppendHold(Table& table) : m_table(table)
{
    Table::Impl& d = *table.d;
    d.requireActive();
    d.leaveRecord();
    const std::uint32_t known = d.fileCount();
    d.dbf->beginAppendHold(); // adopts the count on disk
    try {
        if (d.fileCount() != known)
            d.reloadAfterForeignChange();
        else
            d.checkForeignChanges();
    } catch (...) {
        d.dbf->endAppendHold();
        throw;
    }
}

AppendHold::~AppendHold()
{
    if (m_table.d->dbf)
        m_table.d->dbf->endAppendHold();
}

} // namespace dbase
