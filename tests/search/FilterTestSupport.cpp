#include "FilterTestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include "fixtures/Events.h"
#include "search/Filtersetzen.h"
#include "search/Recherche.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace filtertest {

const QString aceton = u"67-64-1"_qs;
const QString benzol = u"71-43-2"_qs;
const QString chlor = u"7782-50-5"_qs;
const QString ethanol = u"64-17-5"_qs;
const QString eigen = u"EIG'1"_qs;

namespace {

TMarlex& registerStarten(Register& r)
{
    registerSchreiben(r);
    return r.starten();
}

} // namespace

void registerSchreiben(Register& r)
{
    symbolOrdnerSchreiben(QDir(r.programm()));
    namenSchreiben({{u"Ethanol"_qs, ethanol},
                    {u"Propanon"_qs, aceton},
                    {u"Aceton"_qs, aceton},
                    {u"O'Brien-Reagenz"_qs, eigen},
                    {u"Benzol"_qs, benzol},
                    {u"Dimethylketon"_qs, aceton},
                    {u"Chlor"_qs, chlor}});
    constexpr int wgk = 26;
    chemieSchreiben({
        {aceton, u"1"_qs, {{NAME1, u"Aceton"_qs}, {GEFSYM1, u"F+"_qs}, {wgk, u"1"_qs}}},
        {benzol, u"1"_qs, {{NAME1, u"Benzol"_qs}, {GEFSYM1, u"F+"_qs}, {wgk, u"3"_qs}}},
        {chlor, u"1"_qs, {{NAME1, u"Chlor"_qs}, {GEFSYM1, u"T"_qs}, {wgk, u"2"_qs}}},
        {ethanol, u"1"_qs, {{NAME1, u"Ethanol"_qs}, {GEFSYM1, u"F"_qs}}},
        {eigen, u"1"_qs, {{NAME1, u"O'Brien-Reagenz"_qs}, {GEFSYM1, u"Xi"_qs}}},
    });
    lagerzeilenSchreiben({{aceton, u"1"_qs, u"Keller"_qs}, {benzol, u"1"_qs, u"Schrank"_qs},
                          {chlor, u"1"_qs, u"Keller"_qs}});
    formelnSchreiben({});
    siGefSchreiben({});
    QFile liste(u"FILES.TXT"_qs);
    ASSERT_TRUE(liste.open(QIODevice::WriteOnly));
    liste.write("namen.dbf\r\nchemie.dbf\r\nlager.dbf\r\nsi_gef.dbf\r\nformeln.dbf\r\n");
}

FilterRegister::FilterRegister() : m(registerStarten(*this))
{
    AktuellerFilter = &aktuellerFilter;
    AktuellerLagerFilter = &aktuellerLagerFilter;
    FilterWarten = &filterWarten;
    m.show();
    m.DatenlisteEinlesen();
}

FilterRegister::~FilterRegister()
{
    AktuellerFilter = nullptr;
    AktuellerLagerFilter = nullptr;
    FilterWarten = nullptr;
}

QStringList listenzeilen(const TMarlex& m)
{
    QStringList zeilen;
    for (int i = 0; i < m.ListBox1->count(); ++i)
        zeilen << m.ListBox1->text(i);
    return zeilen;
}

QStringList meldungstexte(const Register& r)
{
    QStringList texte;
    for (const widgets::MessageRequest& meldung : r.meldungen())
        texte << meldung.text;
    return texte;
}

void imDialog(const std::function<void()>& oeffnen, const std::function<void(TFiltersetzen&)>& schritte)
{
    imDialogVon<TFiltersetzen>(oeffnen, schritte);
}

void tippen(TFiltersetzen& dialog, const QString& text)
{
    QTest::mouseClick(dialog.Memo1->viewport(), Qt::LeftButton);
    QTest::keyClick(dialog.Memo1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(dialog.Memo1, Qt::Key_Delete);
    const QStringList zeilen = text.split(QLatin1Char('\n'));
    for (int i = 0; i < zeilen.size(); ++i) {
        if (i > 0)
            QTest::keyClick(dialog.Memo1, Qt::Key_Return);
        QTest::keyClicks(dialog.Memo1, zeilen[i]);
    }
}

void setzen(TFiltersetzen& dialog)
{
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
}

void doppelklicken(QWidget* widget, const QString& zeile)
{
    auto* liste = qobject_cast<QListWidget*>(widget);
    ASSERT_NE(liste, nullptr);
    const QList<QListWidgetItem*> treffer = liste->findItems(zeile, Qt::MatchExactly);
    ASSERT_EQ(treffer.size(), 1) << zeile.toStdString();
    liste->scrollToItem(treffer[0]);
    const QPoint mitte = liste->visualItemRect(treffer[0]).center();
    QTest::mouseClick(liste->viewport(), Qt::LeftButton, {}, mitte);
    QTest::mouseDClick(liste->viewport(), Qt::LeftButton, {}, mitte);
}

void recherchieren(TMarlex& m, bool inTmp1, const QString& text, bool synonyme)
{
    imDialogVon<TRecherche>([&] { (inTmp1 ? m.RechercheinTMP11 : m.RechercheinTMP21)->trigger(); },
                            [&](TRecherche& d) {
                                QTest::keyClicks(d.Edit1, text);
                                if (d.CheckBox1->isChecked() != synonyme)
                                    QTest::mouseClick(d.CheckBox1, Qt::LeftButton, {},
                                                      QPoint(4, d.CheckBox1->height() / 2));
                                ASSERT_EQ(d.CheckBox1->isChecked(), synonyme);
                                QTest::mouseClick(d.Button1, Qt::LeftButton);
                            });
}

void kontextmenue(TFilterfenster& fenster, QAction* item)
{
    // A right-click on the expression, as the window system reports it.
    const QPoint stelle = fenster.Edit1->rect().center();
    QContextMenuEvent rechtsklick(QContextMenuEvent::Mouse, stelle, fenster.Edit1->mapToGlobal(stelle));
    QApplication::sendEvent(fenster.Edit1, &rechtsklick);
    ASSERT_TRUE(fixtures::processEventsUntil([&] { return fenster.PopupMenu1->isVisible(); }))
        << "no context menu";
    QTest::mouseClick(fenster.PopupMenu1, Qt::LeftButton, {}, fenster.PopupMenu1->actionGeometry(item).center());
}

} // namespace filtertest
