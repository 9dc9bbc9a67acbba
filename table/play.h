#pragma once

#include "forms/form.h"
#include "forms/int16.h"
#include "rules.h"

#include <array>

namespace forms {
class Runtime;
}

namespace varnel {

// Whole dollars; every addition and subtraction is checked.
using Money = forms::Int16;
// The sum of one side's three card values, 3 to 30.
using CardTotal = forms::Int16;

inline constexpr Money startingCash{1000};
inline constexpr Money coinValue{100};

// The game window: its stored layout, the game state and every handler.
class play final : public forms::Form {
public:
    explicit play(forms::Runtime& runtime);

    // The game state, in this order. The handlers work on these directly.
    Money playerCash;
    Money computerCash;
    CardTotal playerTotal;
    CardTotal computerTotal;
    Money playerStake;
    Money computerStake;

private:
    void Form_Load();
    void deal_Click();
    void g_Click();
    void coinCommand(const CoinCommand& command);
    void lightTimer(const Light& light);
    void drw_Click();
    void abt_Click();
    void hlp_Click();

    float cardValue();
    CardTotal dealCards(const std::array<const char*, 3>& labels);
    void placeComputerStake();
    void returnCoinsToRows();
    void updateCoinDisplay();
};

}  // namespace varnel
