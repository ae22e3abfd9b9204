#pragma once

#include <algorithm>
#include <memory>
#include <string>

#include "dbase/FileIo.h"

// A file held in memory, so that the fuzzers run the real parsers without
// touching the disk. Every open of any path sees the same bytes.
class MemoryFileIo final : public dbase::FileIo {
public:
    explicit MemoryFileIo(std::shared_ptr<std::string> bytes) : m_bytes(std::move(bytes)) {}

    void open(const std::filesystem::path& path, Access access) override {
        m_path = path;
        if (access == Access::Create)
            m_bytes->clear();
    }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override {
        if (offset >= m_bytes->size())
            return 0;
        const std::size_t n = std::min<std::uint64_t>(size, m_bytes->size() - offset);
        std::copy_n(m_bytes->data() + offset, n, data);
        return n;
    }
    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override {
        if (offset + size > m_bytes->size())
            m_bytes->resize(offset + size, '\0');
        std::copy_n(data, size, m_bytes->data() + offset);
    }
    std::uint64_t size() override { return m_bytes->size(); }
    void truncate(std::uint64_t size) override { m_bytes->resize(size); }
    void sync() override {}
    void renameTo(const std::filesystem::path& target) override { m_path = target; }
    void syncDirectory() override {}
    bool tryLock(Lock) override { return true; }
    void lockAppend() override {}
    void unlockAppend() override {}
    bool tryLockRange(std::uint64_t, std::uint64_t) override { return true; }
    void unlockRange(std::uint64_t, std::uint64_t) override {}
    // One open of bytes nobody else changes: the size is all a cache needs.
    Stamp stamp() override { return {size(), 0}; }

private:
    std::shared_ptr<std::string> m_bytes;
};

// Serves `input` to every file the dBASE layer opens while it lives.
class MemoryFiles {
public:
    explicit MemoryFiles(const std::uint8_t* data, std::size_t size)
        : m_bytes(std::make_shared<std::string>(reinterpret_cast<const char*>(data), size)) {
        dbase::setFileIoFactory([bytes = m_bytes] { return std::make_unique<MemoryFileIo>(bytes); });
    }
    ~MemoryFiles() { dbase::setFileIoFactory({}); }

private:
    std::shared_ptr<std::string> m_bytes;
};
