// The built program as a player meets it: a real window on an X server,
// real clicks and key presses, and what the screen shows.

#include "game.h"

#include <QDir>

#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <optional>
#include <ostream>

// Places print as "x, y" in failures.
inline void PrintTo(const QPoint& point, std::ostream* out)
{
    *out << point.x() << ", " << point.y();
}

namespace {

using namespace e2e;

// Where every staked coin of a side lies, in twips.
const QPoint playerSpot{6360, 6360};
const QPoint computerSpot{7680, 6360};
// Where the About window's client area opens on the screen: its stored place.
const QPoint aboutPlace{156, 129};

QString numbered(char prefix, int n)
{
    return QLatin1Char(prefix) + QString::number(n);
}

// A coin picture fills about half of its box with gold; an empty place none.
constexpr double coinShown = 0.25;

class OnScreen : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        screen_ = std::make_unique<VirtualScreen>();
        x_ = std::make_unique<XClient>(screen_->display());
        layout_ = std::make_unique<Layout>(QStringLiteral(VARNEL_LAYOUT));
    }

    static void TearDownTestSuite()
    {
        x_.reset();
        screen_.reset();
    }

    void SetUp() override
    {
        ASSERT_TRUE(screen_ && x_) << "no X server for this suite";
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        name_ = QString::fromLatin1(test->test_suite_name()) + QLatin1Char('.') + QString::fromLatin1(test->name());
        game_ = std::make_unique<Game>(*x_, screen_->display(), *layout_, QStringLiteral(VARNEL_GAME),
                                       QDir::current().absoluteFilePath(name_ + QStringLiteral(".stderr")));
    }

    void TearDown() override
    {
        if (HasFailure() && x_) {
            // What the screen showed and what the program said, for whoever
            // looks into the failure.
            const QString picture = QDir::current().absoluteFilePath(name_ + QStringLiteral(".png"));
            x_->grab(x_->screenRect()).save(picture);
            std::cerr << "screen: " << picture.toStdString() << "\n";
            if (game_)
                std::cerr << "the program's standard error:\n" << game_->errors().toStdString() << "\n";
        }
        game_.reset();
    }

    QRect box(const QString& control) const { return layout_->box(control); }
    QPoint centre(const QString& control) const { return box(control).center(); }

    // Every pixel of a control's box (one pixel in from its edge) passes.
    static void expectAll(const QImage& shot, const QRect& area, bool (*is)(QRgb), const QString& what, Faults& faults)
    {
        const double s = share(shot, area.adjusted(1, 1, -1, -1), is);
        if (s < 1.0)
            faults << QStringLiteral("%1 (only %2% of it)").arg(what).arg(s * 100, 0, 'f', 1);
    }

    static void expectSome(const QImage& shot, const QRect& area, bool (*is)(QRgb), double atLeast, const QString& what,
                           Faults& faults)
    {
        const double s = share(shot, area, is);
        if (s < atLeast)
            faults << QStringLiteral("%1 (%2% of it, wanted %3%)").arg(what).arg(s * 100, 0, 'f', 1).arg(atLeast * 100);
    }

    static void expectNone(const QImage& shot, const QRect& area, bool (*is)(QRgb), const QString& what, Faults& faults)
    {
        const double s = share(shot, area, is);
        if (s > 0.0)
            faults << QStringLiteral("%1 (%2% of it)").arg(what).arg(s * 100, 0, 'f', 1);
    }

    // A card label showing a value: a white square with dark digits in it.
    void expectCardShown(const QImage& shot, const QString& card, Faults& faults) const
    {
        expectSome(shot, box(card), isWhite, 0.6, card + QStringLiteral(" is a white square"), faults);
        // A lone "1" darkens about 3% of the square, two digits 6% or more.
        expectSome(shot, box(card), isDark, 0.01, card + QStringLiteral(" shows digits"), faults);
    }

    void expectCoinAt(const QImage& shot, const QString& name, QPoint twips, Faults& faults) const
    {
        expectSome(shot, layout_->boxAt(name, twips.x(), twips.y()), isGold, coinShown,
                   QStringLiteral("%1 lies at %2, %3").arg(name).arg(twips.x()).arg(twips.y()), faults);
    }

    // The player's coin row: coin N of either side goes home to the stored
    // Left of the player's coin N, at its own side's stored Top.
    QPoint home(char side, int n) const
    {
        return {layout_->twips(numbered('i', n)).left(), layout_->twips(numbered(side, n)).top()};
    }

    static void expectSettled(const Faults& faults)
    {
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("\n")).toStdString();
    }

    static inline std::unique_ptr<VirtualScreen> screen_;
    static inline std::unique_ptr<XClient> x_;
    static inline std::unique_ptr<Layout> layout_;
    QString name_;
    std::unique_ptr<Game> game_;
};

