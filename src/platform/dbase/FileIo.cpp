#include "dbase/FileIo.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <map>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "dbase/DbaseError.h"

namespace dbase {

namespace {

#ifdef F_OFD_SETLK
constexpr int setLock = F_OFD_SETLK;
#else
// Without open-file-description locks (not Linux) the lock belongs to the
// process: it still keeps other processes out, though not a second open here.
constexpr int setLock = F_SETLK;
#endif

// How long an append waits for another open that holds the append lock: a
// bulk append holds it while it gathers records, and the holder may be
// another table object of this very process, which waiting forever would
// freeze.
constexpr auto appendLockPatience = std::chrono::seconds(3);
constexpr auto appendLockRetry = std::chrono::milliseconds(2);

// What stands between a file's name and the number of the process that
// writes its replacement.
constexpr std::string_view replacementMark = ".new";

bool writeProtection(int errorNumber) {
    return errorNumber == EACCES || errorNumber == EPERM || errorNumber == EROFS;
}

// A write refused by the system: write-protection has its own error type,
// since a table that cannot be written can still be read.
[[noreturn]] void throwWriteFailure(const std::string& message, int errorNumber) {
    const std::string text = message + ": " + systemErrorText(errorNumber);
    if (writeProtection(errorNumber))
        throw WriteProtectedError(text);
    throw DbaseError(text);
}

class SystemFileIo final : public FileIo {
public:
    ~SystemFileIo() override {
        if (m_fd >= 0)
            ::close(m_fd); // also releases the locks
    }

