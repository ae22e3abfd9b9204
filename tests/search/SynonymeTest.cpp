// The synonym dialogs driven as a user does: a line clicked in the name
// list, the dialog opened from its tool button or menu, a name typed, a
// button clicked. What is stored is read back by python3-dbfread.

#include <gtest/gtest.h>

#include <map>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "BedienungTestSupport.h"
#include "FilterTestSupport.h"
#include "app/NameRules.h"
#include "fixtures/Dbfread.h"
#include "search/Filtersetzen.h"
#include "search/Synoadd.h"
#include "search/Synoaendern.h"
#include "search/Synonyme.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace filtertest;

namespace {

void klick(QWidget* knopf)
{
    QTest::mouseClick(knopf, Qt::LeftButton);
}

void waehlen(TMarlex& m, const QString& name)
{
    marlextest::listenzeileKlicken(m, static_cast<int>(listenzeilen(m).indexOf(name)));
}

void tippen(QLineEdit* feld, const QString& text)
{
    QTest::mouseClick(feld, Qt::LeftButton);
    QTest::keyClick(feld, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(feld, Qt::Key_Delete);
    QTest::keyClicks(feld, text);
}

QStringList zeilen(const QListWidget* liste)
{
    QStringList texte;
    for (int i = 0; i < liste->count(); ++i)
        texte << liste->item(i)->text();
    return texte;
}

// The name rows of a table as dbfread reads them: "NAME1|STRIPNAME1|CARN|SUBCARN", sorted.
QStringList namenszeilen(const char* datei)
{
    QStringList texte;
    for (const auto& z : fixtures::readWithDbfread(datei).rows) {
        const QJsonObject o = z.toObject();
        texte << QStringList{o["NAME1"].toString(), o["STRIPNAME1"].toString(), o["CARN"].toString(),
                             o["SUBCARN"].toString()}
                     .join(u'|');
    }
    texte.sort();
    return texte;
}

// For messages that show the rows.
std::string text(const QStringList& zeilen)
{
    return zeilen.join(u'\n').toStdString();
}

QString namenszeile(const QString& name, const QString& carn, const QString& subcarn = u"1"_qs)
{
    return QStringList{name, StripNameBilden(name), carn, subcarn}.join(u'|');
}

} // namespace

TEST(Synonyme, ANameIsAddedRenamedAndRemovedThroughTheDialogs)
{
    FilterRegister r;
    TMarlex& m = r.m;
    const QStringList vorher = namenszeilen("namen.dbf");

    waehlen(m, u"Propanon"_qs);
    imDialogVon<TSynoadd>([&] { klick(m.ToolButton53); },
                          [&](TSynoadd& d) {
                              EXPECT_EQ(zeilen(d.ListBox1),
                                        (QStringList{u"Aceton"_qs, u"Dimethylketon"_qs, u"Propanon"_qs}));
                              EXPECT_EQ(d.Edit1->text(), u"Propanon"_qs);
                              tippen(d.Edit1, u"2-Propanon"_qs);
                              klick(d.Button1);
                              EXPECT_FALSE(d.isVisible());
                          });
    QStringList erwartet = vorher;
    erwartet << namenszeile(u"2-Propanon"_qs, aceton);
    erwartet.sort();
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(erwartet));
    EXPECT_TRUE(listenzeilen(m).contains(u"2-Propanon"_qs));

