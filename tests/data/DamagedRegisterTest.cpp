#include <gtest/gtest.h>

#include <csignal>
#include <map>
#include <random>

#include <QDirIterator>
#include <QFile>

#include "StartFixture.h"
#include "dbase/DbaseError.h"
#include "fixtures/Files.h"
#include "fixtures/Tdbf.h"
#include "platform/dbase/ChildProcess.h"
#include "platform/dbase/ForwardingFileIo.h"

using namespace starttest;

namespace {

// The index files of the tables the start opens, as the demo writes them.
const char* const indexDateien[] = {"namen.mdx", "chemie.mdx", "lager.mdx", "si_gef.mdx", "formeln.mdx"};

enum class Schaden { Zufallsbytes, Leer, TagHinterDemEnde, Fehlt };

std::string name(Schaden schaden)
{
    switch (schaden) {
    case Schaden::Zufallsbytes: return "Zufallsbytes";
    case Schaden::Leer: return "Leer";
    case Schaden::TagHinterDemEnde: return "TagHinterDemEnde";
    case Schaden::Fehlt: return "Fehlt";
    }
    return {};
}

void beschaedigen(const std::filesystem::path& datei, Schaden schaden)
{
    switch (schaden) {
    case Schaden::Zufallsbytes: {
        std::mt19937 zufall(4711);
        std::string bytes(4096, '\0');
        for (char& b : bytes)
            b = static_cast<char>(zufall());
        fixtures::writeFile(datei, bytes);
        break;
    }
    case Schaden::Leer:
        fixtures::writeFile(datei, {});
        break;
    case Schaden::TagHinterDemEnde: {
        // The first tag entry's header page, far beyond the file.
        std::string bytes = fixtures::readFile(datei);
        bytes.replace(544, 4, std::string("\xff\xff\xff\x00", 4));
        fixtures::writeFile(datei, bytes);
        break;
    }
    case Schaden::Fehlt:
        std::filesystem::remove(datei);
        break;
    }
}

// Every file of the register folder with its bytes, the program's and the
// user's folders left out.
std::map<QString, QByteArray> registerInhalt()
{
    std::map<QString, QByteArray> inhalt;
    for (const QFileInfo& datei : QDir::current().entryInfoList(QDir::Files))
        inhalt[datei.fileName()] = fixtures::readBytes(datei.filePath());
    return inhalt;
}

class BeschaedigterIndex : public Start, public ::testing::WithParamInterface<Schaden> {};

INSTANTIATE_TEST_SUITE_P(Arten, BeschaedigterIndex,
                         ::testing::Values(Schaden::Zufallsbytes, Schaden::Leer, Schaden::TagHinterDemEnde,
                                           Schaden::Fehlt),
                         [](const auto& info) { return name(info.param); });

} // namespace

