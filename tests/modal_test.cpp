// A modal window cannot be lost: minimised, it comes back as soon as the
// player turns to the window it blocks.

#include "support/game.h"
#include "support/modal.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>

namespace {

// The modal windows that the game's menu opens.
const struct {
    const char* name;
    const char* menuItem;
} modals[] = {
    {"the Help box", "hlp"},
    {"the About window", "abt"},
};

TEST(ModalWindow, MinimisedItComesBackRestoredAndActiveWhenTheBlockedWindowIsActivated)
{
    for (const auto& modal : modals) {
        SCOPED_TRACE(modal.name);
        testsupport::Game game;
        QWidget* table = forms::testing::window(game.window);
        bool minimised = false, restored = false, active = false;
        const bool seen = testsupport::whileModal(
            [&] { testsupport::chooseMenuItem(game.window, modal.menuItem); },
            [&](QWidget* shown) {
                shown->showMinimized();
                minimised = shown->isMinimized();
                table->activateWindow();
                restored =
                    QTest::qWaitFor([&] { return shown->isVisible() && !shown->isMinimized(); }, testsupport::patience);
                active = QTest::qWaitFor([&] { return QApplication::activeWindow() == shown; }, testsupport::patience);
            });
        ASSERT_TRUE(seen) << "no modal window opened";
        EXPECT_TRUE(minimised) << "it could not be minimised at all";
        EXPECT_TRUE(restored) << "it stayed minimised";
        EXPECT_TRUE(active) << "it was not made the active window";
    }
}

}  // namespace
