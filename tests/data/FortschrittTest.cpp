#include <gtest/gtest.h>

#include "data/Fortschritt.h"
#include "data/Init.h"
#include "data/ListeEinlesen.h"

using datawidgets::Fortschrittsbalken;

TEST(Fortschrittsbalken, AnEmptyJobShowsAnEmptyBarNotQtsBusyIndicator)
{
    Fortschrittsbalken balken;
    balken.setMaximumSteps(0);
    EXPECT_GT(balken.maximum(), balken.minimum());
    EXPECT_EQ(balken.value(), 0);
    balken.stepIt();
    EXPECT_EQ(balken.position(), 0);
    EXPECT_EQ(balken.value(), 0);
}

TEST(Fortschrittsbalken, StepsStopAtTheMaximumAndTheLastStepIsAlwaysShown)
{
    Fortschrittsbalken balken;
    for (const int maximum : {1, 7, 399, 100000}) {
        SCOPED_TRACE(maximum);
        balken.setPosition(0);
        balken.setMaximumSteps(maximum);
        for (int i = 0; i < maximum + 3; ++i)
            balken.stepIt();
        EXPECT_EQ(balken.position(), maximum);
        EXPECT_EQ(balken.maximum(), maximum);
        EXPECT_EQ(balken.value(), maximum);
    }
}

TEST(Fortschrittsbalken, ShownValueNeverRunsAheadOrFarBehind)
{
    Fortschrittsbalken balken;
    balken.setMaximumSteps(100000);
    for (int i = 1; i <= 100000; ++i) {
        balken.stepIt();
        ASSERT_LE(balken.value(), i);
        ASSERT_GE(balken.value(), i - 100000 / 400) << "a step the bar would show went missing";
    }
}

TEST(Fortschrittsfenster, TheAnimationRunsOnlyWhileItsWindowIsShown)
{
    TListeEinlesen liste;
    TInit init;
    for (QDialog* fenster : std::initializer_list<QDialog*>{&liste, &init}) {
        auto* animation = fenster->findChild<datawidgets::Suchanimation*>(QStringLiteral("Animate1"));
        ASSERT_NE(animation, nullptr);
        EXPECT_FALSE(animation->running());
        fenster->show();
        EXPECT_TRUE(animation->running());
        fenster->hide();
        EXPECT_FALSE(animation->running());
    }
}

TEST(Fortschrittsfenster, TheStartupWindowCannotBeDismissedBeforeTheStartIsDone)
{
    TInit init;
    init.show();
    init.reject();
    EXPECT_TRUE(init.isVisible());
    EXPECT_FALSE(init.close());
    EXPECT_TRUE(init.isVisible());
}
