// Where the dialogs open: those that belong to no single control open in
// the middle of the screen, wherever the main window stands.

#include <gtest/gtest.h>

#include <functional>

#include <QAction>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "BedienungTestSupport.h"
#include "FilterTestSupport.h"
#include "app/Kopieren.h"
#include "data/OptionenDialog.h"
#include "search/Filtersetzen.h"
#include "update/Datenuebernahme.h"
#include "update/Update.h"

using namespace filtertest;

namespace {

template <class D>
void erwarteMittig(const std::function<void()>& oeffnen)
{
    imDialogVon<D>(oeffnen, [](D& d) {
        const QPoint mitte = QGuiApplication::primaryScreen()->availableGeometry().center();
        const QPoint lage = d.geometry().center();
        // Half a pixel either way for an odd size, on each axis.
        EXPECT_LE((lage - mitte).manhattanLength(), 4)
            << D::staticMetaObject.className() << " at " << lage.x() << "," << lage.y() << ", screen centre "
            << mitte.x() << "," << mitte.y();
        d.reject();
    });
}

} // namespace

// The main window stands in the screen's top left corner, so a dialog
// placed over it would not be in the middle.
TEST(Dialoglage, FilterOptionsUpdateTakeoverAndCopyOpenInTheMiddleOfTheScreen)
{
    FilterRegister r;
    TMarlex& m = r.m;
    m.setGeometry(QRect(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(10, 30),
                        QSize(420, 320)));
    marlextest::listenzeileKlicken(m, 0);

    erwarteMittig<TFiltersetzen>([&] { m.Filtersetzen1->trigger(); });
    erwarteMittig<TOptionen>([&] { m.Optionen1->trigger(); });
    erwarteMittig<TUpdate>([&] { m.Update1->trigger(); });
    erwarteMittig<TKopieren>([&] { m.Kopie1->trigger(); });
    erwarteMittig<TDatenuebernahme>([&] {
        TDatenuebernahme dialog(&m);
        dialog.exec();
    });
}
