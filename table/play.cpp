#include "play.h"

#include "forms/conversions.h"
#include "forms/runtime.h"
#include "frmAbout.h"

#include <string>

namespace varnel {
namespace {

// What a coin command of each side works on.
struct Account {
    Money play::*cash;
    const char* cashLabel;
    Money play::*stake;
    TableSpot spot;
};

constexpr Account accountOf(Side side)
{
    return side == Side::player ? Account{&play::playerCash, "ca", &play::playerStake, playerSpot}
                                : Account{&play::computerCash, "ba", &play::computerStake, computerSpot};
}

constexpr std::array<const char*, 3> playerCards{"c1", "c2", "c3"};
constexpr std::array<const char*, 3> computerCards{"d1", "d2", "d3"};

}  // namespace

play::play(forms::Runtime& runtime)
    : forms::Form(runtime, "table/play")
{
    on("Form_Load", &play::Form_Load);
    on("deal_Click", &play::deal_Click);
    on("g_Click", &play::g_Click);
    for (const CoinCommand& command : coinCommands)
        on(std::string(command.coin) + "_Click", [this, &command] { coinCommand(command); });
    for (const Light& light : lights)
        on(std::string(light.timer) + "_Timer", [this, &light] { lightTimer(light); });
    on("drw_Click", &play::drw_Click);
    on("abt_Click", &play::abt_Click);
    on("hlp_Click", &play::hlp_Click);
}

void play::Form_Load()
{
    playerCash = startingCash;
    control("ca").setCaption(forms::text(playerCash));
    computerCash = startingCash;
    control("ba").setCaption(forms::text(computerCash));
    playerTotal = 0;
    computerTotal = 0;
    playerStake = 0;
    computerStake = 0;
}

// One coin of 100 from a side's cash to its stake, the coin onto the table.
// Nothing is asked first: not the phase of the hand, not the cash left, not
// where the coin lies.
void play::coinCommand(const CoinCommand& command)
{
    const Account account = accountOf(command.side);
    Money& cash = this->*account.cash;
    Money& stake = this->*account.stake;
    // Both sums are worked out before anything changes, so that an overflow
    // leaves the coin, the cash and the stake as they were: no 100 dollars
    // can leave the cash without reaching the stake.
    const Money lowered = cash - coinValue;
    const Money raised = stake + coinValue;

    forms::Control& coin = control(command.coin);
    coin.setLeft(account.spot.left);
    coin.setTop(account.spot.top);
    cash = lowered;
    control(account.cashLabel).setCaption(forms::text(cash));
    stake = raised;
}

void play::deal_Click()
{
    control("g").setEnabled(true);
    control("deal").setVisible(false);
    for (const char* label : computerCards)
        control(label).setVisible(false);
    runtime().reseedRandom(runtime().secondsSinceMidnight());
    playerTotal = dealCards(playerCards);
    computerTotal = dealCards(computerCards);
    placeComputerStake();
}

float play::cardValue()
{
    return forms::intPart(runtime().nextRandomFraction() * 10.0f) + 1.0f;
}

// Three cards drawn in label order, shown in the labels, and their total.
CardTotal play::dealCards(const std::array<const char*, 3>& labels)
{
    const float first = cardValue();
    const float second = cardValue();
    const float third = cardValue();
    control(labels[0]).setCaption(forms::text(first));
    control(labels[1]).setCaption(forms::text(second));
    control(labels[2]).setCaption(forms::text(third));
    return forms::toInt16((first + second) + third);
}

void play::placeComputerStake()
{
    // The cash is looked at once, before the first coin: the coins of one
    // deal may take it below zero.
    if (computerCash <= Money{computerStakeFloor})
        return;
    const int coins = computerCoinsFor(computerTotal.value());
    for (int n = 1; n <= coins; ++n)
        coinCommand(coinCommandOf(Side::computer, n));
}

void play::g_Click()
{
    for (const char* label : computerCards)
        control(label).setVisible(true);
    returnCoinsToRows();

    // Only a higher total wins: a tie goes to the computer.
    const bool playerWins = playerTotal > computerTotal;
    Money& winnerCash = playerWins ? playerCash : computerCash;
    // The pot is summed in full before it is stored, so an overflow leaves
    // every value as it was. The loser is not charged here: each stake left
    // its own side's cash when its coins were placed.
    const Money newWinnerCash = (playerStake + winnerCash) + computerStake;
    winnerCash = newWinnerCash;
    control(playerWins ? "ca" : "ba").setCaption(forms::text(winnerCash));

    control("g").setEnabled(false);
    control("deal").setVisible(true);
    updateCoinDisplay();
    playerStake = 0;
    computerStake = 0;
}

// Every coin of both sides back to its place in its row, placed or not.
void play::returnCoinsToRows()
{
    for (const Side side : {Side::player, Side::computer}) {
        const int top = side == Side::player ? playerRowTop : computerRowTop;
        for (int n = 1; n <= coinsPerSide; ++n)
            control(coinCommandOf(side, n).coin).setLeft(coinRowLeft[static_cast<std::size_t>(n - 1)]);
        for (int n = 1; n <= coinsPerSide; ++n)
            control(coinCommandOf(side, n).coin).setTop(top);
    }
}

// The player's coin stacks follow his cash; the computer's are always shown.
void play::updateCoinDisplay()
{
    const std::optional<int> shown = shownPlayerCoins(playerCash.value());
    if (!shown)
        return;
    for (int n = 1; n <= coinsPerSide; ++n)
        control(coinCommandOf(Side::player, n).coin).setVisible(n <= *shown);
}

// A light flips on every tick of its timer. Only a light found on is turned
// off, so one hidden by anything else comes back at its next tick.
void play::lightTimer(const Light& light)
{
    forms::Control& shape = control(light.shape);
    shape.setVisible(!shape.visible());
}

void play::drw_Click()
{
    runtime().end();
}

void play::abt_Click()
{
    runtime().defaultInstance<frmAbout>().showModal();
}

void play::hlp_Click()
{
    runtime().msgBox(std::string(howToPlay));
}

}  // namespace varnel
