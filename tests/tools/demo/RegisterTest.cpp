// The register tables the demo generator writes, read back the way the
// program reads them and by the independent readers.

#include <gtest/gtest.h>

#include <map>
#include <set>

#include <QFile>
#include <QJsonObject>

#include "DemoTestSupport.h"
#include "app/NameRules.h"
#include "dbase/Table.h"
#include "demo/Generator.h"
#include "demo/RegisterTables.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Tdbf.h"
#include "graphics/Picture.h"

using demotest::generated;
using demotest::readRows;

namespace {

// A text field gives its value without trailing blanks.
QString asStored(QString value)
{
    while (value.endsWith(' '))
        value.chop(1);
    return value;
}

std::filesystem::path pathOf(const QDir& dir, const QString& file)
{
    return std::filesystem::path(dir.filePath(file).toStdString());
}

// The phrase text as the sheet's lookup builds it from si_gef.dbf: a filter on
// NRSATZ, the first line cut after "=" and one more character, continuation
// lines joined with a blank.
QString lookUpPhrase(dbase::Table& siGef, const QString& key)
{
    dbase::FilterOptions noPartial;
    noPartial.noPartialCompare = true;
    siGef.setFilterOptions(noPartial);
    siGef.setFilterText("NRSATZ='" + key + "'");
    siGef.setFiltered(true);
    QString text;
    siGef.first();
    if (!siGef.eof()) {
        const QString line = siGef.field(2).asString();
        text = line.contains('=') ? line.mid(line.indexOf('=') + 2) : line;
        for (siGef.next(); !siGef.eof(); siGef.next())
            text += ' ' + siGef.field(2).asString();
    }
    siGef.setFiltered(false);
    return text;
}

} // namespace

TEST(DemoRegister, SubstancesAreCompleteAndCorrectlyKeyed)
{
    const auto& g = generated();
    const auto rows = readRows(g.daten, "chemie.dbf", {"NAME1", "CARN", "SUBCARN"});
    ASSERT_EQ(rows.size(), g.data.substances.size());
    EXPECT_GE(rows.size(), 40u);
    std::set<std::pair<QString, QString>> keys;
    for (const QStringList& row : rows) {
        EXPECT_TRUE(CarnPruefen(row[1])) << row[0].toStdString() << " " << row[1].toStdString();
        EXPECT_FALSE(row[2].isEmpty()) << row[0].toStdString();
        EXPECT_TRUE(keys.insert({row[1], row[2]}).second) << "doppelter Schlüssel " << row[1].toStdString();
    }
    // Two strengths of one acid share the CAS number under two sub-numbers.
    EXPECT_TRUE(keys.count({"7647-01-0", "1"}));
    EXPECT_TRUE(keys.count({"7647-01-0", "2"}));
}

