#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "files/SharedLibrary.h"
#include "fixtures/TempDir.h"

// A real library of the system stands in for one the program ships: the
// loader's rules do not depend on what the library holds.
namespace {

QString systemLibrary()
{
    for (const char* candidate : {"/lib/x86_64-linux-gnu/libz.so.1", "/usr/lib/x86_64-linux-gnu/libz.so.1",
                                  "/lib64/libz.so.1", "/usr/lib/libz.so.1"}) {
        if (QFile::exists(candidate))
            return QString::fromLatin1(candidate);
    }
    return {};
}

} // namespace

TEST(SharedLibrary, MapsWindowsNamesToTheLoadersBaseName)
{
    EXPECT_EQ(files::SharedLibrary::baseName(u"MARLEX99.DLL"_qs), u"marlex99"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"Marlex99.dll"_qs), u"marlex99"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"SUB\\Helfer.DLL"_qs), u"helfer"_qs);
    EXPECT_EQ(files::SharedLibrary::baseName(u"ohneEndung"_qs), u"ohneendung"_qs);
}

TEST(SharedLibrary, LoadsFromTheProgramDirectoryAndResolvesByName)
{
    const QString source = systemLibrary();
    if (source.isEmpty())
        GTEST_SKIP() << "no zlib to stand in";
    fixtures::TempDir dir;
    ASSERT_TRUE(QFile::copy(source, u"libhelfer.so"_qs));

    const files::SharedLibrary library(u"HELFER.DLL"_qs, QDir::currentPath());
    ASSERT_TRUE(library.loaded()) << library.errorString().toStdString();
    EXPECT_TRUE(library.fileName().startsWith(QDir::currentPath()));
    EXPECT_NE(library.resolve(u"zlibVersion"_qs), nullptr);
    EXPECT_EQ(library.resolve(u"_ReINDEX_Init"_qs), nullptr);
    EXPECT_EQ(library.missingSymbols({u"zlibVersion"_qs, u"fehlt1"_qs, u"crc32"_qs, u"fehlt2"_qs}),
              (QStringList{u"fehlt1"_qs, u"fehlt2"_qs}));
}

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
