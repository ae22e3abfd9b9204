#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTextEdit>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <filesystem>
#include <map>

#include "MarlexTestSupport.h"
#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "app/SymbolBild.h"
#include "data/Init.h"
#include "data/Programm.h"
#include "fixtures/Tdbf.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "widgets/DBEdit.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

namespace {

using namespace marlextest;

// The phrase table the start opens with the others.
void phrasenSchreiben()
{
    dbase::Table t;
    t.setTableName(QStringLiteral("si_gef.dbf"));
    t.createTable(dbase::TableLayout({{"NRSATZ", dbase::FieldType::Character, 8},
                                      {"ZEILE", dbase::FieldType::Character, 2},
                                      {"SATZTEXT", dbase::FieldType::Character, 80}}));
    t.open();
    t.append();
    t.field(0).setAsString(QStringLiteral("R11"));
    t.field(2).setAsString(QStringLiteral("11= Leichtentzündlich"));
    t.post();
    t.close();
    t.addIndex({"NRSATZ_SUB", "NRSATZ", false});
}

// What a start needs beside the name, substance, storage and structure
// tables: the phrase table, the pictograms and the list of required files;
// and settings that say it is not the first start, which would offer the
// takeover of an earlier version's storage data first.
void startdateienSchreiben(Register& reg)
{
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("First"), QStringLiteral("0"));
    phrasenSchreiben();
    symbolOrdnerSchreiben(QDir(reg.programm()));
    QFile liste(QStringLiteral("FILES.TXT"));
    ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
    liste.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf\r\n");
}

} // namespace

// The whole program on a small register, started as its main routine does
// it: the windows in their order, the start of the data side, the hand-over
// to the main window with the first name's substance on show.
TEST(Programmstart, StartsOnASmallRegisterAndShowsTheFirstNamesSubstance)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Ethanol"), QStringLiteral("64-17-5")},
                    {QStringLiteral("Aceton"), QStringLiteral("67-64-1")},
                    {QStringLiteral("Dimethylketon"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("64-17-5"), QStringLiteral("1"), {{NAME1, QStringLiteral("Ethanol")}, {GEFSYM1, QStringLiteral("F")}}},
                     {QStringLiteral("67-64-1"), QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Aceton")}, {GEFSYM1, QStringLiteral("F")}, {GEFSYM2, QStringLiteral("Xi")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")}});
    formelnSchreiben({QStringLiteral("67-64-1")});
    startdateienSchreiben(reg);
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("Darstellung in Farbe"), QStringLiteral("1"));

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();

    EXPECT_TRUE(Marlex->isVisible());
    EXPECT_FALSE(Init->isVisible());
    EXPECT_EQ(Marlex->PageControl1->currentWidget(), Marlex->TabSheet1);
    ASSERT_EQ(Marlex->ListBox1->count(), 3);
    EXPECT_EQ(Marlex->ListBox1->marker(0), TMarlex::LagerMarke);
    EXPECT_EQ(Marlex->ListBox1->marker(2), TMarlex::KeinLagerMarke);
    EXPECT_EQ(Marlex->Label48->text(), QStringLiteral("1"));
    EXPECT_EQ(Marlex->ChemieSatzAnzahl, 2);

    ASSERT_EQ(Marlex->ListBox1->itemIndex(), 0);
    EXPECT_EQ(Marlex->ListBox1->text(0), QStringLiteral("Aceton"));
    EXPECT_EQ(Marlex->DBEdit15->text(), QStringLiteral("67-64-1"));
    EXPECT_EQ(Marlex->DBRichEdit2->toPlainText(), QStringLiteral("Aceton"));
    EXPECT_EQ(Marlex->DBRichEdit4->toPlainText(), QStringLiteral("Aceton"));
    EXPECT_EQ(farbeVon(Marlex->Image2->picture()), symbolfarbe("F.", true));
    EXPECT_EQ(farbeVon(Marlex->Image3->picture()), symbolfarbe("Xi.", true));
    EXPECT_FALSE(Marlex->DBImage1->isHidden());
}

