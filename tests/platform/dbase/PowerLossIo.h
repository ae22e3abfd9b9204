#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "ForwardingFileIo.h"

namespace dbftest {

// What becomes of the writes made since a file's last sync when the power
// goes: what fsync() promises and no more.
enum class Damage {
    Lost,     // none of them reached the disk
    Landed,   // all of them did, in order (as after a killed process)
    TornLast, // all, but the last one only up to its last sector boundary
    Reversed, // all, in reverse order: older bytes land over newer ones
    Shuffled, // each lost, whole, torn at either end or zeros, in any order
};

// The disk under one directory, as it stands after a power loss. Every file
// there when it is made counts as durable. Then each write, truncation and
// rename is kept apart until the sync that makes it durable: a file's sync
// takes its bytes as they are, a directory sync the names. A sector of 512
// bytes is written whole or not at all, as disks do; more than that a write
// may be torn.
//
// The files themselves are written through at once, so the code under test
// reads what it wrote; powerOn() then puts on them what the disk would hold.
class PowerLossDisk {
public:
    static constexpr std::uint64_t sectorSize = 512;

    explicit PowerLossDisk(const std::filesystem::path& directory) : m_directory(key(directory))
    {
        for (const auto& entry : std::filesystem::directory_iterator(m_directory))
            if (entry.is_regular_file())
                known(entry.path());
    }

    // The power goes at the `n`-th change of the disk from now (a write,
    // truncation, sync, rename, removal or directory sync), which does not
    // happen.
    void cutAt(int n) { m_left = n; }
    bool off() const { return m_off; }
    // The changes the disk saw before the power went.
    int changes() const { return m_changes; }

    // --- the file layer's side; each returns whether the power is still on
    bool admit()
    {
        if (m_left == 0)
            m_off = true;
        if (m_off)
            return false;
        if (m_left > 0)
            --m_left;
        ++m_changes;
        return true;
    }
    std::size_t open(const std::filesystem::path& path, bool create)
    {
        const std::filesystem::path name = key(path);
        if (const auto found = m_live.find(name); found != m_live.end()) {
            if (create && admit())
                m_pending.push_back({found->second, 0, {}, 0});
            return found->second;
        }
        if (!create)
            return known(name);
        m_nodes.emplace_back();
        return m_live[name] = m_nodes.size() - 1;
    }
    void write(std::size_t node, std::uint64_t offset, std::string bytes)
    {
        if (admit())
            m_pending.push_back({node, offset, std::move(bytes), std::nullopt});
    }
    void truncate(std::size_t node, std::uint64_t size)
    {
        if (admit())
            m_pending.push_back({node, 0, {}, size});
    }
    void sync(std::size_t node, std::string contents)
    {
        if (!admit())
            return;
        m_nodes[node] = std::move(contents);
        std::erase_if(m_pending, [&](const Change& c) { return c.node == node; });
    }
    void rename(const std::filesystem::path& from, const std::filesystem::path& to)
    {
        if (!admit())
            return;
        const auto found = m_live.find(key(from));
        m_live[key(to)] = found->second;
        m_live.erase(found);
    }
    void remove(const std::filesystem::path& path)
    {
        if (admit())
            m_live.erase(key(path));
    }
    void syncDirectory()
    {
        if (admit())
            m_durable = m_live;
    }

    // Writes onto the files what survived under `damage` (`seed` draws the
    // fates of Shuffled) and removes the names that did not.
    void powerOn(Damage damage, unsigned seed = 0) const
    {
        std::vector<std::string> disk = m_nodes;
        std::mt19937 random(seed);
        std::vector<Change> landing;
        for (std::size_t i = 0; i < m_pending.size(); ++i) {
            Change c = m_pending[i];
            const bool last = i + 1 == m_pending.size();
            switch (damage) {
            case Damage::Lost: continue;
            case Damage::Landed: break;
            case Damage::TornLast:
                if (last)
                    c = tornFront(c);
                break;
            case Damage::Reversed: break;
            case Damage::Shuffled:
                switch (random() % 5) {
                case 0: continue;
                case 1: break;
                case 2: c = tornFront(c); break;
                case 3: c = tornBack(c); break;
                case 4: std::fill(c.bytes.begin(), c.bytes.end(), '\0'); break;
                }
                break;
            }
            landing.push_back(std::move(c));
        }
        if (damage == Damage::Reversed)
            std::reverse(landing.begin(), landing.end());
        if (damage == Damage::Shuffled)
            std::shuffle(landing.begin(), landing.end(), random);
        for (const Change& c : landing)
            apply(disk[c.node], c);

        for (const auto& entry : std::filesystem::directory_iterator(m_directory))
            if (entry.is_regular_file() && !m_durable.contains(key(entry.path())))
                std::filesystem::remove(entry.path());
        for (const auto& [name, node] : m_durable)
            overwrite(name, disk[node]);
    }