TEST(DemoRegister, SubstanceFieldsSitWhereTheProgramReadsThem)
{
    const auto& g = generated();
    dbase::Table chemie;
    chemie.setTableName(g.daten.filePath("chemie.dbf"));
    chemie.setIndexFiles(g.daten.filePath("chemie.MDX"));
    chemie.setIndexName("CARN_SUB");
    chemie.open();
    ASSERT_EQ(chemie.fieldCount(), 44);
    const std::map<int, std::string> fixed{
        {0, "NAME1"},      {1, "NAME2"},      {2, "CARN"},       {3, "SUBCARN"},    {4, "EG_INDEX"},
        {5, "FORMEL"},     {6, "GEFSYM1"},    {7, "GEFSYM2"},    {8, "GEFSYM3"},    {9, "R_SATZ"},
        {10, "S_SATZ"},    {11, "MERCK_NR"},  {12, "CANCER"},    {13, "MUTAGEN"},   {14, "R_E"},
        {15, "R_F"},       {16, "KREBS"},     {17, "FRUCHTSCH"}, {18, "ERBGUTGEF"}, {19, "MAK1"},
        {20, "MAK2"},      {21, "TRK1"},      {22, "TRK2"},      {23, "MAK_FAK"},   {24, "WIRKUNG"},
        {25, "VBF"},       {26, "WGK"},       {27, "MOLMASSE"},  {28, "DICHTE"},    {29, "SMT"},
        {30, "SDT"},       {31, "DAMPFDRUCK"}, {32, "LOESLICHKE"}, {33, "UNTERRICHT"}, {34, "LAGERUNG"},
        {35, "ENTSORGUNG"}, {36, "UN_NR"},    {37, "MEMOTEXT"},  {38, "GEFSYM1BMP"}, {39, "GEFSYM2BMP"},
        {40, "GEFSYM3BMP"}, {41, "FORMEL_BMP"}, {42, "GEFSYM4"}, {43, "GEFSYM4BMP"}};
    for (const auto& [position, name] : fixed)
        EXPECT_EQ(chemie.layout().field(position).name, name) << position;
    for (int numeric : {27, 29, 30})
        EXPECT_EQ(chemie.layout().field(numeric).type, dbase::FieldType::Numeric) << numeric;
    EXPECT_EQ(chemie.layout().field(37).type, dbase::FieldType::Memo);

    // Bromine: three symbols, the fourth slot empty; its numbers as numbers.
    ASSERT_TRUE(chemie.findKey({"7726-95-6", "1"}));
    EXPECT_EQ(chemie.field(38).asString(), "TPLU.");
    EXPECT_EQ(chemie.field(39).asString(), "C.");
    EXPECT_EQ(chemie.field(40).asString(), "N.");
    EXPECT_EQ(chemie.field(43).asString(), "LEER.BMP");
    EXPECT_EQ(chemie.field(41).asString(), "7726-95.BMP");
    EXPECT_DOUBLE_EQ(chemie.field(27).asFloat(), 159.81);
    EXPECT_DOUBLE_EQ(chemie.field(29).asFloat(), -7);

    ASSERT_TRUE(chemie.findKey({"64-17-5", "1"}));
    EXPECT_EQ(chemie.field(41).asString(), "64-17.BMP");
    EXPECT_EQ(chemie.field(38).asString(), "F.");
    EXPECT_EQ(chemie.field(39).asString(), "LEER.BMP");
    EXPECT_TRUE(chemie.field(37).isNull()); // no memo for ethanol

    ASSERT_TRUE(chemie.findKey({"7440-23-5", "1"}));
    EXPECT_TRUE(chemie.field(37).asString().startsWith("Unter Paraffinöl"));
}

TEST(DemoRegister, EveryPhraseNumberOfEverySubstanceHasItsText)
{
    const auto& g = generated();
    dbase::Table siGef;
    siGef.setTableName(g.daten.filePath("si_gef.dbf"));
    siGef.setIndexFiles(g.daten.filePath("si_gef.mdx"));
    siGef.setIndexName("NRSATZ_SUB");
    siGef.setReadOnly(true);
    siGef.open();
    EXPECT_EQ(siGef.layout().field(2).name, "SATZTEXT");

    int continued = 0;
    for (const QStringList& row : readRows(g.daten, "chemie.dbf", {"NAME1", "R_SATZ", "S_SATZ"})) {
        for (int column : {1, 2}) {
            const QString letter = column == 1 ? "R" : "S";
            for (const QString& number : row[column].split('-', Qt::SkipEmptyParts)) {
                const QString key = letter + number;
                const auto expected = g.data.phrases.find(key);
                ASSERT_NE(expected, g.data.phrases.end()) << key.toStdString();
                EXPECT_EQ(lookUpPhrase(siGef, key), expected->second)
                    << row[0].toStdString() << " " << key.toStdString();
            }
        }
    }
    // Long texts really are split, so the continuation records are tried above.
    for (const auto& [key, text] : g.data.phrases)
        continued += text.size() > 70 ? 1 : 0;
    EXPECT_GT(continued, 3);
    EXPECT_GT(siGef.recordCount(), g.data.phrases.size());
}

TEST(DemoRegister, NameTableHoldsEveryNameAndSynonymWithItsKey)
{
    const auto& g = generated();
    const auto rows = readRows(g.daten, "namen.dbf", {"NAME1", "STRIPNAME1", "CARN", "SUBCARN"}, "NAME1_SUB");
    std::set<std::pair<QString, QString>> substances;
    for (const QStringList& row : readRows(g.daten, "chemie.dbf", {"CARN", "SUBCARN"}))
        substances.insert({row[0], row[1]});

    std::multimap<QString, std::pair<QString, QString>> names;
    QString previousKey;
    for (const QStringList& row : rows) {
        EXPECT_EQ(row[1].toStdString(), asStored(StripNameBilden(row[0])).toStdString());
        EXPECT_TRUE(substances.count({row[2], row[3]})) << "Name ohne Stoff: " << row[0].toStdString();
        EXPECT_LE(previousKey.compare(row[1], Qt::CaseInsensitive), 0) << row[1].toStdString();
        previousKey = row[1];
        names.insert({row[0], {row[2], row[3]}});
    }
    for (const demo::Substance& s : g.data.substances) {
        QStringList expected = s.synonyms;
        expected << s.name();
        for (const QString& name : expected) {
            bool found = false;
            for (auto [it, end] = names.equal_range(name); it != end; ++it)
                found = found || it->second == std::pair(s.carn(), s.subcarn());
            EXPECT_TRUE(found) << name.toStdString();
        }
    }
    // Locants and umlauts as the synonyms give them.
    EXPECT_TRUE(names.count("2-Propanol"));
    EXPECT_TRUE(names.count("Äthanol"));
}

