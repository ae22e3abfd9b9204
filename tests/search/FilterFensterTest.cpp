#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <filesystem>
#include <vector>

#include "FilterTestSupport.h"
#include "data/Datas.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "search/FilterWarten.h"
#include "ini/IniFile.h"
#include "search/Filtersetzen.h"
#include "widgets/MessageBox.h"

using namespace filtertest;

namespace {

class FilterFenster : public ::testing::Test {
protected:
    QString einstellung(const QString& sektion, const QString& schluessel) const
    {
        return ini::IniFile(r.ini()).readString(sektion, schluessel, u"<fehlt>"_qs);
    }

    void setzenMit(void (TMarlex::*oeffnen)(), const QString& text)
    {
        imDialog([&] { (m.*oeffnen)(); },
                 [&](TFiltersetzen& d) {
                     tippen(d, text);
                     setzen(d);
                 });
    }

    // The storage rows that pass, by their place.
    QStringList lagerorte()
    {
        QStringList orte;
        dbase::Table& lager = *Datas->Table3;
        for (lager.first(); !lager.eof(); lager.next())
            orte << lager.fieldByName("LAGER_ORT").asString() + u'/' + lager.fieldByName("CARN").asString();
        return orte;
    }

    FilterRegister r;
    TMarlex& m = r.m;
};

} // namespace

// Set from the menu, saved, chosen again; cleared from its window's context
// menu. The storage filter leaves the name list alone.
TEST_F(FilterFenster, StorageFilterSetSavedChosenAgainAndCleared)
{
    const QStringList namen = listenzeilen(m);
    setzenMit(&TMarlex::Filter2Click, u"LAGER_ORT='Keller'"_qs);
    EXPECT_EQ(lagerorte(), QStringList({u"Keller/"_qs + aceton, u"Keller/"_qs + chlor}));
    EXPECT_EQ(m.LagerFilterAktiv, 1);
    EXPECT_TRUE(r.aktuellerLagerFilter.isVisible());
    EXPECT_EQ(r.aktuellerLagerFilter.Edit1->text(), u"LAGER_ORT='Keller'"_qs);
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Filter1"_qs), u"LAGER_ORT='Keller'"_qs);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"<fehlt>"_qs) << "the list filter's list is its own";
    EXPECT_EQ(listenzeilen(m), namen);
    EXPECT_EQ(m.ListenFilterAktiv, 0);

    // The storage filter in force is a parsed expression that later jobs
    // narrow further as a whole.
    const dbase::Filter inKraft = Datas->Table3->filter();
    Datas->Table3->setFilter(inKraft && dbase::Filter::equals("CARN", chlor));
    EXPECT_EQ(lagerorte(), QStringList{u"Keller/"_qs + chlor});
    Datas->Table3->setFilter(inKraft);

    setzenMit(&TMarlex::Filter2Click, u"LAGER_ORT='Schrank'"_qs);
    EXPECT_EQ(lagerorte(), QStringList{u"Schrank/"_qs + benzol});
    imDialog([&] { m.Filter2->trigger(); },
             [&](TFiltersetzen& d) {
                 EXPECT_EQ(d.ListBox1->count(), 16);
                 ASSERT_EQ(d.ComboBox1->count(), 2);
                 EXPECT_EQ(d.ComboBox1->currentIndex(), 1);
                 d.ComboBox1->setFocus();
                 QTest::keyClick(d.ComboBox1, Qt::Key_Up);
                 setzen(d);
             });
    EXPECT_EQ(lagerorte(), QStringList({u"Keller/"_qs + aceton, u"Keller/"_qs + chlor}));

    kontextmenue(r.aktuellerLagerFilter, r.aktuellerLagerFilter.Filterlschen1);
    EXPECT_EQ(lagerorte().size(), 3);
    EXPECT_EQ(m.LagerFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerLagerFilter.isVisible());
    EXPECT_FALSE(Datas->Table3->filtered());
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Anzahl"_qs), u"2"_qs);
}

