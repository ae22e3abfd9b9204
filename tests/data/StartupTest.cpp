#include <map>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QToolButton>

#include "StartFixture.h"
#include "data/Fortschritt.h"
#include "dbase/DbfFile.h"
#include "dbase/Table.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Files.h"
#include "fixtures/Modal.h"
#include "fixtures/Tdbf.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "update/Datenuebernahme.h"
#include "widgets/DBImage.h"

using namespace starttest;

namespace {

// A name table with the four named fields wider than usual and one more.
void breiteNamenstabelle(const QStringList& namen)
{
    dbase::Table t;
    t.setTableName(u"namen.dbf"_qs);
    t.createTable(dbase::TableLayout({{"NAME1", dbase::FieldType::Character, 90},
                                      {"STRIPNAME1", dbase::FieldType::Character, 90},
                                      {"CARN", dbase::FieldType::Character, 15},
                                      {"SUBCARN", dbase::FieldType::Character, 6},
                                      {"HERKUNFT", dbase::FieldType::Character, 12}}));
    t.addIndex({"CARN_SUB", "CARN+SUBCARN", true, false, false});
    t.addIndex({"NAME1_SUB", "STRIPNAME1", false, false, false});
    t.open();
    for (const QString& name : namen) {
        t.append();
        t.field(0).setAsString(name);
        t.field(1).setAsString(name.toUpper());
        t.field(2).setAsString(u"64-17-5"_qs);
        t.field(3).setAsString(u"1"_qs);
        t.field(4).setAsString(u"Lieferung"_qs);
        t.post();
    }
    t.close();
}

} // namespace

TEST_F(Start, OpensTheTablesReadsTheListWithStorageMarkersAndShowsTheFirstName)
{
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_TRUE(meldungenDesStarts().isEmpty());

    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6})
        EXPECT_TRUE(t->active()) << t->tableName().toStdString();
    EXPECT_FALSE(Datas->Table5->active());
    EXPECT_FALSE(Datas->Table7->active());
    EXPECT_EQ(Datas->Table1->tableName(), u"namen.dbf"_qs);
    EXPECT_FALSE(Datas->Table1->readOnly());
    EXPECT_FALSE(Datas->Table1->exclusive());

    ASSERT_EQ(listenTexte(), alleNamen);
    const std::vector<std::uint8_t> erwarteteMarken = {TMarlex::KeinLagerMarke, TMarlex::LagerMarke,
                                                      TMarlex::KeinLagerMarke, TMarlex::KeinLagerMarke};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Marlex->ListBox1->marker(i), erwarteteMarken[std::size_t(i)]) << i;
        // Each line's record number leads to the row of that name.
        ASSERT_TRUE(Datas->Table1->gotoRecNo(Marlex->RecNoList[i].toUInt()));
        EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), alleNamen[i]);
    }
    EXPECT_EQ(Marlex->RecNoList.size(), 4);
    EXPECT_EQ(Marlex->Label48->text(), u"1"_qs);
    EXPECT_EQ(Marlex->ChemieSatzAnzahl, 3);

    EXPECT_EQ(Init->Label1->text(),
              u"Marlex-Datensätze werden angeladen und auf Vorhandensein im Lager überprüft..."_qs);
    EXPECT_EQ(Init->ProgressBar1->position(), 4);
    EXPECT_EQ(Init->ProgressBar1->maximumSteps(), 4);

    // Handed over: the start-up window is gone and the first name is shown.
    EXPECT_FALSE(Init->isVisible());
    EXPECT_EQ(Marlex->ListBox1->itemIndex(), 0);
    EXPECT_EQ(Datas->Table2->fieldByName("CARN").asString(), u"67-64-1"_qs);
}

