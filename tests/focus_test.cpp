// Where the keyboard focus goes when the control that has it is disabled or
// hidden, and what that means for a player at the keyboard.

#include "forms/form.h"
#include "forms/runtime.h"
#include "forms/testing.h"
#include "support/game.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using forms::testing::widget;
using forms::testing::window;

// Three buttons, whose tab order is not their order in the layout, and a
// label among them that takes no focus. A click on "one" runs what the test
// gives it, as a handler does.
class FocusForm final : public forms::Form {
public:
    explicit FocusForm(forms::Runtime& runtime)
        : forms::Form(runtime, "tests/focus")
    {
        on("one_Click", [this] {
            if (handler)
                handler();
        });
    }
    std::function<void()> handler;
};

enum class Change { hide, show, disable, enable };

struct Step {
    const char* control;
    Change change;
};

void applySteps(forms::Form& form, const std::vector<Step>& steps)
{
    for (const Step& s : steps) {
        forms::Control& c = form.control(s.control);
        switch (s.change) {
        case Change::hide:
        case Change::show:
            c.setVisible(s.change == Change::show);
            break;
        case Change::disable:
        case Change::enable:
            c.setEnabled(s.change == Change::enable);
            break;
        }
    }
}

const struct {
    const char* name;
    std::vector<Step> before;  // outside any handler
    const char* focused;
    std::vector<Step> handler;  // in one handler, in this order
    const char* expected;       // null: nothing has the focus
} handOns[] = {
    {"to the next in the tab order", {}, "one", {{"one", Change::disable}}, "two"},
    {"past one that cannot take it", {{"two", Change::disable}}, "one", {{"one", Change::disable}}, "three"},
    {"around from the end of the tab order", {}, "three", {{"three", Change::disable}}, "one"},
    {"to one that the same handler shows afterwards",
     {{"two", Change::hide}, {"three", Change::disable}},
     "one",
     {{"one", Change::disable}, {"two", Change::show}},
     "two"},
    {"to one that the same handler enables afterwards",
     {{"two", Change::disable}, {"three", Change::hide}},
     "one",
     {{"one", Change::disable}, {"two", Change::enable}},
     "two"},
    {"to the next of those the handler made able, in the tab order",
     {{"two", Change::hide}, {"three", Change::hide}},
     "one",
     {{"one", Change::disable}, {"three", Change::show}, {"two", Change::show}},
     "two"},
    {"to nothing when none can take it",
     {{"two", Change::hide}, {"three", Change::hide}},
     "one",
     {{"one", Change::disable}},
     nullptr},
    {"not at all when another control has it", {}, "two", {{"one", Change::disable}}, "two"},
    {"when hidden, to the next as well", {}, "one", {{"one", Change::hide}}, "two"},
};

TEST(Focus, AControlThatLosesItByBeingDisabledHandsItOn)
{
    for (const auto& c : handOns) {
        SCOPED_TRACE(c.name);
        forms::Runtime runtime{"Varnel"};
        FocusForm form{runtime};
        form.show();
        applySteps(form, c.before);
        widget(form, c.focused)->setFocus(Qt::OtherFocusReason);
        ASSERT_EQ(window(form)->focusWidget(), widget(form, c.focused));
        form.handler = [&] { applySteps(form, c.handler); };
        form.click("one");
        QWidget* const expected = c.expected ? widget(form, c.expected) : nullptr;
        QWidget* const focused = window(form)->focusWidget();
        std::string holder = focused ? "something else" : "nothing";
        for (const char* name : {"one", "two", "three"})
            if (focused == widget(form, name))
                holder = name;
        EXPECT_EQ(focused, expected) << "the focus is on " << holder;
    }
}

// The whole game at the keyboard: one key deals, the same key settles, and
// after the settle, which disables VARNEL while it has the focus, the same
// key deals again.
TEST(Focus, AfterASettleTheSameKeyDealsAgain)
{
    const struct {
        Qt::Key key;
        const char* name;
    } keys[] = {{Qt::Key_Space, "Space"}, {Qt::Key_Return, "Enter"}};
    for (const auto& [key, name] : keys) {
        SCOPED_TRACE(name);
        testsupport::Game game;
        QWindow* const screen = window(game.window)->windowHandle();
        const auto dealt = [&] { return !game.window.control("deal").visible(); };

        game.nextCards({5, 5, 5, 4, 4, 4});
        QTest::keyClick(screen, key);
        ASSERT_TRUE(dealt()) << "the first key did not deal";
        QTest::keyClick(screen, key);
        ASSERT_FALSE(dealt()) << "the second key did not settle";
        EXPECT_EQ(window(game.window)->focusWidget(), widget(game.window, "deal"));
        game.nextCards({3, 3, 3, 6, 6, 6});
        QTest::keyClick(screen, key);
        EXPECT_TRUE(dealt()) << "the key after the settle did nothing";
    }
}

}  // namespace
