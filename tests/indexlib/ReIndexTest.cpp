#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include "dbase/Collation.h"
#include "dbase/DbfFile.h"
#include "dbase/MdxFile.h"
#include "dbase/Table.h"
#include "files/SharedLibrary.h"
#include "fixtures/Files.h"
#include "fixtures/Tdbf.h"
#include "fixtures/TempDir.h"

namespace {

const QStringList entryPoints = {u"_ReINDEX_Init"_qs,  u"_ReINDEX_NAMEN"_qs,  u"_ReINDEX_CHEMIE"_qs,
                                 u"_ReINDEX_SIGEF"_qs, u"_ReINDEX_FORMEL"_qs, u"_ReINDEX_LAGER"_qs,
                                 u"_ReINDEX_Close"_qs};

// The built library copied into `directory` under the name the loader looks
// for there.
void installAs(const char* built, const QString& directory)
{
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(built), directory + u"/libmarlex99.so"_qs));
}

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(path.toStdString());
}

struct Row {
    std::string name;
    std::string carn;
    std::string subcarn;
};

const dbase::TableLayout& layout()
{
    static const dbase::TableLayout layout({
        {"NAME1", dbase::FieldType::Character, 20},
        {"CARN", dbase::FieldType::Character, 10},
        {"SUBCARN", dbase::FieldType::Character, 2},
    });
    return layout;
}

// A table with a production index of a field tag, an expression tag and a
// descending tag, through the dBASE layer as the program makes them.
void createTable(const QString& fileName, const std::vector<Row>& rows)
{
    dbase::Table table;
    table.setTableName(fileName);
    table.createTable(layout());
    table.addIndex({"NAME1", "NAME1", false, false, false});
    table.addIndex({"CARN_SUB", "CARN+SUBCARN", true, false, false});
    table.addIndex({"NAME_AB", "UPPER(NAME1)", true, false, true});
    table.open();
    for (const Row& row : rows) {
        table.append();
        table.fieldByName("NAME1").setAsString(QString::fromStdString(row.name));
        table.fieldByName("CARN").setAsString(QString::fromStdString(row.carn));
        table.fieldByName("SUBCARN").setAsString(QString::fromStdString(row.subcarn));
        table.post();
    }
    table.close();
}

std::string recordBytes(const dbase::DbfFile& file, const Row& row)
{
    std::string bytes = file.blankRecord();
    auto put = [&](int field, const std::string& value) {
        const dbase::FieldDef& def = layout().field(field);
        bytes.replace(def.offset, value.size(), value);
    };
    put(0, row.name);
    put(1, row.carn);
    put(2, row.subcarn);
    return bytes;
}

// Changes the table behind the index's back, as a program that does not keep
// the index would: the index then lacks a key, or holds a wrong one.
void appendBehindTheIndex(const QString& fileName, const Row& row)
{
    auto file = dbase::DbfFile::open(fsPath(fileName), dbase::OpenMode::ReadWrite,
                                     dbase::ShareMode::Shared);
    file->appendRecord(recordBytes(*file, row));
}

void overwriteBehindTheIndex(const QString& fileName, std::uint32_t recNo, const Row& row)
{
    auto file = dbase::DbfFile::open(fsPath(fileName), dbase::OpenMode::ReadWrite,
                                     dbase::ShareMode::Shared);
    file->writeRecord(recNo, recordBytes(*file, row));
}

// A tag as it stands in the index file: record numbers in index order with
// their keys, trailing blanks dropped.
std::vector<std::pair<std::uint32_t, std::string>> entries(const QString& mdxFile, const std::string& tag)
{
    const dbase::MdxFile mdx = dbase::MdxFile::read(fsPath(mdxFile), dbase::Collation::forLanguageDriver(0x58));
    std::vector<std::pair<std::uint32_t, std::string>> result;
    for (const dbase::IndexTag& t : mdx.tags()) {
        if (t.info().name != tag)
            continue;
        for (std::size_t i = 0; i < t.size(); ++i) {
            std::string key(t.keyAt(i));
            key.erase(key.find_last_not_of(' ') + 1);
            result.emplace_back(t.recNoAt(i), key);
        }
    }
    return result;
}

using fixtures::readBytes;
using Entries = std::vector<std::pair<std::uint32_t, std::string>>;

class ReIndexTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(library.loaded()) << library.errorString().toStdString();
        ASSERT_TRUE(library.missingSymbols(entryPoints).isEmpty());
    }

    void call(const QString& entryPoint) { library.resolve(entryPoint)(); }

    void runAll()
    {
        for (const QString& entryPoint : entryPoints)
            call(entryPoint);
    }

    fixtures::TempDir dir;
    files::SharedLibrary library{u"MARLEX99.DLL"_qs, QFileInfo(QString::fromUtf8(INDEX_LIBRARY)).path()};
};

const std::vector<Row> threeRows = {
    {"NATRIUMCHLORID", "7647-14-5", "00"},
    {"ACETON", "67-64-1", "00"},
    {"ETHANOL", "64-17-5", "00"},
};

} // namespace

