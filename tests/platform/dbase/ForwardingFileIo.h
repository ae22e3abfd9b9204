#pragma once

#include <cstdint>
#include <memory>

#include "dbase/DbaseError.h"
#include "dbase/FileIo.h"
#include "dbase/ForwardingIo.h"

namespace dbftest {

// The operating system's files with room for a test's interference: every
// call goes through to the real file unless a subclass overrides it, as
// FaultyIo below does with writeAt.
class ForwardingFileIo : public dbase::ForwardingFileIo {
public:
    ForwardingFileIo() : dbase::ForwardingFileIo(dbase::makeSystemFileIo()) {}
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

// Thrown where a simulated process dies; deliberately no DbaseError, so
// nothing in the dBASE code can mistake it for an ordinary failure.
struct SimulatedCrash {};

// What the faulty I/O does to writes, shared by a test and every file opened
// under it.
struct Faults {
    // Writes that still succeed before every later one fails with a
    // DbaseError naming the file, as on a full disk; -1: none fails.
    int writesLeft = -1;
    // Bytes that may still reach the disk before the process dies
    // (SimulatedCrash); -1: it does not.
    std::int64_t bytesLeft = -1;
    // Whether the write that fails or runs out of bytes is cut short (a torn
    // write) or not done at all (all-or-nothing against a killed process).
    bool tear = false;
};

class FaultyIo final : public ForwardingFileIo {
public:
    explicit FaultyIo(std::shared_ptr<Faults> faults) : m_faults(std::move(faults)) {}

    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        Faults& f = *m_faults;
        if (f.writesLeft == 0) {
            if (f.tear)
                m_inner->writeAt(offset, data, size / 2);
            throw dbase::DbaseError("Die Datei \"" + m_path.string() + "\" kann nicht geschrieben werden");
        }
        if (f.writesLeft > 0)
            --f.writesLeft;
        if (f.bytesLeft >= 0 && static_cast<std::int64_t>(size) > f.bytesLeft) {
            if (f.tear && f.bytesLeft > 0)
                m_inner->writeAt(offset, data, static_cast<std::size_t>(f.bytesLeft));
            f.bytesLeft = 0;
            throw SimulatedCrash{};
        }
        if (f.bytesLeft >= 0)
            f.bytesLeft -= static_cast<std::int64_t>(size);
        m_inner->writeAt(offset, data, size);
    }

private:
    std::shared_ptr<Faults> m_faults;
};

// Puts the faulty I/O under every file opened while it lives; it does no harm
// until the test sets `faults`.
struct FaultyIoScope {
    std::shared_ptr<Faults> faults = std::make_shared<Faults>();
    ScopedFileIo io{[f = faults] { return std::make_unique<FaultyIo>(f); }};
};

} // namespace dbftest