TEST(DemoRegister, ProductionIndexesCarryTheTagsTheProgramUses)
{
    const auto& g = generated();
    const std::map<QString, std::set<std::string>> expected{
        {"namen.dbf", {"CARN_SUB", "NAME1_SUB"}}, {"chemie.dbf", {"CARN_SUB"}},
        {"lager.dbf", {"CARN_SUB", "NAME1_SUB"}}, {"si_gef.dbf", {"NRSATZ_SUB"}},
        {"formeln.dbf", {"CARN_SUB"}}};
    for (const auto& [file, tags] : expected) {
        dbase::Table t;
        t.setTableName(g.daten.filePath(file));
        // The program names some index files with an upper-case extension.
        t.setIndexFiles(g.daten.filePath(QFileInfo(file).completeBaseName() + ".MDX"));
        t.open();
        std::set<std::string> found;
        for (const dbase::IndexDef& def : t.indexDefs())
            found.insert(def.name);
        for (const std::string& tag : tags)
            EXPECT_TRUE(found.count(tag)) << file.toStdString() << " " << tag;
    }

    // Every stock item finds its substance and its name row by key.
    dbase::Table namen;
    namen.setTableName(g.daten.filePath("namen.dbf"));
    namen.setIndexFiles(g.daten.filePath("namen.mdx"));
    namen.setIndexName("CARN_SUB");
    namen.open();
    for (const QStringList& item : readRows(g.daten, "lager.dbf", {"CARN", "SUBCARN", "NAME1", "STRIPNAME1"})) {
        EXPECT_TRUE(namen.findKey({item[0], item[1]})) << item[0].toStdString();
        EXPECT_EQ(item[3].toStdString(), asStored(StripNameBilden(item[2])).toStdString());
    }

    // TDbf walks the stored name index in the order our engine reads it.
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf is not built";
    std::vector<std::string> ours;
    for (const QStringList& row : readRows(g.daten, "namen.dbf", {"NAME1"}, "NAME1_SUB"))
        ours.push_back(row[0].toLatin1().toStdString()); // the names are Latin-1 text
    EXPECT_EQ(fixtures::readWithTdbf(pathOf(g.daten, "namen.dbf"), "NAME1_SUB").column("NAME1"), ours);
}

