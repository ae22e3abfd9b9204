#include <gtest/gtest.h>

#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QJsonArray>
#include <QJsonObject>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "FilterTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Events.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "search/Memoanzeigen.h"
#include "search/MemoSuchen.h"
#include "widgets/DBMemo.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;
using filtertest::imDialogVon;
using filtertest::meldungstexte;

namespace {

const QString aceton = u"67-64-1"_qs;
const QString benzol = u"71-43-2"_qs;
const QString chlor = u"7782-50-5"_qs;
const QString eigen = u"EIG'1"_qs;

// Five names over four substances, in name order: Aceton, Benzol, Chlor,
// Dimethylketon (Aceton), O'Brien-Reagenz, Propanon (Aceton), and a name
// whose substance is missing (Waisenkind). Memos: Aceton's has two lines,
// Benzol's the word of Aceton's in capitals, Chlor has none.
class MemoRegister : public Register {
public:
    // `vorDemStart` runs on the tables as written, before the program opens them.
    explicit MemoRegister(const std::function<void()>& vorDemStart = {})
    {
        symbolOrdnerSchreiben(QDir(programm()));
        namenSchreiben({{u"Propanon"_qs, aceton}, {u"Benzol"_qs, benzol}, {u"Waisenkind"_qs, u"1-11-1"_qs},
                        {u"O'Brien-Reagenz"_qs, eigen}, {u"Aceton"_qs, aceton}, {u"Chlor"_qs, chlor},
                        {u"Dimethylketon"_qs, aceton}});
        chemieSchreiben({{aceton, u"1"_qs, {{NAME1, u"Aceton"_qs}, {MEMOTEXT, u"Nur im Abzug verwenden.\r\nReste "
                                                                               u"sammeln."_qs}}},
                         {benzol, u"1"_qs, {{NAME1, u"Benzol"_qs}, {MEMOTEXT, u"krebserzeugend, nur im ABZUG"_qs}}},
                         {chlor, u"1"_qs, {{NAME1, u"Chlor"_qs}}},
                         {eigen, u"1"_qs, {{NAME1, u"O'Brien-Reagenz"_qs}, {MEMOTEXT, u"nach O'Briens Vorschrift"_qs}}}});
        lagerSchreiben({});
        formelnSchreiben({});
        if (vorDemStart)
            vorDemStart();
        TMarlex& m = starten();
        m.show();
        m.DatenlisteEinlesen();
    }

    int zeile(const QString& name) const
    {
        const widgets::NameList& liste = *m_m().ListBox1;
        for (int i = 0; i < liste.count(); ++i)
            if (liste.text(i) == name)
                return i;
        return -1;
    }
    // The user clicks the name's line in the list.
    void waehlen(const QString& name)
    {
        widgets::NameList& liste = *m_m().ListBox1;
        const int z = zeile(name);
        ASSERT_GE(z, 0) << name.toStdString();
        liste.scrollTo(liste.model()->index(z, 0));
        QTest::mouseClick(liste.viewport(), Qt::LeftButton, {}, liste.visualRect(liste.model()->index(z, 0)).center());
        ASSERT_EQ(liste.itemIndex(), z);
    }

private:
    TMarlex& m_m() const { return const_cast<MemoRegister*>(this)->fenster(); }
};

QString memoVon(const QString& carn)
{
    for (const auto& zeile : fixtures::readWithDbfread("chemie.dbf").rows)
        if (zeile.toObject().value("CARN").toString() == carn)
            return zeile.toObject().value("MEMOTEXT").toString();
    return u"(kein Stoff)"_qs;
}

// Types the text into the search field as a user does, line by line.
void suchtextTippen(TMemoSuchen& d, const QString& text)
{
    QTest::mouseClick(d.Memo1->viewport(), Qt::LeftButton);
    const QStringList zeilen = text.split(u'\n');
    for (int i = 0; i < zeilen.size(); ++i) {
        if (i > 0)
            QTest::keyClick(d.Memo1, Qt::Key_Return);
        QTest::keyClicks(d.Memo1, zeilen[i]);
    }
    ASSERT_EQ(d.Memo1->toPlainText(), text);
}

QStringList eintraege(const QComboBox& box)
{
    QStringList texte;
    for (int i = 0; i < box.count(); ++i)
        texte << box.itemText(i);
    return texte;
}

// Searches through "&Memo" > "&Suchen" and hands the open window on.
void memoSuchen(TMarlex& m, const QString& text, const std::function<void(TMemoSuchen&)>& danach)
{
    imDialogVon<TMemoSuchen>([&] { m.Suchen2->trigger(); },
                             [&](TMemoSuchen& d) {
                                 EXPECT_EQ(d.windowTitle(), "Memo suchen");
                                 if (!text.isEmpty())
                                     suchtextTippen(d, text);
                                 QTest::mouseClick(d.Button1, Qt::LeftButton);
                                 danach(d);
                             });
}

// Opens the memo window through a command and hands it on.
void imMemofenster(const std::function<void()>& oeffnen, const std::function<void(TMemoanzeigen&)>& schritte)
{
    imDialogVon<TMemoanzeigen>(oeffnen, schritte);
}

void tippen(TMemoanzeigen& d, const QString& text)
{
    QTest::mouseClick(d.DBMemo1->viewport(), Qt::LeftButton);
    QTest::keyClick(d.DBMemo1, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(d.DBMemo1, text);
}

// The substance table holds nothing back and no record open for change.
void nichtsOffen()
{
    EXPECT_FALSE(Datas->Table2->cachedUpdates());
    EXPECT_EQ(Datas->Table2->state(), dbase::TableState::Browse);
}

} // namespace

TEST(MemoSuchen, FindsEveryNameOfTheSubstancesWhoseMemoHoldsTheTextCaseCountingAndGoesToTheChosenOne)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Chlor"_qs);
    const std::uint32_t namenVorher = Datas->Table1->recNo();
    const std::uint32_t chemieVorher = Datas->Table2->recNo();