TEST_P(BeschaedigterIndex, WithIndexCheckIsMadeAnewFromTheProgramsTagsAndTheRowsStayAsTheyAre)
{
    // The index library is there and leaves a damaged tag table alone.
    ASSERT_TRUE(QFile::copy(QString::fromUtf8(INDEX_LIBRARY), prog + u"libmarlex99.so"_qs));
    option(u"IndexCheck"_qs, u"1"_qs);
    std::map<std::string, std::string> tabellenVorher;
    for (const char* index : indexDateien) {
        const std::filesystem::path tabelle = dir.file(index).replace_extension(".dbf");
        tabellenVorher[tabelle.filename().string()] = fixtures::readFile(tabelle);
        beschaedigen(dir.file(index), GetParam());
    }

    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_TRUE(meldungenDesStarts().isEmpty());
    EXPECT_EQ(listenTexte(), alleNamen);
    EXPECT_EQ(Marlex->ListBox1->marker(1), TMarlex::LagerMarke) << "Ethanol is found in storage by its key";

    // Each table's tags by the program's definitions and the order we walk them in.
    struct Tag {
        dbase::IndexDef def;
        std::vector<std::uint32_t> reihenfolge;
    };
    std::map<std::string, std::vector<Tag>> tagsJeTabelle;
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6}) {
        const std::vector<dbase::IndexDef>& erwartet = Datas->indexTags(*t);
        ASSERT_FALSE(erwartet.empty());
        const std::vector<dbase::IndexDef> tags = t->indexDefs();
        ASSERT_EQ(tags.size(), erwartet.size()) << t->tableName().toStdString();
        for (std::size_t i = 0; i < tags.size(); ++i) {
            EXPECT_EQ(tags[i].name, erwartet[i].name);
            EXPECT_EQ(tags[i].expression, erwartet[i].expression);
            t->setIndexName(QString::fromStdString(tags[i].name));
            Tag tag{tags[i], {}};
            for (t->first(); !t->eof(); t->next())
                tag.reihenfolge.push_back(t->recNo());
            tagsJeTabelle[t->tableName().toStdString()].push_back(tag);
        }
    }
    programm.reset();

    for (const auto& [tabelle, bytes] : tabellenVorher)
        EXPECT_EQ(fixtures::readFile(dir.file(tabelle)), bytes) << tabelle << " must not be written";

    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "Free Pascal's TDbf tools were not built";
    for (const auto& [tabelle, tags] : tagsJeTabelle) {
        for (std::size_t i = 0; i < tags.size(); ++i) {
            const std::string& tagName = tags[i].def.name;
            SCOPED_TRACE(tabelle + " " + tagName);
            const fixtures::TdbfTable gespeichert = fixtures::readWithTdbf(dir.file(tabelle), tagName);
            ASSERT_EQ(gespeichert.tags.size(), tags.size());
            EXPECT_EQ(gespeichert.tags[i].name, tagName);
            EXPECT_EQ(gespeichert.tags[i].expression, tags[i].def.expression);
            EXPECT_EQ(gespeichert.recNos(), tags[i].reihenfolge);
            // TDbf's own build of the tag from the rows walks as the stored one.
            EXPECT_EQ(fixtures::readWithTdbf(dir.file(tabelle), tagName, fixtures::TdbfIndex::Rebuilt).recNos(),
                      gespeichert.recNos());
        }
    }
}

TEST_P(BeschaedigterIndex, WithoutIndexCheckTheStartSaysOnceThatTheIndexIsDamagedAndWhatRebuildsIt)
{
    // The required-file check would report a missing index before the open.
    fixtures::writeBytes(u"FILES.TXT"_qs, "namen.dbf");
    beschaedigen(dir.file("namen.mdx"), GetParam());
    const QByteArray vorher = vorhanden(u"namen.mdx"_qs) ? fixtures::readBytes(u"namen.mdx"_qs) : QByteArray();

    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    const QString meldung = meldungenDesStarts().front();
    EXPECT_TRUE(meldung.startsWith(u"Marlex kann nicht gestartet werden"_qs)) << meldung.toStdString();
    EXPECT_EQ(meldung.count(u"Die Indexdatei"_qs), 1) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"namen.mdx"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(GetParam() == Schaden::Fehlt ? u"nicht gefunden"_qs : u"ist beschädigt"_qs))
        << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"IndexCheck=1"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"marlex99.ini"_qs)) << meldung.toStdString();
    erwarteAbbruchOhneGeoeffneteTabellen();
    if (GetParam() != Schaden::Fehlt) {
        EXPECT_EQ(fixtures::readBytes(u"namen.mdx"_qs), vorher) << "a damaged index is left for the user's choice";
    }
}

// --- write-protected registers

namespace {

enum class Schutz { Dateien, Ordner };

// The register folder as a write-protected one behaves, for the root user
// too, whom file permissions do not stop: files there cannot be opened for
// writing (Dateien), or no file can be made there (Ordner).
class SchreibgeschuetztesRegister : public dbftest::ForwardingFileIo {
public:
    SchreibgeschuetztesRegister(std::filesystem::path ordner, Schutz schutz)
        : m_ordner(std::move(ordner)), m_schutz(schutz)
    {
    }

