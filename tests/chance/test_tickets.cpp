// Prize levels, 复式 and 胆拖 wins by their closed formula against bet-by-bet expansion, the
// exact expected return against every one of the 2,035,800 bets, and the tickets file.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <random>

#include "chance/exact_chance.h"
#include "chance/ticket_file.h"
#include "support/test_support.h"

namespace {

using namespace quarvel::chance;

TEST(PrizeLevel, EveryPairOfRegularAndSpecialMatches) {
    // Rows: regular matches 0 … 7; columns: special not in / in the bet.
    const int expected[8][2] = {{0, 0}, {0, 0}, {0, 0}, {0, 0}, {7, 6}, {5, 4}, {3, 2}, {1, 1}};
    for (int r = 0; r <= 7; ++r)
        for (int s = 0; s <= 1; ++s) EXPECT_EQ(prizeLevel(r, s), expected[r][s]) << r << "," << s;
}

// Every seven-number bet a ticket stands for.
std::vector<Ticket> expand(const Ticket& t) {
    std::vector<Ticket> bets;
    const std::vector<int> drag = numbersOf(t.numbers);
    const int free = kRegular - static_cast<int>(numbersOf(t.banker).size());
    for (std::uint32_t pick = 0; pick < (1u << drag.size()); ++pick) {
        if (std::popcount(pick) != free) continue;
        Ticket bet;
        bet.numbers = t.banker;
        for (std::size_t i = 0; i < drag.size(); ++i)
            if (pick >> i & 1) bet.numbers |= NumberMask{1} << drag[i];
        bets.push_back(bet);
    }
    return bets;
}

TEST(TicketWins, MultiAndBankerTicketsMatchTheirBetsOneByOne) {
    std::mt19937 rng(33);
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<int> all(30);
        std::iota(all.begin(), all.end(), 1);
        std::shuffle(all.begin(), all.end(), rng);
        TicketDraw draw{2024001, maskOf({all.begin(), all.begin() + 7}), all[7]};
        std::shuffle(all.begin(), all.end(), rng);
        // Half 复式 of 7 … 16 numbers, half 胆拖 of 1 … 6 胆; rigged draws share many numbers.
        Ticket t;
        if (trial % 2 == 0) {
            t.numbers = maskOf({all.begin(), all.begin() + 7 + trial / 2 % 10});
        } else {
            const int d = 1 + trial / 2 % 6;
            const int drag = 7 - d + trial / 12 % 6;
            t.banker = maskOf({all.begin(), all.begin() + d});
            t.numbers = maskOf({all.begin() + d, all.begin() + d + drag});
        }
        if (trial % 3 == 0) {
            // A draw made of the ticket's own numbers first, so that the high levels show.
            std::vector<int> order = numbersOf(t.banker | t.numbers);
            std::shuffle(order.begin(), order.end(), rng);
            for (const int n : all)
                if (std::find(order.begin(), order.end(), n) == order.end()) order.push_back(n);
            draw.regular = maskOf({order.begin(), order.begin() + 7});
            draw.special = order[7];
        }
        const std::vector<Ticket> bets = expand(t);
        ASSERT_EQ(static_cast<std::int64_t>(bets.size()), t.bets()) << t.text();
        LevelCounts byBet{};
        for (const Ticket& b : bets) {
            const LevelCounts w = ticketWins(b, draw);
            for (std::size_t l = 0; l < w.size(); ++l) byBet[l] += w[l];
        }
        EXPECT_EQ(ticketWins(t, draw), byBet) << t.text();
    }
}