    memoSuchen(m, u"Abzug"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(eintraege(*d.ComboBox1), QStringList({"Aceton", "Dimethylketon", "Propanon"}))
            << "Benzol's memo has the word in capitals; one entry per name, in name order";
        EXPECT_EQ(d.ComboBox1->currentIndex(), 0);
        EXPECT_TRUE(d.ComboBox1->isEnabled());
        EXPECT_TRUE(d.Button3->isEnabled());
        EXPECT_TRUE(d.isVisible()) << "the window stays open after a search";
        EXPECT_EQ(Datas->Table1->recNo(), namenVorher) << "the search leaves the name table where it was";
        EXPECT_EQ(Datas->Table2->recNo(), chemieVorher);
        EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Chlor") << "the record page did not follow the search";
        EXPECT_FALSE(ListeEinlesen->isVisible());

        // The user picks the third entry with the keyboard and goes to it.
        d.ComboBox1->setFocus();
        QTest::keyClick(d.ComboBox1, Qt::Key_Down);
        QTest::keyClick(d.ComboBox1, Qt::Key_Down);
        ASSERT_EQ(d.ComboBox1->currentText(), "Propanon");
        QTest::mouseClick(d.Button3, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });

    const int ziel = r.zeile(u"Propanon"_qs);
    EXPECT_EQ(m.ListBox1->itemIndex(), ziel) << "the found line is the list's current line";
    EXPECT_EQ(m.ListBox1->selectedLines(), std::vector<int>{ziel});
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), "Propanon");
    EXPECT_EQ(Datas->Table2->fieldByName("CARN").asString(), aceton);
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Aceton") << "the record page shows the found substance";
    EXPECT_TRUE(m.Ansehen1->isEnabled());

    // Moving on in the list goes on from the found line.
    QTest::keyClick(m.ListBox1, Qt::Key_Down);
    EXPECT_EQ(Datas->Table1->fieldByName("NAME1").asString(), m.ListBox1->text(ziel + 1));
}

