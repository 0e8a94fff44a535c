#pragma once
// Tickets checked against the draws: a single bet of seven numbers, a 复式 of 8 … 16 numbers
// (every seven of them, C(n, 7) bets) or a 胆拖 of d 胆 (1 … 6, in every bet) and t 拖 (C(t, 7 − d)
// bets). Each ticket's wins per level against a draw are counted by the closed formula, not bet
// by bet: with k of the draw's regular numbers and s of its special number among the 拖, level
// (kb, sb) takes C(k, kb − k胆)·C(s, sb − s胆)·C(t − k − s, 7 − d − (kb − k胆) − (sb − s胆)) bets.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chance/prize_table.h"
#include "store/text_grid.h"

namespace quarvel::store {
class Database;
}

namespace quarvel::chance {

// A set of numbers 1 … 30 as bits (bit n for number n).
using NumberMask = std::uint32_t;
NumberMask maskOf(const std::vector<int>& numbers);
std::vector<int> numbersOf(NumberMask mask);

struct Ticket {
    NumberMask banker = 0;   // 胆: in every bet; none for a single bet or a 复式
    NumberMask numbers = 0;  // a bet's 7, a 复式's 8 … 16, a 胆拖's 拖

    // C(n, 7) for a bet or 复式, C(t, 7 − d) for a 胆拖.
    std::int64_t bets() const;
    // "01 02 03 04 05 06 07" or "胆 01 02 拖 03 …", as the tickets file takes it.
    std::string text() const;
};

// A draw as tickets read it.
struct TicketDraw {
    std::int32_t issue = 0;
    NumberMask regular = 0;
    int special = 0;
};

// Every stored draw in IDX order.
std::vector<TicketDraw> readTicketDraws(store::Database& db);

// Bets winning each level (index 1 … 7; index 0 the bets winning nothing).
using LevelCounts = std::array<std::int64_t, kPrizeLevels + 1>;
LevelCounts ticketWins(const Ticket& ticket, const TicketDraw& draw);

struct LedgerRow {
    std::int32_t issue = 0;
    std::int64_t bets = 0;
    LevelCounts wins{};
    std::int64_t fixedPrize = 0;     // 四等奖 … 七等奖 by the table
    std::int64_t floatingPrize = 0;  // 一等奖 … 三等奖 where amounts were entered for the draw
};

// The tickets bought for every draw of a range and what they won.
struct Ledger {
    std::vector<LedgerRow> rows;
    LedgerRow total;               // issue 0
    std::int64_t cost = 0;         // 2 元 a bet
    bool floatingEntered = false;  // amounts were entered for a draw that a floating level won

    // 期号 注数 一等奖 … 七等奖 固定奖金, a row per draw, then 合计.
    store::TextGrid grid() const;
    // "花费	C	固定奖金	F	返还率	R%".
    std::string costLine() const;
    // "浮动奖金	X	总返还率	R%" when floating amounts were entered for a draw
    // that won them.
    std::optional<std::string> floatingLine() const;
};

// The draws are those of the range; the tickets are bought once for each of them.
Ledger checkTickets(const std::vector<Ticket>& tickets, const std::vector<TicketDraw>& draws,
                    const PrizeTable& prizes);

// A percentage with `decimals` decimals ("12.50"), whatever the locale; zero for a zero base.
std::string percentText(double part, double whole, int decimals = 2);

}  // namespace quarvel::chance