TEST(ExpectedReturn, CountedFromTheRulesEqualsEveryBetAgainstADraw) {
    // Against one draw, the 2,035,800 bets are all the bets equally likely: their level counts
    // divided by C(30, 7) are the chances of a bet against a random draw.
    const TicketDraw draw{2024001, maskOf({3, 8, 11, 17, 22, 25, 30}), 14};
    const PrizeTable prizes;
    LevelCounts counts{};
    std::int64_t paid = 0;
    // Every seven-bit mask over bits 0 … 29 in turn (Gosper's hack); bit i stands for i + 1.
    for (NumberMask m = 0x7f; m < (NumberMask{1} << 30);) {
        const NumberMask bet = m << 1;
        const int level = prizeLevel(std::popcount(bet & draw.regular),
                                     static_cast<int>(bet >> draw.special & 1));
        ++counts[static_cast<std::size_t>(level)];
        paid += prizes.fixed[static_cast<std::size_t>(level)];
        const NumberMask low = m & (~m + 1), ripple = m + low;
        m = (((ripple ^ m) >> 2) / low) | ripple;
    }
    const double total = static_cast<double>(choose(30, 7));
    EXPECT_EQ(counts[0] + counts[1] + counts[2] + counts[3] + counts[4] + counts[5] + counts[6] +
                  counts[7],
              2035800);
    for (int level = 1; level <= kPrizeLevels; ++level)
        EXPECT_NEAR(levelChance(level), counts[static_cast<std::size_t>(level)] / total, 1e-15);
    EXPECT_NEAR(prizes.expectedFixedReturn(), static_cast<double>(paid) / total, 1e-12);
}

TEST(Ledger, SumsCostAndReturnRate) {
    PrizeTable prizes;
    prizes.floating[2024002] = {5000000, 100000, 3000};
    const std::vector<TicketDraw> draws = {{2024001, maskOf({1, 2, 3, 4, 5, 6, 7}), 8},
                                           {2024002, maskOf({1, 2, 3, 4, 5, 6, 9}), 7}};
    // A bet 1 … 7 and a 复式 of 1 … 8 (8 bets).
    const std::vector<Ticket> tickets = {{0, maskOf({1, 2, 3, 4, 5, 6, 7})},
                                         {0, maskOf({1, 2, 3, 4, 5, 6, 7, 8})}};
    const Ledger l = checkTickets(tickets, draws, prizes);
    // Draw 1: the 复式's bet 1 … 7 wins 一等奖, its 7 bets with 8 six + special (二等奖).
    // Draw 2 (1 … 6 and 9, special 7): 1 … 7 is 6 + special (二等奖) twice, 1 … 6 with 8 is
    // 三等奖, the six bets holding 7 and 8 but one of 1 … 6 are 5 + special (四等奖, 200 元).
    EXPECT_EQ(l.grid().toTsv(),
              "期号\t注数\t一等奖\t二等奖\t三等奖\t四等奖\t五等奖\t六等奖\t七等奖\t固定奖金\n"
              "2024001\t9\t2\t7\t0\t0\t0\t0\t0\t0\n"
              "2024002\t9\t0\t2\t1\t6\t0\t0\t0\t1200\n"
              "合计\t18\t2\t9\t1\t6\t0\t0\t0\t1200\n");
    EXPECT_EQ(l.costLine(), "花费\t36\t固定奖金\t1200\t返还率\t3333.33%");
    EXPECT_EQ(l.floatingLine().value_or(""), "浮动奖金\t203000\t总返还率\t567222.22%");
}

TEST(PrizeTable, KeptAsTextAndRefusedWhenNotAmounts) {
    PrizeTable t;
    EXPECT_EQ(t.fixedText(), "200,50,10,5");
    EXPECT_FALSE(t.setFixedText("300, 60,20,5"));
    EXPECT_EQ(t.fixed[4], 300);
    EXPECT_TRUE(t.setFixedText("300,60,20"));
    EXPECT_TRUE(t.setFixedText("300,60,-1,5"));
    EXPECT_EQ(t.fixedText(), "300,60,20,5");
    EXPECT_FALSE(t.setFloatingText("2024001:5000000,0,3000;2024002:1,2,3"));
    EXPECT_EQ(t.floatingText(), "2024001:5000000,0,3000;2024002:1,2,3");
    EXPECT_TRUE(t.setFloatingText("2024001:5,6"));
    EXPECT_EQ(t.floating.size(), 2u);
}

