#include <gtest/gtest.h>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <fstream>

#include "ChildProcess.h"
#include "DbfTestSupport.h"
#include "TableTestSupport.h"
#include "dbase/FileIo.h"
#include "fixtures/TempDir.h"

namespace {

constexpr int cannotProtect = 77;

bool writeText(const char* file, const std::string& text)
{
    std::ofstream out(file);
    out << text;
    return static_cast<bool>(out.flush());
}

// Makes `directory` read-only for this process alone, as a CD or a
// read-only share is, for the root user too: a private mount namespace
// with a read-only bind mount of it. False where the system allows no
// namespace of one's own.
bool mountReadOnly(const std::filesystem::path& directory)
{
    const std::string ids = std::to_string(::getuid()) + " " + std::to_string(::getuid()) + " 1";
    const std::string groups = std::to_string(::getgid()) + " " + std::to_string(::getgid()) + " 1";
    return ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 && writeText("/proc/self/setgroups", "deny")
        && writeText("/proc/self/uid_map", ids) && writeText("/proc/self/gid_map", groups)
        && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0
        && ::mount(directory.c_str(), directory.c_str(), nullptr, MS_BIND, nullptr) == 0
        && ::mount(nullptr, directory.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0
        // The current directory still lies on the mount below.
        && ::chdir(directory.c_str()) == 0;
}

// The message of the write-protection error `body` throws; what it threw
// instead, marked as such.
std::string writeProtectionOf(const std::function<void()>& body)
{
    try {
        body();
    } catch (const dbase::WriteProtectedError& error) {
        return error.what();
    } catch (const std::exception& error) {
        return std::string("(not write protection) ") + error.what();
    }
    return "(no error)";
}

} // namespace

TEST(WriteProtection, AWriteProtectedFolderRefusesWritesInGermanAndStillOpensForReading)
{
    fixtures::TempDir dir;
    tabletest::makeNameTable(QStringLiteral("t.dbf"), tabletest::sampleNames());

    // The child reports what went wrong, line by line, through a pipe.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const int code = dbftest::inChild([&] {
        ::close(pipe[0]);
        if (!mountReadOnly(dir.path()))
            return cannotProtect;
        std::string failures;
        const auto expectProtected = [&](const std::string& what, const std::string& message,
                                         const std::string& names) {
            if (message.rfind("Die Datei ", 0) != 0
                || message.find(names + "\" kann nicht geschrieben werden: der Datenträger ist schreibgeschützt")
                    == std::string::npos
                || message.find(".new") != std::string::npos)
                failures += what + ": " + message + "\n";
        };
        expectProtected("file open", writeProtectionOf([&] {
                            dbase::makeSystemFileIo()->open(dir.file("t.dbf"), dbase::FileIo::Access::ReadWrite);
                        }),
                        "t.dbf");
        expectProtected("replacement", writeProtectionOf([&] { dbase::replaceFile(dir.file("t.mdx"), "neu"); }),
                        "t.mdx");
        dbase::Table table;
        table.setTableName(QStringLiteral("t.dbf"));
        expectProtected("table open", writeProtectionOf([&] { table.open(); }), "t.dbf");
        table.setReadOnly(true);
        const std::string readOnly = dbftest::errorOf([&] { table.open(); });
        if (!readOnly.empty() || table.recordCount() != 5)
            failures += "read-only open: " + readOnly + "\n";
        ::write(pipe[1], failures.data(), failures.size());
        return 0;
    });
    ::close(pipe[1]);
    std::string failures;
    char buffer[512];
    for (ssize_t n; (n = ::read(pipe[0], buffer, sizeof buffer)) > 0;)
        failures.append(buffer, static_cast<std::size_t>(n));
    ::close(pipe[0]);
    if (code == cannotProtect)
        GTEST_SKIP() << "no mount namespace of our own here";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(failures, "");
}

TEST(WriteProtection, TheSystemsReasonReadsInGerman)
{
    fixtures::TempDir dir;
    const std::filesystem::path missing = dir.file("fehlt.dbf");
    EXPECT_TRUE(dbftest::failsWith("\"" + missing.string() + "\" kann nicht geöffnet werden: die Datei oder ihr "
                                                            "Ordner ist nicht vorhanden",
                                   [&] { dbase::makeSystemFileIo()->open(missing, dbase::FileIo::Access::ReadOnly); }));
}
