// Random play for long, through the real widgets: clicks and double clicks
// on any coin where it lies (hidden, disabled or on the table included),
// "Deal" and "VARNEL" by the mouse and by Space and Enter, Tab, timer ticks,
// Help and About, with the event loop turning between events and the real
// timers ticking. After every event the game must be what a small model of
// its own, kept by this test, says it is. The seed is printed first; a run
// with the same VARNEL_SOAK_SEED is the same run.

#include "support/game.h"
#include "support/modal.h"

#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <iostream>
#include <optional>
#include <random>
#include <sstream>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

using testsupport::Game;

// The table as this test understands the game, in twips.
constexpr std::array<int, 10> rowLeft{120, 1560, 3120, 4680, 6240, 7560, 9120, 10680, 12240, 13800};
constexpr std::array<int, 10> storedComputerLeft{6000, 1440, 3000, 4560, 120, 7440, 9000, 10560, 12120, 13680};
constexpr int playerRowTop = 9360;
constexpr int computerRowTop = 3000;
constexpr int spotTop = 6360;
constexpr int playerSpotLeft = 6360;
constexpr int computerSpotLeft = 7680;
constexpr int coinWidth = 1245;
constexpr int coinHeight = 1500;

struct Box {
    int left, top, width, height;

    bool holds(QPoint pixel) const
    {
        return pixel.x() >= left / 15 && pixel.x() < (left + width) / 15 && pixel.y() >= top / 15 &&
               pixel.y() < (top + height) / 15;
    }
    QPoint middle() const { return {left / 15 + width / 30, top / 15 + height / 30}; }
};

constexpr Box dealBox{360, 6480, 3735, 495};
constexpr Box settleBox{6240, 8520, 2775, 615};

// How many coins the computer puts on the table for its total.
int computerCoinsFor(int total)
{
    if (total <= 5)
        return 1;
    if (total <= 9)
        return 2;
    if (total <= 11)
        return 3;
    if (total <= 14)
        return 6;
    if (total <= 17)
        return 7;
    if (total <= 20)
        return 9;
    return total == 21 ? 10 : 0;
}

// How many of the player's stacks a settle leaves shown, if it changes them.
std::optional<int> stacksShownFor(int cash)
{
    if (cash >= 1000 && cash <= 10000)
        return 10;
    if (cash >= 0 && cash <= 900 && cash % 100 == 0)
        return cash / 100;
    return std::nullopt;
}

const std::array<std::string, 6> cardLabels{"c1", "c2", "c3", "d1", "d2", "d3"};

std::array<std::string, 10> named(const char* prefix)
{
    std::array<std::string, 10> names;
    for (std::size_t n = 0; n < 10; ++n)
        names[n] = prefix + std::to_string(n + 1);
    return names;
}
const std::array<std::string, 10> playerCoins = named("i");
const std::array<std::string, 10> computerCoins = named("j");

// The controls that the test looks at, found once: a form's controls last
// as long as it is loaded.
struct Controls {
    explicit Controls(varnel::play& w)
        : ca(w.control("ca")),
          ba(w.control("ba")),
          deal(w.control("deal")),
          g(w.control("g"))
    {
        for (std::size_t k = 0; k < 6; ++k)
            cards[k] = &w.control(cardLabels[k]);
        for (std::size_t n = 0; n < 10; ++n) {
            i[n] = &w.control(playerCoins[n]);
            j[n] = &w.control(computerCoins[n]);
        }
    }
    const forms::Control& ca;
    const forms::Control& ba;
    const forms::Control& deal;
    const forms::Control& g;
    std::array<const forms::Control*, 6> cards{};
    std::array<const forms::Control*, 10> i{}, j{};
};

struct Coin {
    int left, top;
    bool shown = true;
    Box box() const { return {left, top, coinWidth, coinHeight}; }
};

// What a click at a point of the client area reaches.
struct Hit {
    enum Kind { nothing, playerCoin, deal, settle } kind = nothing;
    int coin = 0;  // 0 to 9, for a player's coin
};

struct Model {
    int playerCash = 1000, computerCash = 1000;
    int playerTotal = 0, computerTotal = 0;
    int playerStake = 0, computerStake = 0;
    bool handOpen = false;
    bool computerCardsShown = false;
    std::array<std::string, 6> cards;  // c1 c2 c3 d1 d2 d3
    std::array<Coin, 10> i, j;

    Model()
    {
        for (std::size_t n = 0; n < 10; ++n) {
            i[n] = {rowLeft[n], playerRowTop};
            j[n] = {storedComputerLeft[n], computerRowTop};
        }
    }

    // The computer's coins are never clickable and nothing lies under them;
    // of the player's coins lying on one another any one takes the click,
    // all to the same effect.
    Hit hit(QPoint pixel) const
    {
        for (std::size_t n = 0; n < 10; ++n)
            if (i[n].shown && i[n].box().holds(pixel))
                return {Hit::playerCoin, static_cast<int>(n)};
        if (!handOpen && dealBox.holds(pixel))
            return {Hit::deal};
        if (handOpen && settleBox.holds(pixel))
            return {Hit::settle};
        return {};
    }

