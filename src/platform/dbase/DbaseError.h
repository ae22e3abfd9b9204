#pragma once

#include <stdexcept>
#include <string>

namespace dbase {

// The one exception type of the dBASE layer. The message is German-readable
// text for the user and names the file concerned where there is one.
class DbaseError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder that cannot be written because it is write-protected
// (no write permission, a read-only medium or share), as opposed to one that
// is damaged or missing: such a table can still be opened for reading.
class WriteProtectedError : public DbaseError {
public:
    using DbaseError::DbaseError;
};

// An edit refused because another user (another program, window or open of
// the table) holds the record's lock: nothing was changed.
class RecordLockedError : public DbaseError {
public:
    RecordLockedError() : DbaseError("Der Datensatz wird gerade von einem anderen Benutzer bearbeitet.") {}
};

// An edit, delete or post refused because the record was deleted in the
// table file since this open read it: nothing was written.
class RecordDeletedError : public DbaseError {
public:
    RecordDeletedError() : DbaseError("Der Datensatz wurde inzwischen von einem anderen Benutzer gelöscht.") {}
};

} // namespace dbase
