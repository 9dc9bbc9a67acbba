// A whole hand: the coin commands, the deal with the computer's stake, the
// settle, the coin rows and the coin display.

#include "support/doubles.h"
#include "support/game.h"
#include "support/modal.h"

#include <QTest>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using testsupport::Game;
using varnel::Side;

const std::pair<int, int> playerSpot{6360, 6360};
const std::pair<int, int> computerSpot{7680, 6360};
const int storedComputerLeft[] = {6000, 1440, 3000, 4560, 120, 7440, 9000, 10560, 12120, 13680};
const int rowLeft[] = {120, 1560, 3120, 4680, 6240, 7560, 9120, 10680, 12240, 13800};

std::string coin(char side, int n)
{
    return side + std::to_string(n);
}

struct Hand : ::testing::Test {
    Game game;
    varnel::play& w = game.window;

    // Runs an action that must end in the error report, and returns its text.
    std::string reported(const std::function<void()>& action)
    {
        std::string text;
        EXPECT_EQ(testsupport::whileModal(action, [&](QWidget* modal) { text = testsupport::boxText(modal); }), 1);
        EXPECT_TRUE(game.runtime.ended());
        return text;
    }
};

// Coin commands

TEST_F(Hand, ACoinClickMovesTheCoinAndChargesItsSide)
{
    QTest::mouseClick(forms::testing::widget(w, "i3"), Qt::LeftButton);
    EXPECT_EQ(game.place("i3"), playerSpot);
    EXPECT_EQ(game.caption("ca"), "900");
    EXPECT_EQ(w.playerStake.value(), 100);
    w.click("i3");
    EXPECT_EQ(game.place("i3"), playerSpot);
    EXPECT_EQ(game.caption("ca"), "800");
    EXPECT_EQ(w.playerStake.value(), 200);
    EXPECT_EQ(game.caption("ba"), "1000");
    EXPECT_EQ(w.computerStake.value(), 0);
}

TEST_F(Hand, AllTenCoinsAndOneMoreTakeTheCashBelowZero)
{
    for (int n = 1; n <= 10; ++n)
        w.click(coin('i', n));
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(game.place(coin('i', n)), playerSpot) << n;
    EXPECT_EQ(game.caption("ca"), "0");
    EXPECT_EQ(w.playerStake.value(), 1000);
    w.click("i5");
    EXPECT_EQ(game.caption("ca"), "-100");
    EXPECT_EQ(w.playerStake.value(), 1100);
}

TEST_F(Hand, TheComputersCoinsIgnoreClicksInTheirRowAndOnTheTable)
{
    game.deal(10, 4);  // the computer places j1
    ASSERT_EQ(game.place("j1"), computerSpot);
    for (const char* name : {"j1", "j2"})
        QTest::mouseClick(forms::testing::widget(w, name), Qt::LeftButton);
    EXPECT_EQ(w.computerCash.value(), 900);
    EXPECT_EQ(w.computerStake.value(), 100);
    EXPECT_EQ(game.caption("ba"), "900");
    EXPECT_EQ(game.place("j2"), std::make_pair(1440, 3000));
}

struct OverflowEdge {
    const char* name;
    int startCash;
    int clicksThatFit;
    int cashThen;
    int stakeThen;
};

class CoinOverflow : public Hand, public ::testing::WithParamInterface<OverflowEdge> {};

// The 16-bit edge of a coin command: the one click too many is refused
// whole, with the coin left where it was, and reported.
TEST_P(CoinOverflow, TheClickTooManyChangesNothingAndIsReported)
{
    const OverflowEdge edge = GetParam();
    game.setCash(Side::player, edge.startCash);
    for (int i = 0; i < edge.clicksThatFit; ++i)
        w.click("i1");
    EXPECT_EQ(w.playerCash.value(), edge.cashThen);
    EXPECT_EQ(game.caption("ca"), std::to_string(edge.cashThen));
    EXPECT_EQ(w.playerStake.value(), edge.stakeThen);

    EXPECT_EQ(reported([&] { w.click("i2"); }), "Run-time error: Overflow");
    EXPECT_EQ(game.place("i2"), std::make_pair(1560, 9360)) << "the coin does not move";
    EXPECT_EQ(w.playerCash.value(), edge.cashThen);
    EXPECT_EQ(game.caption("ca"), std::to_string(edge.cashThen));
    EXPECT_EQ(w.playerStake.value(), edge.stakeThen);
    EXPECT_EQ(testsupport::moneyInPlay(game.window), edge.startCash + 1000);
}

