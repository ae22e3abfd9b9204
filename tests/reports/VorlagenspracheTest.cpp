#include <gtest/gtest.h>

#include "ReportsTestSupport.h"
#include "fixtures/TempDir.h"
#include "reports/Vorlagensprache.h"

using reports::Vorlagensprache;

namespace {

class VorlagenspracheTest : public ::testing::Test {
protected:
    VorlagenspracheTest() { t.substanz("67-64-1", "2"); }

    QStringList memo(QStringList lines) const
    {
        sprache.Parser(lines);
        return lines;
    }

    QString caption(QString text) const
    {
        sprache.BedingungsParser(text);
        return text;
    }

    fixtures::TempDir dir;
    reportstest::Tabellen t;
    Vorlagensprache sprache{t.satz()};
};

} // namespace

TEST_F(VorlagenspracheTest, FieldReferencesReadTheCurrentRecords)
{
    t.lager.last();
    EXPECT_EQ(memo({"Nr. [chemie.dbf,CARN]", "", "[CHEMIE.DBF,NAME2] in [lager.dbf,LAGER_ORT]."}),
              QStringList({"Nr. 67-64-1", "", "Propanon in Keller."}));
    // Naming no table yields nothing; the text around it stays.
    EXPECT_EQ(memo({"<[formeln.dbf,FORMEL]>", "<[chemie.dbf CARN]>"}), QStringList({"<>", "<>"}));
    EXPECT_THROW(memo({"[chemie.dbf,GIBTSNICHT]"}), dbase::DbaseError);
    // Blanks belong to the arguments.
    EXPECT_THROW(memo({"[chemie.dbf, CARN]"}), dbase::DbaseError);
}

TEST_F(VorlagenspracheTest, TextInsertionReplacesItsLineByTheMatchingLines)
{
    EXPECT_EQ(memo({"Kopf", "vorher [+si_gef.dbf,NRSATZ,R,66] nachher", "Fuss"}),
              QStringList({"Kopf", "66= Wiederholter Kontakt kann zu spröder", "oder rissiger Haut führen.", "Fuss"}));
    EXPECT_EQ(memo({"A", "[+si_gef.dbf,NRSATZ,R,99]", "B"}), QStringList({"A", "B"}));
    // The value may be a field reference; the insertion's own "]" is lost with the line.
    EXPECT_EQ(memo({"[+lager.dbf,CARN,,[chemie.dbf,CARN]]"}), QStringList({"2", "2"}));
    // A value from the data is compared, never parsed: the apostrophe selects exactly.
    t.substanz("123-45-6", "0");
    EXPECT_EQ(memo({"[+namen.dbf,NAME1,,[chemie.dbf,NAME1]]"}), QStringList({"123-45-6"}));
    // A trailing "*" is a prefix, unless the table compares without partial keys.
    EXPECT_EQ(memo({"[+si_gef.dbf,NRSATZ,R,6*]"}).size(), 3);
    t.siGef.setFilterOptions({.caseInsensitive = false, .noPartialCompare = true});
    EXPECT_TRUE(memo({"[+si_gef.dbf,NRSATZ,R,6*]"}).isEmpty());
    EXPECT_TRUE(memo({"[+nirgends.dbf,NRSATZ,R,11]"}).isEmpty());
}

TEST_F(VorlagenspracheTest, TextInsertionLeavesItsTableUnfiltered)
{
    // Even the substance filter of the running sheet is gone afterwards.
    memo({"[+chemie.dbf,CARN,,64-17-5]"});
    EXPECT_FALSE(t.chemie.filtered());
    EXPECT_TRUE(t.chemie.filter().isEmpty());

    t.siGef.setFilter(dbase::Filter::parse("NRSATZ='S7'"));
    t.siGef.setFiltered(true);
    EXPECT_THROW(memo({"[+si_gef.dbf,GIBTSNICHT,,x]"}), dbase::DbaseError);
    EXPECT_EQ(t.siGef.filterText(), "NRSATZ='S7'"); // a rejected filter changes nothing
}