TEST_F(Start, WithoutStorageMarkingEveryLineCarriesTheNoStorageMarker)
{
    option(u"Lagerdatensätze markieren"_qs, u"0"_qs);
    starten();
    ASSERT_TRUE(programm->gestartet());
    ASSERT_EQ(listenTexte(), alleNamen);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Marlex->ListBox1->marker(i), TMarlex::KeinLagerMarke) << i;
    EXPECT_EQ(Init->Label1->text(), u"Marlex-Datensätze werden angeladen..."_qs);
}

TEST_F(Start, OptionsDecideTheCornerPictureTheStructurePictureAndTheSiblingProgramsMenu)
{
    for (const bool an : {true, false}) {
        SCOPED_TRACE(an);
        option(u"WIN98"_qs, an ? u"1"_qs : u"0"_qs);
        option(u"Formel darstellen"_qs, an ? u"0"_qs : u"1"_qs);
        if (an) {
            fixtures::writeBytes(u"kavu.exe"_qs, "MZ");
        } else {
            // A directory of the sibling program's name is not the program.
            ASSERT_TRUE(QFile::remove(u"kavu.exe"_qs));
            ASSERT_TRUE(QDir().mkdir(u"KAVU.EXE"_qs));
        }
        starten();
        ASSERT_TRUE(programm->gestartet());
        EXPECT_EQ(Init->Image1->isHidden(), !an);
        EXPECT_EQ(Marlex->DBImage1->isHidden(), an);
        EXPECT_EQ(Marlex->Kavuaufrufen1->isEnabled(), an);
        programm.reset();
    }
}

TEST_F(Start, AnEmptyNameTableGivesAnEmptyListAndNoLineSelected)
{
    breiteNamenstabelle({});
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_EQ(Marlex->ListBox1->count(), 0);
    EXPECT_TRUE(Marlex->RecNoList.isEmpty());
    EXPECT_EQ(Marlex->ListBox1->itemIndex(), -1);
    EXPECT_FALSE(Init->isVisible());
    EXPECT_EQ(Init->ProgressBar1->position(), 0);
}

TEST_F(Start, ResearchTablesAreMadeEmptyWithTheNameTablesLayoutAndBothTags)
{
    breiteNamenstabelle({u"Ethanol"_qs, u"Alkohol"_qs});
    {
        // Left over from the last run, with rows and another layout.
        dbase::Table alt;
        alt.setTableName(u"zan_tmp1.dbf"_qs);
        alt.createTable(dbase::TableLayout({{"NAME1", dbase::FieldType::Character, 10}}));
        alt.open();
        alt.append();
        alt.field(0).setAsString(u"ALT"_qs);
        alt.post();
        alt.close();
    }
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_EQ(listenTexte(), (QStringList{u"Alkohol"_qs, u"Ethanol"_qs}));
    // The run's own tables, in its folder in the user's folder; the shared
    // file an older version left in the register's folder stays as it was.
    EXPECT_EQ(Datas->Table5->tableName(), Datas->arbeitsdatei(u"zan_tmp2.dbf"_qs));
    EXPECT_TRUE(Datas->Arbeitsordner.startsWith(benutzer + u"/Marlex99/"_qs)) << Datas->Arbeitsordner.toStdString();
    EXPECT_FALSE(Datas->Table5->active());
    {
        dbase::Table alt;
        alt.setTableName(u"zan_tmp1.dbf"_qs);
        alt.open();
        EXPECT_EQ(alt.recordCount(), 1u);
        EXPECT_EQ(alt.fieldCount(), 1);
    }

    const dbase::TableLayout& namen = Datas->Table1->layout();
    for (const char* name : {"zan_tmp1.dbf", "zan_tmp2.dbf"}) {
        SCOPED_TRACE(name);
        const QString datei = Datas->arbeitsdatei(QString::fromLatin1(name));
        EXPECT_TRUE(fixtures::readWithDbfread(datei.toStdString()).rows.isEmpty());

        dbase::Table t;
        t.setTableName(datei);
        t.open();
        EXPECT_EQ(t.recordCount(), 0u);
        ASSERT_EQ(t.fieldCount(), namen.fieldCount());
        for (int i = 0; i < namen.fieldCount(); ++i) {
            EXPECT_EQ(t.layout().field(i).name, namen.field(i).name);
            EXPECT_EQ(t.layout().field(i).type, namen.field(i).type);
            EXPECT_EQ(t.layout().field(i).length, namen.field(i).length);
        }
        const std::vector<dbase::IndexDef> tags = t.indexDefs();
        ASSERT_EQ(tags.size(), 2u);
        EXPECT_EQ(tags[0].name, "CARN_SUB");
        EXPECT_EQ(tags[0].expression, "CARN+SUBCARN");
        EXPECT_TRUE(tags[0].isExpression);
        EXPECT_EQ(tags[1].name, "NAME1_SUB");
        EXPECT_EQ(tags[1].expression, "STRIPNAME1");
        EXPECT_FALSE(tags[1].isExpression);

        if (fixtures::tdbfAvailable()) {
            const fixtures::TdbfTable tdbf = fixtures::readWithTdbf(datei.toStdString(), "NAME1_SUB");
            EXPECT_EQ(tdbf.recordCount, 0u);
            ASSERT_EQ(tdbf.fields.size(), 5u);
            EXPECT_EQ(tdbf.fields[4].name, "HERKUNFT");
            EXPECT_EQ(tdbf.fields[0].length, 90);
            ASSERT_EQ(tdbf.tags.size(), 2u);
        }
    }
}