INSTANTIATE_TEST_SUITE_P(Edges, CoinOverflow,
                         ::testing::Values(OverflowEdge{"stakeFirstFrom1000", 1000, 327, -31700, 32700},
                                           OverflowEdge{"cashFirstFromMinus100", -100, 326, -32700, 32600}),
                         [](const auto& test) { return std::string(test.param.name); });

// The deal and the computer's stake

struct StakeCase {
    int computerCash;
    int computerTotal;
    int coins;
};

class ComputerStake : public Hand, public ::testing::WithParamInterface<StakeCase> {};

TEST_P(ComputerStake, PlacesTheCoinsOfItsRowWhileItsCashIsAbove300)
{
    const StakeCase c = GetParam();
    if (c.computerCash != 1000)
        game.setCash(Side::computer, c.computerCash);
    const std::string labelBefore = game.caption("ba");
    game.deal(30, c.computerTotal);

    EXPECT_EQ(w.computerTotal.value(), c.computerTotal);
    EXPECT_EQ(w.computerStake.value(), 100 * c.coins);
    EXPECT_EQ(w.computerCash.value(), c.computerCash - 100 * c.coins);
    EXPECT_EQ(game.caption("ba"), c.coins ? std::to_string(c.computerCash - 100 * c.coins) : labelBefore);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(game.place(coin('j', n)),
                  n <= c.coins ? computerSpot : std::make_pair(storedComputerLeft[n - 1], 3000))
            << "j" << n;
    EXPECT_EQ(w.playerStake.value(), 0);
    EXPECT_EQ(game.caption("ca"), "1000");
}

INSTANTIATE_TEST_SUITE_P(RowBounds, ComputerStake,
                         ::testing::Values(StakeCase{1000, 3, 1}, StakeCase{1000, 5, 1}, StakeCase{1000, 6, 2},
                                           StakeCase{1000, 9, 2}, StakeCase{1000, 10, 3}, StakeCase{1000, 11, 3},
                                           StakeCase{1000, 12, 6}, StakeCase{1000, 14, 6}, StakeCase{1000, 15, 7},
                                           StakeCase{1000, 17, 7}, StakeCase{1000, 18, 9}, StakeCase{1000, 20, 9},
                                           StakeCase{1000, 21, 10}, StakeCase{1000, 22, 0}, StakeCase{1000, 30, 0}),
                         [](const auto& test) { return "total" + std::to_string(test.param.computerTotal); });

INSTANTIATE_TEST_SUITE_P(CashBound, ComputerStake,
                         ::testing::Values(StakeCase{300, 21, 0}, StakeCase{301, 21, 10}, StakeCase{301, 3, 1},
                                           StakeCase{0, 12, 0}, StakeCase{-500, 21, 0}),
                         [](const auto& test) {
                             const int cash = test.param.computerCash;
                             return "cash" + std::string(cash < 0 ? "Minus" : "") + std::to_string(std::abs(cash)) +
                                    "total" + std::to_string(test.param.computerTotal);
                         });

TEST_F(Hand, ThePlayersCardsAndStakeDoNotChangeWhatTheComputerPlaces)
{
    for (const int playerTotal : {3, 17, 30}) {
        for (const int stakeClicks : {0, 4}) {
            Game g;
            for (int i = 0; i < stakeClicks; ++i)
                g.window.click("i1");
            g.deal(playerTotal, 14);
            EXPECT_EQ(g.window.computerStake.value(), 600) << playerTotal << " " << stakeClicks;
            EXPECT_EQ(g.window.playerStake.value(), 100 * stakeClicks) << "a stake before the deal stays";
        }
    }
}