TEST(IndexLibrary, ExportsExactlyTheSevenEntryPoints)
{
    QProcess nm;
    nm.start(u"nm"_qs, {u"-D"_qs, u"--defined-only"_qs, QString::fromUtf8(INDEX_LIBRARY)});
    if (!nm.waitForStarted())
        GTEST_SKIP() << "nm is not installed";
    ASSERT_TRUE(nm.waitForFinished());
    ASSERT_EQ(nm.exitCode(), 0) << nm.readAllStandardError().toStdString();
    QStringList exported;
    for (const QByteArray& line : nm.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> parts = line.simplified().split(' ');
        if (parts.size() == 3)
            exported.append(QString::fromLatin1(parts[2]));
    }
    exported.sort();
    QStringList expected = entryPoints;
    expected.sort();
    EXPECT_EQ(exported, expected);
}

TEST(IndexLibrary, TheLoaderFindsItByItsWindowsNameWithAllSevenEntryPoints)
{
    fixtures::TempDir dir;
    installAs(INDEX_LIBRARY, QDir::currentPath());
    const files::SharedLibrary library(u"MARLEX99.DLL"_qs, QDir::currentPath());
    ASSERT_TRUE(library.loaded()) << library.errorString().toStdString();
    EXPECT_EQ(library.fileName(), QDir::currentPath() + u"/libmarlex99.so"_qs);
    EXPECT_EQ(library.missingSymbols(entryPoints), QStringList());
}

TEST(IndexLibrary, TheLoaderNamesTheEntryPointALibraryLacks)
{
    fixtures::TempDir dir;
    installAs(INCOMPLETE_LIBRARY, QDir::currentPath());
    const files::SharedLibrary library(u"MARLEX99.DLL"_qs, QDir::currentPath());
    ASSERT_TRUE(library.loaded()) << library.errorString().toStdString();
    EXPECT_EQ(library.missingSymbols(entryPoints), QStringList{u"_ReINDEX_LAGER"_qs});
}

TEST_F(ReIndexTest, AddsTheKeysOfRowsTheIndexLacks)
{
    createTable(u"namen.dbf"_qs, threeRows);
    appendBehindTheIndex(u"namen.dbf"_qs, {"BENZOL", "71-43-2", "00"});
    const auto tagsBefore = dbase::MdxFile::readTagInfos("namen.mdx");
    ASSERT_EQ(entries(u"namen.mdx"_qs, "NAME1").size(), 3u);

    call(u"_ReINDEX_Init"_qs);
    call(u"_ReINDEX_NAMEN"_qs);
    call(u"_ReINDEX_Close"_qs);

    EXPECT_EQ(entries(u"namen.mdx"_qs, "NAME1"),
              (Entries{{2, "ACETON"}, {4, "BENZOL"}, {3, "ETHANOL"}, {1, "NATRIUMCHLORID"}}));
    EXPECT_EQ(entries(u"namen.mdx"_qs, "CARN_SUB"),
              (Entries{{3, "64-17-5   00"}, {2, "67-64-1   00"}, {4, "71-43-2   00"}, {1, "7647-14-5 00"}}));
    EXPECT_EQ(entries(u"namen.mdx"_qs, "NAME_AB"),
              (Entries{{1, "NATRIUMCHLORID"}, {3, "ETHANOL"}, {4, "BENZOL"}, {2, "ACETON"}}));
    EXPECT_FALSE(dbase::MdxFile::isMarkedDirty("namen.mdx"));
    if (fixtures::tdbfAvailable()) {
        // Another dBASE reader walks the rebuilt tags in the same order.
        using RecNos = std::vector<std::uint32_t>;
        EXPECT_EQ(fixtures::readWithTdbf("namen.dbf", "NAME1").recNos(), (RecNos{2, 4, 3, 1}));
        EXPECT_EQ(fixtures::readWithTdbf("namen.dbf", "CARN_SUB").recNos(), (RecNos{3, 2, 4, 1}));
        EXPECT_EQ(fixtures::readWithTdbf("namen.dbf", "NAME_AB").recNos(), (RecNos{1, 3, 4, 2}));
    }

    // Names, expressions and options of the tags stay as they were.
    const auto tagsAfter = dbase::MdxFile::readTagInfos("namen.mdx");
    ASSERT_EQ(tagsAfter.size(), tagsBefore.size());
    for (std::size_t i = 0; i < tagsAfter.size(); ++i) {
        EXPECT_EQ(tagsAfter[i].name, tagsBefore[i].name);
        EXPECT_EQ(tagsAfter[i].expression, tagsBefore[i].expression);
        EXPECT_EQ(tagsAfter[i].unique, tagsBefore[i].unique);
        EXPECT_EQ(tagsAfter[i].descending, tagsBefore[i].descending);
    }
}