TEST(MemoSuchen, TakesLineBreaksAndApostrophesAsTheyStandAndSaysWhenThereIsNothingToFind)
{
    MemoRegister r;
    TMarlex& m = r.fenster();

    memoSuchen(m, u"verwenden.\nReste"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(eintraege(*d.ComboBox1), QStringList({"Aceton", "Dimethylketon", "Propanon"}))
            << "the stored line break matches the typed one";
    });
    memoSuchen(m, u"O'Briens"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(eintraege(*d.ComboBox1), QStringList({"O'Brien-Reagenz"}));
    });
    EXPECT_TRUE(r.meldungen().empty()) << meldungstexte(r).join(u'|').toStdString();

    memoSuchen(m, {}, [&](TMemoSuchen& d) {
        EXPECT_EQ(meldungstexte(r).value(0), "Es wurde kein Suchtext eingegeben.");
        EXPECT_TRUE(d.isVisible());
    });
    memoSuchen(m, u"abzug verwenden"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(meldungstexte(r).value(1), "Es wurden keine übereinstimmenden Datensätze gefunden.");
        EXPECT_EQ(d.ComboBox1->count(), 0);
        EXPECT_FALSE(d.Button3->isEnabled());
        EXPECT_FALSE(d.ComboBox1->isEnabled());
    });
    EXPECT_EQ(r.meldungen().size(), 2u);
}

TEST(MemoSuchen, PassesOverNamesWithoutASubstance)
{
    MemoRegister r;
    dbase::Table& namen = *Datas->Table1;
    const MemoSuchergebnis ergebnis = MemotexteDurchsuchen(namen, *Datas->Table2, u"e"_qs);
    QStringList namenGefunden;
    for (const MemoTreffer& t : ergebnis.treffer) {
        namenGefunden << t.name;
        ASSERT_TRUE(namen.gotoRecNo(t.recNo));
        EXPECT_EQ(namen.fieldByName("NAME1").asString(), t.name) << "the record number is the name row's";
    }
    EXPECT_EQ(namenGefunden, QStringList({"Aceton", "Benzol", "Dimethylketon", "O'Brien-Reagenz", "Propanon"}))
        << "neither Chlor (no memo) nor Waisenkind (no substance; the table stood on Aceton before)";
    EXPECT_EQ(ergebnis.unlesbar, 0);
}

TEST(MemoSuchen, MemosThatCannotBeReadArePassedOverAndCounted)
{
    // The memo file lost everything behind its header.
    MemoRegister r([] { std::filesystem::resize_file("chemie.dbt", 512); });
    ASSERT_EQ(r.meldungen().size(), 1u) << "the record shown first tells of its memo";
    memoSuchen(r.fenster(), u"im"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(d.ComboBox1->count(), 0);
        EXPECT_TRUE(d.isVisible());
    });
    EXPECT_EQ(meldungstexte(r).mid(1), QStringList({"3 Memotexte können nicht gelesen werden; ihre Stoffe wurden bei der "
                                             "Suche übergangen.",
                                             "Es wurden keine übereinstimmenden Datensätze gefunden."}));
    EXPECT_FALSE(ListeEinlesen->isVisible());
}

TEST(Memofenster, AMemoEnteredIsStoredOnOkViewedReadOnlyAndFoundByTheSearch)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Chlor"_qs);
    EXPECT_FALSE(m.Ansehen1->isEnabled()) << "Chlor has no memo";
    EXPECT_FALSE(m.ToolButton55->isEnabled());

    imMemofenster([&] { m.Eingabe1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      EXPECT_EQ(d.windowTitle(), "Memo eingeben");
                      EXPECT_FALSE(d.DBMemo1->isReadOnly());
                      EXPECT_FALSE(d.Button2->isEnabled());
                      EXPECT_TRUE(Datas->Table2->cachedUpdates());
                      tippen(d, u"Giftig"_qs);
                      QTest::keyClick(d.DBMemo1, Qt::Key_Return);
                      QTest::keyClicks(d.DBMemo1, u"Nicht einatmen"_qs);
                      EXPECT_TRUE(memoVon(chlor).isEmpty()) << "held back until OK";
                      QTest::mouseClick(d.Button1, Qt::LeftButton);
                      EXPECT_FALSE(d.isVisible());
                  });
    nichtsOffen();
    EXPECT_EQ(memoVon(chlor), "Giftig\r\nNicht einatmen") << "read back by dbfread";
    EXPECT_TRUE(m.Ansehen1->isEnabled()) << "the memo entered can now be viewed";
    EXPECT_TRUE(m.ToolButton55->isEnabled());

    imMemofenster([&] { QTest::mouseClick(m.ToolButton55, Qt::LeftButton); },
                  [&](TMemoanzeigen& d) {
                      EXPECT_EQ(d.windowTitle(), "Memo anzeigen");
                      EXPECT_EQ(d.DBMemo1->toPlainText(), "Giftig\nNicht einatmen");
                      EXPECT_TRUE(d.DBMemo1->isReadOnly());
                      tippen(d, u"xyz"_qs);
                      EXPECT_EQ(d.DBMemo1->toPlainText(), "Giftig\nNicht einatmen") << "viewing changes nothing";
                      QTest::mouseClick(d.Button1, Qt::LeftButton);
                  });
    nichtsOffen();
    EXPECT_EQ(memoVon(chlor), "Giftig\r\nNicht einatmen");

    // From another substance, the new memo is found and gone to.
    r.waehlen(u"Benzol"_qs);
    memoSuchen(m, u"einatmen"_qs, [&](TMemoSuchen& d) {
        EXPECT_EQ(eintraege(*d.ComboBox1), QStringList({"Chlor"}));
        QTest::mouseClick(d.Button3, Qt::LeftButton);
    });
    EXPECT_EQ(m.ListBox1->itemIndex(), r.zeile(u"Chlor"_qs));
    EXPECT_EQ(m.DBRichEdit2->toPlainText(), "Chlor");
    EXPECT_TRUE(m.Ansehen1->isEnabled());
}

