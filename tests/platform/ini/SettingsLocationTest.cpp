#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "fixtures/TempDir.h"
#include "ini/SettingsLocation.h"
#include "IniTestFiles.h"

namespace {

class SettingsLocationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(program));
    }
    fixtures::TempDir dir;
    QString program = QDir::currentPath() + u"/programm/"_qs;
    QString user = QDir::currentPath() + u"/home/.config/Marlex99"_qs;
};

} // namespace

TEST(DirectoryWritable, IsFoundOutByTrying)
{
    fixtures::TempDir dir;
    EXPECT_TRUE(ini::directoryWritable(QDir::currentPath()));
    EXPECT_EQ(QDir(".").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    EXPECT_FALSE(ini::directoryWritable(QDir::currentPath() + u"/fehlt"_qs));
    // Not even root creates files here.
    if (QDir(u"/proc/self"_qs).exists()) {
        EXPECT_FALSE(ini::directoryWritable(u"/proc/self"_qs));
    }
}

TEST_F(SettingsLocationTest, AWritableProgramDirectoryKeepsTheSettings)
{
    writeBytes(program + u"MARLEX99.INI"_qs, "[Optionen]\r\n");
    EXPECT_EQ(ini::settingsFileLocation(program, u"marlex99.ini"_qs, true, user),
              program + u"MARLEX99.INI"_qs);
    EXPECT_EQ(ini::settingsFileLocation(program, u"neu.ini"_qs, true, user), program + u"neu.ini"_qs);
    EXPECT_FALSE(QFileInfo::exists(user));
}

TEST_F(SettingsLocationTest, AReadOnlyProgramDirectorySeedsTheUsersCopyOnce)
{
    writeBytes(program + u"marlex99.ini"_qs, "[Optionen]\r\nHint=0\r\n");
    QFile::setPermissions(program + u"marlex99.ini"_qs, QFile::ReadOwner | QFile::ReadGroup);

    const QString location = ini::settingsFileLocation(program, u"marlex99.ini"_qs, false, user);
    EXPECT_EQ(location, user + u"/marlex99.ini"_qs);
    EXPECT_EQ(readBytes(location), QByteArray("[Optionen]\r\nHint=0\r\n"));
    EXPECT_TRUE(QFile::permissions(location) & QFile::WriteOwner);

    // The user's own changes are not overwritten by the shipped file again.
    writeBytes(location, "[Optionen]\r\nHint=1\r\n");
    EXPECT_EQ(ini::settingsFileLocation(program, u"marlex99.ini"_qs, false, user), location);
    EXPECT_EQ(readBytes(location), QByteArray("[Optionen]\r\nHint=1\r\n"));
}

TEST_F(SettingsLocationTest, WithoutAShippedFileTheUsersFileIsLeftToTheFirstWrite)
{
    const QString location = ini::settingsFileLocation(program, u"marlex99.ini"_qs, false, user);
    EXPECT_EQ(location, user + u"/marlex99.ini"_qs);
    EXPECT_TRUE(QFileInfo(user).isDir());
    EXPECT_FALSE(QFileInfo::exists(location));
}

TEST_F(SettingsLocationTest, FallsBackToTheProgramDirectoryWhenTheUserDirectoryCannotBeMade)
{
    writeBytes(program + u"marlex99.ini"_qs, "[Optionen]\r\n");
    ASSERT_TRUE(QDir().mkpath(QDir::currentPath() + u"/home"_qs));
    writeBytes(QDir::currentPath() + u"/home/.config"_qs, "eine Datei, kein Verzeichnis");
    EXPECT_EQ(ini::settingsFileLocation(program, u"marlex99.ini"_qs, false, user),
              program + u"marlex99.ini"_qs);
}