// Nobody has seen the research tables the start makes, so each of their
// files needs its bytes on the disk once, before it takes the old one's
// place, and the start syncs nothing else.
TEST_F(Start, EachNewResearchFileIsSyncedOnceAndNothingElse)
{
    struct Syncs {
        std::map<std::string, int> jeDatei; // by the name the file takes
        int ordner = 0;
    };
    const auto syncs = std::make_shared<Syncs>();
    const dbftest::ScopedFileIo io([syncs] {
        struct Zaehler : dbftest::ForwardingFileIo {
            explicit Zaehler(std::shared_ptr<Syncs> s) : syncs(std::move(s)) {}
            void sync() override
            {
                // A new file is written beside the old one (name + ".new" +
                // the process id) and renamed over it.
                const std::string datei = m_path.filename().string();
                ++syncs->jeDatei[datei.substr(0, datei.find(".new"))];
                ForwardingFileIo::sync();
            }
            void syncDirectory() override
            {
                ++syncs->ordner;
                ForwardingFileIo::syncDirectory();
            }
            std::shared_ptr<Syncs> syncs;
        };
        return std::make_unique<Zaehler>(syncs);
    });
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();

    const std::map<std::string, int> einmal = {
        {"zan_tmp1.dbf", 1}, {"zan_tmp1.mdx", 1}, {"zan_tmp2.dbf", 1}, {"zan_tmp2.mdx", 1}};
    EXPECT_EQ(syncs->jeDatei, einmal);
    EXPECT_EQ(syncs->ordner, 4) << "each new name made durable";
}

// --- the required-file check

TEST_F(Start, EveryMissingRequiredFileIsListedInInitErrAndTheStartEnds)
{
    ASSERT_TRUE(QDir().mkdir(u"Verzeichnis"_qs));
    fixtures::writeBytes(u"FILES.TXT"_qs, "namen.dbf\r\n\r\nfehlt1.dbf\r\nVerzeichnis\r\nCHEMIE.DBF\r\nfehlt2.dbf\r\n");
    fixtures::writeBytes(u"init.err"_qs, "vom letzten Lauf\r\n");
    starten();

    EXPECT_EQ(fixtures::readBytes(u"init.err"_qs), QByteArray(" nicht vorhanden\r\n"
                                                "fehlt1.dbf nicht vorhanden\r\n"
                                                "Verzeichnis nicht vorhanden\r\n"
                                                "fehlt2.dbf nicht vorhanden\r\n"));
    EXPECT_EQ(meldungenDesStarts(),
              QStringList{u"Es sind Fehler beim Starten von Marlex aufgetreten. Die Fehlerliste wurde in der Datei "
                          u"init.err gespeichert. Das Programm wird nun beendet!"_qs});
    erwarteAbbruchOhneGeoeffneteTabellen();
}