TEST(Memofenster, AbbruchDropsWhatWasTypedAfterEditieren)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Benzol"_qs);
    imMemofenster([&] { m.Ansehen1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      ASSERT_TRUE(d.Button2->isEnabled());
                      QTest::mouseClick(d.Button2, Qt::LeftButton);
                      EXPECT_TRUE(d.isVisible());
                      EXPECT_FALSE(d.DBMemo1->isReadOnly());
                      tippen(d, u" und giftig"_qs);
                      EXPECT_EQ(d.DBMemo1->toPlainText(), "krebserzeugend, nur im ABZUG und giftig");
                      QTest::mouseClick(d.Button3, Qt::LeftButton);
                  });
    nichtsOffen();
    EXPECT_EQ(Datas->Table2->fieldByName("MEMOTEXT").asString(), "krebserzeugend, nur im ABZUG");
    EXPECT_EQ(memoVon(benzol), "krebserzeugend, nur im ABZUG");
    EXPECT_TRUE(r.meldungen().empty()) << "Abbruch asks nothing";
}

TEST(Memofenster, ClosingItOtherwiseAsksWhetherToKeepTheChanges)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Benzol"_qs);
    std::vector<widgets::MessageRequest> fragen;
    widgets::Answer antwort = widgets::Answer::Yes;
    const widgets::ScopedAnswerProvider antworten([&](const widgets::MessageRequest& frage) {
        fragen.push_back(frage);
        return antwort;
    });

    // The close box, answered "Ja": kept.
    imMemofenster([&] { m.Eingabe1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      tippen(d, u"!"_qs);
                      d.close();
                      EXPECT_FALSE(d.isVisible());
                  });
    ASSERT_EQ(fragen.size(), 1u);
    EXPECT_EQ(fragen[0].text, "Der Memotext wurde geändert.\n\nSollen die Änderungen gespeichert werden?");
    EXPECT_EQ(fragen[0].buttons, QList<widgets::Answer>({widgets::Answer::Yes, widgets::Answer::No}));
    nichtsOffen();
    EXPECT_EQ(memoVon(benzol), "krebserzeugend, nur im ABZUG!");

    // Escape, answered "Nein": dropped.
    antwort = widgets::Answer::No;
    imMemofenster([&] { m.Eingabe1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      tippen(d, u"?"_qs);
                      QTest::keyClick(d.DBMemo1, Qt::Key_Escape);
                      EXPECT_FALSE(d.isVisible());
                  });
    EXPECT_EQ(fragen.size(), 2u);
    nichtsOffen();
    EXPECT_EQ(Datas->Table2->fieldByName("MEMOTEXT").asString(), "krebserzeugend, nur im ABZUG!");
    EXPECT_EQ(memoVon(benzol), "krebserzeugend, nur im ABZUG!");

    // Nothing typed: nothing to ask.
    imMemofenster([&] { m.Eingabe1->trigger(); }, [&](TMemoanzeigen& d) { d.close(); });
    EXPECT_EQ(fragen.size(), 2u);
    nichtsOffen();
}