TEST_F(OnScreen, TheWindowOpensWithEmptyCardsHiddenComputerCardsAndBothCoinRows)
{
    EXPECT_GE(game_->client().width(), 1003);
    EXPECT_GE(game_->client().height(), 724);

    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        for (int n = 1; n <= 3; ++n) {
            expectAll(shot, box(numbered('c', n)), isWhite,
                      numbered('c', n) + QStringLiteral(" is an empty white square"), faults);
            expectAll(shot, box(numbered('d', n)), isBlack, numbered('d', n) + QStringLiteral(" is not shown"), faults);
        }
        for (char side : {'i', 'j'})
            for (int n = 1; n <= 10; ++n)
                expectSome(shot, box(numbered(side, n)), isGold, coinShown,
                           numbered(side, n) + QStringLiteral(" shows its coins"), faults);
        expectSome(shot, box(QStringLiteral("deal")), isPink, 0.5, QStringLiteral("\"Deal\" is shown"), faults);
    }));
}

TEST_F(OnScreen, AHandPutsACoinOnTheTableDealsAndSettles)
{
    game_->click(centre(QStringLiteral("i3")));
    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        expectCoinAt(shot, QStringLiteral("i3"), playerSpot, faults);
        expectNone(shot, box(QStringLiteral("i3")), isGold, QStringLiteral("i3 has left its row"), faults);
    }));

    game_->click(centre(QStringLiteral("deal")));
    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        expectNone(shot, box(QStringLiteral("deal")), isPink, QStringLiteral("\"Deal\" is gone"), faults);
        for (int n = 1; n <= 3; ++n) {
            expectCardShown(shot, numbered('c', n), faults);
            expectAll(shot, box(numbered('d', n)), isBlack, numbered('d', n) + QStringLiteral(" stays unseen"), faults);
        }
        expectCoinAt(shot, QStringLiteral("i3"), playerSpot, faults);
    }));

    game_->click(centre(QStringLiteral("g")));
    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        for (int n = 1; n <= 3; ++n)
            expectCardShown(shot, numbered('d', n), faults);
        // Whoever won, the player has at least 900 left: nine stacks at home.
        for (int n = 1; n <= 9; ++n)
            expectCoinAt(shot, numbered('i', n), home('i', n), faults);
        for (int n = 1; n <= 10; ++n)
            expectCoinAt(shot, numbered('j', n), home('j', n), faults);
        expectAll(shot, layout_->boxAt(QStringLiteral("i1"), playerSpot.x(), playerSpot.y()), isBlack,
                  QStringLiteral("the player's table spot is empty"), faults);
        expectAll(shot, layout_->boxAt(QStringLiteral("j1"), computerSpot.x(), computerSpot.y()), isBlack,
                  QStringLiteral("the computer's table spot is empty"), faults);
        expectSome(shot, box(QStringLiteral("deal")), isPink, 0.5, QStringLiteral("\"Deal\" is back"), faults);
    }));
}

TEST_F(OnScreen, TheLightsBlinkEachInItsOwnColour)
{
    struct Light {
        const char* shape;
        QColor colour;
    };
    // From left to right on the screen.
    const Light lights[] = {
        {"Shape2", Qt::red}, {"Shape3", Qt::cyan}, {"Shape5", Qt::blue}, {"Shape4", Qt::green}, {"Shape6", Qt::red}};
    QRect all;
    for (const Light& light : lights)
        all |= box(QString::fromLatin1(light.shape));
    const QRect onScreen = all.translated(game_->client().topLeft());

    int looks = 0;
    int on[5] = {}, off[5] = {};
    std::optional<QString> wrong[5];
    const auto everyLightBlinked = [&] {
        const QImage shot = x_->grab(onScreen);
        for (std::size_t k = 0; k < std::size(lights); ++k) {
            const QString shape = QString::fromLatin1(lights[k].shape);
            const QRgb middle = shot.pixel(box(shape).center() - all.topLeft());
            if (isColour(middle, lights[k].colour))
                ++on[k];
            else if (isBlack(middle))
                ++off[k];
            else if (!wrong[k])
                wrong[k] = QStringLiteral("%1 in look %2").arg(QColor(middle).name()).arg(looks);
        }
        ++looks;
        for (std::size_t k = 0; k < std::size(lights); ++k)
            if (on[k] == 0 || off[k] == 0)
                return false;
        return true;
    };
    // A look after every drawing on screen, until each light has been seen
    // both on and off, however slowly the machine lets them blink: as long
    // as the program may take to start, for five lights' worth of ticks.
    x_->lookUntil(everyLightBlinked, Clock::now() + startTimeout);
    for (std::size_t k = 0; k < std::size(lights); ++k) {
        EXPECT_FALSE(wrong[k]) << lights[k].shape << "'s middle was neither " << lights[k].colour.name().toStdString()
                               << " nor black but " << wrong[k].value_or(QString()).toStdString();
        EXPECT_GT(on[k], 0) << lights[k].shape << " was never on in " << looks << " looks";
        EXPECT_GT(off[k], 0) << lights[k].shape << " was never off in " << looks << " looks";
    }
}

