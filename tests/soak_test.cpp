// Random play for long, through the real widgets: clicks on any coin where
// it lies (hidden, disabled or on the table included), "Deal", "VARNEL",
// timer ticks, Help and About. After every event the game must still add up.
// A failure prints the seed and the step, so the run can be replayed with
// VARNEL_SOAK_SEED.

#include "support.h"

#include <QMenuBar>
#include <QTest>

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace {

using testsupport::Game;

// Clicks a control where it lies now, through the window: a hidden coin's
// click falls on whatever is under it.
void clickAt(varnel::play& w, const std::string& control)
{
    const forms::Control& c = w.control(control);
    const QPoint inside(c.left() / 15 + c.width() / 30, c.top() / 15 + c.height() / 30);
    testsupport::clickThroughWindow(forms::testing::client(w), inside);
}

// What the test expects of the table, kept beside the game.
struct Expectation {
    bool handOpen = false;
    bool settled = false;
    std::array<bool, 10> playerCoinShown{true, true, true, true, true, true, true, true, true, true};
};

std::string check(varnel::play& w, const Expectation& e)
{
    if (const int money = testsupport::moneyInPlay(w); money != 2000)
        return "money is " + std::to_string(money);
    if (w.control("ca").caption() != forms::text(w.playerCash) ||
        w.control("ba").caption() != forms::text(w.computerCash))
        return "a cash label does not show its cash";
    if (w.control("deal").visible() == e.handOpen || w.control("g").enabled() != e.handOpen)
        return "the phase of the hand is not what Deal and VARNEL show";
    for (const char* d : {"d1", "d2", "d3"})
        if (e.handOpen && w.control(d).visible())
            return "the computer's cards show in an open hand";
    if (!w.control("c1").caption().empty()) {  // once the first deal is made
        for (const auto& [labels, total] : {std::pair{std::array{"c1", "c2", "c3"}, w.playerTotal.value()},
                                            std::pair{std::array{"d1", "d2", "d3"}, w.computerTotal.value()}}) {
            int sum3 = 0;
            for (const char* label : labels) {
                const std::string& caption = w.control(label).caption();
                const int v = std::atoi(caption.c_str());
                if (v < 1 || v > 10 || std::to_string(v) != caption)
                    return std::string(label) + " shows \"" + caption + "\"";
                sum3 += v;
            }
            if (sum3 != total)
                return "a total is not the sum of its cards";
        }
    }
    for (int n = 1; n <= 10; ++n) {
        const std::size_t k = static_cast<std::size_t>(n - 1);
        const forms::Control& i = w.control("i" + std::to_string(n));
        const forms::Control& j = w.control("j" + std::to_string(n));
        const auto at = [](const forms::Control& c, int left, int top) { return c.left() == left && c.top() == top; };
        if (!at(i, varnel::coinRowLeft[k], 9360) && !at(i, 6360, 6360))
            return i.name() + " is astray";
        const int home = e.settled ? varnel::coinRowLeft[k]
                                   : std::array{6000, 1440, 3000, 4560, 120, 7440, 9000, 10560, 12120, 13680}[k];
        if (!at(j, home, 3000) && !at(j, 7680, 6360))
            return j.name() + " is astray";
        if (i.visible() != e.playerCoinShown[k])
            return i.name() + " is not shown as the coin display says";
        if (!j.visible())
            return j.name() + " is hidden";
    }
    return {};
}

TEST(Soak, TwoHundredThousandRandomEventsKeepTheGameWhole)
{
    const unsigned seed = qEnvironmentVariableIsSet("VARNEL_SOAK_SEED")
                              ? qEnvironmentVariable("VARNEL_SOAK_SEED").toUInt()
                              : std::random_device{}();
    Game game;
    // The real generator for the cards, seeded from the same seed; only the
    // clock stands still.
    game.runtime.setRandom(std::make_unique<forms::MixingGenerator>(seed));
    varnel::play& w = game.window;
    Expectation e;
    std::mt19937 pick(seed);
    const auto roll = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(pick); };

    constexpr int events = 200000;
    for (int step = 0; step < events; ++step) {
        const int what = roll(1000);
        if (what < 640) {
            // A coin of either side, wherever it lies; the player's stake
            // stays clear of the 16-bit limit, which has its own tests.
            const bool players = roll(2) == 0;
            if (!players || (w.playerStake.value() < 30000 && w.playerCash.value() > -20000))
                clickAt(w, (players ? "i" : "j") + std::to_string(roll(10) + 1));
        } else if (what < 780) {
            const bool wasShown = w.control("deal").visible();
            clickAt(w, "deal");
            e.handOpen = e.handOpen || wasShown;
        } else if (what < 920) {
            const bool wasEnabled = w.control("g").enabled();
            clickAt(w, "g");
            if (wasEnabled) {
                e.handOpen = false;
                e.settled = true;
                if (const auto shown = varnel::shownPlayerCoins(w.playerCash.value()))
                    for (int n = 0; n < 10; ++n)
                        e.playerCoinShown[static_cast<std::size_t>(n)] = n < *shown;
            }
        } else if (what < 998) {
            w.tick("Timer" + std::to_string(roll(5) + 1));
        } else {
            testsupport::answerModals(Qt::Key_Escape);
            testsupport::chooseMenuItem(w, what == 998 ? "hlp" : "abt");
        }
        const std::string fault = check(w, e);
        ASSERT_EQ(fault, "") << "seed " << seed << ", step " << step << " (replay: VARNEL_SOAK_SEED=" << seed << ")";
    }
    EXPECT_FALSE(game.runtime.ended());
}

}  // namespace
