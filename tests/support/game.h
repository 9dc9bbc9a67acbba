#pragma once

// A game window with its clock and generator under the test's control, and
// the ways a test plays on it and reads it back.

#include "doubles.h"
#include "forms/conversions.h"
#include "forms/int16.h"
#include "forms/runtime.h"
#include "forms/testing.h"
#include "play.h"

#include <QMenuBar>
#include <QPoint>
#include <QTest>
#include <QWidget>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <utility>

namespace testsupport {

// The fraction that the card value rule turns into `value` (1 to 10).
inline float fractionFor(int value)
{
    return (static_cast<float>(value) - 0.5f) / 10.0f;
}

// A shown game window whose clock and generator the test holds.
struct Game {
    Game()
    {
        auto r = std::make_unique<ScriptedRandom>();
        auto c = std::make_unique<FixedClock>();
        random = r.get();
        clock = c.get();
        runtime.setRandom(std::move(r));
        runtime.setClock(std::move(c));
        window.show();
    }

    // Queues the six card values of the next deal: the player's, then the
    // computer's.
    void nextCards(std::initializer_list<int> values)
    {
        for (int v : values)
            random->fractions.push_back(fractionFor(v));
    }

    // The cards that make `total` (3 to 30), highest first.
    static std::array<int, 3> cardsFor(int total)
    {
        const int a = std::min(10, total - 2);
        const int b = std::min(10, total - a - 1);
        return {a, b, total - a - b};
    }

    // Deals with the given totals, through a click on "Deal".
    void deal(int playerTotal, int computerTotal)
    {
        for (int total : {playerTotal, computerTotal})
            for (int v : cardsFor(total))
                random->fractions.push_back(fractionFor(v));
        window.click("deal");
    }

    // Sets a cash value and its label, as if play had brought it there.
    void setCash(varnel::Side side, int dollars)
    {
        const auto cash = forms::Int16::checked(dollars);
        (side == varnel::Side::player ? window.playerCash : window.computerCash) = cash;
        window.control(side == varnel::Side::player ? "ca" : "ba").setCaption(forms::text(cash));
    }

    std::string caption(const char* name) { return window.control(name).caption(); }
    std::pair<int, int> place(const std::string& coin)
    {
        return {window.control(coin).left(), window.control(coin).top()};
    }

    forms::Runtime runtime{"Varnel"};
    ScriptedRandom* random = nullptr;
    FixedClock* clock = nullptr;
    varnel::play window{runtime};
};

// All the money there is: both cash values and both stakes. Nothing in the
// game makes or loses any, so it stays what the two sides started with.
inline int moneyInPlay(const varnel::play& w)
{
    return w.playerCash.value() + w.computerCash.value() + w.playerStake.value() + w.computerStake.value();
}

// A click as the window system delivers it: to the window, at the point, so
// that the widget under the pointer takes it and a modal window keeps it from
// the others. (QTest's clicks on a QWidget go straight to it, past all that.)
// `at` is in target's coordinates, by default its middle.
inline void clickThroughWindow(QWidget* target, std::optional<QPoint> at = std::nullopt)
{
    QWidget* top = target->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {},
                      target->mapTo(top, at.value_or(target->rect().center())));
}

// Chooses an item of the game window's menu as the player does: a click on it
// in the menu bar.
inline void chooseMenuItem(varnel::play& w, const char* item)
{
    QMenuBar* bar = forms::testing::menuBar(w);
    clickThroughWindow(bar, bar->actionGeometry(forms::testing::menuItem(w, item)).center());
}

// Everything of the game but the lights, as one text to compare: the state,
// and the place, look and caption of every other control.
inline std::string tableState(varnel::play& w)
{
    std::string all;
    for (const forms::Int16 v :
         {w.playerCash, w.computerCash, w.playerTotal, w.computerTotal, w.playerStake, w.computerStake})
        all += std::to_string(v.value()) + " ";
    const auto add = [&](const std::string& name) {
        const forms::Control& c = w.control(name);
        all += name + "@" + std::to_string(c.left()) + "," + std::to_string(c.top()) + (c.visible() ? "v" : "h") +
               (c.enabled() ? "e" : "d") + "'" + c.caption() + "' ";
    };
    for (const char* prefix : {"i", "j"})
        for (int n = 1; n <= 10; ++n)
            add(prefix + std::to_string(n));
    for (const char* name : {"c1",     "c2",     "c3",     "d1",     "d2",     "d3",     "ca",     "ba",
                             "deal",   "g",      "cre",    "Label1", "Label4", "Image1", "Shape1", "Timer1",
                             "Timer2", "Timer3", "Timer4", "Timer5", "drw",    "abt",    "hlp"})
        add(name);
    return all;
}

}  // namespace testsupport