TEST_F(Start, NamesInFilesTxtAreFoundInAnyCaseAndWithBackslashesAndAStaleErrorListGoes)
{
    ASSERT_TRUE(QDir().mkdir(u"Unter"_qs));
    fixtures::writeBytes(u"Unter/Datei.txt"_qs, "x");
    fixtures::writeBytes(u"files.txt"_qs, "NAMEN.DBF\r\nunter\\DATEI.TXT\nChemie.Dbf");
    fixtures::writeBytes(u"init.err"_qs, "vom letzten Lauf\r\n");
    starten();
    EXPECT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_FALSE(vorhanden(u"init.err"_qs));
}

TEST_F(Start, AMissingFilesTxtEndsTheStartLikeAMissingFile)
{
    ASSERT_TRUE(QFile::remove(u"FILES.TXT"_qs));
    starten();
    EXPECT_EQ(fixtures::readBytes(u"init.err"_qs), QByteArray("FILES.TXT nicht vorhanden\r\n"));
    EXPECT_EQ(meldungenDesStarts().size(), 1);
    erwarteAbbruchOhneGeoeffneteTabellen();
}

TEST_F(Start, AnUnreadableFilesTxtEndsTheStart)
{
    QFile::setPermissions(u"FILES.TXT"_qs, QFileDevice::Permissions());
    if (QFile f(u"FILES.TXT"_qs); f.open(QIODevice::ReadOnly)) {
        // Rights that read any file: a file that opens but fails to read.
        ASSERT_TRUE(QFile::remove(u"FILES.TXT"_qs));
        ASSERT_TRUE(QFile::link(u"/proc/self/mem"_qs, u"FILES.TXT"_qs));
    }
    starten();
    EXPECT_EQ(fixtures::readBytes(u"init.err"_qs), QByteArray("FILES.TXT nicht lesbar\r\n"));
    erwarteAbbruchOhneGeoeffneteTabellen();
}

TEST_F(Start, AnErrorListThatCannotBeWrittenIsShownInTheMessageInstead)
{
    fixtures::writeBytes(u"FILES.TXT"_qs, "fehlt.dbf\r\n");
    ASSERT_TRUE(QDir().mkdir(u"init.err"_qs));
    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    const QString meldung = meldungenDesStarts().front();
    EXPECT_TRUE(meldung.contains(u"konnte nicht in der Datei init.err gespeichert werden"_qs)) << meldung.toStdString();
    EXPECT_TRUE(meldung.contains(u"fehlt.dbf nicht vorhanden"_qs));
    EXPECT_TRUE(meldung.endsWith(u"Das Programm wird nun beendet!"_qs));
    erwarteAbbruchOhneGeoeffneteTabellen();
}

// --- tables that do not open

TEST_F(Start, ATableThatCannotBeOpenedEndsTheStartNamingTheFileAndWritesNothing)
{
    fixtures::writeBytes(u"chemie.dbf"_qs, QByteArray(300, 'x'));
    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    const QString meldung = meldungenDesStarts().front();
    EXPECT_TRUE(meldung.startsWith(u"Marlex kann nicht gestartet werden"_qs)) << meldung.toStdString();
    EXPECT_EQ(meldungen.back().kind, widgets::MessageKind::Error);
    EXPECT_TRUE(meldung.contains(u"chemie.dbf"_qs, Qt::CaseInsensitive)) << meldung.toStdString();
    EXPECT_TRUE(meldung.endsWith(u"Das Programm wird nun beendet!"_qs));
    erwarteAbbruchOhneGeoeffneteTabellen();
    EXPECT_FALSE(vorhanden(u"init.err"_qs));
}

