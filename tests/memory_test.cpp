// Long runs hold no memory: the About window opened and closed a thousand
// times, and ten thousand hands. Leaks themselves are LeakSanitizer's to find
// in the sanitizer build; here the resident size must stay flat.

#include "frmAbout.h"
#include "support/doubles.h"
#include "support/game.h"
#include "support/modal.h"

#include <QFile>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

long residentKilobytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

// AddressSanitizer keeps freed memory aside for a while, so there the size
// says nothing.
constexpr bool sizeTells = !testsupport::underAddressSanitizer;

void expectFlat(const std::function<void()>& cycle, int warmUp, int cycles)
{
    for (int i = 0; i < warmUp; ++i)
        cycle();
    const long before = residentKilobytes();
    for (int i = warmUp; i < cycles; ++i)
        cycle();
    const long growth = residentKilobytes() - before;
    if (sizeTells) {
        EXPECT_LT(growth, 1024) << "grew " << growth << " kB over " << cycles - warmUp << " cycles";
    }
}

TEST(Memory, TheAboutWindowOpenedAThousandTimes)
{
    testsupport::Game game;
    varnel::frmAbout& about = game.runtime.defaultInstance<varnel::frmAbout>();
    const testsupport::ModalAnswerer enter(Qt::Key_Return);
    expectFlat(
        [&] {
            about.showModal();
            ASSERT_FALSE(about.loaded());
        },
        100, 1000);
    EXPECT_EQ(enter.shown(), 1000);
    EXPECT_EQ(enter.answered(), 1000) << "Enter closed every one";
}

TEST(Memory, TenThousandHands)
{
    if (!sizeTells)
        GTEST_SKIP() << "the resident size says nothing under AddressSanitizer; LeakSanitizer looks for leaks at exit";
    testsupport::Game game;
    game.runtime.setRandom(std::make_unique<forms::MixingGenerator>());
    expectFlat(
        [&] {
            game.window.click("i1");
            game.window.click("deal");
            game.window.click("i2");
            game.window.click("g");
            // As the event loop would between the player's clicks: without it
            // the widgets' repaints pile up unhandled.
            QCoreApplication::processEvents();
            if (game.window.playerCash.value() < -5000 || game.window.playerCash.value() > 5000) {
                game.setCash(varnel::Side::player, 1000);
                game.setCash(varnel::Side::computer, 1000);
            }
        },
        100, 10000);
}

}  // namespace
