#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "files/Paths.h"
#include "fixtures/TempDir.h"

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
}

void mkdir(const QString& path)
{
    ASSERT_TRUE(QDir().mkpath(path)) << path.toStdString();
}

// Whether the file system keeps names that differ only in case apart; the
// variant tests mean nothing on one that folds case itself.
bool caseSensitiveFileSystem()
{
    touch(QStringLiteral("probe"));
    const bool sensitive = !QFileInfo::exists(QStringLiteral("PROBE"));
    QFile::remove(QStringLiteral("probe"));
    return sensitive;
}

} // namespace

TEST(NativePath, TurnsBackslashesIntoSlashesAndKeepsTheRest)
{
    EXPECT_EQ(files::nativePath(u"D\\LAGER.MX1"_qs), u"D/LAGER.MX1"_qs);
    EXPECT_EQ(files::nativePath(u"Symbol\\"_qs), u"Symbol/"_qs);
    EXPECT_EQ(files::nativePath(u"Hilfe\\hinweis1.htm"_qs), u"Hilfe/hinweis1.htm"_qs);
    // A native directory with its own trailing separator joined with a
    // program path must not give a double separator.
    EXPECT_EQ(files::nativePath(u"/opt/marlex/"_qs + u"\\Symbol\\\\C.BMP"_qs),
              u"/opt/marlex/Symbol/C.BMP"_qs);
    EXPECT_EQ(files::nativePath(u"../Übersicht\\ätzend.bmp"_qs), u"../Übersicht/ätzend.bmp"_qs);
    EXPECT_EQ(files::nativePath(QString()), QString());
}

class FindTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!caseSensitiveFileSystem())
            GTEST_SKIP() << "file system ignores case itself";
    }
    fixtures::TempDir dir;
};

TEST_F(FindTest, FindsNamesWrittenInAnotherCase)
{
    touch("NAMEN.DBF");
    touch("chemie.MDX");
    mkdir("SYMBOL");
    touch("SYMBOL/c.bmp");

    EXPECT_EQ(files::find("namen.dbf"), u"NAMEN.DBF"_qs);
    EXPECT_EQ(files::find("Chemie.mdx"), u"chemie.MDX"_qs);
    EXPECT_EQ(files::find("Symbol\\C.BMP"), u"SYMBOL/c.bmp"_qs);
    EXPECT_EQ(files::find("symbol\\"), u"SYMBOL/"_qs);
    EXPECT_EQ(files::find("lager.dbf"), std::nullopt);
    EXPECT_EQ(files::find("nichtda\\namen.dbf"), std::nullopt);
    EXPECT_EQ(files::find(""), std::nullopt);
}

TEST_F(FindTest, KeepsAbsolutePathsAbsolute)
{
    mkdir("Daten/D");
    touch("Daten/D/Lager.mx1");
    const QString root = QDir::currentPath();

    EXPECT_EQ(files::find(root + u"/DATEN/d/LAGER.MX1"_qs), root + u"/Daten/D/Lager.mx1"_qs);
    // ".." is passed through as it stands; the components around it are looked up.
    EXPECT_EQ(files::find(root + u"/daten/d/../D/lager.MX1"_qs), root + u"/Daten/D/../D/Lager.mx1"_qs);
}

TEST_F(FindTest, PrefersTheExactSpellingAndOtherwiseTheFirstInBinaryOrder)
{
    touch("namen.dbf");
    touch("Namen.dbf");
    touch("NAMEN.DBF");

    EXPECT_EQ(files::find("Namen.dbf"), u"Namen.dbf"_qs);
    EXPECT_EQ(files::find("namen.dbf"), u"namen.dbf"_qs);
    EXPECT_EQ(files::find("nAMEN.dbf"), u"NAMEN.DBF"_qs);
}

TEST_F(FindTest, LooksPastAVariantThatLeadsNowhere)
{
    // "Symbol" is a file and "SYMBOL" a directory: "symbol/C.BMP" can only
    // be inside the directory, although "Symbol" sorts after it and the file
    // comes first for the bare name.
    touch("Symbol");
    mkdir("SYMBOL");
    touch("SYMBOL/C.BMP");
    mkdir("symbol");

    EXPECT_EQ(files::find("symbol/c.bmp"), u"SYMBOL/C.BMP"_qs);
    EXPECT_EQ(files::find("SYMBOL/c.bmp"), u"SYMBOL/C.BMP"_qs);
    EXPECT_EQ(files::find("sYmbol"), u"SYMBOL"_qs);
    // A trailing separator asks for a directory: the exact "symbol" is one.
    EXPECT_EQ(files::find("symbol\\"), u"symbol/"_qs);
}

TEST_F(FindTest, AFileIsNoDirectory)
{
    touch("Hilfe");
    EXPECT_EQ(files::find("HILFE\\index.htm"), std::nullopt);
    EXPECT_EQ(files::find("HILFE\\"), std::nullopt);
    EXPECT_EQ(files::find("HILFE"), u"Hilfe"_qs);
}

TEST_F(FindTest, FoldsUmlautsAndComposedForms)
{
    mkdir(u"ÄTZEND"_qs);
    touch(u"ÄTZEND/Übersicht.htm"_qs);
    // "Ö" stored decomposed, as some systems write it.
    const QString decomposed = u"GRO"_qs + QChar(0x0308) + u"SSE.txt"_qs;
    touch(decomposed);

    EXPECT_EQ(files::find(u"ätzend\\ÜBERSICHT.HTM"_qs), u"ÄTZEND/Übersicht.htm"_qs);
    EXPECT_EQ(files::find(u"grösse.TXT"_qs), decomposed);
}

TEST_F(FindTest, SeesFilesCreatedAfterAnEarlierMiss)
{
    EXPECT_EQ(files::find("SIGEF.DBF"), std::nullopt);
    touch("si_gef.dbf");
    EXPECT_EQ(files::find("SI_GEF.DBF"), u"si_gef.dbf"_qs);
    QFile::remove("si_gef.dbf");
    EXPECT_EQ(files::find("SI_GEF.DBF"), std::nullopt);
}

TEST_F(FindTest, ResolveForWriteReusesExistingSpellings)
{
    touch("LAGER.DBF");
    mkdir("Daten/Symbol");

    EXPECT_EQ(files::resolveForWrite("lager.dbf"), u"LAGER.DBF"_qs);
    EXPECT_EQ(files::resolveForWrite("lager.mdx"), u"lager.mdx"_qs);
    EXPECT_EQ(files::resolveForWrite("DATEN\\SYMBOL\\Neu.BMP"), u"Daten/Symbol/Neu.BMP"_qs);
    // A missing directory ends the lookup: the rest stays as written.
    EXPECT_EQ(files::resolveForWrite("daten\\Neu\\SYMBOL\\x.bmp"), u"Daten/Neu/SYMBOL/x.bmp"_qs);
    EXPECT_EQ(files::resolveForWrite("daten\\"), u"Daten/"_qs);
    const QString root = QDir::currentPath();
    EXPECT_EQ(files::resolveForWrite(root + u"/DATEN/a.txt"_qs), root + u"/Daten/a.txt"_qs);
}

TEST(ProgramDirectory, IsTheDirectoryOfTheRunningProgramWithATrailingSeparator)
{
    const QString dir = files::programDirectory();
    ASSERT_TRUE(dir.endsWith(u'/'));
    EXPECT_TRUE(QFileInfo(dir).isAbsolute());
    EXPECT_TRUE(QFileInfo::exists(dir + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
}