TEST_F(Start, ExclusiveAccessRefusedWhileAnotherHoldsTheTableEndsTheStart)
{
    option(u"ExklusivZugriff"_qs, u"1"_qs);
    dbase::Table anderer;
    anderer.setTableName(u"lager.dbf"_qs);
    anderer.open();
    starten();
    ASSERT_EQ(meldungenDesStarts().size(), 1) << "the shared open elsewhere must refuse the exclusive one";
    EXPECT_TRUE(meldungenDesStarts().front().contains(u"lager.dbf"_qs, Qt::CaseInsensitive))
        << meldungenDesStarts().front().toStdString();
    EXPECT_FALSE(programm->gestartet());
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6})
        EXPECT_FALSE(t->active());
}

// --- access modes

TEST_F(Start, ReadOnlyModeReopensTheThreeTablesReadOnlyAndLocksTheEditingCommands)
{
    option(u"Nur Lesemodus"_qs, u"1"_qs);
    starten();
    ASSERT_TRUE(programm->gestartet());
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3}) {
        EXPECT_TRUE(t->active());
        EXPECT_TRUE(t->readOnly()) << t->tableName().toStdString();
        EXPECT_FALSE(t->exclusive());
    }
    // The structure pictures too: a write-protected register opens no other way.
    EXPECT_TRUE(Datas->Table6->readOnly());
    EXPECT_FALSE(Marlex->ndern1->isEnabled());
    EXPECT_FALSE(Marlex->Neueingabe1->isEnabled());
    EXPECT_FALSE(Marlex->ToolButton31->isEnabled());
    EXPECT_EQ(Marlex->ListBox1->count(), 4);
}

TEST_F(Start, ExclusiveModeReopensTheThreeTablesExclusively)
{
    option(u"ExklusivZugriff"_qs, u"1"_qs);
    starten();
    ASSERT_TRUE(programm->gestartet());
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table3}) {
        EXPECT_TRUE(t->active());
        EXPECT_TRUE(t->exclusive()) << t->tableName().toStdString();
        EXPECT_FALSE(t->readOnly());
    }
    EXPECT_FALSE(Datas->Table4->exclusive());
    dbase::Table anderer;
    anderer.setTableName(u"chemie.dbf"_qs);
    EXPECT_THROW(anderer.open(), dbase::DbaseError);
    EXPECT_TRUE(Marlex->ndern1->isEnabled());
}

// --- the first start

TEST_F(Start, TheFirstStartClearsItsFlagInTheSettingsFile)
{
    option(u"First"_qs, u"1"_qs);
    // The takeover offered at the first start, left without one.
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [](TDatenuebernahme&) {});
    EXPECT_TRUE(programm->gestartet());
    EXPECT_EQ(ini::IniFile(prog + u"marlex99.ini"_qs).readString(SektionOptionen, u"First"_qs, {}), u"0"_qs);
}

TEST_F(Start, ASettingsFileThatCannotBeWrittenIsReportedAndTheStartGoesOn)
{
    // The settings file's name taken by a directory: every option has its
    // default, "First" included, and the write after the first start fails.
    ASSERT_TRUE(QFile::remove(prog + u"marlex99.ini"_qs));
    ASSERT_TRUE(QDir().mkdir(prog + u"marlex99.ini"_qs));
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [](TDatenuebernahme&) {});
    EXPECT_TRUE(programm->gestartet());
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    EXPECT_EQ(meldungen.front().kind, widgets::MessageKind::Warning);
    EXPECT_TRUE(meldungenDesStarts().front().contains(u"marlex99.ini"_qs)) << meldungenDesStarts().front().toStdString();
    EXPECT_EQ(Marlex->ListBox1->count(), 4);
}

// --- the index library

class Indexbibliothek : public Start {
protected:
    void installieren(const char* bibliothek)
    {
        ASSERT_TRUE(QFile::copy(QString::fromUtf8(bibliothek), prog + u"libmarlex99.so"_qs));
    }
    QByteArray protokoll() const { return fixtures::readBytes(u"reindex.log"_qs); }
};

