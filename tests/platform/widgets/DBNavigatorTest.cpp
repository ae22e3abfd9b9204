#include <QToolButton>

#include "WidgetTestSupport.h"
#include "widgets/DBNavigator.h"

using namespace widgets;
using namespace widgettest;

namespace {

class Navigator : public TableFixture {
protected:
    void click(DBNavigator::Button button) { navigator.button(button)->click(); }
    QString name() { return table.field(NAME1).asString(); }

    DBNavigator navigator;
};

TEST_F(Navigator, ButtonsMoveTheTableAndTellWhichWasPressedAfterwards)
{
    navigator.setDataSource(&source);
    std::vector<std::pair<DBNavigator::Button, QString>> gedrueckt;
    QObject::connect(&navigator, &DBNavigator::clicked, [&](DBNavigator::Button b) { gedrueckt.emplace_back(b, name()); });

    click(DBNavigator::Button::Next);
    EXPECT_EQ(name(), "Ethanol");
    click(DBNavigator::Button::Last);
    EXPECT_EQ(name(), "Wasser");
    click(DBNavigator::Button::Next);
    EXPECT_EQ(name(), "Wasser") << "the last row stays";
    click(DBNavigator::Button::Prior);
    EXPECT_EQ(name(), "Ethanol");
    click(DBNavigator::Button::First);
    EXPECT_EQ(name(), "Aceton");
    click(DBNavigator::Button::Prior);
    EXPECT_EQ(name(), "Aceton");

    using B = DBNavigator::Button;
    const std::vector<std::pair<B, QString>> erwartet = {{B::Next, "Ethanol"}, {B::Last, "Wasser"},
                                                         {B::Next, "Wasser"},  {B::Prior, "Ethanol"},
                                                         {B::First, "Aceton"}, {B::Prior, "Aceton"}};
    EXPECT_EQ(gedrueckt, erwartet) << "each signal comes after the move";
}

TEST_F(Navigator, ButtonsAreOffWithoutRowsToMoveTo)
{
    const auto an = [this] {
        int n = 0;
        for (auto b : {DBNavigator::Button::First, DBNavigator::Button::Prior, DBNavigator::Button::Next,
                       DBNavigator::Button::Last})
            n += navigator.button(b)->isEnabled() ? 1 : 0;
        return n;
    };
    EXPECT_EQ(an(), 0) << "no source";
    navigator.setDataSource(&source);
    EXPECT_EQ(an(), 4);
    table.close();
    EXPECT_EQ(an(), 0) << "closed table";
    table.open();
    EXPECT_EQ(an(), 4);
    table.setFilterText("NAME1='Keiner'");
    table.setFiltered(true);
    EXPECT_EQ(an(), 0) << "no row passes the filter";

    navigator.setHints({"a", "b", "c", "d"});
    EXPECT_EQ(navigator.button(DBNavigator::Button::Next)->toolTip(), "c");
    EXPECT_EQ(navigator.button(DBNavigator::Button::Next)->objectName(), "nbNext");
}

} // namespace