// A register whose name table is empty: the start shows no substance and
// offers no command for one, though the other tables have rows.
TEST(Programmstart, OnAnEmptyNameTableNoRecordIsShownOrOffered)
{
    Register reg;
    namenSchreiben({});
    chemieSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1"),
                      {{NAME1, QStringLiteral("Aceton")}, {GEFSYM1, QStringLiteral("F")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")}});
    formelnSchreiben({QStringLiteral("67-64-1")});
    startdateienSchreiben(reg);
    reg.einstellung(QStringLiteral("Optionen"), QStringLiteral("Lagerdatensätze markieren"), QStringLiteral("0"));

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();

    TMarlex& m = *Marlex;
    EXPECT_EQ(m.ListBox1->count(), 0);
    EXPECT_EQ(m.ListBox1->itemIndex(), -1);
    EXPECT_EQ(m.PageControl1->currentWidget(), m.TabSheet1);
    EXPECT_FALSE(m.PageControl1->isTabVisible(m.PageControl1->indexOf(m.TabSheet2)));
    for (QAction* a : {m.ndern1, m.Kopie1, m.Lschen1, m.Memo1, m.Ansehen1, m.Synonym1, m.Stoffinfo1,
                       m.Datensatzanzeigen1, m.Datensatzbearbeiten1, m.Datensatzkopieren1, m.Menu31,
                       m.Stoffinfoanzeigen1, m.Stoffinfodrucken1})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    for (QToolButton* b : {m.ToolButton41, m.ToolButton42, m.ToolButton52, m.ToolButton53, m.ToolButton55,
                           m.ToolButton57, m.ToolButton58, m.ToolButton23, m.ToolButton24, m.ToolButton39,
                           m.ToolButton40})
        EXPECT_FALSE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_TRUE(m.Neueingabe1->isEnabled()) << "a first substance can be entered";
    EXPECT_EQ(farbeVon(m.DBImage1->picture()), symbolfarbe("NODATA.", true)) << "not Aceton's structure";
    EXPECT_TRUE(m.Image2->picture().isEmpty());
    EXPECT_EQ(m.StatusPanel[0]->text(), QStringLiteral("0 / 1")) << "no record number of chemie.dbf";
    EXPECT_TRUE(m.StatusPanel[3]->text().isEmpty());
}

// The program's navigator and supplement window, made at start, work on the
// program's data module; left open, they do not keep the program running
// once "Beenden" has ended it.
TEST(Programmstart, TheSmallWindowsOfTheRecordPageAreMadeAtStartAndEndWithTheProgram)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Ethanol"), QStringLiteral("64-17-5")},
                    {QStringLiteral("Aceton"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("64-17-5"), QStringLiteral("1"), {{NAME1, QStringLiteral("Ethanol")}}},
                     {QStringLiteral("67-64-1"), QStringLiteral("1"), {{NAME1, QStringLiteral("Aceton")}}}});
    lagerSchreiben({});
    formelnSchreiben({});
    startdateienSchreiben(reg);
    QDir(reg.programm()).mkpath(QStringLiteral("Hilfe"));
    QFile seite(reg.programm() + QStringLiteral("Hilfe/hinweis1.htm"));
    ASSERT_TRUE(seite.open(QIODevice::WriteOnly));
    seite.write("<p>Hinweis</p>");
    seite.close();

    {
        const Programm programm;
        ASSERT_TRUE(programm.gestartet());
        ASSERT_NE(Datennavigator, nullptr);
        ASSERT_NE(Einstufung, nullptr);
        EXPECT_FALSE(Datennavigator->isVisible());
        EXPECT_FALSE(Einstufung->isVisible());

        TMarlex& m = *Marlex;
        m.Datensatzanzeigen1->trigger();
        QTest::mouseClick(m.ToolButton2, Qt::LeftButton);
        QTest::mouseClick(m.ToolButton6, Qt::LeftButton);
        ASSERT_TRUE(Datennavigator->isVisible());
        EXPECT_TRUE(Einstufung->isVisible());
        QTest::mouseClick(Datennavigator->findChild<QToolButton*>(QStringLiteral("nbNext")), Qt::LeftButton);
        EXPECT_EQ(m.ListBox1->itemIndex(), 1);
        EXPECT_EQ(m.DBRichEdit2->toPlainText(), QStringLiteral("Ethanol"));

        QTimer::singleShot(0, &m, [&m] { m.Beenden1->trigger(); });
        // The guard ends with this block: left pending, it would fire in a
        // later test, and an exit outside the application's own loop makes
        // every later event loop (each modal dialog's) return at once.
        QObject wache;
        QTimer::singleShot(5000, &wache, [] { QApplication::exit(1); });
        EXPECT_EQ(QApplication::exec(), 0) << "the program ended";
    }
    EXPECT_EQ(Datennavigator, nullptr);
    EXPECT_EQ(Einstufung, nullptr);
    for (const widgets::MessageRequest& m : reg.meldungen())
        ADD_FAILURE() << m.text.toStdString();
}

// Rows deleted in an earlier run stay in lager.dbf until it is packed; the
// storage count beside the picture counts only the rows the user has.
TEST(Programmstart, TheStorageCountLeavesOutDeletedRows)
{
    Register reg;
    namenSchreiben({{QStringLiteral("Aceton"), QStringLiteral("67-64-1")}});
    chemieSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1"), {{NAME1, QStringLiteral("Aceton")}}}});
    lagerSchreiben({{QStringLiteral("67-64-1"), QStringLiteral("1")},
                    {QStringLiteral("64-17-5"), QStringLiteral("1")},
                    {QStringLiteral("67-64-1"), QStringLiteral("1")}});
    {
        dbase::Table lager;
        lager.setTableName(QStringLiteral("lager.dbf"));
        lager.open();
        lager.first();
        lager.next();
        lager.remove();
    }
    formelnSchreiben({});
    startdateienSchreiben(reg);

    const Programm programm;
    ASSERT_TRUE(programm.gestartet());
    EXPECT_EQ(Marlex->Label48->text(), QStringLiteral("2"));
}

