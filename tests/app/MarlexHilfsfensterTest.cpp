// The record page's small windows as the user reaches them: the data
// navigator and the supplement to the classification through the tool
// bar's check buttons, and the blinking of the edit mode's button.

#include <gtest/gtest.h>

#include <memory>

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "widgets/DBRichEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

// Makes a run-long window the way the program does and takes it away again.
template <typename Fenster>
class Lauffenster {
public:
    explicit Lauffenster(Fenster*& global) : m_global(global), m_fenster(std::make_unique<Fenster>())
    {
        m_global = m_fenster.get();
    }
    ~Lauffenster() { m_global = nullptr; }
    Fenster& operator*() { return *m_fenster; }
    Fenster* operator->() { return m_fenster.get(); }

private:
    Fenster*& m_global;
    std::unique_ptr<Fenster> m_fenster;
};

TMarlex& gestartet(Register& r)
{
    // Stored in another order than the list's.
    return r.startenMit({{"64-17-5", "1", {{NAME1, "Ethanol"}}},
                         {"7782-50-5", "1", {{NAME1, "Chlor"}}},
                         {"67-64-1", "1", {{NAME1, "Aceton"}}},
                         {"71-43-2", "1", {{NAME1, "Benzol"}}}});
}

void klick(QWidget* w)
{
    ASSERT_TRUE(w->isEnabled()) << w->objectName().toStdString();
    QTest::mouseClick(w, Qt::LeftButton);
}

struct Stand {
    int zeile;
    std::vector<int> auswahl;
    QString synonym; // the name row the name table stands on, as the record page shows it
    bool operator==(const Stand&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Stand& s)
{
    os << s.zeile << " [";
    for (int z : s.auswahl)
        os << z << ' ';
    return os << "] " << s.synonym.toStdString();
}

Stand stand(TMarlex& m)
{
    return {m.ListBox1->itemIndex(), m.ListBox1->selectedLines(), m.DBRichEdit4->toPlainText()};
}

} // namespace