    // Puts `bytes` into a file, writing only what differs: truncating opens
    // are slow on some file systems, and most files come back as they were.
    static void overwrite(const std::filesystem::path& path, const std::string& bytes)
    {
        std::fstream file(path, std::ios::in | std::ios::out | std::ios::binary);
        if (!file) {
            std::ofstream(path, std::ios::binary) << bytes;
            return;
        }
        const std::string old{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
        if (old == bytes)
            return;
        file.clear();
        file.seekp(0);
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.close();
        if (old.size() > bytes.size())
            std::filesystem::resize_file(path, bytes.size());
    }

private:
    struct Change {
        std::size_t node;
        std::uint64_t offset;
        std::string bytes;
        std::optional<std::uint64_t> truncateTo;
    };

    static std::filesystem::path key(const std::filesystem::path& path)
    {
        return std::filesystem::absolute(path).lexically_normal();
    }

    // A file that was there before: durable as it is.
    std::size_t known(const std::filesystem::path& path)
    {
        std::ifstream in(path, std::ios::binary);
        m_nodes.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        const std::size_t node = m_nodes.size() - 1;
        m_live[key(path)] = node;
        m_durable[key(path)] = node;
        return node;
    }

    // Only the sectors before the write's last sector boundary landed.
    static Change tornFront(Change c)
    {
        if (c.truncateTo)
            return c;
        const std::uint64_t end = c.offset + c.bytes.size();
        const std::uint64_t cut = (end - 1) / sectorSize * sectorSize;
        c.bytes.resize(cut > c.offset ? cut - c.offset : 0);
        return c;
    }
    // Only the sectors after its first boundary landed.
    static Change tornBack(Change c)
    {
        if (c.truncateTo)
            return c;
        const std::uint64_t cut = (c.offset / sectorSize + 1) * sectorSize;
        const std::uint64_t skip = std::min<std::uint64_t>(cut - c.offset, c.bytes.size());
        c.bytes.erase(0, skip);
        c.offset += skip;
        return c;
    }
    static void apply(std::string& file, const Change& c)
    {
        if (c.truncateTo) {
            file.resize(*c.truncateTo, '\0');
            return;
        }
        if (c.bytes.empty())
            return;
        if (file.size() < c.offset + c.bytes.size())
            file.resize(c.offset + c.bytes.size(), '\0');
        std::copy(c.bytes.begin(), c.bytes.end(), file.begin() + static_cast<std::ptrdiff_t>(c.offset));
    }

    std::filesystem::path m_directory;
    std::vector<std::string> m_nodes;                        // each file's synced bytes
    std::map<std::filesystem::path, std::size_t> m_live;    // names as the programs see them
    std::map<std::filesystem::path, std::size_t> m_durable; // names as of the last directory sync
    std::vector<Change> m_pending;                           // unsynced, in the order made
    int m_left = -1;
    int m_changes = 0;
    bool m_off = false;
};

// The system's files, every change also told to the disk model; syncs reach
// only the model, which keeps the tests fast.
class PowerLossIo final : public ForwardingFileIo {
public:
    explicit PowerLossIo(std::shared_ptr<PowerLossDisk> disk) : m_disk(std::move(disk)) {}

    void open(const std::filesystem::path& path, Access access) override
    {
        ForwardingFileIo::open(path, access);
        m_node = m_disk->open(path, access == Access::Create);
    }
    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        m_inner->writeAt(offset, data, size);
        m_disk->write(m_node, offset, std::string(data, size));
    }
    void truncate(std::uint64_t size) override
    {
        m_inner->truncate(size);
        m_disk->truncate(m_node, size);
    }
    void sync() override
    {
        std::string contents(m_inner->size(), '\0');
        contents.resize(m_inner->readAt(0, contents.data(), contents.size()));
        m_disk->sync(m_node, std::move(contents));
    }
    void renameTo(const std::filesystem::path& target) override
    {
        m_disk->rename(m_path, target);
        ForwardingFileIo::renameTo(target);
    }
    void syncDirectory() override { m_disk->syncDirectory(); }
    void removeFile() override
    {
        m_disk->remove(m_path);
        ForwardingFileIo::removeFile();
    }

private:
    std::shared_ptr<PowerLossDisk> m_disk;
    std::size_t m_node = 0;
};

// Every fate of the unsynced writes a test puts a cut through.
struct Fate {
    Damage damage;
    unsigned seed;
};
inline constexpr Fate everyFate[] = {{Damage::Lost, 0},     {Damage::Landed, 0},   {Damage::TornLast, 0},
                                     {Damage::Reversed, 0}, {Damage::Shuffled, 1}, {Damage::Shuffled, 2},
                                     {Damage::Shuffled, 3}};

// The regular files of the current directory as they are now, to be put
// back before each run: a job's start, or what a kill would leave.
class DirectoryFiles {
public:
    DirectoryFiles()
    {
        for (const auto& entry : std::filesystem::directory_iterator("."))
            if (entry.is_regular_file()) {
                std::ifstream in(entry.path(), std::ios::binary);
                m_files[entry.path().filename()] = {std::istreambuf_iterator<char>(in),
                                                    std::istreambuf_iterator<char>()};
            }
    }
    void restore() const
    {
        for (const auto& entry : std::filesystem::directory_iterator("."))
            if (entry.is_regular_file() && !m_files.contains(entry.path().filename()))
                std::filesystem::remove(entry.path());
        for (const auto& [name, bytes] : m_files)
            PowerLossDisk::overwrite(name, bytes);
    }

private:
    std::map<std::filesystem::path, std::string> m_files;
};

// Puts the power-loss layer under every file opened while it lives.
struct PowerLossScope {
    explicit PowerLossScope(const std::filesystem::path& directory)
        : disk(std::make_shared<PowerLossDisk>(directory))
    {
    }
    std::shared_ptr<PowerLossDisk> disk;
    ScopedFileIo io{[d = disk] { return std::make_unique<PowerLossIo>(d); }};
};

} // namespace dbftest
