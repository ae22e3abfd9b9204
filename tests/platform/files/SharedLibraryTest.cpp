#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "files/SharedLibrary.h"
#include "fixtures/TempDir.h"

TEST(SharedLibrary, MapsWindowsNamesToTheLoadersBaseName)
{
    EXPECT_EQ(files::SharedLibrary::baseName(u"MARLEX99.DLL"_qs), u"marlex99"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"Marlex99.dll"_qs), u"marlex99"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"SUB\\Helfer.DLL"_qs), u"helfer"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"ohneEndung"_qs), u"ohneendung"_qs);
}

// Loading the real index library, and one that lacks an entry point, is
// tested with the index library itself.
TEST(SharedLibrary, ALibraryThatIsNowhereIsReportedNotThrown)
{
    fixtures::TempDir dir;
    const files::SharedLibrary library(u"GIBTESNICHT99.DLL"_qs, QDir::currentPath());
    EXPECT_FALSE(library.loaded());
    EXPECT_FALSE(library.errorString().isEmpty());
    EXPECT_TRUE(library.fileName().isEmpty());
    EXPECT_EQ(library.resolve(u"_ReINDEX_Init"_qs), nullptr);
    EXPECT_EQ(library.missingSymbols({u"a"_qs, u"b"_qs}), (QStringList{u"a"_qs, u"b"_qs}));
}

TEST(SharedLibrary, AFileThatIsNoLibraryDoesNotLoad)
{
    fixtures::TempDir dir;
    QFile fake(u"libkaputt.so"_qs);
    ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
    fake.write("keine Bibliothek");
    fake.close();
    const files::SharedLibrary library(u"KAPUTT.DLL"_qs, QDir::currentPath());
    EXPECT_FALSE(library.loaded());
    EXPECT_FALSE(library.errorString().isEmpty());
}
