// Every timer of the game window ticks at its stored interval.

#include "support/game.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

const struct {
    const char* name;
    int interval;  // ms
} timers[] = {{"Timer1", 100}, {"Timer2", 200}, {"Timer3", 100}, {"Timer4", 120}, {"Timer5", 150}};

TEST(Timers, EachIsAPreciseTimerAtItsStoredInterval)
{
    testsupport::Game game;
    for (const auto& t : timers) {
        SCOPED_TRACE(t.name);
        const QTimer* timer = forms::testing::timer(game.window, t.name);
        ASSERT_NE(timer, nullptr);
        EXPECT_EQ(timer->interval(), t.interval);
        // A coarse timer would stretch 120 ms to 125.
        EXPECT_EQ(timer->timerType(), Qt::PreciseTimer);
        EXPECT_TRUE(timer->isActive());
    }
}

// The ticks that really come, counted until every timer has ticked a good
// number of times, against the time that took. A precise timer never fires
// early, however busy the machine, so no timer can tick more often than its
// interval allows; a busy machine may delay and drop ticks, so the lower
// bound only asks that each keeps roughly to its pace.
TEST(Timers, EachTicksNoOftenerThanItsIntervalAndKeepsToItsPace)
{
    testsupport::Game game;
    std::map<std::string, int> ticks;
    for (const auto& t : timers)
        QObject::connect(forms::testing::timer(game.window, t.name), &QTimer::timeout,
                         [&ticks, name = t.name] { ++ticks[name]; });
    QElapsedTimer clock;
    clock.start();
    constexpr int enough = 15;
    const bool counted = QTest::qWaitFor(
        [&] {
            for (const auto& t : timers)
                if (ticks[t.name] < enough)
                    return false;
            return true;
        },
        60000);
    const double elapsed = double(clock.nsecsElapsed()) / 1e6;
    ASSERT_TRUE(counted) << "not every timer ticked " << enough << " times in " << elapsed << " ms";
    for (const auto& t : timers) {
        const double due = (elapsed + 1) / t.interval;
        EXPECT_LE(ticks[t.name], int(due) + 1) << t.name << " ticked too often in " << elapsed << " ms";
        EXPECT_GE(ticks[t.name], due / 4) << t.name << " fell far behind in " << elapsed << " ms";
    }
}

}  // namespace