// An empty storage expression is a filter every row passes; an empty list
// expression does nothing.
TEST_F(FilterFenster, EmptyExpressions)
{
    setzenMit(&TMarlex::Filter2Click, QString());
    EXPECT_EQ(m.LagerFilterAktiv, 1);
    EXPECT_TRUE(r.aktuellerLagerFilter.isVisible());
    EXPECT_EQ(r.aktuellerLagerFilter.Edit1->text(), QString());
    EXPECT_EQ(lagerorte().size(), 3);
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Anzahl"_qs), u"0"_qs) << "nothing to save";

    setzenMit(&TMarlex::Filtersetzen1Click, QString());
    EXPECT_EQ(m.ListenFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerFilter.isVisible());
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"<fehlt>"_qs);
}

// An expression of blanks alone is an empty one: the list filter stays
// off, with its window hidden and new substances allowed, and neither mode
// saves it.
TEST_F(FilterFenster, BlanksAloneAreAnEmptyExpression)
{
    setzenMit(&TMarlex::Filtersetzen1Click, u"   "_qs);
    EXPECT_EQ(m.ListenFilterAktiv, 0);
    EXPECT_FALSE(r.aktuellerFilter.isVisible());
    EXPECT_TRUE(m.Neueingabe1->isEnabled());
    EXPECT_FALSE(Datas->Table2->filtered());
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"<fehlt>"_qs);

    setzenMit(&TMarlex::Filter2Click, u"  "_qs);
    EXPECT_EQ(m.LagerFilterAktiv, 1);
    EXPECT_EQ(lagerorte().size(), 3);
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Anzahl"_qs), u"0"_qs) << "nothing to save";
    EXPECT_TRUE(meldungstexte(r).isEmpty()) << meldungstexte(r).join(u'\n').toStdString();
}

// The helper lists type for the user; the same expression in other letter
// case is saved once; an expression over two lines is saved on one.
TEST_F(FilterFenster, TypingHelpAndTheSavedList)
{
    imDialog([&] { m.Filtersetzen1->trigger(); },
             [&](TFiltersetzen& d) {
                 EXPECT_EQ(d.ListBox1->count(), 44);
                 doppelklicken(d.ListBox1, u"CARN"_qs);
                 doppelklicken(d.ListBox2, u"="_qs);
                 EXPECT_EQ(d.Memo1->toPlainText(), u"CARN ="_qs);
                 doppelklicken(d.ListBox2, u"'"_qs);
                 EXPECT_EQ(d.Memo1->toPlainText(), u"CARN = '"_qs);
             });

    setzenMit(&TMarlex::Filtersetzen1Click, u"WGK='3'"_qs);
    setzenMit(&TMarlex::Filtersetzen1Click, u"wgk='3'"_qs);
    setzenMit(&TMarlex::Filtersetzen1Click, u"GEFSYM1='F+'\nand WGK='1'"_qs);
    EXPECT_EQ(listenzeilen(m), QStringList({u"Aceton"_qs, u"Dimethylketon"_qs, u"Propanon"_qs}));
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"2"_qs);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Filter1"_qs), u"WGK='3'"_qs);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Filter2"_qs), u"GEFSYM1='F+' and WGK='1'"_qs);
    QFile datei(r.ini());
    ASSERT_TRUE(datei.open(QIODevice::ReadOnly));
    const QByteArray inhalt = datei.readAll();
    EXPECT_TRUE(inhalt.contains("Filter2=GEFSYM1='F+' and WGK='1'\r\n")) << inhalt.toStdString();

    // A saved entry chosen again sets again, and "Filter neu setzen" of the
    // list window opens the dialog on the list filter even after the
    // storage dialog was the last one.
    setzenMit(&TMarlex::Filter2Click, u"LAGER_ORT='Keller'"_qs);
    ASSERT_EQ(m.LagerFilterModus, 1);
    imDialog([&] { kontextmenue(r.aktuellerFilter, r.aktuellerFilter.Filterneusetzen1); },
             [&](TFiltersetzen& d) {
                 EXPECT_EQ(d.ListBox1->count(), 44) << "chemie.dbf's fields";
                 EXPECT_EQ(d.Memo1->toPlainText(), u"GEFSYM1='F+'\nand WGK='1'"_qs);
                 EXPECT_EQ(d.ComboBox1->currentIndex(), -1) << "the typed form is not among the saved ones";
                 tippen(d, u"WGK='3'"_qs);
                 setzen(d);
             });
    EXPECT_EQ(m.LagerFilterModus, 0);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Benzol"_qs});
}