    void open(const std::filesystem::path& path, Access access) override
    {
        const bool imRegister = std::filesystem::absolute(path).parent_path() == m_ordner;
        const bool neu = !std::filesystem::exists(path);
        const bool verweigert = access != Access::ReadOnly
            && (m_schutz == Schutz::Dateien ? !neu : access == Access::Create && neu);
        if (imRegister && verweigert)
            throw dbase::WriteProtectedError("Die Datei \"" + path.string()
                                             + "\" kann nicht geschrieben werden: keine Berechtigung");
        ForwardingFileIo::open(path, access);
    }

private:
    std::filesystem::path m_ordner;
    Schutz m_schutz;
};

class Schreibschutz : public Start, public ::testing::WithParamInterface<Schutz> {
protected:
    void SetUp() override
    {
        Start::SetUp();
        io.emplace([ordner = std::filesystem::current_path(), schutz = GetParam()] {
            return std::make_unique<SchreibgeschuetztesRegister>(ordner, schutz);
        });
    }
    void TearDown() override
    {
        Start::TearDown();
        io.reset();
    }

    std::optional<dbftest::ScopedFileIo> io;
};

INSTANTIATE_TEST_SUITE_P(Arten, Schreibschutz, ::testing::Values(Schutz::Dateien, Schutz::Ordner),
                         [](const auto& info) {
                             return std::string(info.param == Schutz::Dateien ? "Dateien" : "Ordner");
                         });

} // namespace

TEST_P(Schreibschutz, WithoutReadOnlyModeTheStartSaysTheRegisterIsWriteProtectedAndNamesReadOnlyMode)
{
    const auto vorher = registerInhalt();
    starten();
    if (GetParam() == Schutz::Ordner) {
        // The start makes no file in the register's folder (the research
        // tables lie in the run's own folder): tables that can be written
        // are worked on as they are.
        EXPECT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
        EXPECT_TRUE(meldungenDesStarts().isEmpty()) << meldungenDesStarts().join(u'\n').toStdString();
        programm.reset();
        EXPECT_EQ(registerInhalt(), vorher);
        return;
    }
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    const QString meldung = meldungenDesStarts().front();
    EXPECT_TRUE(meldung.startsWith(u"Marlex kann nicht gestartet werden"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"schreibgeschützt"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"Nur Lesemodus=1"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(QDir::toNativeSeparators(prog + u"marlex99.ini"_qs))) << meldung.toStdString();
    EXPECT_FALSE(meldung.contains(u".new"_qs)) << "no temporary file: " << meldung.toStdString();
    erwarteAbbruchOhneGeoeffneteTabellen();
    EXPECT_EQ(registerInhalt(), vorher);
}

TEST_P(Schreibschutz, ReadOnlyModeOpensTheTablesForReadingAndMakesTheResearchTablesInTheUsersFolder)
{
    option(u"Nur Lesemodus"_qs, u"1"_qs);
    const auto vorher = registerInhalt();
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_TRUE(meldungenDesStarts().isEmpty());
    EXPECT_EQ(listenTexte(), alleNamen);
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6}) {
        EXPECT_TRUE(t->active()) << t->tableName().toStdString();
        EXPECT_TRUE(t->readOnly()) << t->tableName().toStdString();
    }
    EXPECT_TRUE(Datas->Arbeitsordner.startsWith(benutzer + u"/Marlex99/"_qs)) << Datas->Arbeitsordner.toStdString();
    EXPECT_EQ(Datas->Table5->tableName(), Datas->arbeitsdatei(u"zan_tmp2.dbf"_qs));
    for (const QString& datei : {u"zan_tmp1.dbf"_qs, u"zan_tmp2.dbf"_qs}) {
        dbase::Table recherche;
        recherche.setTableName(Datas->arbeitsdatei(datei));
        recherche.open();
        EXPECT_EQ(recherche.recordCount(), 0u);
        EXPECT_EQ(recherche.indexDefs().size(), NamenTags.size());
    }
    programm.reset();
    EXPECT_EQ(registerInhalt(), vorher) << "nothing is written into the register";
}

