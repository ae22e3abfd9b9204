// Writing a table: the edit states, posting with index upkeep, deleting, and
// cached updates.

#include <algorithm>

#include "dbase/DbaseError.h"
#include "dbase/TableImpl.h"

namespace dbase {

// ---------------------------------------------------------------- Impl

void Table::Impl::leaveRecord()
{
    if (state != TableState::Edit && state != TableState::Insert)
        return;
    if (modified)
        post();
    else
        cancel();
}

void Table::Impl::writeMemos(std::string& bytes, const std::map<int, std::string>& data)
{
    for (const auto& [field, content] : data) {
        const FieldDef& def = layout().field(field);
        const std::uint32_t old = memoBlock(RecordView(layout(), codePage(), bytes), field);
        const std::uint32_t block = memo->write(content, old);
        const std::string digits = block == 0 ? std::string() : std::to_string(block);
        std::string stored(def.length - digits.size(), ' ');
        stored += digits;
        bytes.replace(def.offset, def.length, stored);
    }
}

void Table::Impl::updateIndex(std::uint32_t r, std::string_view oldBytes, std::string_view newBytes)
{
    if (!index)
        return;
    if (deferIndex) {
        indexStale = true;
        return;
    }
    index->update(r, oldBytes, newBytes, rowScan());
}

void Table::Impl::finishDeferredIndex()
{
    if (!indexStale || !index)
        return;
    index->rebuild(rowScan());
    indexStale = false;
    relocate();
}

void Table::Impl::post()
{
    if (state != TableState::Edit && state != TableState::Insert)
        return;
    if (state == TableState::Edit && !modified) {
        memos.clear();
        endEditLock();
        state = TableState::Browse;
        notifyState();
        return;
    }
    if (beforePost)
        beforePost(self);
    const bool inserting = state == TableState::Insert;
    std::uint32_t r = recNo;
    if (cachedUpdates) {
        std::string old;
        if (inserting) {
            r = nextProvisional++;
            pendingAppends.push_back(r);
        } else {
            readRow(r, old);
        }
        Pending& entry = pending[r];
        entry.bytes = buffer;
        for (auto& [field, content] : memos)
            entry.memos[field] = std::move(content);
        updateIndex(r, old, buffer);
    } else {
        if (!inserting) {
            try {
                checkStillStored(r);
            } catch (const RecordDeletedError&) {
                cancel();
                throw;
            }
        }
        // The index file is marked before the table changes, so a crash in
        // between leaves an index that is rebuilt, never one that lies.
        if (index)
            index->beforeFileChange();
        // The record gets its memo block numbers only once it is written, so
        // that a failed write leaves the buffer as it was for another try.
        std::string withMemos;
        if (!memos.empty()) {
            withMemos = buffer;
            writeMemos(withMemos, memos);
        }
        const std::string& bytes = memos.empty() ? buffer : withMemos;
        if (inserting)
            r = dbf->appendRecord(bytes);
        else
            dbf->writeRecord(r, bytes);
        // A post that returned survives a power loss; a bulk is synced once
        // at its end. A new row whose sync fails leaves the file again: the
        // post failed, and another try must not store it twice.
        if (!dbf->inBulk()) {
            try {
                dbf->sync();
            } catch (const DbaseError&) {
                if (inserting) {
                    try {
                        dbf->takeBackAppends(r, r);
                    } catch (const DbaseError&) {
                        // The disk refuses this as well; the sync's failure is the one to report.
                    }
                }
                throw;
            }
        }
        if (!memos.empty())
            buffer = std::move(withMemos);
        updateIndex(r, inserting ? std::string_view() : std::string_view(original), buffer);
    }
    memos.clear();
    modified = false;
    endEditLock();
    state = TableState::Browse;
    recNo = r;
    bof = eof = false;
    slot = slotOf(r, buffer);
    filteredCount.reset();
    ++writes;
    notifyState();
    notifyData();
}

void Table::Impl::cancel()
{
    if (state != TableState::Edit && state != TableState::Insert)
        return;
    if (state == TableState::Insert) {
        recNo = beforeInsert.recNo;
        slot = beforeInsert.slot;
        bof = beforeInsert.bof;
        eof = beforeInsert.eof;
        if (recNo != 0)
            readRow(recNo, buffer);
        else
            buffer = blank;
    } else {
        buffer = original;
    }
    memos.clear();
    modified = false;
    endEditLock();
    state = TableState::Browse;
    notifyState();
    notifyMoved();
}

std::string Table::Impl::memoData(int field) const
{
    if (const auto it = memos.find(field); it != memos.end())
        return it->second;
    if (const auto p = pending.find(recNo); p != pending.end()) {
        if (const auto it = p->second.memos.find(field); it != p->second.memos.end())
            return it->second;
    }
    const std::uint32_t block = memoBlock(RecordView(layout(), codePage(), buffer), field);
    return block != 0 && memo ? memo->read(block) : std::string();
}

// ---------------------------------------------------------------- Table

TableState Table::state() const { return d->state; }

bool Table::modified() const { return d->modified; }

RecordView Table::storedRecord() const
{
    d->requireActive();
    const std::string& bytes = d->state == TableState::Edit     ? d->original
                               : d->state == TableState::Insert ? d->blank
                                                                : d->buffer;
    return RecordView(d->layout(), d->codePage(), bytes);
}

void Table::setBeforePost(std::function<void(Table&)> handler)
{
    d->beforePost = std::move(handler);
}

void Table::append()
{
    d->requireOpen();
    d->checkWritable();
    d->leaveRecord();
    d->beforeInsert = {d->recNo, d->slot, d->bof, d->eof};
    d->buffer = d->blank;
    d->original.clear();
    d->memos.clear();
    d->modified = false;
    d->state = TableState::Insert;
    d->notifyState();
    d->notifyMoved();
}

void Table::insert() { append(); }

void Table::edit()
{
    d->requireWritable();
    if (d->state != TableState::Browse)
        return;
    if (d->recNo == 0) {
        append();
        return;
    }
    // From the record as stored now, under its lock: what this open shows
    // may be older than another user's post.
    const std::string shown = d->buffer;
    d->lockForEdit(d->recNo);
    d->original = d->buffer;
    d->modified = false;
    d->state = TableState::Edit;
    if (d->buffer != shown)
        d->notifyMoved();
    d->notifyState();
}

void Table::post()
{
    d->requireOpen();
    d->post();
}

void Table::cancel()
{
    d->requireOpen();
    d->cancel();
}

void Table::remove()
{
    d->requireWritable();
    if (d->state == TableState::Insert) {
        d->cancel();
        return;
    }
    if (d->recNo == 0)
        throw DbaseError("Die Tabelle " + d->quotedName()
                         + " ist leer; es gibt keinen Datensatz zum Löschen.");
    if (d->state == TableState::Edit)
        d->cancel();
    const std::uint32_t r = d->recNo;
    // Under the record's lock, so that nobody's edit of it is lost.
    const bool locked = r < firstProvisionalRecNo && !d->cachedUpdates;
    if (locked && !d->dbf->lockRecord(r))
        throw RecordLockedError();
    struct Unlock {
        DbfFile* dbf;
        std::uint32_t r;
        ~Unlock() { if (dbf) dbf->unlockRecord(r); }
    } unlock{locked ? d->dbf.get() : nullptr, r};
    std::ptrdiff_t nextSlot = static_cast<std::ptrdiff_t>(d->slot) + 1;
    if (r >= firstProvisionalRecNo) {
        // A row appended under cached updates and never written just goes;
        // its entries leave the order, so the next row moves into its slot.
        const std::string bytes = d->pending.at(r).bytes;
        d->updateIndex(r, bytes, {});
        d->pending.erase(r);
        std::erase(d->pendingAppends, r);
        --nextSlot;
    } else {
        std::string bytes;
        if (locked)
            d->dbf->readStoredRecord(r, bytes);
        else
            d->readRow(r, bytes);
        bytes[0] = '*';
        if (d->cachedUpdates) {
            d->pending[r].bytes = bytes;
        } else {
            // dBASE keeps the keys of deleted records in its tags, so the
            // index stays valid: nothing to mark.
            d->dbf->writeRecord(r, bytes);
            if (!d->dbf->inBulk())
                d->dbf->sync();
        }
    }
    ++d->writes;
    d->filteredCount.reset();
    if (const auto s = d->findVisible(nextSlot, +1)) {
        d->take(*s);
        d->bof = d->eof = false;
    } else if (const auto p = d->findVisible(static_cast<std::ptrdiff_t>(d->slot) - 1, -1)) {
        d->take(*p);
        d->bof = false;
        d->eof = true;
    } else {
        d->setNoRecord();
    }
    d->notifyData();
    d->notifyMoved();
}

bool Table::takeBackAppend(std::uint32_t r) { return takeBackAppends(r, r); }

bool Table::takeBackAppends(std::uint32_t first, std::uint32_t last)
{
    d->requireWritable();
    if (d->state != TableState::Browse && d->recNo >= first && d->recNo <= last)
        throw DbaseError("Der Datensatz " + std::to_string(d->recNo) + " der Tabelle " + d->quotedName()
                         + " wird gerade bearbeitet und kann nicht zurückgenommen werden.");
    const auto held = d->pending.lower_bound(first);
    if (first == 0 || first > last || last >= firstProvisionalRecNo || last != d->fileCount()
        || (held != d->pending.end() && held->first <= last))
        return false;
    if (d->index)
        d->index->beforeFileChange();
    if (!d->dbf->takeBackAppends(first, last))
        return false;
    d->forgetRowsFrom(first);
    return true;
}

void Table::Impl::forgetRowsFrom(std::uint32_t first)
{
    // Rows held in cached updates carry numbers of their own, far above.
    const auto gone = [first](std::uint32_t r) { return r >= first && r < firstProvisionalRecNo; };
    if (index)
        index->dropRecords(first, firstProvisionalRecNo - 1, rowScan());
    ++writes;
    filteredCount.reset();
    if (gone(beforeInsert.recNo))
        beforeInsert = {0, 0, true, true};
    if (state == TableState::Browse) {
        if (gone(recNo))
            moveFirst();
        else
            relocate();
    } else if (state == TableState::Insert && gone(recNo)) {
        recNo = 0;
        slot = 0;
    }
    notifyData();
    notifyMoved();
}

// ---------------------------------------------------------------- cached updates

void Table::setCachedUpdates(bool on)
{
    if (on == d->cachedUpdates)
        return;
    if (d->dbf) {
        const bool unposted = (d->state == TableState::Edit || d->state == TableState::Insert)
            && d->modified;
        if (!on && (unposted || !d->pending.empty()))
            throw DbaseError("Die Tabelle " + d->quotedName()
                             + " hat zurückgehaltene Änderungen. Sie müssen erst übernommen oder"
                               " verworfen werden, bevor das Zwischenspeichern endet.");
        d->leaveRecord();
    }
    d->cachedUpdates = on;
}

bool Table::cachedUpdates() const { return d->cachedUpdates; }

void Table::applyUpdates()
{
    d->requireActive();
    if (!d->cachedUpdates)
        return;
    d->post();
    if (d->pending.empty())
        return;
    d->requireWritable();
    if (d->index)
        d->index->beforeFileChange();
    const std::size_t total = d->pending.size();
    std::size_t done = 0;
    // The memos first, then the records that name them, the new ones in one
    // bulk: each file is synced once for all the updates, not once a record.
    // An update leaves the held ones only once its record is written.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> appended; // provisional, real number
    const auto adoptAppended = [&] {
        for (const auto& [r, real] : appended) {
            if (real > d->dbf->recordCount())
                break; // its chunk did not reach the file
            const std::string bytes = d->pending.at(r).bytes;
            d->updateIndex(r, bytes, {});
            d->updateIndex(real, {}, bytes);
            std::erase(d->pendingAppends, r);
            d->pending.erase(r);
            if (d->recNo == r)
                d->recNo = real;
            ++done;
        }
    };
    try {
        std::map<std::uint32_t, std::string> stored;
        for (const auto& [r, entry] : d->pending) {
            std::string bytes = entry.bytes;
            d->writeMemos(bytes, entry.memos);
            stored.emplace(r, std::move(bytes));
        }
        d->dbf->beginBulk();
        for (const auto& [r, bytes] : stored) {
            if (r < firstProvisionalRecNo) {
                d->dbf->writeRecord(r, bytes);
                d->pending.erase(r);
                ++done;
            } else {
                appended.emplace_back(r, d->dbf->appendRecord(bytes));
            }
        }
        d->dbf->endBulk();
    } catch (const DbaseError& e) {
        while (d->dbf->inBulk()) {
            try {
                d->dbf->endBulk(); // what was written stays written
            } catch (const DbaseError&) {
                // reported below with the first failure
            }
        }
        adoptAppended();
        ++d->writes;
        d->relocate();
        d->filteredCount.reset();
        throw DbaseError("Von " + std::to_string(total) + " zurückgehaltenen Änderungen der Tabelle "
                         + d->quotedName() + " wurden nur " + std::to_string(done)
                         + " gespeichert; die übrigen bleiben vorgemerkt. " + e.what());
    }
    adoptAppended();
    d->pendingAppends.clear();
    d->nextProvisional = firstProvisionalRecNo;
    if (d->recNo != 0)
        d->readRow(d->recNo, d->buffer);
    d->relocate();
    d->filteredCount.reset();
    ++d->writes;
    d->notifyData();
}

void Table::cancelUpdates()
{
    d->requireActive();
    d->cancel();
    if (!d->pending.empty())
        ++d->writes;
    for (const auto& [r, entry] : d->pending) {
        std::string stored;
        if (r < firstProvisionalRecNo)
            d->dbf->readRecord(r, stored);
        d->updateIndex(r, entry.bytes, stored);
    }
    d->pending.clear();
    d->pendingAppends.clear();
    d->nextProvisional = firstProvisionalRecNo;
    d->filteredCount.reset();
    if (d->recNo != 0 && d->exists(d->recNo)) {
        d->readRow(d->recNo, d->buffer);
        d->relocate();
        if (!d->passes(d->buffer))
            d->moveFirst();
    } else {
        d->moveFirst();
    }
    d->notifyData();
    d->notifyMoved();
}

} // namespace dbase