    waehlen(m, u"2-Propanon"_qs);
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  EXPECT_EQ(d.Edit1->text(), u"2-Propanon"_qs);
                                  tippen(d.Edit1, u"Dimethylformaldehyd"_qs);
                                  klick(d.Button1);
                              });
    erwartet.removeOne(namenszeile(u"2-Propanon"_qs, aceton));
    erwartet << namenszeile(u"Dimethylformaldehyd"_qs, aceton);
    erwartet.sort();
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(erwartet));
    EXPECT_TRUE(listenzeilen(m).contains(u"Dimethylformaldehyd"_qs));
    EXPECT_FALSE(listenzeilen(m).contains(u"2-Propanon"_qs));
    EXPECT_EQ(fixtures::readWithDbfread("chemie.dbf").rows[0].toObject()["NAME1"].toString(), u"Aceton"_qs)
        << "the substance keeps its own name";

    waehlen(m, u"Dimethylformaldehyd"_qs);
    {
        marlextest::Fragen ja(widgets::Answer::Yes);
        klick(m.ToolButton52);
        EXPECT_EQ(ja.texte, QStringList{u"Soll Dimethylformaldehyd aus der Liste entfernt werden?"_qs});
    }
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(vorher));
    EXPECT_FALSE(listenzeilen(m).contains(u"Dimethylformaldehyd"_qs));

    // A substance's only name stays, and so does its line.
    waehlen(m, u"Ethanol"_qs);
    klick(m.ToolButton52);
    ASSERT_FALSE(meldungstexte(r).isEmpty());
    EXPECT_EQ(meldungstexte(r).last(), u"Das letzte Synonym (Ethanol) kann nicht gelöscht werden!"_qs);
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(vorher));
    EXPECT_TRUE(listenzeilen(m).contains(u"Ethanol"_qs));
}

TEST(Synonyme, AnEmptyNameOrOneTheSubstanceHasIsRefusedAndTheDialogStays)
{
    FilterRegister r;
    TMarlex& m = r.m;
    const QStringList vorher = namenszeilen("namen.dbf");
    waehlen(m, u"Aceton"_qs);
    imDialogVon<TSynoadd>([&] { m.Hinzufgen1->trigger(); },
                          [&](TSynoadd& d) {
                              tippen(d.Edit1, u""_qs);
                              klick(d.Button1);
                              EXPECT_TRUE(d.isVisible());
                              EXPECT_EQ(meldungstexte(r).last(), u"Bitte geben Sie einen Synonymnamen ein."_qs);
                              tippen(d.Edit1, u"Dimethylketon"_qs);
                              klick(d.Button1);
                              EXPECT_TRUE(d.isVisible());
                              EXPECT_EQ(meldungstexte(r).last(), u"Der Stoff hat schon ein Synonym \"Dimethylketon\"."_qs);
                          });
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  tippen(d.Edit1, u"Propanon"_qs);
                                  klick(d.Button1);
                                  EXPECT_TRUE(d.isVisible());
                              });
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(vorher));
}

// While the list shows a research table through the list filter, a change
// reaches namen.dbf, the research table and the filter table alike: none of
// them may miss it, or it is lost when the filter or the next start makes
// those tables anew, or not shown until then.
TEST(Synonyme, ChangesReachNamenDbfTheResearchTableAndTheFilterTable)
{
    FilterRegister r;
    TMarlex& m = r.m;
    marlextest::namenSchreiben({{u"Aceton"_qs, aceton}, {u"Propanon"_qs, aceton}, {u"Benzol"_qs, benzol},
                                {u"Ethanol"_qs, ethanol}},
                               u"zan_tmp1.dbf"_qs);
    m.AktuelleNamenDatei = u"zan_tmp1.dbf"_qs;
    m.AktuelleIndexDatei = u"zan_tmp1.mdx"_qs;
    m.DatenlisteEinlesen();
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, u"GEFSYM1='F+'"_qs);
                 setzen(d);
             });
    ASSERT_EQ(m.ListenFilterAktiv, 1);
    ASSERT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs, u"Propanon"_qs}));
    const char* tabellen[] = {"namen.dbf", "zan_tmp1.dbf", "filter.dbf"};
    std::map<std::string, QStringList> erwartet;
    for (const char* t : tabellen)
        erwartet[t] = namenszeilen(t);
    const auto pruefen = [&](const char* schritt) {
        for (const char* t : tabellen)
            EXPECT_EQ(text(namenszeilen(t)), text(erwartet[t])) << schritt << ": " << t;
    };

    waehlen(m, u"Aceton"_qs);
    imDialogVon<TSynoadd>([&] { klick(m.ToolButton53); },
                          [&](TSynoadd& d) {
                              tippen(d.Edit1, u"Dimethylformaldehyd"_qs);
                              klick(d.Button1);
                          });
    for (const char* t : tabellen) {
        erwartet[t] << namenszeile(u"Dimethylformaldehyd"_qs, aceton);
        erwartet[t].sort();
    }
    pruefen("added");
    EXPECT_TRUE(listenzeilen(m).contains(u"Dimethylformaldehyd"_qs));

    waehlen(m, u"Propanon"_qs);
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  tippen(d.Edit1, u"2-Propanon"_qs);
                                  klick(d.Button1);
                              });
    for (const char* t : tabellen) {
        erwartet[t].removeIf([](const QString& z) { return z.startsWith(u"Propanon|"_qs); });
        erwartet[t] << namenszeile(u"2-Propanon"_qs, aceton);
        erwartet[t].sort();
    }
    pruefen("renamed");

    waehlen(m, u"2-Propanon"_qs);
    {
        marlextest::Fragen ja(widgets::Answer::Yes);
        m.Entfernen1->trigger();
    }
    for (const char* t : tabellen)
        erwartet[t].removeOne(namenszeile(u"2-Propanon"_qs, aceton));
    pruefen("removed");
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs, u"Dimethylformaldehyd"_qs}));
}

