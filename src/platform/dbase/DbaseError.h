#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

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

// Bytes read from a file (a field name, a type letter) as they may appear in
// a message: printable ASCII as it is, every other byte as \xNN, so that a
// damaged file can neither put control characters on the screen nor bytes
// that are no text at all.
inline std::string lesbar(std::string_view bytes)
{
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b >= 0x20 && b < 0x7F && b != '\\') {
            text += c;
        } else {
            char escaped[5];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", b);
            text += escaped;
        }
    }
    return text;
}

} // namespace dbase