TEST_F(Indexbibliothek, IsCalledInItsOrderBeforeTheFileCheckWhenIndexCheckIsSet)
{
    option(u"IndexCheck"_qs, u"1"_qs);
    installieren(PROTOKOLL_LIBRARY);
    fixtures::writeBytes(u"FILES.TXT"_qs, "fehlt.dbf\r\n");
    starten();
    EXPECT_EQ(protokoll(), QByteArray("geladen\nInit\nNAMEN\nCHEMIE\nSIGEF\nFORMEL\nLAGER\nClose\n"));
    EXPECT_FALSE(programm->gestartet());
}

TEST_F(Indexbibliothek, IsFoundBesideTheProgramFileThatBearsItsName)
{
    // The program file "marlex99" lies in the program directory beside
    // libmarlex99.so; the loader must not take it for the library.
    ASSERT_TRUE(QFile::copy(QCoreApplication::applicationFilePath(), prog + u"marlex99"_qs));
    option(u"IndexCheck"_qs, u"1"_qs);
    installieren(PROTOKOLL_LIBRARY);
    starten();
    EXPECT_EQ(protokoll(), QByteArray("geladen\nInit\nNAMEN\nCHEMIE\nSIGEF\nFORMEL\nLAGER\nClose\n"));
    EXPECT_TRUE(programm->gestartet());
}

TEST_F(Indexbibliothek, IsNeverLoadedWithoutIndexCheck)
{
    option(u"IndexCheck"_qs, u"0"_qs);
    installieren(PROTOKOLL_LIBRARY);
    starten();
    EXPECT_TRUE(programm->gestartet());
    EXPECT_FALSE(vorhanden(u"reindex.log"_qs));
}

TEST_F(Indexbibliothek, ALibraryLackingAnEntryPointIsNotCalledAtAll)
{
    option(u"IndexCheck"_qs, u"1"_qs);
    installieren(PROTOKOLL_OHNE_LAGER_LIBRARY);
    starten();
    EXPECT_EQ(protokoll(), QByteArray("geladen\n"));
    ASSERT_EQ(meldungenDesStarts().size(), 1);
    EXPECT_TRUE(meldungenDesStarts().front().contains(u"_ReINDEX_LAGER"_qs));
    EXPECT_TRUE(programm->gestartet());
    EXPECT_EQ(Marlex->ListBox1->count(), 4);
}

TEST_F(Indexbibliothek, AMissingLibraryIsPassedOverSilently)
{
    option(u"IndexCheck"_qs, u"1"_qs);
    starten();
    EXPECT_TRUE(programm->gestartet());
    EXPECT_TRUE(meldungenDesStarts().isEmpty());
}

TEST_F(Indexbibliothek, TheRealLibraryBringsAnIndexThatMissesARowUpToDate)
{
    // A row added by a program that does not keep the index: only the
    // rebuild lets the list show it.
    {
        auto datei = dbase::DbfFile::open(dir.file("namen.dbf"), dbase::OpenMode::ReadWrite,
                                          dbase::ShareMode::Shared);
        std::string satz = datei->blankRecord();
        const auto setzen = [&](const char* feld, const std::string& wert) {
            satz.replace(datei->layout().field(datei->layout().indexOf(feld)).offset, wert.size(), wert);
        };
        setzen("NAME1", "Weingeist");
        setzen("STRIPNAME1", "WEINGEIST");
        setzen("CARN", "64-17-5");
        setzen("SUBCARN", "1");
        datei->appendRecord(satz);
    }
    option(u"IndexCheck"_qs, u"1"_qs);
    installieren(INDEX_LIBRARY);
    starten();
    ASSERT_TRUE(programm->gestartet()) << meldungenDesStarts().join(u'\n').toStdString();
    EXPECT_EQ(listenTexte(), alleNamen + QStringList{u"Weingeist"_qs});
}
