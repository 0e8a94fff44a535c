// Draw shapes: hand-worked draws for every shape, the exact counts against a brute-force
// enumeration of all sets of seven numbers, and the distribution of a small stored history.

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "chance/exact_chance.h"
#include "chance/shape_table.h"
#include "store/history_db.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::chance;
namespace qt = quarvel::testing;

namespace {

std::vector<std::string> shapeTexts(const RegularNumbers& n, const RegularNumbers* previous) {
    const ShapeValues v = shapeOf(n, previous);
    std::vector<std::string> out;
    for (int k = 0; k < kShapeKinds; ++k)
        out.push_back(shapeText(k, v[static_cast<std::size_t>(k)]));
    return out;
}

}  // namespace

TEST(Shape, HandWorkedDraws) {
    const RegularNumbers counting = {1, 2, 3, 4, 5, 6, 7};
    const RegularNumbers top = {24, 25, 26, 27, 28, 29, 30};
    struct Case {
        RegularNumbers numbers;
        const RegularNumbers* previous;
        std::vector<std::string> expected;  // 和值 跨度 奇偶 大小 012路 区间 连号 重号 AC值
    };
    const Case cases[] = {
        // Unsorted, both ends of the range: 29 30 and 01 02 are two pairs, not a ring.
        {{29, 30, 1, 2, 10, 15, 20},
         nullptr,
         {"107", "29", "3:4", "3:4", "2:2:3", "3:2:2", "2", "-", "8"}},
        // An arithmetic row: every difference a multiple of 3, AC 0; 03 and 06 repeat.
        {{21, 3, 6, 9, 12, 15, 18},
         &counting,
         {"84", "18", "4:3", "2:5", "7:0:0", "3:3:1", "0", "2", "0"}},
        {top, &top, {"189", "6", "3:4", "7:0", "3:2:2", "0:0:7", "6", "7", "0"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(shapeTexts(c.numbers, c.previous), c.expected) << c.expected[0];
}

TEST(Shape, ExactCountsMatchBruteForce) {
    // Every set of seven of 1 … 30, its shapes tallied by group (和值 by tens), 重号 against 1 … 7.
    const RegularNumbers previous = {1, 2, 3, 4, 5, 6, 7};
    std::array<std::map<int, std::int64_t>, kShapeKinds> tally;
    std::int64_t sets = 0;
    RegularNumbers n{};
    std::function<void(int, int)> pick = [&](int depth, int from) {
        if (depth == 7) {
            const ShapeValues v = shapeOf(n, &previous);
            for (int k = 0; k < kShapeKinds; ++k)
                ++tally[static_cast<std::size_t>(k)][k == kSum ? v[0] / 10 : v[k]];
            ++sets;
            return;
        }
        for (int x = from; x <= 30; ++x) {
            n[static_cast<std::size_t>(depth)] = x;
            pick(depth + 1, x + 1);
        }
    };
    pick(0, 1);
    const ShapeOdds& odds = shapeOdds();
    EXPECT_EQ(sets, 2035800);
    EXPECT_EQ(odds.total, sets);
    for (int k = 0; k < kShapeKinds; ++k) {
        std::map<int, std::int64_t> counted;
        const auto& byClass = odds.sets[static_cast<std::size_t>(k)];
        for (std::size_t c = 0; c < byClass.size(); ++c)
            if (byClass[c] > 0) counted[static_cast<int>(c)] = byClass[c];
        EXPECT_EQ(counted, tally[static_cast<std::size_t>(k)])
            << kShapeNames[static_cast<std::size_t>(k)];
    }
    EXPECT_EQ(shapeClass(kSum, 190), -1);  // no seven numbers of 1 … 30 sum to more than 189
    EXPECT_EQ(shapeClass(kSpan, 5), -1);   // nor span less than 6
    EXPECT_EQ(classText(kSum, 18), "180-189");
}

TEST(Shape, TableAndDistributionOfAStoredHistory) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    qt::addDraws(db, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {2013002, {29, 30, 1, 2, 10, 15, 20, 8}},
                      {2013003, {3, 6, 9, 12, 15, 18, 21, 8}},
                      {2013004, {24, 25, 26, 27, 28, 29, 30, 1}}});
    const ShapeTable whole = *buildShapeTable(db.db(), 2013001, 2013004);
    const store::TextGrid t = whole.toTextGrid();
    ASSERT_EQ(t.rows(), 5);
    EXPECT_EQ(t.cells[1],
              (std::vector<std::string>{"2013001", "01", "02", "03", "04", "05", "06", "07", "28",
                                        "6", "4:3", "0:7", "2:3:2", "7:0:0", "6", "-", "0"}));
    EXPECT_EQ(t.cells[3][15], "1");  // 2013003 shares 15 with 2013002
    // The first draw of a later range still has a previous stored draw.
    EXPECT_EQ(buildShapeTable(db.db(), 2013002, 2013002)->toTextGrid().cells[1][15], "2");

    std::map<std::string, std::vector<std::string>> rows;
    for (const auto& line : whole.summary().cells)
        rows[line[0] + " " + line[1]] = {line.begin() + 2, line.end()};
    // N = 4; 连号 j has C(6, 6 − j)·C(24, 7 − j) of the 2,035,800 sets; gaps from IDX 0. The
    // exact binomial p of each count; only what stays below 0.05 after Holm over every row is
    // flagged.
    EXPECT_EQ(rows["连号 6"],
              (std::vector<std::string>{"2", "0.00", "0.0000", "1", "3", "是"}));  // 24 sets
    EXPECT_EQ(rows["连号 2"], (std::vector<std::string>{"1", "1.25", "1.0000", "3", "2", ""}));
    EXPECT_EQ(rows["连号 1"], (std::vector<std::string>{"0", "1.59", "0.1572", "5", "-", ""}));
    EXPECT_EQ(rows["连号 0"], (std::vector<std::string>{"1", "0.68", "0.5254", "2", "3", ""}));
    // 重号 counts the three draws that have a previous one: C(23, 7) sets share none.
    EXPECT_EQ(rows["重号 0"], (std::vector<std::string>{"1", "0.36", "0.3195", "1", "4", ""}));
    // One verdict per shape; four draws leave 连号 one pool only, too few to judge.
    ASSERT_EQ(whole.verdicts().size(), static_cast<std::size_t>(kShapeKinds));
    EXPECT_EQ(whole.verdicts()[kConsecutive].degrees, 0);
    EXPECT_NE(whole.verdictText().find("连号\t期数不足，无从比较"), std::string::npos);
    EXPECT_EQ(rows["和值 20-29"][0], "1");
    EXPECT_EQ(rows["和值 180-189"][0], "1");
    EXPECT_EQ(rows.count("和值 10-19"), 0u);
    EXPECT_EQ(rows.count("奇偶 0:7"), 1u);
    EXPECT_EQ(whole.summary().rows(), 1 + 17 + 24 + 8 + 8 + 36 + 36 + 7 + 8 + 16);
}
