#include "dbase/Journal.h"
#include "dbase/ForwardingIo.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <QString>

#include <unistd.h>

#include "dbase/DbaseError.h"
#include "dbase/MdxFile.h"
#include "files/Paths.h"

namespace dbase {

namespace {

// The journal's name in the folder of the first file a change writes:
// prefix, process number, suffix.
constexpr std::string_view journalPrefix = "dbase-";
constexpr std::string_view journalSuffix = ".journal";
constexpr std::array<char, 8> journalMagic = {'D', 'B', 'J', 'R', 'N', 'L', '1', '\n'};
constexpr std::size_t journalHeaderSize = journalMagic.size() + 8; // magic, salt

// Entry kinds: bytes a write overwrites, and the length a file is cut back to.
constexpr char beforeImage = 'B';
constexpr char cutPoint = 'C';
// kind u8, path length u16, data length u32, offset u64
constexpr std::size_t entryHeadSize = 1 + 2 + 4 + 8;
constexpr std::size_t checksumSize = 8;
// The head of a table or memo file that an append rewrites (count, next
// free block).
constexpr std::uint64_t fileHeadBytes = 32;

void put(std::string& out, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::uint64_t get(const char* p, int bytes)
{
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = value << 8 | static_cast<unsigned char>(p[i]);
    return value;
}

// FNV-1a over the journal's salt and an entry: an entry torn by a power cut,
// or left from an earlier journal of the same name, does not check.
std::uint64_t checksum(std::uint64_t salt, std::string_view bytes)
{
    std::uint64_t hash = 0xcbf29ce484222325ull ^ salt;
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::filesystem::path journalPathIn(const std::filesystem::path& folder)
{
    return folder / (std::string(journalPrefix) + std::to_string(::getpid()) + std::string(journalSuffix));
}

bool isJournalName(const std::string& name)
{
    if (name.size() <= journalPrefix.size() + journalSuffix.size() || !name.starts_with(journalPrefix)
        || !name.ends_with(journalSuffix))
        return false;
    const std::string digits = name.substr(journalPrefix.size(), name.size() - journalPrefix.size() - journalSuffix.size());
    return std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

class JournaledFileIo;

// The journal of the change open in this process.
class JournalFile {
public:
    explicit JournalFile(const std::filesystem::path& folder) : m_path(journalPathIn(folder))
    {
        // A journal of this name is one this process number left in an
        // earlier life, or this process abandoned: it is rolled back first.
        if (std::filesystem::exists(m_path))
            rollBackLeftChanges(folder);
        std::random_device random;
        m_salt = (std::uint64_t(random()) << 32) ^ random() ^ std::uint64_t(::getpid());
        m_io = makeFileIo();
        m_io->open(m_path, FileIo::Access::Create);
        if (!m_io->tryLockRange(0, 1))
            throw DbaseError("Das Änderungsprotokoll \"" + m_path.string() + "\" wird schon verwendet");
        std::string header(journalMagic.begin(), journalMagic.end());
        put(header, m_salt, 8);
        m_io->writeAt(0, header.data(), header.size());
        m_end = header.size();
        m_unsynced = true;
        m_newName = true;
    }

    const std::filesystem::path& path() const { return m_path; }

    void append(char kind, const std::string& file, std::uint64_t offset, std::string_view data)
    {
        std::string entry;
        entry.reserve(entryHeadSize + file.size() + data.size() + checksumSize);
        entry.push_back(kind);
        put(entry, file.size(), 2);
        put(entry, data.size(), 4);
        put(entry, offset, 8);
        entry += file;
        entry += data;
        put(entry, checksum(m_salt, entry), 8);
        m_io->writeAt(m_end, entry.data(), entry.size());
        m_end += entry.size();
        m_unsynced = true;
    }

    // Before a file changes: what undoes it is on the disk, and so is the
    // journal's name.
    void makeDurable()
    {
        if (!m_unsynced)
            return;
        m_io->sync();
        if (std::exchange(m_newName, false))
            m_io->syncDirectory();
        m_unsynced = false;
    }

    // The change stays: the journal goes, its name's removal made durable.
    void remove()
    {
        m_io->removeFile();
        m_io->syncDirectory();
        m_io.reset();
    }

    // Left for the next rollback: the lock goes with the open.
    void abandon() { m_io.reset(); }

private:
    std::filesystem::path m_path;
    std::unique_ptr<FileIo> m_io;
    std::uint64_t m_salt = 0;
    std::uint64_t m_end = 0;
    bool m_unsynced = false;
    bool m_newName = false;
};

struct OpenChange {
    int depth = 0;
    JournalScope scope = JournalScope::Everything;
    std::uint64_t serial = 0;
    std::optional<JournalFile> journal;
    std::vector<JournaledFileIo*> touched;
};

OpenChange& openChange()
{
    static OpenChange change;
    return change;
}

// A table or memo file whose writes during a change are journaled first.
class JournaledFileIo final : public ForwardingFileIo {
public:
    JournaledFileIo(std::unique_ptr<FileIo> inner, JournaledFile kind)
        : ForwardingFileIo(std::move(inner)), m_kind(kind)
    {
    }

    ~JournaledFileIo() override
    {
        if (!joined())
            return;
        // Closed before the change ends: its writes are made safe now, as
        // the commit would.
        try {
            m_inner->sync();
        } catch (const DbaseError&) {
            // The journal stays for the rollback then: the commit fails on
            // its own sync of another file or finds nothing amiss, and the
            // next start checks the table anyway.
        }
        std::erase(openChange().touched, this);
    }

    void open(const std::filesystem::path& path, Access access) override
    {
        ForwardingFileIo::open(path, access);
        std::error_code error;
        const std::filesystem::path absolute = std::filesystem::absolute(path, error);
        m_name = (error ? path : absolute).lexically_normal().string();
    }
    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        beforeChange(offset, offset + size);
        m_inner->writeAt(offset, data, size);
    }
    void truncate(std::uint64_t size) override
    {
        beforeChange(size, std::max(size, m_inner->size()));
        m_inner->truncate(size);
    }
    bool tryLock(Lock lock) override
    {
        const bool taken = m_inner->tryLock(lock);
        m_exclusive = taken && lock == Lock::Exclusive;
        return taken;
    }
    void lockAppend() override
    {
        if (joined() && m_cutAt)
            return; // held since the change first took it
        m_inner->lockAppend();
        m_appendLocked = true;
        if (journaling()) {
            try {
                join();
                if (!m_cutAt)
                    cutAt(m_inner->size());
            } catch (...) {
                m_inner->unlockAppend();
                m_appendLocked = false;
                throw;
            }
        }
    }
    void unlockAppend() override
    {
        if (joined() && m_cutAt)
            return; // kept until the change ends
        m_inner->unlockAppend();
        m_appendLocked = false;
    }

    // The change ended: its writes synced, the lock it kept given back.
    void syncForCommit() { m_inner->sync(); }
    void leave()
    {
        if (m_cutAt && m_appendLocked)
            m_inner->unlockAppend();
        m_appendLocked = false;
        m_serial = 0;
        m_cutAt.reset();
        m_saved.clear();
    }

private:
    bool joined() const { return m_serial != 0 && m_serial == openChange().serial && openChange().depth > 0; }

    // The journal of the open change learns of this file: an exclusive
    // open's length is where the rollback cuts, since nobody else appends.
    void join()
    {
        OpenChange& change = openChange();
        if (joined())
            return;
        if (!change.journal) {
            std::filesystem::path folder = std::filesystem::path(m_name).parent_path();
            change.journal.emplace(folder.empty() ? std::filesystem::path(".") : folder);
        }
        m_serial = change.serial;
        m_saved.clear();
        m_cutAt.reset();
        change.touched.push_back(this);
        // Held from before the change (a key chosen under it): nobody else
        // appended since, and the change keeps it.
        if (m_exclusive || m_appendLocked)
            cutAt(m_inner->size());
    }

    // Where the rollback cuts the file back to. An append writes the
    // header and over the end-of-file mark: both are saved with it, so that
    // the journal is synced once for them.
    void cutAt(std::uint64_t size)
    {
        m_cutAt = size;
        openChange().journal->append(cutPoint, m_name, size, {});
        save(0, std::min<std::uint64_t>(size, fileHeadBytes));
        if (size > 0)
            save(size - 1, size);
    }

    // Journals the bytes in [from, to) that the change has not saved yet
    // and that belong to the file as it was: past the length the rollback
    // cuts to, everything is the change's own.
    void beforeChange(std::uint64_t from, std::uint64_t to)
    {
        if (!journaling())
            return;
        join();
        // A change of appends only keeps the head, whose count it restores.
        save(from, openChange().scope == JournalScope::Appends ? std::min(to, fileHeadBytes) : to);
        openChange().journal->makeDurable();
    }

    bool journaling() const
    {
        const OpenChange& change = openChange();
        return change.depth > 0 && (change.scope == JournalScope::Everything || m_kind == JournaledFile::Table);
    }

    void save(std::uint64_t from, std::uint64_t to)
    {
        OpenChange& change = openChange();
        const std::uint64_t limit = m_cutAt ? *m_cutAt : m_inner->size();
        to = std::min(to, limit);
        std::uint64_t at = from;
        while (at < to) {
            // m_saved: disjoint ranges by start
            auto next = m_saved.upper_bound(at);
            if (next != m_saved.begin()) {
                const auto before = std::prev(next);
                if (before->second > at) {
                    at = before->second;
                    continue;
                }
            }
            const std::uint64_t end = next == m_saved.end() ? to : std::min(to, next->first);
            std::string bytes(end - at, '\0');
            bytes.resize(m_inner->readAt(at, bytes.data(), bytes.size()));
            if (!bytes.empty())
                change.journal->append(beforeImage, m_name, at, bytes);
            m_saved[at] = end;
            at = end;
        }
    }

    JournaledFile m_kind;
    std::string m_name;          // absolute, as the journal names the file
    bool m_exclusive = false;
    bool m_appendLocked = false;
    std::uint64_t m_serial = 0;  // the change this file joined
    std::optional<std::uint64_t> m_cutAt;
    std::map<std::uint64_t, std::uint64_t> m_saved; // ranges journaled: start -> end
};

// One journal's entries, read back.
struct FileUndo {
    std::optional<std::uint64_t> cutAt;
    std::vector<std::pair<std::uint64_t, std::string>> images; // in journal order
};

std::vector<std::pair<std::string, FileUndo>> readEntries(const std::string& bytes)
{
    std::vector<std::pair<std::string, FileUndo>> files;
    if (bytes.size() < journalHeaderSize || !std::equal(journalMagic.begin(), journalMagic.end(), bytes.begin()))
        return files;
    const std::uint64_t salt = get(bytes.data() + journalMagic.size(), 8);
    std::size_t at = journalHeaderSize;
    while (bytes.size() - at >= entryHeadSize + checksumSize) {
        const char* p = bytes.data() + at;
        const std::size_t pathSize = get(p + 1, 2);
        const std::size_t dataSize = get(p + 3, 4);
        const std::size_t size = entryHeadSize + pathSize + dataSize;
        if (bytes.size() - at < size + checksumSize
            || get(p + size, 8) != checksum(salt, std::string_view(p, size)))
            break;
        const std::string path(p + entryHeadSize, pathSize);
        auto file = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == path; });
        if (file == files.end())
            file = files.insert(files.end(), {path, FileUndo{}});
        const std::uint64_t offset = get(p + 7, 8);
        if (p[0] == cutPoint && !file->second.cutAt)
            file->second.cutAt = offset;
        else if (p[0] == beforeImage)
            file->second.images.emplace_back(offset, std::string(p + entryHeadSize + pathSize, dataSize));
        at += size + checksumSize;
    }
    return files;
}

// Puts one file back as the journal found it. A file that is gone has
// nothing left to put back.
void undo(const std::filesystem::path& path, const FileUndo& what)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return;
    const std::unique_ptr<FileIo> io = makeFileIo();
    io->open(path, FileIo::Access::ReadWrite);
    for (auto image = what.images.rbegin(); image != what.images.rend(); ++image)
        io->writeAt(image->first, image->second.data(), image->second.size());
    if (what.cutAt && io->size() > *what.cutAt)
        io->truncate(*what.cutAt);
    io->sync();
}

// The production index beside a table, its name's case ignored.
std::optional<std::filesystem::path> productionIndexOf(const std::filesystem::path& table)
{
    std::string extension = table.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    if (extension != ".dbf")
        return std::nullopt;
    const QString wanted = QString::fromStdString((table.parent_path() / table.stem()).string() + ".mdx");
    const std::optional<QString> found = files::find(wanted);
    if (!found)
        return std::nullopt;
    return std::filesystem::path(found->toStdString());
}

// Rolls back one journal if its process is gone; false when it lives.
bool rollBack(const std::filesystem::path& journal)
{
    const std::unique_ptr<FileIo> io = makeFileIo();
    io->open(journal, FileIo::Access::ReadWrite);
    if (!io->tryLockRange(0, 1))
        return false;
    std::string bytes(io->size(), '\0');
    bytes.resize(io->readAt(0, bytes.data(), bytes.size()));
    const auto files = readEntries(bytes);
    for (const auto& [path, what] : files)
        undo(path, what);
    // The tags may describe rows that are gone now: rebuilt at the next open.
    for (const auto& [path, what] : files) {
        if (const auto index = productionIndexOf(path)) {
            try {
                MdxFile::markDirty(*index);
            } catch (const DbaseError&) {
                // Not an index file the table could use anyway.
            }
        }
    }
    io->removeFile();
    io->syncDirectory();
    return true;
}

} // namespace

