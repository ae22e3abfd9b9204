// The name list driven with the mouse as a user drives it: clicks, the
// right-click popup and drags onto the drop targets. Whatever the list
// highlights, the display shows, and every command acts on that substance.

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "MarlexTestSupport.h"
#include "report/Output.h"
#include "reports/StoffInfo.h"
#include "reports/StoffinfoDialoge.h"
#include "widgets/DBEdit.h"
#include "widgets/NameList.h"

using namespace marlextest;

namespace {

const QString toluol = QStringLiteral("108-88-3");
const QString propanol = QStringLiteral("67-63-0");

// Lines in name order.
enum Zeile { Propan2ol, Toluen, Toluol };

class NamenlisteMaus : public ::testing::Test {
protected:
    NamenlisteMaus()
        : m_drucker({QStringLiteral("Büro")}, 0, [this](const QString&, const std::vector<report::Page>& seiten) {
              QStringList texte;
              for (const report::Page& seite : seiten)
                  for (const report::DrawnItem& item : seite.items)
                      texte << item.text;
              gedruckt << texte.join(u' ');
          })
    {
        symbolOrdnerSchreiben(QDir(r.programm()));
        namenSchreiben({{"Toluol", toluol}, {"Propan-2-ol", propanol}, {"Toluen", toluol}});
        chemieSchreiben({{toluol, "1", {{NAME1, "Toluol"}}}, {propanol, "1", {{NAME1, "Isopropanol"}}}});
        lagerSchreiben({});
        formelnSchreiben({});
        blattSchreiben("blatt.sto", {{QStringLiteral("rbTitle"), 60,
                                      {blattelement(100, QStringLiteral("[chemie.dbf NAME1]"))}}});
        r.einstellung("Optionen", "StandardStoffinfo", "blatt.sto");
        m = &r.starten();
        StoffInfo = &m_stoffInfo;
        m->DatenlisteEinlesen();
        m->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m));

        // The sheet's print question is answered with "Ja", any other
        // dialog is closed.
        m_dialoge.setInterval(10);
        QObject::connect(&m_dialoge, &QTimer::timeout, [this] {
            QWidget* dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            dialoge << QString::fromLatin1(dialog->metaObject()->className());
            if (auto* druck = qobject_cast<TStoffinfoDruck*>(dialog))
                druck->Button1->click();
            else
                dialog->close();
        });
        m_dialoge.start();
    }
    ~NamenlisteMaus() override { StoffInfo = nullptr; }

    QWidget* liste() const { return m->ListBox1->viewport(); }
    QPoint zeile(int nummer) const
    {
        return m->ListBox1->visualRect(m->ListBox1->lineModel().index(nummer)).center();
    }
    QString gezeigt() { return r.datas().Table2->fieldByName("NAME1").asString(); }

    // Waits until `liste` holds an entry and takes the first; empty when
    // none came.
    static QString abwarten(QStringList& liste)
    {
        QElapsedTimer uhr;
        uhr.start();
        while (liste.isEmpty() && uhr.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return liste.isEmpty() ? QString() : liste.takeFirst();
    }

    Register r;
    TMarlex* m = nullptr;
    QStringList gedruckt; // the texts of each printed sheet
    QStringList dialoge;  // the classes of the dialogs answered

private:
    report::ScopedPrinters m_drucker;
    TStoffInfo m_stoffInfo;
    QTimer m_dialoge;
};

} // namespace

TEST_F(NamenlisteMaus, ARightClickKeepsTheCurrentLineForThePopupAndItsCommands)
{
    QTest::mouseClick(liste(), Qt::LeftButton, {}, zeile(Toluen));
    ASSERT_EQ(m->ListBox1->itemIndex(), Toluen);
    ASSERT_EQ(gezeigt(), "Toluol");

    // Through the window, so the platform sends the popup's event after the
    // press as it does for a user.
    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {}, liste()->mapTo(m, zeile(Propan2ol)));
    EXPECT_EQ(m->ListBox1->itemIndex(), Toluen);
    EXPECT_EQ(m->ListBox1->selectedLines(), std::vector<int>{Toluen});
    ASSERT_TRUE(m->PopupMenu1->isVisible());
    EXPECT_EQ(m->Menu11->text(), "Toluen");
    EXPECT_EQ(gezeigt(), "Toluol");

    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {},
                      m->PopupMenu1->actionGeometry(m->Stoffinfodrucken1).center());
    EXPECT_EQ(abwarten(dialoge), "TStoffinfoDruck");
    EXPECT_EQ(abwarten(gedruckt), "Toluol");

    QTest::mouseClick(m->windowHandle(), Qt::RightButton, {}, liste()->mapTo(m, zeile(Propan2ol)));
    QTest::mouseClick(m->PopupMenu1, Qt::LeftButton, {},
                      m->PopupMenu1->actionGeometry(m->Datensatzanzeigen1).center());
    EXPECT_EQ(m->PageControl1->currentWidget(), m->TabSheet2);
    EXPECT_EQ(m->DBEdit15->text(), toluol) << "the record page of the line the popup named";
}

TEST_F(NamenlisteMaus, ADragFromAnotherLineShowsWhatItDropsOnEveryTarget)
{
    Ziehen ziehen;
    const std::vector<std::pair<QToolButton*, QString>> ziele = {
        {m->ToolButton42, "TKopieren"}, {m->ToolButton52, {}}, {m->ToolButton57, "TStoffinfoLayout"},
        {m->ToolButton58, "TStoffinfoDruck"}};
    for (const auto& [ziel, dialog] : ziele) {
        SCOPED_TRACE(ziel->objectName().toStdString());
        QTest::mouseClick(liste(), Qt::LeftButton, {}, zeile(Toluen));
        ASSERT_EQ(gezeigt(), "Toluol");

        std::vector<int> abgelegt;
        const auto verbindung = QObject::connect(
            m, &TMarlex::listenzeilenAbgelegt,
            [&abgelegt](QObject*, const std::vector<int>& zeilen) { abgelegt = zeilen; });
        const QPoint mitte = ziel->rect().center();
        QTimer::singleShot(0, [ziel, mitte] {
            QTest::mouseMove(ziel, mitte);
            QTest::mouseRelease(ziel, Qt::LeftButton, {}, mitte);
        });
        QTest::mousePress(liste(), Qt::LeftButton, {}, zeile(Propan2ol));
        QTest::mouseMove(liste(), zeile(Propan2ol) + QPoint(0, 2));
        QTest::mouseMove(liste(), zeile(Propan2ol) + QPoint(0, 40)); // the drag begins
        QObject::disconnect(verbindung);

        EXPECT_EQ(ziehen.abgelegtAuf, ziel);
        EXPECT_EQ(abgelegt, std::vector<int>{Propan2ol});
        EXPECT_EQ(m->ListBox1->itemIndex(), Propan2ol);
        EXPECT_EQ(gezeigt(), "Isopropanol") << "the display follows the dragged line";
        if (!dialog.isEmpty()) {
            EXPECT_EQ(abwarten(dialoge), dialog);
        }
        if (ziel == m->ToolButton58) {
            EXPECT_EQ(abwarten(gedruckt), "Isopropanol") << "the sheet of the dragged line";
        }
    }
}
