#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "dbase/FileIo.h"

namespace dbase {

// A file whose every call goes through to another FileIo, for a subclass
// that looks at or changes some of them: the journal that records what a
// write overwrites, a test's disk that fails or forgets writes.
class ForwardingFileIo : public FileIo {
public:
    explicit ForwardingFileIo(std::unique_ptr<FileIo> inner) : m_inner(std::move(inner)) {}

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
    void renameTo(const std::filesystem::path& target) override
    {
        m_inner->renameTo(target);
        m_path = target;
    }
    void syncDirectory() override { m_inner->syncDirectory(); }
    void removeFile() override { m_inner->removeFile(); }
    bool tryLock(Lock lock) override { return m_inner->tryLock(lock); }
    void lockAppend() override { m_inner->lockAppend(); }
    void unlockAppend() override { m_inner->unlockAppend(); }
    bool tryLockRange(std::uint64_t offset, std::uint64_t length) override
    {
        return m_inner->tryLockRange(offset, length);
    }
    void unlockRange(std::uint64_t offset, std::uint64_t length) override { m_inner->unlockRange(offset, length); }
    Stamp stamp() override { return m_inner->stamp(); }

protected:
    const std::unique_ptr<FileIo> m_inner;
};

} // namespace dbase