JournalChange::JournalChange(JournalScope scope) : m_outermost(openChange().depth == 0)
{
    OpenChange& change = openChange();
    if (m_outermost) {
        ++change.serial;
        change.scope = scope;
    }
    ++change.depth;
}

JournalChange::~JournalChange()
{
    OpenChange& change = openChange();
    if (!m_outermost) {
        --change.depth;
        return;
    }
    if (m_done)
        return;
    // Left by an error its caller did not put right: what was written stays,
    // as without a journal. Only a process that dies leaves one behind.
    try {
        commit();
    } catch (const DbaseError&) {
        if (change.journal)
            change.journal->abandon();
        end();
    }
}

void JournalChange::commit()
{
    if (!m_outermost || m_done)
        return;
    OpenChange& change = openChange();
    for (JournaledFileIo* io : change.touched)
        io->syncForCommit();
    if (change.journal)
        change.journal->remove();
    end();
}

// No more writes are journaled; the append locks kept go back.
void JournalChange::end() noexcept
{
    OpenChange& change = openChange();
    m_done = true;
    change.journal.reset();
    change.depth = 0;
    for (JournaledFileIo* io : std::exchange(change.touched, {})) {
        try {
            io->leave();
        } catch (const DbaseError&) {
            // The lock goes with the file's open at the latest.
        }
    }
}

bool JournalChange::active() { return openChange().depth > 0; }

int rollBackLeftChanges(const std::filesystem::path& folder)
{
    int rolledBack = 0;
    std::error_code error;
    std::vector<std::filesystem::path> journals;
    for (std::filesystem::directory_iterator entry(folder.empty() ? std::filesystem::path(".") : folder, error), end;
         !error && entry != end; entry.increment(error))
        if (std::error_code kind; isJournalName(entry->path().filename().string()) && entry->is_regular_file(kind))
            journals.push_back(entry->path());
    for (const std::filesystem::path& journal : journals)
        if (rollBack(journal))
            ++rolledBack;
    return rolledBack;
}

std::unique_ptr<FileIo> journaled(std::unique_ptr<FileIo> io, JournaledFile kind)
{
    return std::make_unique<JournaledFileIo>(std::move(io), kind);
}

} // namespace dbase