TEST_F(VorlagenspracheTest, ConditionTestsTogetherWithTheTablesFilterAndPutsItBack)
{
    t.lager.last();
    const auto lagerPlatz = t.lager.recNo();
    const QString substanzFilter = t.chemie.filterText();
    // Ethanol has this formula, but the sheet's substance is Aceton.
    EXPECT_EQ(memo({"a{chemie.dbf,FORMEL='C2H6O',Alkohol}b", "a{chemie.dbf,FORMEL='C3H6O',Keton}b"}),
              QStringList({"ab", "aKetonb"}));
    EXPECT_EQ(t.chemie.filterText(), substanzFilter);
    EXPECT_TRUE(t.chemie.filtered());
    // The body's references read the first passing record; the table returns afterwards.
    EXPECT_EQ(memo({"{lager.dbf,LAGER_ORT='Schrank*',[lager.dbf,NAME1] und mehr}."}), QStringList({"Ethanol."}));
    EXPECT_EQ(t.lager.recNo(), lagerPlatz);
    EXPECT_FALSE(t.lager.filtered());
    EXPECT_TRUE(t.lager.filter().isEmpty());
}

TEST_F(VorlagenspracheTest, ConditionEdgeCases)
{
    // Without "}" the body is plain text whether or not the condition holds.
    EXPECT_EQ(memo({"{chemie.dbf,GEFSYM2='Xi',reizend", "{chemie.dbf,GEFSYM2='T',giftig"}),
              QStringList({"reizend", "giftig"}));
    // A text insertion in the body runs when the condition holds.
    EXPECT_EQ(memo({"{chemie.dbf,GEFSYM2='Xi',[+si_gef.dbf,NRSATZ,R,36]}"}), QStringList({"36= Reizt die Augen."}));
    EXPECT_EQ(memo({"x{chemie.dbf,GEFSYM2='T',[+si_gef.dbf,NRSATZ,R,36]}"}), QStringList({"x"}));
    // A table that names none of the four never holds.
    EXPECT_EQ(memo({"<{formeln.dbf,CARN='67-64-1',da}>"}), QStringList({"<>"}));
    // A condition the filter parser rejects is its error, and the table keeps its state.
    const QString substanzFilter = t.chemie.filterText();
    EXPECT_THROW(memo({"{chemie.dbf,FORMEL=='x',y}"}), dbase::DbaseError);
    EXPECT_THROW(memo({"{chemie.dbf,GIBTSNICHT='x',y}"}), dbase::DbaseError);
    EXPECT_EQ(t.chemie.filterText(), substanzFilter);
    EXPECT_TRUE(t.chemie.filtered());
}

TEST_F(VorlagenspracheTest, CaptionsReadReferencesAndConditionsAgainInTheBody)
{
    EXPECT_EQ(caption("{chemie.dbf,GEFSYM1='F',Symbol [chemie.dbf,GEFSYM1] für [chemie.dbf,NAME1]}!"),
              "Symbol F für Aceton!");
    EXPECT_EQ(caption("{chemie.dbf,GEFSYM1='T',giftig}!"), "!");
    // An inner condition ends the outer body at its "}": it yields nothing,
    // its body is plain text when the outer holds, the outer "}" is left over.
    EXPECT_EQ(caption("{chemie.dbf,GEFSYM1='F',A{chemie.dbf,GEFSYM2='Xi',innen}B}"), "AinnenB}");
    EXPECT_EQ(caption("{chemie.dbf,GEFSYM1='T',A{chemie.dbf,GEFSYM2='Xi',innen}B}"), "B}");
    // "[+" is no insertion here: "+chemie.dbf" names no table.
    EXPECT_EQ(caption("x[+chemie.dbf,CARN]y"), "xy");
}

