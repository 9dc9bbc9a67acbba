#pragma once

#include <array>
#include <optional>
#include <string_view>

// The fixed tables of the game: where coins go, which coin commands there
// are and what they work on, how the computer stakes, and how many of the
// player's coin stacks his cash shows.
namespace varnel {

enum class Side { player, computer };

// Where a side's staked coins lie, one on another, in twips.
struct TableSpot {
    int left;
    int top;
};
inline constexpr TableSpot playerSpot{6360, 6360};
inline constexpr TableSpot computerSpot{7680, 6360};

// One coin command: the coin it moves, whose Click it is, and the side whose
// cash, cash label and stake it works on.
struct CoinCommand {
    std::string_view coin;
    Side side;
};

// The player's ten, then the computer's ten: coin N of a side is entry N - 1
// of its half.
inline constexpr std::array<CoinCommand, 20> coinCommands{{
    {"i1", Side::player},   {"i2", Side::player},   {"i3", Side::player},   {"i4", Side::player},
    {"i5", Side::player},   {"i6", Side::player},   {"i7", Side::player},   {"i8", Side::player},
    {"i9", Side::player},   {"i10", Side::player},  {"j1", Side::computer}, {"j2", Side::computer},
    {"j3", Side::computer}, {"j4", Side::computer}, {"j5", Side::computer}, {"j6", Side::computer},
    {"j7", Side::computer}, {"j8", Side::computer}, {"j9", Side::computer}, {"j10", Side::computer},
}};

inline constexpr int coinsPerSide = 10;

constexpr const CoinCommand& coinCommandOf(Side side, int n)
{
    return coinCommands[static_cast<std::size_t>((side == Side::player ? 0 : coinsPerSide) + n - 1)];
}

// The coin row: coin N of either side goes home to Left coinRowLeft[N - 1].
// The gaps are not even (1440 after the first, 1320 after the fifth).
inline constexpr std::array<int, coinsPerSide> coinRowLeft{120,  1560, 3120,  4680,  6240,
                                                           7560, 9120, 10680, 12240, 13800};
inline constexpr int playerRowTop = 9360;
inline constexpr int computerRowTop = 3000;

// How the computer stakes: the first row whose range of totals holds its
// total calls j1_Click .. jN_Click in that order, N being the row's coins.
// No row places four, five or eight coins, and a total above 21 places none.
// The row for 18 to 20 stops at nine, so the coins on the table always
// picture the computer's stake.
struct StakeRow {
    int lowestTotal;
    int highestTotal;
    int coins;
};
inline constexpr std::array<StakeRow, 7> computerStakeTable{{
    {3, 5, 1},
    {6, 9, 2},
    {10, 11, 3},
    {12, 14, 6},
    {15, 17, 7},
    {18, 20, 9},
    {21, 21, 10},
}};

// The computer stakes only while its cash is above this.
inline constexpr int computerStakeFloor = 300;

constexpr int computerCoinsFor(int total)
{
    for (const StakeRow& row : computerStakeTable)
        if (total >= row.lowestTotal && total <= row.highestTotal)
            return row.coins;
    return 0;
}

// How many of the player's coin stacks, from i1 on, his cash shows: one per
// hundred up to nine hundred, all ten from one to ten thousand, and for any
// other cash nothing is to change.
constexpr std::optional<int> shownPlayerCoins(int playerCash)
{
    if (playerCash >= 1000 && playerCash <= 10000)
        return coinsPerSide;
    for (int k = 0; k < coinsPerSide; ++k)
        if (playerCash == k * 100)
            return k;
    return std::nullopt;
}

// The blinking lights: each timer flips its own light.
struct Light {
    std::string_view timer;
    std::string_view shape;
};
inline constexpr std::array<Light, 5> lights{{
    {"Timer1", "Shape2"},
    {"Timer2", "Shape3"},
    {"Timer3", "Shape4"},
    {"Timer4", "Shape5"},
    {"Timer5", "Shape6"},
}};

// The Help command's text.
inline constexpr std::string_view howToPlay =
    "Click on the coins to place the amount for which you would like to varnel and click on VARNEL Button to play.";

}  // namespace varnel