// "Alle Filter löschen" asks first; with "Ja" it empties the saved list of
// its mode and leaves the dialog open and the filter in force.
TEST_F(FilterFenster, DeletingTheSavedList)
{
    setzenMit(&TMarlex::Filtersetzen1Click, u"WGK='3'"_qs);
    setzenMit(&TMarlex::Filtersetzen1Click, u"WGK='2'"_qs);
    setzenMit(&TMarlex::Filter2Click, u"LAGER_ORT='Keller'"_qs);
    const auto loeschen = [&](widgets::Answer antwort) {
        widgets::ScopedAnswerProvider antworten([antwort](const widgets::MessageRequest& frage) {
            EXPECT_EQ(frage.text, u"Wollen Sie wirklich alle Filter aus der Liste löschen?"_qs);
            EXPECT_EQ(frage.kind, widgets::MessageKind::Warning);
            return antwort;
        });
        imDialog([&] { m.Filtersetzen1->trigger(); },
                 [&](TFiltersetzen& d) {
                     QTest::mouseClick(d.Button4, Qt::LeftButton);
                     EXPECT_TRUE(d.isVisible());
                     EXPECT_EQ(d.ComboBox1->count(), antwort == widgets::Answer::Yes ? 0 : 2);
                     EXPECT_EQ(d.Memo1->toPlainText(), u"WGK='2'"_qs);
                 });
    };
    loeschen(widgets::Answer::No);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"2"_qs);
    loeschen(widgets::Answer::Yes);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Anzahl"_qs), u"0"_qs);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Filter1"_qs), u"<fehlt>"_qs);
    EXPECT_EQ(einstellung(u"Filter"_qs, u"Filter2"_qs), u"<fehlt>"_qs);
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Anzahl"_qs), u"1"_qs);
    EXPECT_EQ(einstellung(u"LagerFilter"_qs, u"Filter1"_qs), u"LAGER_ORT='Keller'"_qs);
    EXPECT_EQ(m.ListenFilterAktiv, 1);
    EXPECT_EQ(listenzeilen(m), QStringList{u"Chlor"_qs});
}

namespace {

// Counts the paint events of a window.
class Anstriche : public QObject {
public:
    explicit Anstriche(QWidget& fenster) { fenster.installEventFilter(this); }
    int anzahl = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++anzahl;
        return false;
    }
};

// Notes how often the wait window was painted when filter.dbf is made.
class FilterdateiIo final : public dbftest::ForwardingFileIo {
public:
    FilterdateiIo(const Anstriche& anstriche, std::vector<int>& beimAnlegen)
        : m_anstriche(anstriche), m_beimAnlegen(beimAnlegen)
    {
    }
    void open(const std::filesystem::path& path, Access access) override
    {
        if (access == Access::Create && QString::fromStdString(path.filename().string()).startsWith(u"filter"_qs,
                                                                                               Qt::CaseInsensitive))
            m_beimAnlegen.push_back(m_anstriche.anzahl);
        ForwardingFileIo::open(path, access);
    }

private:
    const Anstriche& m_anstriche;
    std::vector<int>& m_beimAnlegen;
};

} // namespace

// The list filter set through the dialog shows the wait window painted
// before the filter's table is made (the work holds up the event loop), and
// hides it again once the list is read.
TEST_F(FilterFenster, TheWaitWindowIsPaintedBeforeTheFilterTableIsMade)
{
    const Anstriche anstriche(*FilterWarten);
    std::vector<int> beimAnlegen;
    {
        const dbftest::ScopedFileIo io([&] { return std::make_unique<FilterdateiIo>(anstriche, beimAnlegen); });
        setzenMit(&TMarlex::Filtersetzen1Click, u"GEFSYM1='F+'"_qs);
    }
    EXPECT_EQ(m.ListenFilterAktiv, 1);
    EXPECT_EQ(listenzeilen(m).size(), 4);
    ASSERT_FALSE(beimAnlegen.empty());
    EXPECT_GT(beimAnlegen.front(), 0) << "filter.dbf was made before the wait window was painted";
    EXPECT_FALSE(FilterWarten->isVisible());
}