TEST_F(Hand, CardValueRuleAtTheEdgesOfTheFraction)
{
    struct Draw {
        float r;
        const char* caption;
    };
    const Draw draws[] = {
        {0.0f, "1"},  {std::nextafter(0.1f, 0.0f), "1"},  {0.1f, "2"}, {0.55f, "6"}, {std::nextafter(0.9f, 0.0f), "9"},
        {0.9f, "10"}, {std::nextafter(1.0f, 0.0f), "10"},
    };
    for (const Draw& d : draws) {
        Game g;
        g.random->fractions.assign(6, d.r);
        g.window.click("deal");
        for (const char* label : {"c1", "c2", "c3", "d1", "d2", "d3"})
            EXPECT_EQ(g.caption(label), d.caption) << "r = " << d.r;
        const int value = std::stoi(d.caption);
        EXPECT_EQ(g.window.playerTotal.value(), 3 * value);
        EXPECT_EQ(g.window.computerTotal.value(), 3 * value);
    }
}

TEST_F(Hand, TheDealDrawsInLabelOrderAndReseedsFromTheClockEveryTime)
{
    game.clock->seconds = 3600.5f;
    game.nextCards({1, 2, 3, 4, 5, 6});
    w.click("deal");
    EXPECT_EQ((std::vector{game.caption("c1"), game.caption("c2"), game.caption("c3")}),
              (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ((std::vector{game.caption("d1"), game.caption("d2"), game.caption("d3")}),
              (std::vector<std::string>{"4", "5", "6"}));
    EXPECT_EQ(w.playerTotal.value(), 6);
    EXPECT_EQ(w.computerTotal.value(), 15);
    w.click("g");
    game.clock->seconds = 3601.75f;
    game.deal(10, 10);
    EXPECT_EQ(game.random->seeds, (std::vector<float>{3600.5f, 3601.75f}));
}

TEST_F(Hand, ADealOpensTheHandAndHidesTheComputersNewCards)
{
    game.deal(10, 30);
    w.click("g");
    ASSERT_TRUE(w.control("d1").visible());
    game.deal(12, 25);
    EXPECT_TRUE(w.control("g").enabled());
    EXPECT_FALSE(w.control("deal").visible());
    for (const char* label : {"d1", "d2", "d3"}) {
        EXPECT_FALSE(w.control(label).visible()) << label;
        EXPECT_FALSE(forms::testing::widget(w, label)->isVisible()) << label;
    }
    EXPECT_EQ(game.caption("d1") + game.caption("d2") + game.caption("d3"), "10105") << "the new cards, unseen";
    // A second deal cannot follow: "Deal" is hidden until the settle. The
    // scripted generator has no cards left, so a deal would fail loudly.
    w.click("deal");
    EXPECT_FALSE(game.runtime.ended());
}

TEST(SeededDeal, TheSameClockReadingsDealTheSameHands)
{
    // The runtime's own generator from its first state: these deals are what
    // a player gets at these clock readings, and must not change unnoticed.
    struct Expected {
        float clock;
        const char* cards;  // c1 c2 c3 d1 d2 d3
    };
    const Expected deals[] = {{43200.25f, "1 8 8 8 2 10"}, {43210.5f, "10 1 1 5 1 10"}, {43210.5f, "3 7 6 5 9 7"}};
    forms::Runtime runtime("Varnel");
    auto clock = std::make_unique<testsupport::FixedClock>();
    testsupport::FixedClock* fixed = clock.get();
    runtime.setClock(std::move(clock));
    varnel::play w(runtime);
    w.show();
    for (const Expected& d : deals) {
        fixed->seconds = d.clock;
        w.click("deal");
        std::string cards;
        for (const char* label : {"c1", "c2", "c3", "d1", "d2", "d3"})
            cards += (cards.empty() ? "" : " ") + w.control(label).caption();
        EXPECT_EQ(cards, d.cards) << "at " << d.clock;
        w.click("g");
    }
}

// The settle

struct SettleCase {
    const char* name;
    int playerTotal;
    int computerTotal;
    int playerClicksBeforeDeal;
    int playerClicksAfterDeal;
    bool playerWins;
    int playerCash;
    int computerCash;
};

class Settle : public Hand, public ::testing::WithParamInterface<SettleCase> {};

TEST_P(Settle, PaysThePotToTheHigherTotalAndReArmsTheTable)
{
    const SettleCase c = GetParam();
    for (int i = 0; i < c.playerClicksBeforeDeal; ++i)
        w.click("i" + std::to_string(i + 1));
    game.deal(c.playerTotal, c.computerTotal);
    for (int i = 0; i < c.playerClicksAfterDeal; ++i)
        w.click("i10");
    const std::string loserLabel = game.caption(c.playerWins ? "ba" : "ca");
    QTest::mouseClick(forms::testing::widget(w, "g"), Qt::LeftButton);

    EXPECT_EQ(w.playerCash.value(), c.playerCash);
    EXPECT_EQ(w.computerCash.value(), c.computerCash);
    EXPECT_EQ(game.caption("ca"), std::to_string(c.playerCash));
    EXPECT_EQ(game.caption("ba"), std::to_string(c.computerCash));
    EXPECT_EQ(game.caption(c.playerWins ? "ba" : "ca"), loserLabel) << "the loser's label is not redrawn";
    EXPECT_EQ(w.playerStake.value(), 0);
    EXPECT_EQ(w.computerStake.value(), 0);
    EXPECT_EQ(testsupport::moneyInPlay(game.window), 2000);
    EXPECT_EQ(w.playerTotal.value(), c.playerTotal) << "the totals stay";
    EXPECT_EQ(w.computerTotal.value(), c.computerTotal);
    for (const char* label : {"d1", "d2", "d3"})
        EXPECT_TRUE(w.control(label).visible()) << label;
    EXPECT_FALSE(w.control("g").enabled());
    EXPECT_TRUE(w.control("deal").visible());
    const auto player = Game::cardsFor(c.playerTotal);
    EXPECT_EQ(game.caption("c1"), std::to_string(player[0])) << "the cards stay on show";
}

INSTANTIATE_TEST_SUITE_P(Hands, Settle,
                         ::testing::Values(SettleCase{"tieGoesToTheComputer", 17, 17, 0, 2, false, 800, 1200},
                                           SettleCase{"higherTotalWithoutStake", 24, 25, 0, 3, false, 700, 1300},
                                           SettleCase{"onlyTheComparisonCounts", 4, 3, 0, 0, true, 1100, 900},
                                           SettleCase{"emptyPot", 5, 22, 0, 0, false, 1000, 1000},
                                           SettleCase{"oneCoinEach", 9, 5, 0, 1, true, 1100, 900},
                                           SettleCase{"stakeBeforeTheDeal", 20, 10, 2, 1, true, 1300, 700},
                                           SettleCase{"computerTakesBothStakes", 3, 21, 3, 0, false, 700, 1300}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(Hand, TheSettleRedrawsTheWinnersLabelEvenFromAnEmptyPot)
{
    game.deal(3, 30);
    w.control("ba").setCaption("stale");
    w.click("g");
    EXPECT_EQ(game.caption("ba"), "1000");
}

// The winner's cash plus the pot beyond 32767: reported, with the cards
// already shown and the coins home, and every value as it was. The pot is
// summed as the player's stake plus the winner's cash, then the computer's
// stake, and nothing is stored until both sums have passed.
struct SettleOverflowCase {
    const char* name;
    int playerCash;
    int computerCash;
    int playerClicks;
    int playerTotal;
    int computerTotal;
    int playerCashThen;
    int computerCashThen;
    int playerStakeThen;
    int computerStakeThen;
};

class SettleOverflow : public Hand, public ::testing::WithParamInterface<SettleOverflowCase> {};

TEST_P(SettleOverflow, IsReportedWithNoValueChanged)
{
    const SettleOverflowCase c = GetParam();
    game.setCash(Side::player, c.playerCash);
    game.setCash(Side::computer, c.computerCash);
    for (int i = 0; i < c.playerClicks; ++i)
        w.click("i1");
    game.deal(c.playerTotal, c.computerTotal);
    EXPECT_EQ(reported([&] { w.click("g"); }), "Run-time error: Overflow");
    EXPECT_EQ(w.playerCash.value(), c.playerCashThen);
    EXPECT_EQ(w.computerCash.value(), c.computerCashThen);
    EXPECT_EQ(w.playerStake.value(), c.playerStakeThen);
    EXPECT_EQ(w.computerStake.value(), c.computerStakeThen);
    EXPECT_EQ(w.playerTotal.value(), c.playerTotal);
    EXPECT_EQ(w.computerTotal.value(), c.computerTotal);
    EXPECT_EQ(game.caption("ca"), std::to_string(c.playerCashThen));
    EXPECT_EQ(game.caption("ba"), std::to_string(c.computerCashThen));
    EXPECT_TRUE(w.control("d1").visible()) << "the cards are already shown";
    EXPECT_EQ(game.place("j1"), std::make_pair(120, 3000)) << "and the coins home";
    EXPECT_EQ(game.place("i1"), std::make_pair(120, 9360));
}

INSTANTIATE_TEST_SUITE_P(
    Pots, SettleOverflow,
    ::testing::Values(
        // 32700 + 0 fits, plus the computer's 100 does not.
        SettleOverflowCase{"computersStakeTooMuch", 32700, 1000, 0, 30, 4, 32700, 900, 0, 100},
        // 100 + 32500 = 32600 fits, plus the computer's 300 does not.
        SettleOverflowCase{"playerWinsBothStakesTooMuch", 32600, 1000, 1, 30, 10, 32500, 700, 100, 300},
        // 100 + 32600 = 32700 fits, plus the computer's own 100 does not.
        SettleOverflowCase{"computerWinsBothStakesTooMuch", 1000, 32700, 1, 3, 4, 900, 32600, 100, 100}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(Hand, DealsAndSettlesStrictlyAlternate)
{
    w.click("g");
    EXPECT_TRUE(w.control("deal").visible()) << "no settle before a deal";
    EXPECT_EQ(w.computerCash.value(), 1000);
    game.deal(10, 10);
    w.click("g");
    const int cash = w.computerCash.value();
    w.click("g");
    QTest::mouseClick(forms::testing::widget(w, "g"), Qt::LeftButton);
    EXPECT_EQ(w.computerCash.value(), cash) << "no second settle";
}

// Coin rows and the coin display

class FirstSettle : public Hand, public ::testing::WithParamInterface<int> {};

// Whatever the computer placed, all ten of its coins or some or none: the
// ones never placed leave their stored places for the row as well.
TEST_P(FirstSettle, SendsEveryCoinToItsRow)
{
    w.click("i4");
    game.deal(10, GetParam());
    w.click("g");
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(game.place(coin('i', n)), std::make_pair(rowLeft[n - 1], 9360)) << n;
        EXPECT_EQ(game.place(coin('j', n)), std::make_pair(rowLeft[n - 1], 3000)) << n;
        EXPECT_TRUE(w.control(coin('j', n)).visible());
    }
    EXPECT_EQ(w.control("j5").left(), 6240);
    EXPECT_EQ(w.control("j1").left(), 120);
}

INSTANTIATE_TEST_SUITE_P(ComputerTotals, FirstSettle, ::testing::Values(21, 4, 25),
                         [](const auto& test) { return "computerTotal" + std::to_string(test.param); });

struct DisplayCase {
    int playerCash;
    int shown;  // -1: left as the previous settle showed it (three)
};

class CoinDisplay : public Hand, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(CoinDisplay, ShowsOneStackPerHundredUpToNineAndAllFromOneToTenThousand)
{
    // Each settle below is won by the computer with an empty pot, so the
    // player's cash is exactly what the test set.
    const auto settleAt = [&](int cash) {
        game.setCash(Side::player, cash);
        game.deal(3, 30);
        w.click("g");
    };
    settleAt(300);
    settleAt(GetParam().playerCash);
    const int shown = GetParam().shown < 0 ? 3 : GetParam().shown;
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(w.control(coin('i', n)).visible(), n <= shown) << "i" << n;
        EXPECT_EQ(game.place(coin('i', n)), std::make_pair(rowLeft[n - 1], 9360)) << "hidden at home";
    }
}

INSTANTIATE_TEST_SUITE_P(Cash, CoinDisplay,
                         ::testing::Values(DisplayCase{0, 0}, DisplayCase{100, 1}, DisplayCase{300, 3},
                                           DisplayCase{900, 9}, DisplayCase{1000, 10}, DisplayCase{5500, 10},
                                           DisplayCase{10000, 10}, DisplayCase{10100, -1}, DisplayCase{-100, -1},
                                           DisplayCase{-32700, -1}),
                         [](const auto& test) {
                             const int cash = test.param.playerCash;
                             return std::string(cash < 0 ? "minus" : "") + std::to_string(std::abs(cash));
                         });

TEST_F(Hand, HiddenStacksTakeNoClicksAndShownOnesStakeWithoutLimit)
{
    game.setCash(Side::player, 300);
    game.deal(3, 30);
    w.click("g");
    w.click("i4");
    EXPECT_EQ(w.playerStake.value(), 0) << "a hidden stack takes no click";
    for (int i = 0; i < 5; ++i)
        w.click("i1");
    EXPECT_EQ(w.playerStake.value(), 500);
    EXPECT_EQ(game.caption("ca"), "-200");
}

TEST_F(Hand, AHiddenStackComesBackWhenTheCashDoes)
{
    game.setCash(Side::player, 0);
    game.deal(3, 30);
    w.click("g");
    ASSERT_FALSE(w.control("i1").visible());
    game.deal(30, 15);  // the computer stakes 700 and loses it
    w.click("g");
    EXPECT_EQ(w.playerCash.value(), 700);
    for (int n = 1; n <= 10; ++n)
        EXPECT_EQ(w.control(coin('i', n)).visible(), n <= 7) << n;
}

// Money is neither made nor lost: over any run of clicks, deals and settles
// the two cash values and the two stakes add up to the 2000 of the start,
// and both cash labels show their values.
TEST(MoneyKept, OverLongRandomRuns)
{
    for (const unsigned seed : {1u, 2u, 3u}) {
        forms::Runtime runtime("Varnel");
        runtime.setClock(std::make_unique<testsupport::FixedClock>());
        varnel::play w(runtime);
        w.show();
        std::mt19937 pick(seed);
        for (int step = 0; step < 20000; ++step) {
            const int what = std::uniform_int_distribution<int>(0, 11)(pick);
            if (what < 10 && w.playerCash.value() > -20000)
                w.click("i" + std::to_string(what + 1));
            else if (what == 10)
                w.click("deal");
            else
                w.click("g");
            ASSERT_EQ(testsupport::moneyInPlay(w), 2000) << "seed " << seed << " step " << step;
            ASSERT_EQ(w.control("ca").caption(), forms::text(w.playerCash)) << "seed " << seed << " step " << step;
            ASSERT_EQ(w.control("ba").caption(), forms::text(w.computerCash)) << "seed " << seed << " step " << step;
        }
        ASSERT_FALSE(runtime.ended());
    }
}

// One hand as a player plays it: real clicks at the controls' places.
TEST_F(Hand, OneHandWithRealClicksInTheWindow)
{
    const auto clickAt = [&](int leftTwips, int topTwips) {
        testsupport::clickThroughWindow(forms::testing::client(w), QPoint(leftTwips / 15 + 20, topTwips / 15 + 20));
    };
    clickAt(3120, 9360);  // i3
    EXPECT_EQ(game.place("i3"), playerSpot);
    EXPECT_EQ(game.caption("ca"), "900");

    game.nextCards({10, 9, 8, 2, 2, 1});  // the computer's 5 stakes one coin
    clickAt(360, 6480);                   // Deal
    EXPECT_FALSE(forms::testing::widget(w, "deal")->isVisible());
    EXPECT_EQ(game.caption("c1") + " " + game.caption("c2") + " " + game.caption("c3"), "10 9 8");
    EXPECT_FALSE(forms::testing::widget(w, "d1")->isVisible());
    EXPECT_EQ(game.caption("ba"), "900");
    EXPECT_EQ(game.place("j1"), computerSpot);

    clickAt(6240, 8520);  // VARNEL
    EXPECT_TRUE(forms::testing::widget(w, "d1")->isVisible());
    EXPECT_EQ(game.caption("d1") + game.caption("d2") + game.caption("d3"), "221");
    EXPECT_EQ(game.caption("ca"), "1100");
    EXPECT_EQ(game.caption("ba"), "900");
    EXPECT_EQ(game.place("i3"), std::make_pair(3120, 9360));
    EXPECT_EQ(game.place("j1"), std::make_pair(120, 3000));
    EXPECT_TRUE(forms::testing::widget(w, "deal")->isVisible());
    EXPECT_FALSE(forms::testing::widget(w, "g")->isEnabled());
}

}  // namespace
