#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>

#include "FilterTestSupport.h"
#include "data/Programm.h"

using namespace filtertest;

// The program makes the filters' windows at start, hidden; its menu sets a
// list filter that the list window then shows.
TEST(FilterImProgramm, TheProgramMakesTheFilterWindowsAndItsMenuSetsAListFilter)
{
    marlextest::Register reg;
    registerSchreiben(reg);
    reg.einstellung(u"Optionen"_qs, u"First"_qs, u"0"_qs); // not the first start: no takeover offered
    {
        const Programm programm;
        ASSERT_TRUE(programm.gestartet());
        ASSERT_NE(AktuellerFilter, nullptr);
        ASSERT_NE(AktuellerLagerFilter, nullptr);
        ASSERT_NE(FilterWarten, nullptr);
        EXPECT_EQ(AktuellerFilter->windowTitle(), u"Aktueller Datenfilter"_qs);
        EXPECT_EQ(AktuellerLagerFilter->windowTitle(), u"Aktueller Lagerfilter"_qs);
        EXPECT_EQ(FilterWarten->windowTitle(), u"Bitte warten..."_qs);
        EXPECT_FALSE(AktuellerFilter->isVisible());
        EXPECT_FALSE(AktuellerLagerFilter->isVisible());
        EXPECT_FALSE(FilterWarten->isVisible());

        imDialog([] { Marlex->Filtersetzen1->trigger(); },
                 [](TFiltersetzen& d) {
                     tippen(d, u"WGK='3'"_qs);
                     setzen(d);
                 });
        EXPECT_EQ(listenzeilen(*Marlex), QStringList{u"Benzol"_qs});
        EXPECT_TRUE(AktuellerFilter->isVisible());
        EXPECT_EQ(AktuellerFilter->Edit1->text(), u"WGK='3'"_qs);
    }
    EXPECT_EQ(AktuellerFilter, nullptr);
    EXPECT_EQ(AktuellerLagerFilter, nullptr);
    EXPECT_EQ(FilterWarten, nullptr);
}