TEST_F(ReIndexTest, ReplacesKeysThatNoLongerMatchTheirRows)
{
    // The index holds one key per record, so nothing but a rebuild from the
    // rows can tell that record 2's keys are wrong.
    createTable(u"chemie.dbf"_qs, threeRows);
    overwriteBehindTheIndex(u"chemie.dbf"_qs, 2, {"XYLOL", "1330-20-7", "01"});

    call(u"_ReINDEX_CHEMIE"_qs);

    EXPECT_EQ(entries(u"chemie.mdx"_qs, "NAME1"),
              (Entries{{3, "ETHANOL"}, {1, "NATRIUMCHLORID"}, {2, "XYLOL"}}));
    EXPECT_EQ(entries(u"chemie.mdx"_qs, "CARN_SUB"),
              (Entries{{2, "1330-20-7 01"}, {3, "64-17-5   00"}, {1, "7647-14-5 00"}}));

    // The program's own reading of the table finds the row by its new key.
    dbase::Table table;
    table.setTableName(u"chemie.dbf"_qs);
    table.setIndexFiles(u"chemie.mdx"_qs);
    table.setIndexName(u"CARN_SUB"_qs);
    table.open();
    ASSERT_TRUE(table.findKey({u"1330-20-7"_qs, u"01"_qs}));
    EXPECT_EQ(table.fieldByName("NAME1").asString(), u"XYLOL"_qs);
}

TEST_F(ReIndexTest, EachEntryPointRebuildsItsOwnTableInWhateverCaseItIsStored)
{
    const QStringList tables = {u"NAMEN.DBF"_qs, u"Chemie.dbf"_qs, u"si_gef.dbf"_qs, u"FORMELN.DBF"_qs,
                                u"lager.dbf"_qs};
    for (const QString& table : tables) {
        createTable(table, threeRows);
        appendBehindTheIndex(table, {"BENZOL", "71-43-2", "00"});
    }
    QDir().rename(u"NAMEN.mdx"_qs, u"NAMEN.MDX"_qs);

    runAll();

    const QStringList indexes = {u"NAMEN.MDX"_qs, u"Chemie.mdx"_qs, u"si_gef.mdx"_qs, u"FORMELN.mdx"_qs,
                                 u"lager.mdx"_qs};
    for (const QString& index : indexes) {
        ASSERT_TRUE(QFile::exists(index)) << index.toStdString();
        EXPECT_EQ(entries(index, "NAME1").size(), 4u) << index.toStdString();
    }
    EXPECT_EQ(QDir(u"."_qs).entryList(QDir::Files).size(), 10);
}

TEST_F(ReIndexTest, PassesOverTablesAndIndexesThatAreMissing)
{
    // No table at all: nothing is made.
    runAll();
    EXPECT_TRUE(QDir(u"."_qs).entryList(QDir::Files).isEmpty());

    // A table without an index keeps having none.
    {
        dbase::Table table;
        table.setTableName(u"lager.dbf"_qs);
        table.createTable(layout());
    }
    const QByteArray before = readBytes(u"lager.dbf"_qs);
    call(u"_ReINDEX_LAGER"_qs);
    EXPECT_EQ(readBytes(u"lager.dbf"_qs), before);
    EXPECT_EQ(QDir(u"."_qs).entryList(QDir::Files), QStringList{u"lager.dbf"_qs});
}

TEST_F(ReIndexTest, LeavesADamagedIndexAsItIsAndGoesOn)
{
    createTable(u"namen.dbf"_qs, threeRows);
    createTable(u"si_gef.dbf"_qs, threeRows);
    createTable(u"chemie.dbf"_qs, threeRows);
    appendBehindTheIndex(u"chemie.dbf"_qs, {"BENZOL", "71-43-2", "00"});
    // Not an index at all; and an index file whose header is right but whose
    // tag table is destroyed.
    const QByteArray garbage(2048, '\x5A');
    QByteArray brokenTags = readBytes(u"si_gef.mdx"_qs);
    brokenTags.replace(544, 512, QByteArray(512, '\xFF'));
    for (const auto& [file, bytes] : {std::pair{u"namen.mdx"_qs, garbage}, std::pair{u"si_gef.mdx"_qs, brokenTags}}) {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }

    runAll();

    EXPECT_EQ(readBytes(u"namen.mdx"_qs), garbage);
    EXPECT_EQ(readBytes(u"si_gef.mdx"_qs), brokenTags);
    EXPECT_EQ(entries(u"chemie.mdx"_qs, "NAME1").size(), 4u);
}

TEST_F(ReIndexTest, DoesNotTouchATableThatSomeoneHoldsExclusively)
{
    createTable(u"namen.dbf"_qs, threeRows);
    appendBehindTheIndex(u"namen.dbf"_qs, {"BENZOL", "71-43-2", "00"});
    const QByteArray before = readBytes(u"namen.mdx"_qs);

    dbase::Table holder;
    holder.setTableName(u"namen.dbf"_qs);
    holder.setExclusive(true);
    // The holder's own open may bring its index up to date in memory; what
    // matters is the file while it holds the table.
    holder.setIndexFiles(QString());
    holder.open();

    call(u"_ReINDEX_NAMEN"_qs);
    EXPECT_EQ(readBytes(u"namen.mdx"_qs), before);
}
