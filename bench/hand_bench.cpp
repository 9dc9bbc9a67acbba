// What one hand costs in the game's own code: the deal, a coin click and the
// settle, each timed as the event dispatch runs it, over many hands, and the
// drawing that the hand's changes ask for afterwards.
//
//   varnel_hand_bench [HANDS]

#include "forms/runtime.h"
#include "play.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double microseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::micro>(d).count();
}

void report(const char* what, std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    const auto at = [&](double q) {
        return samples[static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1))];
    };
    double sum = 0;
    for (double s : samples)
        sum += s;
    std::printf("%-28s %10.1f %10.1f %10.1f %10.1f\n", what, at(0.5), at(0.9), at(0.99),
                sum / static_cast<double>(samples.size()));
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const int hands = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20000;

    forms::Runtime runtime("Varnel");
    varnel::play window(runtime);
    window.show();
    QCoreApplication::processEvents();

    std::vector<double> deal, coin, settle, drawing;
    deal.reserve(static_cast<std::size_t>(hands));
    coin.reserve(static_cast<std::size_t>(hands));
    settle.reserve(static_cast<std::size_t>(hands));
    drawing.reserve(static_cast<std::size_t>(hands));
    for (int hand = 0; hand < hands; ++hand) {
        // Every hand from the same cash, so that no run of wins or losses
        // hides the player's coins or overflows a side's money.
        window.playerCash = varnel::startingCash;
        window.computerCash = varnel::startingCash;
        const auto t0 = Clock::now();
        window.click("deal");
        const auto t1 = Clock::now();
        window.click("i1");
        const auto t2 = Clock::now();
        window.click("g");
        const auto t3 = Clock::now();
        QCoreApplication::processEvents();
        const auto t4 = Clock::now();
        deal.push_back(microseconds(t1 - t0));
        coin.push_back(microseconds(t2 - t1));
        settle.push_back(microseconds(t3 - t2));
        drawing.push_back(microseconds(t4 - t3));
    }
    if (runtime.ended()) {
        std::fprintf(stderr, "varnel_hand_bench: the program ended during the run\n");
        return 2;
    }

    std::printf("%d hands on the offscreen platform, microseconds\n", hands);
    std::printf("%-28s %10s %10s %10s %10s\n", "", "median", "90%", "99%", "mean");
    report("deal (Deal)", deal);
    report("coin click (i1)", coin);
    report("settle (VARNEL)", settle);
    report("drawing after the hand", drawing);
    return 0;
}