    // Applies what a click or key did; a deal's cards are those the game
    // shows, checked here.
    std::string apply(const Hit& h, const Controls& w)
    {
        switch (h.kind) {
        case Hit::nothing:
            return {};
        case Hit::playerCoin:
            i[static_cast<std::size_t>(h.coin)].left = playerSpotLeft;
            i[static_cast<std::size_t>(h.coin)].top = spotTop;
            playerCash -= 100;
            playerStake += 100;
            return {};
        case Hit::deal:
            return deal(w);
        case Hit::settle:
            settle();
            return {};
        }
        return {};
    }

    std::string deal(const Controls& w)
    {
        handOpen = true;
        computerCardsShown = false;
        int totals[2] = {0, 0};
        for (std::size_t k = 0; k < 6; ++k) {
            const std::string& label = cardLabels[k];
            cards[k] = w.cards[k]->caption();
            int value = 0;
            for (int v = 1; v <= 10; ++v)
                if (cards[k] == std::to_string(v))
                    value = v;
            if (value == 0)
                return label + " was dealt \"" + cards[k] + "\"";
            totals[k / 3] += value;
        }
        playerTotal = totals[0];
        computerTotal = totals[1];
        if (computerCash > 300) {
            const int coins = computerCoinsFor(computerTotal);
            for (std::size_t n = 0; n < static_cast<std::size_t>(coins); ++n)
                j[n] = {computerSpotLeft, spotTop};
            computerCash -= 100 * coins;
            computerStake += 100 * coins;
        }
        return {};
    }

    void settle()
    {
        computerCardsShown = true;
        for (std::size_t n = 0; n < 10; ++n) {
            i[n] = {rowLeft[n], playerRowTop, i[n].shown};
            j[n] = {rowLeft[n], computerRowTop};
        }
        // The higher total takes the pot; a tie goes to the computer.
        int& winner = playerTotal > computerTotal ? playerCash : computerCash;
        winner += playerStake + computerStake;
        handOpen = false;
        if (const auto shown = stacksShownFor(playerCash))
            for (std::size_t n = 0; n < 10; ++n)
                i[n].shown = static_cast<int>(n) < *shown;
        playerStake = 0;
        computerStake = 0;
    }
};

// Where the game differs from the model, or nothing.
std::string differences(const varnel::play& w, const Controls& on, const Model& m)
{
    std::string out;
    const auto expect = [&](std::string_view what, std::string_view property, const auto& game, const auto& model) {
        if (game == model)
            return;
        std::ostringstream difference;
        difference << what << property << " is " << game << ", should be " << model << "; ";
        out += difference.str();
    };
    expect("playerCash", "", w.playerCash.value(), m.playerCash);
    expect("computerCash", "", w.computerCash.value(), m.computerCash);
    expect("playerTotal", "", w.playerTotal.value(), m.playerTotal);
    expect("computerTotal", "", w.computerTotal.value(), m.computerTotal);
    expect("playerStake", "", w.playerStake.value(), m.playerStake);
    expect("computerStake", "", w.computerStake.value(), m.computerStake);
    expect("ca", "", on.ca.caption(), std::to_string(m.playerCash));
    expect("ba", "", on.ba.caption(), std::to_string(m.computerCash));
    expect("deal", " shown", on.deal.visible(), !m.handOpen);
    expect("g", " enabled", on.g.enabled(), m.handOpen);
    for (std::size_t k = 0; k < 6; ++k) {
        const forms::Control& label = *on.cards[k];
        expect(cardLabels[k], "", label.caption(), m.cards[k]);
        if (k >= 3)
            expect(cardLabels[k], " shown", label.visible(), m.computerCardsShown);
    }
    for (std::size_t n = 0; n < 10; ++n) {
        for (const auto& [name, control, coin] :
             {std::tuple{&playerCoins[n], on.i[n], &m.i[n]}, std::tuple{&computerCoins[n], on.j[n], &m.j[n]}}) {
            expect(*name, " Left", control->left(), coin->left);
            expect(*name, " Top", control->top(), coin->top);
            expect(*name, " shown", control->visible(), coin->shown);
        }
        expect(computerCoins[n], " enabled", on.j[n]->enabled(), false);
    }
    return out;
}

