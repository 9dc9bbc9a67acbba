// The menu commands: Help, About and Draw, in every phase of a hand.

#include "frmAbout.h"
#include "support/game.h"
#include "support/modal.h"

#include <QAbstractButton>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using forms::testing::widget;
using testsupport::Game;

// The phases a menu command may come in.
enum class Phase { beforeTheFirstDeal, handOpen, afterASettle };

void bringTo(Game& game, Phase phase)
{
    if (phase == Phase::beforeTheFirstDeal)
        return;
    game.window.click("i1");
    game.deal(14, 12);
    if (phase == Phase::afterASettle)
        game.window.click("g");
}

class Menu : public ::testing::TestWithParam<Phase> {
protected:
    Game game;
    void SetUp() override { bringTo(game, GetParam()); }
};

TEST_P(Menu, HelpShowsHowToPlayAndChangesNothing)
{
    const std::string before = testsupport::tableState(game.window);
    QMessageBox* box = nullptr;
    QString text;
    EXPECT_EQ(testsupport::whileModal([&] { testsupport::chooseMenuItem(game.window, "hlp"); },
                                      [&](QWidget* modal) {
                                          box = qobject_cast<QMessageBox*>(modal);
                                          ASSERT_NE(box, nullptr);
                                          text = box->text();
                                          EXPECT_EQ(box->windowTitle(), QStringLiteral("Varnel"));
                                          EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
                                          ASSERT_EQ(box->buttons().size(), 1);
                                          EXPECT_EQ(box->standardButton(box->buttons().front()), QMessageBox::Ok);
                                          EXPECT_TRUE(box->buttons().front()->icon().isNull()) << "a plain OK";
                                          // The game window takes no input meanwhile.
                                          testsupport::chooseMenuItem(game.window, "hlp");
                                          testsupport::clickThroughWindow(widget(game.window, "i5"), QPoint(20, 20));
                                          EXPECT_EQ(testsupport::tableState(game.window), before);
                                          QTest::keyClick(box, Qt::Key_Return);
                                      }),
              1);
    EXPECT_EQ(text, QStringLiteral("Click on the coins to place the amount for which you would like to varnel and "
                                   "click on VARNEL Button to play."));
    EXPECT_EQ(text.size(), 109);
    EXPECT_EQ(testsupport::tableState(game.window), before);
    EXPECT_FALSE(game.runtime.ended());
}

TEST_P(Menu, AboutOpensTheOneAboutWindowModallyAndChangesNothing)
{
    const std::string before = testsupport::tableState(game.window);
    varnel::frmAbout* shown = nullptr;
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(testsupport::whileModal(
                      [&] { testsupport::chooseMenuItem(game.window, "abt"); },
                      [&](QWidget* modal) {
                          varnel::frmAbout& about = game.runtime.defaultInstance<varnel::frmAbout>();
                          EXPECT_EQ(modal, forms::testing::window(about));
                          if (shown) {
                              EXPECT_EQ(&about, shown) << "one About object for the run";
                          }
                          shown = &about;
                          testsupport::clickThroughWindow(forms::testing::window(game.window), QPoint(40, 460));
                          testsupport::chooseMenuItem(game.window, "hlp");
                          EXPECT_EQ(QApplication::activeModalWidget(), modal) << "no Help box over the About window";
                          EXPECT_EQ(testsupport::tableState(game.window), before);
                          QTest::keyClick(modal->focusWidget(), Qt::Key_Escape);
                      }),
                  1);
        EXPECT_FALSE(shown->loaded());
    }
    EXPECT_EQ(testsupport::tableState(game.window), before);
}

TEST_P(Menu, TheItemsAreEnabledAndShown)
{
    for (const char* item : {"drw", "abt", "hlp"}) {
        EXPECT_TRUE(forms::testing::menuItem(game.window, item)->isEnabled()) << item;
        EXPECT_TRUE(forms::testing::menuItem(game.window, item)->isVisible()) << item;
    }
}

TEST_P(Menu, DrawEndsTheProgramAtOnceWithStatusZero)
{
    const std::string before = testsupport::tableState(game.window);
    testsupport::chooseMenuItem(game.window, "drw");
    EXPECT_TRUE(game.runtime.ended());
    EXPECT_EQ(game.runtime.exitStatus(), 0);
    game.window.click("deal");
    EXPECT_EQ(testsupport::tableState(game.window), before) << "nothing runs after Draw";
}

INSTANTIATE_TEST_SUITE_P(Phases, Menu,
                         ::testing::Values(Phase::beforeTheFirstDeal, Phase::handOpen, Phase::afterASettle),
                         [](const auto& test) {
                             switch (test.param) {
                             case Phase::beforeTheFirstDeal:
                                 return "beforeTheFirstDeal";
                             case Phase::handOpen:
                                 return "handOpen";
                             case Phase::afterASettle:
                                 return "afterASettle";
                             }
                             return "";
                         });

}  // namespace
