#pragma once

#include <vector>

#include <QString>

#include "ini/IniError.h"

namespace ini {

// Changes to a settings file that are written together (IniFile::write):
// the file is read once and replaced once, so the values are stored all or
// none, and the disk is asked to keep them once.
class IniChanges {
public:
    struct Change {
        QString section;
        QString key;
        QString value;
        bool remove = false; // the key's line goes; the section stays
    };

    IniChanges& setString(const QString& section, const QString& key, const QString& value);
    IniChanges& setInteger(const QString& section, const QString& key, int value);
    IniChanges& setBool(const QString& section, const QString& key, bool value);
    // Removes the key's line (the first one of the first section of that
    // name, the one reads see); a missing key is no error.
    IniChanges& removeKey(const QString& section, const QString& key);

    const std::vector<Change>& changes() const { return m_changes; }

private:
    std::vector<Change> m_changes;
};

// A settings file with the rules of the Windows private-profile functions:
//
// - Every read looks at the file as it is now; a missing file, section or
//   key gives the default. Reads never fail.
// - Section and key names are found without regard to case; blanks around
//   names and values do not count; one pair of matching double or single
//   quotes around a value is dropped. A string comes back whole, however
//   long: the profile functions cut it at 2047 characters, which turned a
//   long saved filter into a broken or another one; they still read the
//   first 2047 of what is written here. The first section of a name is the
//   one that counts, and in it the first line of a key.
// - Integers are written in decimal. A text of more than two characters
//   starting with 0x or 0X is read as hexadecimal (32 bits, 0xFFFFFFFF is
//   -1), any other as decimal with an optional sign; a text that is not
//   wholly such a number, or is out of range, gives the default. Booleans
//   are written "1" and "0" and read as integers: any number but 0 is true.
// - A write changes the key's line only (its spelling, place and line end
//   kept), adds a new key after the last key of its section and a new
//   section at the end of the file; every other byte of the file stays as it
//   was. New lines end as the file's first line does (CR LF in a new file).
//   The file is created by the first write and replaced atomically; a write
//   that cannot be done throws IniError and leaves the file as it was.
// - The file is Windows-1252 text; UTF-8 when it starts with the UTF-8
//   byte-order mark or is valid UTF-8 throughout; UTF-16 in either byte
//   order when it starts with that byte-order mark (an editor's "Unicode").
//   A mark is kept, and written lines are in the file's own code page.
//   Lines end with CR LF, LF or a lone CR. Its name is looked up ignoring
//   case.
class IniFile {
public:
    explicit IniFile(QString fileName);

    const QString& fileName() const { return m_fileName; }

    QString readString(const QString& section, const QString& key, const QString& defaultValue) const;
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    // Throws IniError when the file cannot be read or written, and when a
    // name or value cannot be stored: line breaks anywhere, "=" in a key,
    // "]" in a section, a blank name, characters the file's code page lacks.
    // Then nothing of the changes is written.
    void write(const IniChanges& changes);
    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);

private:
    QString m_fileName;
};

} // namespace ini