// A research table that holds one name of each substance found shows few
// of its names; a name the substance has in the register is still one it
// has. Adding it again, or renaming into it, is refused there as on the
// register's own list, and namen.dbf keeps every name of the substance once.
TEST(Synonyme, ANameTheSubstanceHasInTheRegisterIsRefusedWhileAResearchTableIsShown)
{
    FilterRegister r;
    TMarlex& m = r.m;
    recherchieren(m, true, u"F+"_qs, false);
    ASSERT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs}));
    const QStringList namenVorher = namenszeilen("namen.dbf");
    const QStringList rechercheVorher = namenszeilen("zan_tmp1.dbf");

    waehlen(m, u"Aceton"_qs);
    imDialogVon<TSynoadd>([&] { klick(m.ToolButton53); },
                          [&](TSynoadd& d) {
                              tippen(d.Edit1, u"Propanon"_qs);
                              klick(d.Button1);
                              EXPECT_TRUE(d.isVisible());
                              klick(d.Button2);
                          });
    waehlen(m, u"Aceton"_qs);
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  tippen(d.Edit1, u"Dimethylketon"_qs);
                                  klick(d.Button1);
                                  EXPECT_TRUE(d.isVisible());
                                  klick(d.Button2);
                              });
    EXPECT_EQ(meldungstexte(r), (QStringList{u"Der Stoff hat schon ein Synonym \"Propanon\"."_qs,
                                             u"Der Stoff hat schon ein Synonym \"Dimethylketon\"."_qs}));
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(namenVorher));
    EXPECT_EQ(text(namenszeilen("zan_tmp1.dbf")), text(rechercheVorher));
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs}));
}

// A name changed while the list shows the register's names is changed in
// the research table filled before as well: switched to, it shows the new
// name, not one the register no longer has.
TEST(Synonyme, ARenameReachesTheResearchTableNotShown)
{
    FilterRegister r;
    TMarlex& m = r.m;
    recherchieren(m, true, u"F+"_qs);
    ASSERT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Propanon"_qs}));
    klick(m.ToolButton48);
    ASSERT_EQ(m.StatusPanel[1]->text(), u"STAMM"_qs);

    waehlen(m, u"Propanon"_qs);
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  tippen(d.Edit1, u"2-Propanon"_qs);
                                  klick(d.Button1);
                              });
    for (const char* t : {"namen.dbf", "zan_tmp1.dbf"}) {
        EXPECT_TRUE(namenszeilen(t).contains(namenszeile(u"2-Propanon"_qs, aceton))) << t;
        EXPECT_FALSE(namenszeilen(t).contains(namenszeile(u"Propanon"_qs, aceton))) << t;
    }
    klick(m.ToolButton49);
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"2-Propanon"_qs}));
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << text(meldungstexte(r));
}