TEST(TicketFile, ReadsBetsMultiAndBankerLines) {
    const auto t = parseTickets(
        "\xEF\xBB\xBF# 我的号码\r\n01 02 03 04 05 06 07\r\n\r\n  1,2,3,4,5,6,7,8,9\t\n"
        "胆 01 02 拖 03 04 05 06 07 08\n胆05，06拖1、2、3、4、7\n");
    ASSERT_TRUE(t) << t.outcome.text();
    ASSERT_EQ(t->size(), 4u);
    EXPECT_EQ((*t)[0].bets(), 1);
    EXPECT_EQ((*t)[1].bets(), 36);
    EXPECT_EQ((*t)[2].text(), "胆 01 02 拖 03 04 05 06 07 08");
    EXPECT_EQ((*t)[2].bets(), 6);
    EXPECT_EQ((*t)[3].bets(), 1);
    EXPECT_EQ(parseTickets((*t)[2].text()).value->front().banker, (*t)[2].banker);
}

TEST(TicketFile, RefusesABadLineWithItsNumber) {
    const std::pair<const char*, const char*> cases[] = {
        {"01 02 03 04 05 06\n", "第 1 行：一注应有 7 个号码"},
        {"\n01 02 03 04 05 06 07 08 09 10 11 12 13 14 15 16 17\n", "第 2 行："},
        {"01 02 03 04 05 06 31\n", "“31”不是 01 到 30 之间的号码"},
        {"# x\n01 02 03 04 05 06 06\n", "第 2 行：号码 06 重复"},
        {"胆 01 02 03 04 05 06 07 拖 08\n", "胆码应有 1 到 6 个"},
        {"胆 01 02 拖 01 03 04 05 06\n", "号码 01 重复"},
        {"胆 01 02 拖 03 04 05 06\n", "2 个胆码至少要 5 个拖码"},
        {"胆 01 02 03 04 05 06 07\n", "缺少“拖”"},
        {"01 02 03 04 05 06 07 拖 08\n", "“拖”不是"},
        {"一二三\n", "不是 01 到 30"},
        {"# nothing\n\n", "没有任何投注"},
    };
    for (const auto& [text, why] : cases) {
        const auto t = parseTickets(text);
        ASSERT_FALSE(t) << text;
        EXPECT_EQ(t.outcome.kind, quarvel::store::OutcomeKind::Refused);
        EXPECT_NE(t.outcome.sentence.find(why), std::string::npos) << t.outcome.sentence;
    }
}

// The one limit of the window's and quarvel-cli's reader: a file over 256 MB is refused before
// a byte of it is read (a sparse file, so the test writes nothing).
TEST(TicketFile, RefusesAFileTooLargeToHold) {
    quarvel::testing::TempDir dir;
    const auto path = dir.path() / "huge.txt";
    std::ofstream(path) << "01 02 03 04 05 06 07\n";
    std::filesystem::resize_file(path, (256u << 20) + 1);
    const auto t = readTicketFile(path);
    ASSERT_FALSE(t);
    EXPECT_EQ(t.outcome.sentence, "投注文件太大（超过 256 MB）。");
}

TEST(TicketFile, WrittenSetsReadBack) {
    const std::vector<NumberMask> sets = {maskOf({1, 2, 3, 4, 5, 6, 7}),
                                          maskOf({10, 12, 19, 20, 25, 29, 30})};
    const std::string bytes = ticketFileBytes(sets, {"缩水保留 2 组"});
    EXPECT_EQ(bytes, "# 缩水保留 2 组\r\n01 02 03 04 05 06 07\r\n10 12 19 20 25 29 30\r\n");
    const auto back = parseTickets(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at(1).numbers, sets[1]);
}

}  // namespace
