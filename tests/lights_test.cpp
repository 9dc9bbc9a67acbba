// The five blinking lights.

#include "support/doubles.h"
#include "support/game.h"

#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

namespace {

using testsupport::Game;

const std::pair<const char*, const char*> lightOf[] = {
    {"Timer1", "Shape2"}, {"Timer2", "Shape3"}, {"Timer3", "Shape4"}, {"Timer4", "Shape5"}, {"Timer5", "Shape6"}};

TEST(Lights, EachTickFlipsItsOwnLight)
{
    Game game;
    for (const auto& [timer, shape] : lightOf) {
        EXPECT_TRUE(game.window.control(shape).visible()) << shape << " starts on";
        for (const bool expected : {false, true, false}) {
            game.window.tick(timer);
            EXPECT_EQ(game.window.control(shape).visible(), expected) << timer;
            for (const auto& [otherTimer, other] : lightOf)
                if (other != shape) {
                    EXPECT_TRUE(game.window.control(other).visible()) << timer << " touched " << other;
                }
        }
        game.window.tick(timer);
    }
}

TEST(Lights, ALightHiddenByAnythingElseIsShownByItsNextTick)
{
    Game game;
    game.window.control("Shape3").setVisible(false);
    game.window.tick("Timer2");
    EXPECT_TRUE(game.window.control("Shape3").visible());
}

TEST(Lights, TicksTouchNothingOfTheGame)
{
    Game game;
    game.window.click("i2");
    game.deal(12, 15);
    const std::string before = testsupport::tableState(game.window);
    for (int i = 0; i < 1000; ++i)
        game.window.tick(lightOf[i % 5].first);
    EXPECT_EQ(testsupport::tableState(game.window), before);
}

TEST(Lights, TheRealTimersBlinkEveryLight)
{
    Game game;
    std::map<std::string, std::set<bool>> seen;
    const auto everyLightFlipped = [&] {
        for (const auto& [timer, shape] : lightOf)
            seen[shape].insert(game.window.control(shape).visible());
        return std::all_of(std::begin(lightOf), std::end(lightOf),
                           [&](const auto& light) { return seen[light.second].size() == 2; });
    };
    // Each light flips every 100 to 200 ms; however long the machine keeps
    // the event loop waiting, each must be seen both on and off.
    if (QTest::qWaitFor(everyLightFlipped, testsupport::patience))
        return;
    for (const auto& [timer, shape] : lightOf)
        EXPECT_EQ(seen[shape].size(), 2u)
            << shape << " was not seen both on and off in " << testsupport::patience << " ms";
}

}  // namespace

namespace {

TEST(Lights, AnOffLightShowsTheBlackBehindIt)
{
    testsupport::Game game;
    QWidget* client = forms::testing::client(game.window);
    const QPoint centre = forms::testing::widget(game.window, "Shape4")->geometry().center();
    EXPECT_EQ(client->grab().toImage().pixelColor(centre), QColor(Qt::green));
    game.window.tick("Timer3");
    EXPECT_EQ(client->grab().toImage().pixelColor(centre), QColor(Qt::black));
    game.window.tick("Timer3");
    EXPECT_EQ(client->grab().toImage().pixelColor(centre), QColor(Qt::green));
}

}  // namespace
