#include "chance/tickets.h"

#include <bit>
#include <cstdio>

#include "chance/exact_chance.h"
#include "search/criteria.h"
#include "store/engine.h"

namespace quarvel::chance {

namespace {

int count(NumberMask m) { return std::popcount(m); }

void appendNumbers(std::string& out, NumberMask mask) {
    for (const int n : numbersOf(mask)) {
        if (!out.empty() && out.back() != ' ') out += ' ';
        out += search::twoDigits(n);
    }
}

}  // namespace

NumberMask maskOf(const std::vector<int>& numbers) {
    NumberMask m = 0;
    for (const int n : numbers) m |= NumberMask{1} << n;
    return m;
}

std::vector<int> numbersOf(NumberMask mask) {
    std::vector<int> v;
    for (int n = 1; n <= kNumbers; ++n)
        if (mask >> n & 1) v.push_back(n);
    return v;
}

std::int64_t Ticket::bets() const { return choose(count(numbers), kRegular - count(banker)); }

std::string Ticket::text() const {
    std::string t;
    if (banker != 0) {
        t = "胆 ";
        appendNumbers(t, banker);
        t += " 拖 ";
    }
    appendNumbers(t, numbers);
    return t;
}

std::vector<TicketDraw> readTicketDraws(store::Database& db) {
    const store::Snapshot s = db.snapshot(
        "SELECT [SQQH], [L1A], [L2A], [L3A], [L4A], [L5A], [L6A], [L7A], [L8A] FROM [Lishi] "
        "ORDER BY [IDX]");
    std::vector<TicketDraw> draws;
    draws.reserve(s.recordCount());
    for (std::size_t i = 0; i < s.recordCount(); ++i) {
        const auto& row = s.row(i);
        TicketDraw d;
        d.issue = static_cast<std::int32_t>(store::toInt(row[0]));
        for (std::size_t p = 1; p <= 7; ++p)
            d.regular |= NumberMask{1} << (store::toInt(row[p]) & 31);
        d.special = static_cast<int>(store::toInt(row[8]));
        draws.push_back(d);
    }
    return draws;
}

LevelCounts ticketWins(const Ticket& ticket, const TicketDraw& draw) {
    LevelCounts wins{};
    const NumberMask special =
        draw.special >= 1 && draw.special <= kNumbers ? NumberMask{1} << draw.special : 0;
    const int kd = count(ticket.banker & draw.regular);
    const int sd = count(ticket.banker & special);
    const int kt = count(ticket.numbers & draw.regular);
    const int st = count(ticket.numbers & special);
    const int t = count(ticket.numbers);
    const int free = kRegular - count(ticket.banker);
    // x of the 拖's regular matches and y of its special one in the bet, the rest from its others.
    for (int x = 0; x <= kt && x <= free; ++x)
        for (int y = 0; y <= st && x + y <= free; ++y) {
            const std::int64_t ways =
                choose(kt, x) * choose(st, y) * choose(t - kt - st, free - x - y);
            wins[static_cast<std::size_t>(prizeLevel(kd + x, sd + y))] += ways;
        }
    return wins;
}

store::TextGrid Ledger::grid() const {
    store::TextGrid g;
    std::vector<std::string> header{"期号", "注数"};
    for (int level = 1; level <= kPrizeLevels; ++level) header.push_back(levelName(level));
    header.push_back("固定奖金");
    g.cells.push_back(std::move(header));
    auto line = [&](const LedgerRow& r, std::string first) {
        std::vector<std::string> cells{std::move(first), std::to_string(r.bets)};
        for (int level = 1; level <= kPrizeLevels; ++level)
            cells.push_back(std::to_string(r.wins[static_cast<std::size_t>(level)]));
        cells.push_back(std::to_string(r.fixedPrize));
        g.cells.push_back(std::move(cells));
    };
    for (const LedgerRow& r : rows) line(r, std::to_string(r.issue));
    line(total, "合计");
    g.colWidths.assign(g.cells.front().size(), 800);
    g.colWidths.front() = 1000;
    return g;
}

std::string percentText(double part, double whole, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, whole > 0 ? 100.0 * part / whole : 0.0);
    std::string s = buf;
    // Figures keep a decimal point whatever the locale.
    for (char& ch : s)
        if (ch == ',') ch = '.';
    return s;
}

std::string Ledger::costLine() const {
    return "花费\t" + std::to_string(cost) + "\t固定奖金\t" + std::to_string(total.fixedPrize) +
           "\t返还率\t" +
           percentText(static_cast<double>(total.fixedPrize), static_cast<double>(cost)) + "%";
}

std::optional<std::string> Ledger::floatingLine() const {
    if (!floatingEntered) return std::nullopt;
    return "浮动奖金\t" + std::to_string(total.floatingPrize) + "\t总返还率\t" +
           percentText(static_cast<double>(total.fixedPrize + total.floatingPrize),
                       static_cast<double>(cost)) +
           "%";
}

Ledger checkTickets(const std::vector<Ticket>& tickets, const std::vector<TicketDraw>& draws,
                    const PrizeTable& prizes) {
    Ledger ledger;
    std::int64_t bets = 0;
    bool onlySingles = true;
    for (const Ticket& t : tickets) {
        bets += t.bets();
        onlySingles = onlySingles && t.banker == 0 && count(t.numbers) == kRegular;
    }
    ledger.rows.reserve(draws.size());
    for (const TicketDraw& d : draws) {
        LedgerRow row;
        row.issue = d.issue;
        row.bets = bets;
        if (onlySingles) {
            // The plain bets of an exported filter can be millions: one level look-up each.
            const NumberMask special = NumberMask{1} << (d.special & 31);
            for (const Ticket& t : tickets)
                ++row.wins[static_cast<std::size_t>(
                    prizeLevel(count(t.numbers & d.regular), (t.numbers & special) != 0))];
        } else {
            for (const Ticket& t : tickets) {
                const LevelCounts w = ticketWins(t, d);
                for (std::size_t l = 0; l < w.size(); ++l) row.wins[l] += w[l];
            }
        }
        for (int level = 1; level <= kPrizeLevels; ++level) {
            const auto l = static_cast<std::size_t>(level);
            if (!PrizeTable::isFloating(level)) {
                row.fixedPrize += row.wins[l] * prizes.fixed[l];
            } else if (const auto f = prizes.floating.find(d.issue);
                       f != prizes.floating.end() && row.wins[l] > 0) {
                row.floatingPrize += row.wins[l] * f->second[l - 1];
                ledger.floatingEntered = true;
            }
        }
        ledger.total.bets += row.bets;
        for (std::size_t l = 0; l < row.wins.size(); ++l) ledger.total.wins[l] += row.wins[l];
        ledger.total.fixedPrize += row.fixedPrize;
        ledger.total.floatingPrize += row.floatingPrize;
        ledger.rows.push_back(row);
    }
    ledger.cost = ledger.total.bets * kBetPrice;
    return ledger;
}

}  // namespace quarvel::chance