TEST(Datennavigator, ShownFromTheRecordPageItsButtonsMoveTheListLineByLine)
{
    Register r;
    Lauffenster<TDatennavigator> navigator(Datennavigator);
    TMarlex& m = gestartet(r);
    EXPECT_EQ(navigator->windowTitle(), "Datennavigator");
    EXPECT_FALSE(navigator->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(navigator->windowFlags() & Qt::WindowStaysOnTopHint);

    // "Datensatz anzeigen" with the navigator button up: no navigator.
    m.Datensatzanzeigen1->trigger();
    EXPECT_EQ(m.PageControl1->currentWidget(), m.TabSheet2);
    EXPECT_FALSE(navigator->isVisible());
    klick(m.ToolButton2);
    EXPECT_TRUE(m.ToolButton2->isChecked());
    EXPECT_TRUE(navigator->isVisible());

    const auto knopf = [&](const char* name) {
        return navigator->findChild<QToolButton*>(QLatin1String(name));
    };
    klick(knopf("nbNext"));
    EXPECT_EQ(stand(m), (Stand{1, {1}, "Benzol"}));
    klick(knopf("nbNext"));
    EXPECT_EQ(stand(m), (Stand{2, {2}, "Chlor"})) << "the second press moves on";
    klick(knopf("nbLast"));
    EXPECT_EQ(stand(m), (Stand{3, {3}, "Ethanol"}));
    klick(knopf("nbNext"));
    EXPECT_EQ(stand(m), (Stand{3, {3}, "Ethanol"})) << "the last line stays";
    klick(knopf("nbPrior"));
    klick(knopf("nbPrior"));
    EXPECT_EQ(stand(m), (Stand{1, {1}, "Benzol"}));
    klick(knopf("nbFirst"));
    klick(knopf("nbPrior"));
    EXPECT_EQ(stand(m), (Stand{0, {0}, "Aceton"})) << "line 0 stays";
    EXPECT_EQ(m.VorherigerListenIndex, 0);

    // The list and the navigator agree: a click in the list, then "next".
    const QRect zeile2 = m.ListBox1->visualRect(m.ListBox1->model()->index(2, 0));
    m.PageControl1->setCurrentWidget(m.TabSheet1);
    QTest::mouseClick(m.ListBox1->viewport(), Qt::LeftButton, {}, zeile2.center());
    klick(knopf("nbNext"));
    EXPECT_EQ(stand(m), (Stand{3, {3}, "Ethanol"}));

    // Reading the list again hides the window; the button stays down, and
    // the record page brings the window back.
    m.DatenlisteEinlesen();
    EXPECT_FALSE(navigator->isVisible());
    EXPECT_TRUE(m.ToolButton2->isChecked());
    m.Datensatzanzeigen1->trigger();
    EXPECT_TRUE(navigator->isVisible());

    // The button hides it again; "Schließen" in its popup hides it and lets
    // the button up.
    klick(m.ToolButton2);
    EXPECT_FALSE(navigator->isVisible());
    klick(m.ToolButton2);
    EXPECT_TRUE(navigator->isVisible());
    EXPECT_EQ(navigator->Schlieen1->text(), "&Schließen");
    ASSERT_TRUE(navigator->PopupMenu1->actions().contains(navigator->Schlieen1));
    navigator->Schlieen1->trigger();
    EXPECT_FALSE(navigator->isVisible());
    EXPECT_FALSE(m.ToolButton2->isChecked());
    EXPECT_TRUE(r.meldungen().empty());
}

TEST(Einstufung, TheSupplementPageIsShownAndHiddenByItsButton)
{
    Register r;
    QDir(r.programm()).mkpath("hilfe");
    QFile seite(r.programm() + "hilfe/HINWEIS1.HTM");
    ASSERT_TRUE(seite.open(QIODevice::WriteOnly));
    seite.write("<html><body><p>Ergänzende Hinweise zur Einstufung</p></body></html>");
    seite.close();
    TMarlex& m = gestartet(r);
    Lauffenster<TEinstufung> einstufung(Einstufung);
    EXPECT_EQ(einstufung->windowTitle(), "Marlex99 - Ergänzung zur Einstufung");
    EXPECT_FALSE(einstufung->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(einstufung->windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_TRUE(einstufung->HTML1->toPlainText().contains("Ergänzende Hinweise zur Einstufung"))
        << einstufung->HTML1->toPlainText().toStdString();

    m.Datensatzanzeigen1->trigger();
    EXPECT_FALSE(einstufung->isVisible());
    klick(m.ToolButton6);
    EXPECT_TRUE(einstufung->isVisible());
    klick(m.ToolButton6);
    EXPECT_FALSE(einstufung->isVisible());
}

TEST(Timer1Timer, OnlyTheButtonsOfTheFirstModeThatIsOnBlink)
{
    Register r;
    TMarlex& m = gestartet(r);
    m.Timer1->setInterval(5);
    const auto bilder = [&] {
        return std::vector<int>{TMarlex::buttonImage(m.ToolButton41), TMarlex::buttonImage(m.ToolButton23),
                                TMarlex::buttonImage(m.ToolButton22), TMarlex::buttonImage(m.ToolButton31)};
    };
    const auto tick = [&] {
        // One tick of the running timer.
        bool getickt = false;
        QMetaObject::Connection c = QObject::connect(m.Timer1, &QTimer::timeout, [&] { getickt = true; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return getickt; }, 2000));
        QObject::disconnect(c);
        return bilder();
    };

    m.EditModus = 1;
    m.LagerEditModus = 1;
    m.Timer1->start();
    EXPECT_EQ(tick(), (std::vector<int>{30, 30, 3, 8}));
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 3, 8}));
    EXPECT_EQ(tick(), (std::vector<int>{30, 30, 3, 8}));

    m.EditModus = 0;
    m.LagerEditModus = 0;
    m.setButtonImage(m.ToolButton41, 1);
    m.setButtonImage(m.ToolButton23, 1);
    m.EingabeModus = 1;
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 31, 8}));
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 3, 8}));

    m.EingabeModus = 0;
    m.LagerEditModus = 1;
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 3, 30}));
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 3, 8}));

    m.LagerEditModus = 0;
    EXPECT_EQ(tick(), (std::vector<int>{1, 1, 3, 8})) << "no mode, no blinking";
    m.Timer1->stop();
}
