#pragma once
// The prize levels of a bet (seven numbers for 2 元) against a draw, and the amounts paid for
// them. The draw's special number counts when it is one of the bet's seven; a bet wins only its
// highest level:
//   一等奖 7 regular, 二等奖 6 + special, 三等奖 6, 四等奖 5 + special, 五等奖 5,
//   六等奖 4 + special, 七等奖 4.
// Levels 1 … 3 are floating (the amount differs from draw to draw); 4 … 7 are fixed amounts the
// user may change. The table is kept in the settings store.

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "store/settings.h"

namespace quarvel::chance {

inline constexpr int kPrizeLevels = 7;
inline constexpr int kFloatingLevels = 3;  // 一等奖 … 三等奖
inline constexpr std::int64_t kBetPrice = 2;

// "一等奖" … "七等奖" for levels 1 … 7.
const std::string& levelName(int level);

// The level a bet wins with `regular` of the draw's regular numbers among its seven and
// `special` (0 or 1) for the draw's special number among them; 0 for none.
int prizeLevel(int regular, int special);

// The chance that one bet wins `level` under the draw's rules: eight distinct numbers of 30,
// seven regular and the special one.
double levelChance(int level);

struct PrizeTable {
    // Amount in 元 by level (index 1 … 7); the floating levels' entries are unused.
    std::array<std::int64_t, kPrizeLevels + 1> fixed{0, 0, 0, 0, 200, 50, 10, 5};
    // Floating amounts entered for a draw: issue -> 一等奖, 二等奖, 三等奖 (0 left out).
    std::map<std::int32_t, std::array<std::int64_t, kFloatingLevels>> floating;

    static bool isFloating(int level) { return level >= 1 && level <= kFloatingLevels; }
    // The expected fixed prize of one bet in 元, counted from levelChance.
    double expectedFixedReturn() const;

    // Settings text: "200,50,10,5" for 四等奖 … 七等奖; floating per draw as
    // "2024001:5000000,0,3000;2024002:…".
    std::string fixedText() const;
    std::string floatingText() const;
    // Refusal sentence (Chinese) when the text is not a valid table; the table is unchanged.
    std::optional<std::string> setFixedText(const std::string& text);
    std::optional<std::string> setFloatingText(const std::string& text);

    // From the settings; a missing or invalid stored value gives the default.
    static PrizeTable load(store::SettingsStore& settings);
    // False when the settings could not be written.
    bool save(store::SettingsStore& settings) const;
};

inline constexpr const char* kPrizeTableKey = "PrizeTable";
inline constexpr const char* kFloatingPrizesKey = "FloatingPrizes";

}  // namespace quarvel::chance