    void open(const std::filesystem::path& path, Access access) override {
        m_path = path;
        int flags = O_CLOEXEC;
        switch (access) {
        case Access::ReadOnly: flags |= O_RDONLY; break;
        case Access::ReadWrite: flags |= O_RDWR; break;
        case Access::Create: flags |= O_RDWR | O_CREAT | O_TRUNC; break;
        }
        m_fd = ::open(path.c_str(), flags, 0666);
        if (m_fd < 0 && access != Access::ReadOnly && writeProtection(errno))
            throwWriteFailure("Die Datei \"" + m_path.string() + "\" kann nicht geschrieben werden", errno);
        if (m_fd < 0)
            fail("kann nicht geöffnet werden");
        struct stat info {};
        if (::fstat(m_fd, &info) == 0 && !S_ISREG(info.st_mode)) {
            ::close(m_fd);
            m_fd = -1;
            throw DbaseError("\"" + m_path.string() + "\" ist keine Datei");
        }
    }

    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pread(m_fd, data + done, size - done,
                                      static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                fail("kann nicht gelesen werden");
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        return done;
    }

    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        std::size_t done = 0;
        while (done < size) {
            const ssize_t n = ::pwrite(m_fd, data + done, size - done,
                                       static_cast<off_t>(offset + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                fail("kann nicht geschrieben werden");
            done += static_cast<std::size_t>(n);
        }
    }

    std::uint64_t size() override {
        struct stat info {};
        if (::fstat(m_fd, &info) != 0)
            fail("kann nicht gelesen werden");
        return static_cast<std::uint64_t>(info.st_size);
    }

    void truncate(std::uint64_t size) override {
        if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
            fail("kann nicht gekürzt werden");
    }

    void sync() override {
        if (::fsync(m_fd) != 0)
            fail("kann nicht auf den Datenträger geschrieben werden");
    }

    void renameTo(const std::filesystem::path& target) override {
        std::error_code error;
        std::filesystem::rename(m_path, target, error);
        if (error)
            throwWriteFailure("Die Datei \"" + target.string() + "\" kann nicht geschrieben werden",
                              error.value());
        m_path = target;
    }

    // A file system that cannot sync a directory still has the renamed file,
    // so failures here are not errors.
    void syncDirectory() override {
        const std::filesystem::path directory = m_path.parent_path();
        const std::string name = directory.empty() ? std::string(".") : directory.string();
        const int fd = ::open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }

    bool tryLock(Lock lock) override {
        const int operation = (lock == Lock::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
        while (::flock(m_fd, operation) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EWOULDBLOCK)
                return false;
            fail("kann nicht gesperrt werden");
        }
        return true;
    }

    void lockAppend() override {
        const auto deadline = std::chrono::steady_clock::now() + appendLockPatience;
        while (!appendLock(F_WRLCK)) {
            if (std::chrono::steady_clock::now() >= deadline)
                throw DbaseError("Die Datei \"" + m_path.string()
                                 + "\" wird gerade von einem anderen Programm oder Fenster "
                                   "beschrieben; bitte versuchen Sie es später noch einmal");
            std::this_thread::sleep_for(appendLockRetry);
        }
    }
    void unlockAppend() override { appendLock(F_UNLCK); }

    bool tryLockRange(std::uint64_t offset, std::uint64_t length) override {
        return lockRegion(F_WRLCK, offset, length);
    }
    void unlockRange(std::uint64_t offset, std::uint64_t length) override {
        lockRegion(F_UNLCK, offset, length);
    }

    Stamp stamp() override {
        struct stat info {};
        if (::fstat(m_fd, &info) != 0)
            fail("kann nicht gelesen werden");
        // The change time moves with every write and every truncation, and
        // unlike the modification time no program sets it back.
        return Stamp{static_cast<std::uint64_t>(info.st_size),
                     std::int64_t(info.st_ctim.tv_sec) * 1'000'000'000 + info.st_ctim.tv_nsec};
    }

private:
    bool appendLock(short type) { return lockRegion(type, appendLockOffset, 1); }

    // Open-file-description locks: independent of flock() and owned by this
    // open, so two opens in one process exclude each other as well. False
    // when another open holds the lock.
    bool lockRegion(short type, std::uint64_t offset, std::uint64_t length) {
        struct flock region {};
        region.l_type = type;
        region.l_whence = SEEK_SET;
        region.l_start = static_cast<off_t>(offset);
        region.l_len = static_cast<off_t>(length);
        while (::fcntl(m_fd, setLock, &region) != 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EACCES)
                return false;
            fail("kann nicht gesperrt werden");
        }
        return true;
    }

    [[noreturn]] void fail(const char* what) const {
        throw DbaseError("Die Datei \"" + m_path.string() + "\" " + what + ": " + systemErrorText(errno));
    }

    int m_fd = -1;
};

} // namespace

void FileIo::removeFile() {
    std::error_code error;
    if (!std::filesystem::remove(m_path, error) && error)
        throwWriteFailure("Die Datei \"" + m_path.string() + "\" kann nicht entfernt werden", error.value());
}

namespace {

FileIoFactory& factorySlot() {
    static FileIoFactory factory; // set by tests only
    return factory;
}

} // namespace

std::unique_ptr<FileIo> makeSystemFileIo() { return std::make_unique<SystemFileIo>(); }

std::unique_ptr<FileIo> makeFileIo() {
    const FileIoFactory& factory = factorySlot();
    return factory ? factory() : makeSystemFileIo();
}

void setFileIoFactory(FileIoFactory factory) { factorySlot() = std::move(factory); }

namespace {

// The user knows the file being written, not the new one beside it.
std::string naming(std::string message, const std::string& temporary, const std::string& path) {
    for (std::size_t at = message.find(temporary); at != std::string::npos;
         at = message.find(temporary, at + path.size()))
        message.replace(at, temporary.size(), path);
    return message;
}

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size()
        && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// Whether the number names a running process; one that runs under another
// user counts too.
bool processRuns(pid_t pid) {
    return ::kill(pid, 0) == 0 || errno == EPERM;
}

// The number of the process whose replacement of `file` the name `name`
// is; 0 when it is none.
pid_t replacementOwner(std::string_view name, std::string_view file) {
    const std::size_t prefix = file.size() + replacementMark.size();
    if (name.size() <= prefix || name.size() > prefix + 9 || !equalIgnoringCase(name.substr(0, file.size()), file)
        || name.substr(file.size(), replacementMark.size()) != replacementMark)
        return 0;
    const std::string_view digits = name.substr(prefix);
    if (!std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return 0;
    return static_cast<pid_t>(std::stol(std::string(digits)));
}

} // namespace

void replaceFile(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary = path;
    temporary += std::string(replacementMark) + std::to_string(::getpid());
    std::error_code ignored;
    std::unique_ptr<FileIo> io = makeFileIo();
    try {
        io->open(temporary, FileIo::Access::Create);
        io->writeAt(0, bytes.data(), bytes.size());
        io->sync(); // the bytes before the name: a rename may reach the disk first
        io->renameTo(path);
    } catch (const WriteProtectedError& error) {
        io.reset();
        std::filesystem::remove(temporary, ignored);
        throw WriteProtectedError(naming(error.what(), temporary.string(), path.string()));
    } catch (const DbaseError& error) {
        io.reset();
        std::filesystem::remove(temporary, ignored);
        throw DbaseError(naming(error.what(), temporary.string(), path.string()));
    } catch (...) {
        io.reset();
        std::filesystem::remove(temporary, ignored);
        throw;
    }
    io->syncDirectory();
}

void removeStaleReplacements(const std::vector<std::filesystem::path>& files) {
    std::map<std::filesystem::path, std::vector<std::string>> byDirectory;
    for (const std::filesystem::path& file : files)
        byDirectory[file.parent_path().empty() ? std::filesystem::path(".") : file.parent_path()].push_back(
            file.filename().string());
    for (const auto& [directory, names] : byDirectory) {
        std::error_code error;
        for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
             entry.increment(error)) {
            const std::string name = entry->path().filename().string();
            for (const std::string& file : names) {
                const pid_t owner = replacementOwner(name, file);
                if (owner > 0 && !processRuns(owner)) {
                    std::error_code ignored;
                    std::filesystem::remove(entry->path(), ignored);
                }
            }
        }
    }
}

std::string systemErrorText(int errorNumber) {
    switch (errorNumber) {
    case EACCES:
    case EPERM: return "keine Berechtigung";
    case EROFS: return "der Datenträger ist schreibgeschützt";
    case ENOENT: return "die Datei oder ihr Ordner ist nicht vorhanden";
    case ENOSPC: return "auf dem Datenträger ist kein Platz mehr frei";
    case EDQUOT: return "der zugeteilte Speicherplatz ist aufgebraucht";
    case EIO: return "Ein-/Ausgabefehler des Datenträgers";
    case EISDIR: return "es ist ein Ordner";
    case ENOTDIR: return "ein Teil des Pfades ist kein Ordner";
    case ENAMETOOLONG: return "der Name ist zu lang";
    case EMFILE:
    case ENFILE: return "es sind zu viele Dateien geöffnet";
    case EBUSY:
    case ETXTBSY: return "die Datei wird gerade verwendet";
    case EFBIG: return "die Datei wird zu groß";
    case ENOLCK: return "der Datenträger kennt keine Sperren";
    case EEXIST: return "die Datei ist schon vorhanden";
    default: return "Fehler " + std::to_string(errorNumber) + " des Betriebssystems";
    }
}

} // namespace dbase
