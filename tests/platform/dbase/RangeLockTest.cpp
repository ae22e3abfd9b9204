#include <gtest/gtest.h>

#include <csignal>
#include <fstream>

#include "ChildProcess.h"
#include "dbase/FileIo.h"
#include "fixtures/TempDir.h"

using namespace dbase;

namespace {

std::unique_ptr<FileIo> openFile(const std::filesystem::path& path)
{
    std::unique_ptr<FileIo> io = makeSystemFileIo();
    io->open(path, FileIo::Access::ReadWrite);
    return io;
}

class RangeLockTest : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(path) << "x"; }
    fixtures::TempDir dir;
    std::filesystem::path path = dir.path() / "t.dbf";
};

// A record lock far beyond the file's end, as record locks are.
constexpr std::uint64_t farByte = recordLockBase - 7;

TEST_F(RangeLockTest, TwoOpensInOneProcessExcludeEachOtherOnTheSameBytesOnly)
{
    auto a = openFile(path);
    auto b = openFile(path);
    ASSERT_TRUE(a->tryLockRange(farByte, 1));
    EXPECT_FALSE(b->tryLockRange(farByte, 1));
    EXPECT_TRUE(b->tryLockRange(farByte - 1, 1));
    EXPECT_TRUE(a->tryLockRange(farByte, 1)) << "a lock held by this open is taken again";
    a->unlockRange(farByte, 1);
    EXPECT_TRUE(b->tryLockRange(farByte, 1));
    b.reset(); // closing drops every lock of the open
    EXPECT_TRUE(a->tryLockRange(farByte, 1));
    EXPECT_TRUE(a->tryLockRange(farByte - 1, 1));
}

TEST_F(RangeLockTest, RecordLocksNeitherMeetTheAppendLockNorTheWholeFileLock)
{
    auto a = openFile(path);
    auto b = openFile(path);
    ASSERT_TRUE(a->tryLock(FileIo::Lock::Shared));
    ASSERT_TRUE(b->tryLock(FileIo::Lock::Shared));
    a->lockAppend();
    EXPECT_TRUE(b->tryLockRange(recordLockBase - 1, 1)) << "record 1 is free while another appends";
    EXPECT_FALSE(b->tryLockRange(appendLockOffset, 1)) << "the append lock is the header's lock byte";
    a->unlockAppend();
    EXPECT_TRUE(b->tryLockRange(appendLockOffset, 1));
    b->unlockRange(appendLockOffset, 1);
}

TEST_F(RangeLockTest, ALockOfAnotherProcessRefusesAndDiesWithIt)
{
    dbftest::ChildSignal ready;
    const pid_t child = dbftest::startChild([&] {
        auto io = openFile(path);
        ready.send(io->tryLockRange(farByte, 1) ? 'y' : 'n');
        ::pause(); // holds the lock until killed
        return 0;
    });
    ASSERT_EQ(ready.wait(), 'y');
    auto io = openFile(path);
    EXPECT_FALSE(io->tryLockRange(farByte, 1));
    ::kill(child, SIGKILL);
    dbftest::exitCodeOf(child);
    EXPECT_TRUE(io->tryLockRange(farByte, 1)) << "a killed process leaves no lock behind";
}

TEST_F(RangeLockTest, TheStampMovesWithEveryWriteOfAnyOpen)
{
    auto a = openFile(path);
    auto b = openFile(path);
    const FileIo::Stamp before = a->stamp();
    EXPECT_EQ(before, b->stamp());
    EXPECT_EQ(before.size, 1u);
    b->writeAt(0, "yz", 2);
    const FileIo::Stamp after = a->stamp();
    EXPECT_EQ(after.size, 2u);
    EXPECT_NE(after, before);
}

} // namespace
