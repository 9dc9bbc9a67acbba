// The game window as the player first sees it.

#include "support/game.h"

#include <QImage>
#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using forms::testing::widget;

std::vector<std::string> named(const char* prefix, int count)
{
    std::vector<std::string> names;
    for (int n = 1; n <= count; ++n)
        names.push_back(prefix + std::to_string(n));
    return names;
}

struct Startup : ::testing::Test {
    testsupport::Game game;
    varnel::play& w = game.window;
};

TEST_F(Startup, StateAndCashLabelsAfterLoad)
{
    EXPECT_EQ(w.playerCash.value(), 1000);
    EXPECT_EQ(w.computerCash.value(), 1000);
    EXPECT_EQ(w.playerTotal.value(), 0);
    EXPECT_EQ(w.computerTotal.value(), 0);
    EXPECT_EQ(w.playerStake.value(), 0);
    EXPECT_EQ(w.computerStake.value(), 0);
    EXPECT_EQ(game.caption("ca"), "1000");
    EXPECT_EQ(game.caption("ba"), "1000") << "the stored \"BASH\" is replaced before the window shows";
    EXPECT_TRUE(game.random->seeds.empty()) << "start-up does not seed the generator";
}

TEST_F(Startup, ControlsStartInTheirStates)
{
    struct Start {
        std::vector<std::string> names;
        bool visible, enabled;
        const char* caption;
    };
    const Start starts[] = {
        {{"g"}, true, false, "VARNEL"},
        {named("j", 10), true, false, ""},
        {named("i", 10), true, true, ""},
        {named("d", 3), false, true, ""},
        {named("c", 3), true, true, ""},
        {{"cre"}, false, true, "Frame1"},
        {{"deal"}, true, true, "Deal"},
        {{"Label4"}, true, true, "Cash: $"},
        {{"Shape1", "Shape2", "Shape3", "Shape4", "Shape5", "Shape6"}, true, true, ""},
        {{"drw", "abt", "hlp"}, true, true, nullptr},
    };
    for (const Start& s : starts)
        for (const std::string& name : s.names) {
            const forms::Control& c = w.control(name);
            EXPECT_EQ(c.visible(), s.visible) << name;
            EXPECT_EQ(c.enabled(), s.enabled) << name;
            if (s.caption) {
                EXPECT_EQ(c.caption(), s.caption) << name;
            }
            if (QWidget* shown = widget(w, name)) {
                EXPECT_EQ(shown->isVisible(), s.visible) << name;
            }
        }
    EXPECT_TRUE(w.control("Label1").caption().starts_with("Varnel" + std::string(60, ' ')));
    EXPECT_EQ(w.control("Label1").caption().size(), 79u);
}

TEST_F(Startup, TheFocusIsOnDeal)
{
    EXPECT_EQ(forms::testing::window(w)->focusWidget(), widget(w, "deal"));
}

TEST_F(Startup, TheMenuBarHasDrawAboutHelpAndStaysReadable)
{
    QMenuBar* bar = forms::testing::menuBar(w);
    ASSERT_NE(bar, nullptr);
    QStringList captions;
    for (QAction* a : bar->actions()) {
        captions << a->text();
        EXPECT_EQ(a->menu(), nullptr) << "no drop-down lists";
        EXPECT_TRUE(a->shortcut().isEmpty());
    }
    EXPECT_EQ(captions, (QStringList{QStringLiteral("Draw"), QStringLiteral("About"), QStringLiteral("Help")}));
    // The black of the window stops at its client area: the bar keeps light
    // and dark pixels, its text on its ground.
    const QImage bar_ = bar->grab().toImage();
    int light = 0, dark = 0;
    for (int y = 0; y < bar_.height(); ++y)
        for (int x = 0; x < bar_.width(); ++x) {
            const int v = qGray(bar_.pixel(x, y));
            light += v > 160;
            dark += v < 80;
        }
    EXPECT_GT(light, bar_.width() * bar_.height() / 2) << "a light ground";
    EXPECT_GT(dark, 20) << "dark text";
}

TEST_F(Startup, DisabledComputerCoinsLookLikeThePlayersCoins)
{
    const QImage player = widget(w, "i1")->grab().toImage();
    const QImage computer = widget(w, "j1")->grab().toImage();
    EXPECT_EQ(player, computer);
    EXPECT_FALSE(widget(w, "j1")->isEnabled());
}

TEST_F(Startup, TheClientAreaIsBlackAndTheCardsAreWhite)
{
    const QImage shot = forms::testing::client(w)->grab().toImage();
    EXPECT_EQ(shot.pixelColor(900, 400), QColor(Qt::black));
    for (const char* card : {"c1", "c2", "c3"}) {
        const QRect box = widget(w, card)->geometry();
        EXPECT_EQ(shot.pixelColor(box.center()), QColor(Qt::white)) << card;
    }
    const QRect deal = widget(w, "deal")->geometry();
    EXPECT_EQ(shot.pixelColor(deal.left() + 10, deal.center().y()), QColor(255, 192, 192)) << "Deal is drawn in pink";
}

TEST_F(Startup, DisabledControlsTakeNoClicks)
{
    // No handler must run, nothing changes: the state stays as loaded.
    QTest::mouseClick(widget(w, "g"), Qt::LeftButton);
    for (const std::string& j : named("j", 10))
        QTest::mouseClick(widget(w, j.c_str()), Qt::LeftButton);
    EXPECT_EQ(game.caption("ba"), "1000");
    EXPECT_EQ(w.computerStake.value(), 0);
    EXPECT_EQ(w.control("j1").left(), 6000);
}

}  // namespace