// A name removed while the list shows the register's names leaves the
// research tables filled before as well, except where it is the only name
// of its substance there: the research keeps the substance it found.
TEST(Synonyme, ARemovedNameLeavesTheResearchTablesNotShownWhereTheSubstanceKeepsAnother)
{
    FilterRegister r;
    TMarlex& m = r.m;
    recherchieren(m, true, u"F+"_qs);
    recherchieren(m, false, u"F+"_qs, false);
    ASSERT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs}));
    klick(m.ToolButton48);

    for (const QString& name : {u"Propanon"_qs, u"Aceton"_qs}) {
        waehlen(m, name);
        marlextest::Fragen ja(widgets::Answer::Yes);
        klick(m.ToolButton52);
        EXPECT_EQ(ja.texte, QStringList{u"Soll %1 aus der Liste entfernt werden?"_qs.arg(name)});
    }
    const auto namenIn = [](const char* datei) {
        QStringList namen;
        for (const QString& zeile : namenszeilen(datei))
            namen << zeile.section(u'|', 0, 0);
        return namen;
    };
    EXPECT_EQ(namenIn("namen.dbf"), (QStringList{u"Benzol"_qs, u"Chlor"_qs, u"Dimethylketon"_qs, u"Ethanol"_qs,
                                                 u"O'Brien-Reagenz"_qs}));
    EXPECT_EQ(namenIn("zan_tmp1.dbf"), (QStringList{u"Benzol"_qs, u"Dimethylketon"_qs}));
    EXPECT_EQ(namenIn("zan_tmp2.dbf"), (QStringList{u"Aceton"_qs, u"Benzol"_qs}));
    klick(m.ToolButton49);
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Benzol"_qs, u"Dimethylketon"_qs}));
    klick(m.ToolButton50);
    EXPECT_EQ(listenzeilen(m), (QStringList{u"Aceton"_qs, u"Benzol"_qs})) << "the research keeps its substances";
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << text(meldungstexte(r));
}

// A research table that does not open (it is made anew by the next research
// or start) does not stop a change of the register's names.
TEST(Synonyme, AResearchTableThatDoesNotOpenDoesNotStopARename)
{
    FilterRegister r;
    TMarlex& m = r.m;
    recherchieren(m, true, u"F+"_qs);
    klick(m.ToolButton48);
    {
        QFile kaputt(u"zan_tmp1.dbf"_qs);
        ASSERT_TRUE(kaputt.open(QIODevice::WriteOnly | QIODevice::Truncate));
        kaputt.write("keine Tabelle");
    }
    waehlen(m, u"Propanon"_qs);
    imDialogVon<TSynoaendern>([&] { m.ndern2->trigger(); },
                              [&](TSynoaendern& d) {
                                  tippen(d.Edit1, u"2-Propanon"_qs);
                                  klick(d.Button1);
                                  EXPECT_FALSE(d.isVisible());
                              });
    EXPECT_TRUE(namenszeilen("namen.dbf").contains(namenszeile(u"2-Propanon"_qs, aceton)));
    EXPECT_TRUE(listenzeilen(m).contains(u"2-Propanon"_qs));
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << text(meldungstexte(r));
}