TEST(Memofenster, AMemoTheTableRefusesStaysInTheWindowAndIsToldInGerman)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Benzol"_qs);
    // chemie.dbt cannot be written, as on a broken network share.
    dbftest::ScopedFileIo io{[] {
        struct Io : dbftest::ForwardingFileIo {
            void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
            {
                if (m_path.extension() == ".dbt")
                    throw dbase::DbaseError("Die Datei \"" + m_path.string() + "\" kann nicht geschrieben werden");
                ForwardingFileIo::writeAt(offset, data, size);
            }
        };
        return std::make_unique<Io>();
    }};
    Datas->Table2->close();
    Datas->Table2->open();
    m.AktuellenDatensatzZeigen();

    imMemofenster([&] { m.Eingabe1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      tippen(d, u" (alt)"_qs);
                      QTest::mouseClick(d.Button1, Qt::LeftButton);
                      EXPECT_TRUE(d.isVisible()) << "the text typed is not lost";
                      EXPECT_EQ(d.DBMemo1->toPlainText(), "krebserzeugend, nur im ABZUG (alt)");
                      ASSERT_EQ(r.meldungen().size(), 1u);
                      EXPECT_TRUE(r.meldungen()[0].text.startsWith("Der Memotext konnte nicht gespeichert werden:"))
                          << r.meldungen()[0].text.toStdString();
                      QTest::mouseClick(d.Button3, Qt::LeftButton);
                  });
    nichtsOffen();
    EXPECT_EQ(Datas->Table2->fieldByName("MEMOTEXT").asString(), "krebserzeugend, nur im ABZUG");
}

TEST(Memofenster, ItsContextMenuCopiesTheSelectionAndPastesOnlyIntoAnEditableMemo)
{
    MemoRegister r;
    TMarlex& m = r.fenster();
    r.waehlen(u"Aceton"_qs);
    const auto rechtsklick = [](TMemoanzeigen& d) {
        const QPoint stelle = d.DBMemo1->viewport()->rect().center();
        QContextMenuEvent klick(QContextMenuEvent::Mouse, stelle, d.DBMemo1->viewport()->mapToGlobal(stelle));
        QApplication::sendEvent(d.DBMemo1->viewport(), &klick);
        EXPECT_TRUE(fixtures::processEventsUntil([&] { return d.PopupMenu1->isVisible(); })) << "no context menu";
    };
    const auto waehlen = [](TMemoanzeigen& d, QAction* item) {
        QTest::mouseClick(d.PopupMenu1, Qt::LeftButton, {}, d.PopupMenu1->actionGeometry(item).center());
    };

    imMemofenster([&] { m.Ansehen1->trigger(); },
                  [&](TMemoanzeigen& d) {
                      QApplication::clipboard()->setText(u"vorher"_qs);
                      // A double click on the first word selects it.
                      QTextCursor wort(d.DBMemo1->document());
                      wort.setPosition(1);
                      QTest::mouseDClick(d.DBMemo1->viewport(), Qt::LeftButton, {},
                                         d.DBMemo1->cursorRect(wort).center());
                      rechtsklick(d);
                      EXPECT_FALSE(d.Einfgen1->isEnabled()) << "a memo only viewed takes nothing";
                      ASSERT_TRUE(d.Kopieren1->isEnabled());
                      waehlen(d, d.Kopieren1);
                      EXPECT_EQ(QApplication::clipboard()->text(), "Nur");

                      QTest::mouseClick(d.Button2, Qt::LeftButton);
                      QTest::keyClick(d.DBMemo1, Qt::Key_End, Qt::ControlModifier);
                      rechtsklick(d);
                      ASSERT_TRUE(d.Einfgen1->isEnabled());
                      EXPECT_FALSE(d.Kopieren1->isEnabled()) << "nothing selected";
                      waehlen(d, d.Einfgen1);
                      EXPECT_EQ(d.DBMemo1->toPlainText(), "Nur im Abzug verwenden.\nReste sammeln.Nur");

                      QApplication::clipboard()->clear();
                      rechtsklick(d);
                      EXPECT_FALSE(d.Einfgen1->isEnabled()) << "the clipboard holds no text";
                      d.PopupMenu1->hide();
                      QTest::mouseClick(d.Button1, Qt::LeftButton);
                  });
    nichtsOffen();
    EXPECT_EQ(memoVon(aceton), "Nur im Abzug verwenden.\r\nReste sammeln.Nur");
}