TEST_F(VorlagenspracheTest, PhraseMemoJoinsTheTextsOfEachLetter)
{
    QStringList saetze{"alt"};
    sprache.SaetzeFuellen(saetze);
    EXPECT_EQ(saetze, QStringList({"Leichtentzündlich. Reizt die Augen. Wiederholter Kontakt kann zu spröder oder "
                                   "rissiger Haut führen. Dämpfe können Schläfrigkeit verursachen. ",
                                   "",
                                   "Behälter an einem gut gelüfteten Ort aufbewahren. Von Zündquellen fernhalten - "
                                   "Nicht rauchen. "}));
    EXPECT_FALSE(t.siGef.filtered());
    EXPECT_TRUE(t.siGef.filter().isEmpty());
    EXPECT_TRUE(t.siGef.filterOptions().noPartialCompare);

    // No substance record at all: no phrases either, not those of a record read before.
    t.substanz("000-00-0", "0");
    sprache.SaetzeFuellen(saetze);
    EXPECT_EQ(saetze, QStringList({" ", "", " "}));

    t.substanz("123-45-6", "0");
    sprache.SaetzeFuellen(saetze);
    EXPECT_EQ(saetze, QStringList({" ", "", " "}));

    // Appending keeps the memo's lines; unknown numbers add nothing, and
    // numbers are taken as written (no prefix match of "1" on "110").
    t.substanz("64-17-5", "1");
    QStringList zeilen{"Kopf", ""};
    sprache.FetchRSToMemo(QLatin1Char('R'), 9, zeilen);
    EXPECT_EQ(zeilen, QStringList({"Kopf", "", "Leichtentzündlich. "}));
    t.chemie.edit();
    t.chemie.fieldByName("R_SATZ").setAsString("1-99-");
    t.chemie.post();
    zeilen.clear();
    sprache.FetchRSToMemo(QLatin1Char('R'), 9, zeilen);
    EXPECT_EQ(zeilen, QStringList({" "}));
}

TEST_F(VorlagenspracheTest, TablesInKeyOrderGiveTheSameTexts)
{
    const QStringList vorlage{
        "{chemie.dbf,GEFSYM2='Xi' AND NAME2<>'',reizend ([chemie.dbf,NAME2])}{chemie.dbf,GEFSYM1='T',giftig}",
        "{lager.dbf,CARN='67-64-1' AND LAGER_ORT<>'Schrank 2',[lager.dbf,LAGER_ORT]}{lager.dbf,CARN='99',nie}",
        "[+lager.dbf,CARN,,[chemie.dbf,CARN]]",
        "[+si_gef.dbf,NRSATZ,R,66]",
        "[+si_gef.dbf,NRSATZ,R,6*]",
        "[+namen.dbf,NAME1,,Bob's Stoff]",
    };
    const QString titel = QStringLiteral("{chemie.dbf,GEFSYM1='F',Symbol [chemie.dbf,GEFSYM1]}");
    const auto texte = [&] {
        t.siGef.setFilterOptions({}); // the phrase lookup leaves no-partial-compare behind
        const QStringList zeilen = memo(vorlage) + QStringList{caption(titel)};
        QStringList saetze;
        sprache.SaetzeFuellen(saetze);
        return zeilen + saetze;
    };
    const QStringList physisch = texte();
    ASSERT_EQ(physisch.size(), 14);

    // The data module's tables stand on tags that the filters' keys lead.
    for (auto [table, tag] : {std::pair{&t.chemie, dbase::IndexDef{"CARN_SUB", "CARN+SUBCARN", true}},
                              std::pair{&t.lager, dbase::IndexDef{"CARN_SUB", "CARN+SUBCARN", true}},
                              std::pair{&t.siGef, dbase::IndexDef{"NRSATZ_SUB", "NRSATZ+NR", true}},
                              std::pair{&t.namen, dbase::IndexDef{"NAME1", "NAME1"}}}) {
        table->addIndex(tag);
        table->setIndexName(QString::fromStdString(tag.name));
    }
    t.substanz("67-64-1", "2");
    EXPECT_EQ(texte(), physisch);
}