TEST(Synonyme, RelatedNamesLeaveOutTheCurrentOneAndGoToTheChosenLine)
{
    FilterRegister r;
    TMarlex& m = r.m;
    // A research table with Aceton twice: both rows of the current name stay
    // out of the list.
    marlextest::namenSchreiben({{u"Aceton"_qs, aceton}, {u"Aceton"_qs, aceton}, {u"Propanon"_qs, aceton},
                                {u"2-Propanon"_qs, aceton}, {u"Dimethylketon"_qs, aceton}, {u"Ethanol"_qs, ethanol}},
                               u"zan_tmp2.dbf"_qs);
    m.AktuelleNamenDatei = u"zan_tmp2.dbf"_qs;
    m.AktuelleIndexDatei = u"zan_tmp2.mdx"_qs;
    m.DatenlisteEinlesen();
    waehlen(m, u"Ethanol"_qs);
    imDialogVon<TSynonyme>([&] { m.VerwanteSynonymeanzeigen1->trigger(); },
                           [&](TSynonyme& d) {
                               EXPECT_EQ(d.Edit1->text(), u"Ethanol"_qs);
                               EXPECT_FALSE(d.Edit1->isEnabled());
                               EXPECT_EQ(d.ListBox1->count(), 0);
                               EXPECT_FALSE(d.Button2->isEnabled());
                           });

    waehlen(m, u"Dimethylketon"_qs);
    imDialogVon<TSynonyme>([&] { m.VerwanteSynonymeanzeigen1->trigger(); },
                           [&](TSynonyme& d) {
                               // In the list's order, "2-Propanon" sorted as "Propanon2-".
                               EXPECT_EQ(zeilen(d.ListBox1), (QStringList{u"Aceton"_qs, u"Aceton"_qs,
                                                                          u"Propanon"_qs, u"2-Propanon"_qs}));
                               EXPECT_EQ(d.ListBox1->currentRow(), 0);
                               ASSERT_TRUE(d.Button2->isEnabled());
                               const QRect zeile = d.ListBox1->visualItemRect(d.ListBox1->item(3));
                               QTest::mouseClick(d.ListBox1->viewport(), Qt::LeftButton, {}, zeile.center());
                               klick(d.Button2);
                               EXPECT_FALSE(d.isVisible());
                           });
    const int zeile = m.ListBox1->itemIndex();
    ASSERT_GE(zeile, 0);
    EXPECT_EQ(m.ListBox1->text(zeile), u"2-Propanon"_qs);
    EXPECT_EQ(m.ListBox1->selectedLines(), std::vector<int>{zeile});
    EXPECT_EQ(m.DBRichEdit4->toPlainText(), u"2-Propanon"_qs) << "the name table stands on the chosen row";

    // Under the list filter the jump is off.
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 tippen(d, u"GEFSYM1='F+'"_qs);
                 setzen(d);
             });
    waehlen(m, u"Propanon"_qs);
    imDialogVon<TSynonyme>([&] { m.VerwanteSynonymeanzeigen1->trigger(); },
                           [&](TSynonyme& d) {
                               EXPECT_GT(d.ListBox1->count(), 0);
                               EXPECT_FALSE(d.Button2->isEnabled());
                           });
}

// The add dialog looks at the substance's rows with a filter on the name
// table; closed by its close box it leaves the table on the current line's
// row, so the next line clicked shows its own substance.
TEST(Synonyme, ClosingTheAddDialogByItsCloseBoxLeavesTheNameTableOnTheLine)
{
    FilterRegister r;
    TMarlex& m = r.m;
    waehlen(m, u"Propanon"_qs);
    const int zeile = m.ListBox1->itemIndex();
    imDialogVon<TSynoadd>([&] { klick(m.ToolButton53); }, [&](TSynoadd& d) { d.close(); });
    EXPECT_EQ(Datas->Table1->recNo(), m.ListBox1->recNo(zeile));
    EXPECT_FALSE(Datas->Table1->filtered());
    for (const QString& name : {u"Chlor"_qs, u"Benzol"_qs, u"Dimethylketon"_qs}) {
        waehlen(m, name);
        EXPECT_EQ(m.DBRichEdit4->toPlainText(), name);
    }
}

// Several selected lines dropped on the remove button: only the current
// line's name goes.
TEST(Synonyme, DroppingSelectedLinesOnTheRemoveButtonRemovesTheCurrentLineOnly)
{
    FilterRegister r;
    TMarlex& m = r.m;
    QStringList erwartet = namenszeilen("namen.dbf");
    erwartet.removeIf([](const QString& z) { return z.startsWith(u"Propanon|"_qs); });

    waehlen(m, u"Dimethylketon"_qs);
    QWidget* liste = m.ListBox1->viewport();
    const int propanon = static_cast<int>(listenzeilen(m).indexOf(u"Propanon"_qs));
    const QPoint punkt = m.ListBox1->visualRect(m.ListBox1->lineModel().index(propanon)).center();
    QTest::mouseClick(liste, Qt::LeftButton, Qt::ControlModifier, punkt);
    ASSERT_EQ(m.ListBox1->selectedLines().size(), 2u);
    ASSERT_EQ(m.ListBox1->itemIndex(), propanon);

    marlextest::Fragen ja(widgets::Answer::Yes);
    {
        marlextest::Ziehen zug;
        QToolButton* ziel = m.ToolButton52;
        const QPoint mitte = ziel->rect().center();
        QTimer::singleShot(0, [ziel, mitte] {
            QTest::mouseMove(ziel, mitte);
            QTest::mouseRelease(ziel, Qt::LeftButton, {}, mitte);
        });
        QTest::mousePress(liste, Qt::LeftButton, {}, punkt);
        QTest::mouseMove(liste, punkt + QPoint(0, 2));
        QTest::mouseMove(liste, punkt + QPoint(0, 40));
        QApplication::processEvents(); // the name is removed once the drop has ended
        QApplication::processEvents();
        EXPECT_EQ(zug.abgelegtAuf, ziel);
    }
    EXPECT_EQ(ja.texte, QStringList{u"Soll Propanon aus der Liste entfernt werden?"_qs});
    EXPECT_EQ(text(namenszeilen("namen.dbf")), text(erwartet));
    EXPECT_TRUE(listenzeilen(m).contains(u"Dimethylketon"_qs));
    EXPECT_FALSE(listenzeilen(m).contains(u"Propanon"_qs));
}

