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
    // Makes the names in the file's directory durable: renames and new files.
    virtual void syncDirectory() = 0;
    // A lock on the whole file for as long as it is open, held against other
    // processes and other opens in this process; false when refused.
    virtual bool tryLock(Lock lock) = 0;
    // A short-lived lock that serialises appends between shared opens; it
    // waits a few seconds for the other holder, then throws, and does not
    // conflict with tryLock().
    virtual void lockAppend() = 0;
    virtual void unlockAppend() = 0;

    const std::filesystem::path& path() const { return m_path; }

protected:
    std::filesystem::path m_path;
};

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