TEST(Soak, TwoHundredThousandRandomEventsGoAsTheModelSays)
{
    const unsigned seed =
        qEnvironmentVariableIsSet("VARNEL_SOAK_SEED") ? qEnvironmentVariable("VARNEL_SOAK_SEED").toUInt() : 20250u;
    std::cout << "soak seed " << seed << " (another one: VARNEL_SOAK_SEED)" << std::endl;

    Game game;
    // The real generator for the cards, seeded from the same seed; only the
    // clock stands still.
    game.runtime.setRandom(std::make_unique<forms::MixingGenerator>(seed));
    varnel::play& w = game.window;
    const Controls controls(w);
    QWidget* client = forms::testing::client(w);
    QWindow* screen = forms::testing::window(w)->windowHandle();

    // Every box that opens, Help's, About's or an error report, is answered
    // with Escape at once, so that a run-time error ends the run here.
    std::string lastBox;
    const testsupport::ModalAnswerer escape([&](QWidget* modal) {
        lastBox = testsupport::boxText(modal);
        QTest::keyClick(modal->focusWidget() ? modal->focusWidget() : modal, Qt::Key_Escape);
    });
    int boxesExpected = 0;

    Model m;
    std::mt19937 pick(seed);
    const auto roll = [&](int below) { return std::uniform_int_distribution<int>(0, below - 1)(pick); };
    const auto centreOf = [&](const std::string& control) {
        const std::size_t n = static_cast<std::size_t>(std::stoi(control.substr(1)) - 1);
        return (control[0] == 'i' ? m.i[n] : m.j[n]).box().middle();
    };
    const auto at = [&](QPoint pixel) { return client->mapTo(client->window(), pixel); };

    constexpr int events = 200000;
    for (int step = 0; step < events; ++step) {
        std::string event;
        std::vector<Hit> hits;
        std::optional<QPoint> clickAt;
        int clicks = 1;
        const int what = roll(1000);
        // The player's coins stay clear of the 16-bit limit, which has its
        // own tests.
        const bool coinsAllowed = m.playerStake < 30000 && m.playerCash > -20000;
        if (what < 630 && coinsAllowed) {
            const std::string coin = (roll(2) == 0 ? "i" : "j") + std::to_string(roll(10) + 1);
            clicks = what < 600 ? 1 : 2;
            clickAt = centreOf(coin);
            event = (clicks == 1 ? "click on " : "double click on ") + coin;
        } else if (what < 760) {
            clicks = what < 750 ? 1 : 2;
            clickAt = dealBox.middle();
            event = clicks == 1 ? "click on Deal" : "double click on Deal";
        } else if (what < 890) {
            clicks = what < 880 ? 1 : 2;
            clickAt = settleBox.middle();
            event = clicks == 1 ? "click on VARNEL" : "double click on VARNEL";
        } else if (what < 950) {
            const Qt::Key key =
                std::array{Qt::Key_Space, Qt::Key_Return, Qt::Key_Tab}[static_cast<std::size_t>(roll(3))];
            QWidget* focus = forms::testing::window(w)->focusWidget();
            event = std::string(key == Qt::Key_Space    ? "Space"
                                : key == Qt::Key_Return ? "Enter"
                                                        : "Tab") +
                    " on " +
                    (focus ? focus->objectName().toStdString() + " " + focus->metaObject()->className() : "no focus");
            // Space and Enter press the focused button; the game window has
            // no default button. Tab only moves the focus.
            if (key != Qt::Key_Tab) {
                if (focus && focus == forms::testing::widget(w, "deal") && !m.handOpen)
                    hits.push_back({Hit::deal});
                else if (focus && focus == forms::testing::widget(w, "g") && m.handOpen)
                    hits.push_back({Hit::settle});
            }
            QTest::keyClick(focus ? focus : forms::testing::window(w), key);
        } else if (what < 998) {
            const std::string timer = "Timer" + std::to_string(roll(5) + 1);
            event = "tick of " + timer;
            w.tick(timer);
        } else {
            event = what == 998 ? "Help" : "About";
            ++boxesExpected;
            testsupport::chooseMenuItem(w, what == 998 ? "hlp" : "abt");
        }
        if (clickAt) {
            if (clicks == 1)
                QTest::mouseClick(screen, Qt::LeftButton, {}, at(*clickAt));
            else
                QTest::mouseDClick(screen, Qt::LeftButton, {}, at(*clickAt));
        }
        QCoreApplication::processEvents();

        const auto where = [&] {
            return "seed " + std::to_string(seed) + ", step " + std::to_string(step) + " (" + event +
                   "); replay with VARNEL_SOAK_SEED=" + std::to_string(seed);
        };
        ASSERT_FALSE(game.runtime.ended()) << "the program ended: " << lastBox << "; " << where();
        ASSERT_EQ(escape.shown(), boxesExpected) << "last box: " << lastBox << "; " << where();
        ASSERT_EQ(escape.answered(), boxesExpected)
            << "a box that Escape did not close: " << lastBox << "; " << where();
        std::string fault;
        for (const Hit& h : hits)
            fault += m.apply(h, controls);
        // Each press of a double click takes what lies under the pointer by
        // then.
        for (int c = 0; clickAt && c < clicks; ++c)
            fault += m.apply(m.hit(*clickAt), controls);
        fault += differences(w, controls, m);
        ASSERT_EQ(fault, "") << where();
    }
}

}  // namespace