TEST_F(OnScreen, HelpShowsABoxThatEnterClosesAndTheGameGoesOn)
{
    game_->clickMenu(QStringLiteral("Help"));
    const auto help = game_->nextWindow(layout_->caption());
    ASSERT_TRUE(help) << "no second window titled " << layout_->caption().toStdString();
    EXPECT_NE(*help, game_->window());

    game_->press(*help, QStringLiteral("Return"));
    EXPECT_TRUE(x_->waitUntilGone(*help, Clock::now() + stepTimeout)) << "Enter did not close the box";

    ASSERT_TRUE(game_->running());
    game_->click(centre(QStringLiteral("deal")));
    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        expectNone(shot, box(QStringLiteral("deal")), isPink, QStringLiteral("\"Deal\" took the click"), faults);
        expectCardShown(shot, QStringLiteral("c1"), faults);
    }));
}

TEST_F(OnScreen, AboutOpensAtItsStoredPlaceEachTimeAndEscapeOrEnterClosesIt)
{
    // The second time the window is moved away before it is closed: the next
    // one still opens at the stored place, being loaded afresh.
    const struct {
        const char* key;
        bool moveFirst;
    } closes[] = {{"Escape", false}, {"Return", true}, {"Escape", false}};
    for (const auto& close : closes) {
        SCOPED_TRACE(std::string("closed with ") + close.key + (close.moveFirst ? " after a move" : ""));
        game_->clickMenu(QStringLiteral("About"));
        const auto about = game_->nextWindow(layout_->caption());
        ASSERT_TRUE(about) << "no About window";
        EXPECT_NE(*about, game_->window());
        EXPECT_EQ(x_->geometry(*about).topLeft(), aboutPlace);
        if (close.moveFirst)
            runXdotool(screen_->display(), {QStringLiteral("windowmove"), QStringLiteral("--sync"),
                                            QString::number(*about), QStringLiteral("400"), QStringLiteral("300")});
        game_->press(*about, QString::fromLatin1(close.key));
        ASSERT_TRUE(x_->waitUntilGone(*about, Clock::now() + stepTimeout)) << "the About window stayed open";
        ASSERT_TRUE(game_->running());
    }
}

TEST_F(OnScreen, DrawInTheMiddleOfAHandEndsTheProgramWithStatusZero)
{
    game_->click(centre(QStringLiteral("deal")));
    expectSettled(game_->expectSoon([&](const QImage& shot, Faults& faults) {
        expectNone(shot, box(QStringLiteral("deal")), isPink, QStringLiteral("the hand is open"), faults);
    }));
    game_->click(centre(QStringLiteral("i1")));
    expectSettled(game_->expectSoon(
        [&](const QImage& shot, Faults& faults) { expectCoinAt(shot, QStringLiteral("i1"), playerSpot, faults); }));

    game_->clickMenu(QStringLiteral("Draw"));
    EXPECT_EQ(game_->waitForExit(), 0);
}

TEST_F(OnScreen, ClosingTheWindowEndsTheProgramWithStatusZero)
{
    ASSERT_TRUE(x_->askToClose(game_->window())) << "the window does not take WM_DELETE_WINDOW";
    EXPECT_EQ(game_->waitForExit(), 0);
}

TEST_F(OnScreen, AStakeOverflowIsReportedAndEndsTheProgramWithStatusOne)
{
    // The first click takes i1 to the table spot; the next 327 find it
    // there. The 328th coin of one hand overflows the 16-bit stake.
    game_->click(centre(QStringLiteral("i1")));
    expectSettled(game_->expectSoon(
        [&](const QImage& shot, Faults& faults) { expectCoinAt(shot, QStringLiteral("i1"), playerSpot, faults); }));
    game_->click(layout_->boxAt(QStringLiteral("i1"), playerSpot.x(), playerSpot.y()).center(), 327);

    const auto report = game_->nextWindow(layout_->caption(), startTimeout);
    ASSERT_TRUE(report) << "no error report";
    EXPECT_NE(*report, game_->window());
    EXPECT_TRUE(game_->errors().contains(QStringLiteral("Run-time error: Overflow"))) << game_->errors().toStdString();

    game_->press(*report, QStringLiteral("Return"));
    EXPECT_EQ(game_->waitForExit(), 1);
}

}  // namespace
