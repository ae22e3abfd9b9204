#pragma once

#include <filesystem>
#include <memory>

#include "dbase/FileIo.h"

namespace dbase {

// A change of several table and memo files that a killed process or a power
// cut leaves whole or not at all: a rollback journal.
//
// While a change is open, the first write to any table or memo file it
// touches first puts into a journal beside that file what undoes the write:
// the bytes it overwrites (once each), and where the file is to be cut back
// to (its length when the change first took its append lock, or first
// wrote it under an exclusive open). The journal is synced before the write
// reaches the file. commit() syncs every file the change wrote, removes the
// journal and syncs the folder; from then on the change stays.
//
// The journal belongs to one process (its name carries the process number)
// and holds a lock on itself while it lives. A journal whose lock can be
// taken was left by a process that died in the middle of a change:
// rollBackLeftChanges() puts back the bytes, cuts the files back and marks
// the tables' production indexes as stale, so that the next open rebuilds
// them and writes them back. Until the change commits, it also holds the
// append lock of every file it appended to, so that no other user's rows
// land past the length a rollback cuts back to.
//
// A long job that appends much and rewrites rows it could simply rewrite
// again (a data update) journals its appends only: JournalScope::Appends
// keeps of the table files their length and header and nothing of the memo
// files, so that a rollback takes every appended row back (their memo
// blocks stay unused) and leaves the rows it rewrote as they are.
//
// Changes nest: an inner one joins the outermost, which alone commits. A
// change left without commit(), by an error its caller does not put right,
// commits what it wrote all the same: the journal is for processes that
// die, and rolling back under tables this process holds open would leave
// them showing what is no longer there. Only when that commit fails does
// the journal stay, for the next start.
enum class JournalScope { Everything, Appends };

class JournalChange {
public:
    explicit JournalChange(JournalScope scope = JournalScope::Everything);
    ~JournalChange();
    JournalChange(const JournalChange&) = delete;
    JournalChange& operator=(const JournalChange&) = delete;

    // Makes the change durable; a failed sync throws (DbaseError) and leaves
    // the journal, so that the change is rolled back later. Writes after it
    // are no part of the change.
    void commit();

    // Whether a change is open in this process.
    static bool active();

private:
    void end() noexcept;

    bool m_outermost;
    bool m_done = false;
};

// Rolls back the changes that dead processes left in `folder` (their
// journals removed afterwards); journals of running processes stay. Returns
// how many were rolled back. A journal that cannot be read is left; a
// damaged entry ends the journal (it was never synced, so the write it
// guards never happened).
int rollBackLeftChanges(const std::filesystem::path& folder);

// The I/O of a table or memo file opened for writing: writes made while a
// change is open are journaled first.
enum class JournaledFile { Table, Memo };
std::unique_ptr<FileIo> journaled(std::unique_ptr<FileIo> io, JournaledFile kind);

} // namespace dbase