// The synonym lists sort as the name list does (German collation, Ä with A:
// "Äther" before "Ethylether"), and the add dialog opens with the focus in
// its name field: a user who opens it types the new name at once and
// presses Enter.
TEST(Synonyme, ListsSortAsTheNameListAndTheAddDialogTakesTheTypedNameAtOnce)
{
    marlextest::Register r;
    marlextest::symbolOrdnerSchreiben(QDir(r.programm()));
    const QString ether = u"60-29-7"_qs;
    marlextest::namenSchreiben({{u"Ethylether"_qs, ether}, {u"Äther"_qs, ether}, {u"Diethylether"_qs, ether},
                    {u"Ethoxyethan"_qs, ether}, {u"Öl"_qs, u"8042-47-5"_qs}});
    marlextest::chemieSchreiben({{ether, u"1"_qs, {{marlextest::NAME1, u"Diethylether"_qs}}},
                     {u"8042-47-5"_qs, u"1"_qs, {{marlextest::NAME1, u"Öl"_qs}}}});
    marlextest::lagerSchreiben({});
    marlextest::formelnSchreiben({});
    TMarlex& m = r.starten();
    m.show();
    m.DatenlisteEinlesen();
    const QStringList namensliste = {u"Äther"_qs, u"Diethylether"_qs, u"Ethoxyethan"_qs, u"Ethylether"_qs};
    ASSERT_EQ(listenzeilen(m), namensliste + QStringList{u"Öl"_qs});

    waehlen(m, u"Diethylether"_qs);
    imDialogVon<TSynonyme>([&] { m.VerwanteSynonymeanzeigen1->trigger(); },
                           [&](TSynonyme& d) {
                               EXPECT_EQ(zeilen(d.ListBox1),
                                         (QStringList{u"Äther"_qs, u"Ethoxyethan"_qs, u"Ethylether"_qs}));
                           });
    imDialogVon<TSynoadd>([&] { klick(m.ToolButton53); },
                          [&](TSynoadd& d) {
                              EXPECT_EQ(zeilen(d.ListBox1), namensliste);
                              ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
                              ASSERT_EQ(QApplication::focusWidget(), d.Edit1) << "the name field has the focus";
                              EXPECT_EQ(d.Edit1->selectedText(), u"Diethylether"_qs) << "typing replaces it";
                              QTest::keyClicks(QApplication::focusWidget(), u"Ether"_qs);
                              QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                              EXPECT_FALSE(d.isVisible());
                          });
    EXPECT_TRUE(namenszeilen("namen.dbf").contains(namenszeile(u"Ether"_qs, ether)))
        << text(namenszeilen("namen.dbf"));
    waehlen(m, u"Ether"_qs);
    imDialogVon<TSynonyme>([&] { m.VerwanteSynonymeanzeigen1->trigger(); },
                           [&](TSynonyme& d) {
                               EXPECT_EQ(zeilen(d.ListBox1), (QStringList{u"Äther"_qs, u"Diethylether"_qs,
                                                                          u"Ethoxyethan"_qs, u"Ethylether"_qs}));
                           });
}
