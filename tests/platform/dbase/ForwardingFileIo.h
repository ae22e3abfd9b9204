#pragma once

#include <memory>

#include "dbase/FileIo.h"

namespace dbftest {

// The operating system's files with room for a test's interference: every
// call goes through to the real file unless a subclass overrides it, as the
// fault-injecting tests do with writeAt.
class ForwardingFileIo : public dbase::FileIo {
public:
    void open(const std::filesystem::path& path, Access access) override
    {
        m_path = path;
        m_inner->open(path, access);
    }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override
    {
        return m_inner->readAt(offset, data, size);
    }
    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        m_inner->writeAt(offset, data, size);
    }
    std::uint64_t size() override { return m_inner->size(); }
    void truncate(std::uint64_t size) override { m_inner->truncate(size); }
    void sync() override { m_inner->sync(); }
    bool tryLock(Lock lock) override { return m_inner->tryLock(lock); }
    void lockAppend() override { m_inner->lockAppend(); }
    void unlockAppend() override { m_inner->unlockAppend(); }

protected:
    const std::unique_ptr<dbase::FileIo> m_inner = dbase::makeSystemFileIo();
};

// Puts a test's I/O under every table, memo and index file opened while it
// lives; the system's comes back at the end.
class ScopedFileIo {
public:
    explicit ScopedFileIo(dbase::FileIoFactory factory) { dbase::setFileIoFactory(std::move(factory)); }
    ~ScopedFileIo() { dbase::setFileIoFactory({}); }
    ScopedFileIo(const ScopedFileIo&) = delete;
    ScopedFileIo& operator=(const ScopedFileIo&) = delete;
};

} // namespace dbftest