TEST_P(Schreibschutz, ReadOnlyModeWritesTheErrorListIntoTheUsersFolder)
{
    option(u"Nur Lesemodus"_qs, u"1"_qs);
    fixtures::writeBytes(u"FILES.TXT"_qs, "namen.dbf\r\nfehlt.dbf");
    const auto vorher = registerInhalt();
    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    EXPECT_TRUE(meldungenDesStarts().front().contains(u"Die Fehlerliste wurde in der Datei init.err gespeichert"_qs))
        << meldungenDesStarts().front().toStdString();
    EXPECT_EQ(fixtures::readBytes(benutzer + u"/Marlex99/init.err"_qs), QByteArray("fehlt.dbf nicht vorhanden\r\n"));
    EXPECT_EQ(registerInhalt(), vorher);
}

TEST_P(Schreibschutz, ADamagedIndexThatCannotBeMadeAnewIsNamedWithTheReason)
{
    option(u"Nur Lesemodus"_qs, u"1"_qs);
    option(u"IndexCheck"_qs, u"1"_qs);
    beschaedigen(dir.file("namen.mdx"), Schaden::Leer);
    const auto vorher = registerInhalt();
    starten();
    if (GetParam() == Schutz::Dateien) {
        // A folder that can be written takes a new file in place of one that cannot.
        EXPECT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
        EXPECT_EQ(listenTexte(), alleNamen);
        return;
    }
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    const QString meldung = meldungenDesStarts().front();
    EXPECT_EQ(meldung.count(u"Die Indexdatei"_qs), 1) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"ist beschädigt"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"Sie kann nicht neu erzeugt werden: Die Datei"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"namen.mdx\" kann nicht geschrieben werden"_qs)) << meldung.toStdString();
    erwarteAbbruchOhneGeoeffneteTabellen();
    EXPECT_EQ(registerInhalt(), vorher);
}

// --- leftovers and the error list

TEST_F(Start, ReplacementsLeftByAKilledProcessGoAndThoseOfARunningOneStay)
{
    const pid_t tot = dbftest::startChild([] { return 0; });
    dbftest::exitCodeOf(tot);
    const pid_t laeuft = dbftest::startChild([] {
        ::pause();
        return 0;
    });
    const QString totNr = QString::number(tot);
    const QStringList uebrig = {u"namen.mdx.new"_qs + totNr, u"NAMEN.DBF.new"_qs + totNr, u"lager.mdx.new"_qs + totNr};
    const QStringList bleiben = {u"chemie.mdx.new"_qs + QString::number(laeuft), u"andere.mdx.new"_qs + totNr,
                                 u"namen.mdx.newer"_qs};
    for (const QString& datei : uebrig + bleiben)
        fixtures::writeBytes(datei, QByteArray(16 * 1024, 'x'));

    starten();
    ::kill(laeuft, SIGKILL);
    dbftest::exitCodeOf(laeuft);
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    for (const QString& datei : uebrig)
        EXPECT_FALSE(vorhanden(datei)) << datei.toStdString();
    for (const QString& datei : bleiben)
        EXPECT_TRUE(vorhanden(datei)) << datei.toStdString();
}

TEST_F(Start, TheMessageOnMissingFilesKeepsItsTextAndListsThemInItsDetails)
{
    fixtures::writeBytes(u"FILES.TXT"_qs, "namen.dbf\r\nfehlt1.dbf\r\nfehlt2.dbf");
    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    EXPECT_EQ(meldungen.back().text,
              u"Es sind Fehler beim Starten von Marlex aufgetreten. Die Fehlerliste wurde in der Datei init.err "
              u"gespeichert. Das Programm wird nun beendet!"_qs);
    EXPECT_EQ(meldungen.back().details, u"fehlt1.dbf nicht vorhanden\nfehlt2.dbf nicht vorhanden"_qs);
}