namespace {

// Counts the bytes read from each file opened while it lives, and the size
// of every file that was there to be read.
struct Lesemengen {
    std::map<std::filesystem::path, std::uint64_t> gelesen;
    std::map<std::filesystem::path, std::uint64_t> groesse;

    std::uint64_t summe(const std::map<std::filesystem::path, std::uint64_t>& werte) const
    {
        std::uint64_t s = 0;
        for (const auto& [datei, wert] : werte)
            s += wert;
        return s;
    }
};

class ZaehlendeIo final : public dbftest::ForwardingFileIo {
public:
    explicit ZaehlendeIo(std::shared_ptr<Lesemengen> mengen) : m_mengen(std::move(mengen)) {}

    void open(const std::filesystem::path& path, Access access) override
    {
        ForwardingFileIo::open(path, access);
        if (access != Access::Create) {
            std::uint64_t& groesse = m_mengen->groesse[std::filesystem::absolute(path)];
            groesse = std::max(groesse, m_inner->size());
        }
    }
    std::size_t readAt(std::uint64_t offset, char* data, std::size_t size) override
    {
        const std::size_t n = ForwardingFileIo::readAt(offset, data, size);
        m_mengen->gelesen[std::filesystem::absolute(m_path)] += n;
        return n;
    }

private:
    std::shared_ptr<Lesemengen> m_mengen;
};

} // namespace

// The start reads each file it opens about once: on a register this
// program wrote, and on the same register written by TDbf, whose index
// files hold a tag's pages in the order TDbf split them, not in the order
// of a walk through the tag.
TEST(Programmstart, ReadsEachFileAboutOnceOnARegisterOfEitherEngine)
{
    if (!fixtures::tdbfAvailable())
        GTEST_SKIP() << "the TDbf tools were not built (Free Pascal missing)";
    Register reg;
    constexpr int stoffe = 3000;
    constexpr int namenJeStoff = 5;
    std::vector<Name> namen;
    std::vector<Stoff> chemie;
    std::vector<std::pair<QString, QString>> lager;
    for (int i = 0; i < stoffe; ++i) {
        const QString carn = QStringLiteral("%1-%2-%3").arg(1000 + (i * 7919) % 9000).arg(i % 97).arg(i % 10);
        chemie.push_back({carn, QStringLiteral("1"), {{NAME1, QStringLiteral("Stoff %1").arg(i)}}});
        for (int n = 0; n < namenJeStoff; ++n)
            namen.push_back({QStringLiteral("Name %1 von %2").arg((i * 31 + n * 17) % 9973).arg(i), carn});
        if (i % 10 == 0)
            lager.emplace_back(carn, QStringLiteral("1"));
    }
    namenSchreiben(namen);
    chemieSchreiben(chemie);
    lagerSchreiben(lager);
    formelnSchreiben({});
    startdateienSchreiben(reg);

    for (const bool vonTdbf : {false, true}) {
        SCOPED_TRACE(vonTdbf ? "von TDbf geschrieben" : "von diesem Programm geschrieben");
        if (vonTdbf) {
            const std::filesystem::path kopien = "tdbf";
            std::filesystem::create_directory(kopien);
            fixtures::copyWithTdbf(kopien, {"namen.dbf", "chemie.dbf", "lager.dbf"});
            for (const auto& datei : std::filesystem::directory_iterator(kopien))
                std::filesystem::rename(datei.path(), datei.path().filename());
        }
        const auto mengen = std::make_shared<Lesemengen>();
        {
            const dbftest::ScopedFileIo io([mengen] { return std::make_unique<ZaehlendeIo>(mengen); });
            const Programm programm;
            ASSERT_TRUE(programm.gestartet());
            for (const widgets::MessageRequest& m : reg.meldungen())
                ADD_FAILURE() << m.text.toStdString();
            ASSERT_EQ(Marlex->ListBox1->count(), stoffe * namenJeStoff);
            EXPECT_EQ(Marlex->ListBox1->text(0), QStringLiteral("Name 0 von 0"));
        }
        for (const auto& [datei, menge] : mengen->gelesen)
            EXPECT_LE(menge, mengen->groesse[datei] * 3 / 2 + 4096) << datei;
        EXPECT_GT(mengen->groesse[std::filesystem::absolute("namen.mdx")], 0u);
        EXPECT_LE(mengen->summe(mengen->gelesen), mengen->summe(mengen->groesse) * 3 / 2);
    }
}
