#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dbase {

// The file operations the table and memo files need, in one small interface
// so that tests can put short writes, I/O errors and a process dying halfway
// between the dBASE code and the disk. Every failure throws DbaseError with a
// German message naming the file; nothing reports a failed write as done. A
// file that cannot be opened for writing or made because it or its folder is
// write-protected throws WriteProtectedError.
class FileIo {
public:
    enum class Access { ReadOnly, ReadWrite, Create }; // Create truncates or makes the file
    enum class Lock { Shared, Exclusive };

    virtual ~FileIo() = default;

    virtual void open(const std::filesystem::path& path, Access access) = 0;
    // Reads up to `size` bytes; returns fewer only at the end of the file.
    virtual std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) = 0;
    // Writes all `size` bytes or throws.
    virtual void writeAt(std::uint64_t offset, const char* data, std::size_t size) = 0;
    virtual std::uint64_t size() = 0;
    virtual void truncate(std::uint64_t size) = 0;
    // Makes every write before it durable: once it returned, the bytes
    // survive a power loss. Writes since the last sync may each be lost, cut
    // short or reach the disk in another order than they were made.
    virtual void sync() = 0;
    // Renames the open file over `target` (replacing it in one step); the
    // new name survives a power loss only once syncDirectory() returned.
    virtual void renameTo(const std::filesystem::path& target) = 0;
    // Makes the names in the file's directory durable: renames, new and
    // removed files.
    virtual void syncDirectory() = 0;
    // Removes the open file's name (the open stays usable); the removal
    // survives a power loss only once syncDirectory() returned.
    virtual void removeFile();
    // A lock on the whole file for as long as it is open, held against other
    // processes and other opens in this process; false when refused.
    virtual bool tryLock(Lock lock) = 0;
    // A short-lived lock that serialises appends between shared opens; it
    // waits a few seconds for the other holder, then throws, and does not
    // conflict with tryLock().
    virtual void lockAppend() = 0;
    virtual void unlockAppend() = 0;
    // An exclusive lock on `length` bytes from `offset` (which may lie beyond
    // the end of the file), held against other processes and other opens in
    // this process until unlockRange() or the file is closed; a process that
    // dies loses it. False at once when another open holds any of the bytes.
    // Does not conflict with tryLock(); lockAppend() holds a byte of its own
    // (appendLockOffset) that no record lock meets.
    virtual bool tryLockRange(std::uint64_t offset, std::uint64_t length) = 0;
    virtual void unlockRange(std::uint64_t offset, std::uint64_t length) = 0;
    // The file's size and last change as the system keeps them, read
    // without touching the data: what tells a cache that another open wrote.
    struct Stamp {
        std::uint64_t size = 0;
        std::int64_t changedNs = 0; // nanoseconds since the epoch
        bool operator==(const Stamp&) const = default;
    };
    virtual Stamp stamp() = 0;

    const std::filesystem::path& path() const { return m_path; }

protected:
    std::filesystem::path m_path;
};

// The byte that lockAppend() locks. dBASE programs that lock records on a
// share lock the byte at recordLockBase minus the record number, and the
// byte at recordLockBase itself for the table's header while they append;
// the append lock is that header byte, so an append of theirs and one of
// ours wait for each other, and no record lock meets it.
inline constexpr std::uint64_t recordLockBase = 0x7FFFFFFE;
inline constexpr std::uint64_t appendLockOffset = recordLockBase;

using FileIoFactory = std::function<std::unique_ptr<FileIo>()>;

// The I/O for the next file to open: the operating system's, or what a test
// installed with setFileIoFactory (an empty factory restores the default).
std::unique_ptr<FileIo> makeFileIo();
void setFileIoFactory(FileIoFactory factory);

// Writes a whole new file beside `path` and renames it over `path`, so that
// a failure at any point leaves the old file (or none) and never half of the
// new one. The file and the rename are synced to the disk: after a power
// loss the name holds the old bytes or all of the new ones. Errors name
// `path`, never the new file beside it.
void replaceFile(const std::filesystem::path& path, std::string_view bytes);

// Removes what replaceFile() left beside any of `files` in a process that
// was killed before its rename and no longer runs; the files of a process
// that still runs stay, and one that cannot be removed (a write-protected
// folder) stays without complaint.
void removeStaleReplacements(const std::vector<std::filesystem::path>& files);

// The operating system's error number as German text for messages.
std::string systemErrorText(int errorNumber);

// The operating system's files (POSIX).
std::unique_ptr<FileIo> makeSystemFileIo();

} // namespace dbase