TEST(DemoRegister, FilesListNamesOnlyExistingFiles)
{
    const auto& g = generated();
    QFile list(g.daten.filePath("FILES.TXT"));
    ASSERT_TRUE(list.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromLatin1(list.readAll()).split("\r\n");
    EXPECT_EQ(lines.size(), 12);
    for (const QString& line : lines) {
        EXPECT_FALSE(line.isEmpty()) << "leere Zeile in FILES.TXT";
        EXPECT_TRUE(QFileInfo(g.daten.filePath(line)).isFile()) << line.toStdString();
    }
}

TEST(DemoRegister, DbfreadReadsTheTablesAsWritten)
{
    const auto& g = generated();
    const fixtures::DbfreadTable chemie = fixtures::readWithDbfread(pathOf(g.daten, "chemie.dbf"));
    EXPECT_EQ(chemie.encoding, "cp1252");
    ASSERT_EQ(chemie.rows.size(), qsizetype(g.data.substances.size()));
    int memos = 0;
    for (qsizetype i = 0; i < chemie.rows.size(); ++i) {
        const QJsonObject row = chemie.rows[i].toObject();
        const demo::Substance& s = g.data.substances[size_t(i)];
        EXPECT_EQ(row["NAME1"].toString(), s.name());
        EXPECT_EQ(row["R_SATZ"].toString(), s.value("R_SATZ"));
        EXPECT_EQ(row["MEMOTEXT"].toString(), s.value("MEMOTEXT"));
        memos += s.value("MEMOTEXT").isEmpty() ? 0 : 1;
        if (!s.value("MOLMASSE").isEmpty()) {
            EXPECT_DOUBLE_EQ(row["MOLMASSE"].toDouble(), s.value("MOLMASSE").toDouble()) << s.name().toStdString();
        }
    }
    EXPECT_GT(memos, 3);

    const fixtures::DbfreadTable namen = fixtures::readWithDbfread(pathOf(g.daten, "namen.dbf"));
    bool umlaut = false;
    for (const auto& row : namen.rows)
        umlaut = umlaut || row.toObject()["NAME1"].toString() == "Äthanol";
    EXPECT_TRUE(umlaut);

    const fixtures::DbfreadTable lager = fixtures::readWithDbfread(pathOf(g.daten, "lager.dbf"));
    ASSERT_EQ(lager.rows.size(), qsizetype(g.data.stock.size()));
    const QJsonObject first = lager.rows[0].toObject();
    EXPECT_EQ(first["DATUM_NEU"].toString(), "2025-03-14");
    EXPECT_EQ(first["ANZAHL"].toInt(), g.data.stock[0].anzahl);
    EXPECT_EQ(first["LAGER_ORT"].toString(), g.data.stock[0].lagerOrt);
}

TEST(DemoRegister, StructurePicturesAreBitmapsOfRegisteredSubstances)
{
    const auto& g = generated();
    dbase::Table formeln;
    formeln.setTableName(g.daten.filePath("formeln.dbf"));
    formeln.setIndexFiles(g.daten.filePath("formeln.MDX"));
    formeln.setIndexName("CARN_SUB");
    formeln.open();
    std::map<QString, QByteArray> pictures;
    for (formeln.first(); !formeln.eof(); formeln.next()) {
        const QString carn = formeln.fieldByName("CARN").asString();
        const QByteArray bytes = formeln.fieldByName("FORMEL").asBytes();
        EXPECT_TRUE(g.data.find(carn, formeln.fieldByName("SUBCARN").asString())) << carn.toStdString();
        const graphics::Picture picture = graphics::Picture::fromData(bytes, "BMP", carn);
        EXPECT_EQ(picture.kind(), graphics::Picture::Kind::Raster) << carn.toStdString();
        pictures[carn] = bytes;
    }
    for (const char* carn : {"64-17-5", "67-64-1", "71-43-2", "67-56-1", "64-19-7", "108-95-2", "108-88-3"})
        EXPECT_TRUE(pictures.count(carn)) << carn;
    EXPECT_TRUE(formeln.findKey({"71-43-2"})); // lookups key on CARN alone

    // TDbf sees the same picture bytes in the .dbt.
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf is not built";
    const fixtures::TdbfTable tdbf = fixtures::readWithTdbf(pathOf(g.daten, "formeln.dbf"), "CARN_SUB");
    ASSERT_EQ(tdbf.rows.size(), pictures.size());
    const int carnColumn = tdbf.fieldIndex("CARN");
    const int formelColumn = tdbf.fieldIndex("FORMEL");
    for (const fixtures::TdbfRow& row : tdbf.rows) {
        const QString carn = QString::fromStdString(row.values[size_t(carnColumn)]).trimmed();
        const std::string& bytes = row.values[size_t(formelColumn)];
        EXPECT_EQ(QByteArray::fromStdString(bytes), pictures[carn]) << carn.toStdString();
    }
}

TEST(DemoRegister, RegeneratingReplacesTheTablesWithTheSameContent)
{
    const auto& g = generated();
    const QDir again(g.daten.filePath("../nochmal"));
    demo::generateRegister(g.data, again);
    demo::generateRegister(g.data, again); // over its own output
    for (const QString& file : demo::requiredFiles()) {
        if (file.endsWith(".mdx"))
            continue; // the index pages need not be laid out alike
        QFile a(g.daten.filePath(file));
        QFile b(again.filePath(file));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << file.toStdString();
        QByteArray first = a.readAll();
        QByteArray second = b.readAll();
        if (file.endsWith(".dbf")) { // the header's date of last update may differ
            first.remove(1, 3);
            second.remove(1, 3);
        }
        EXPECT_EQ(first, second) << file.toStdString();
    }
    EXPECT_EQ(readRows(again, "namen.dbf", {"NAME1"}, "NAME1_SUB"),
              readRows(g.daten, "namen.dbf", {"NAME1"}, "NAME1_SUB"));
}
