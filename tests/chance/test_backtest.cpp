// The walk-forward backtest: by hand on three groups, and against the group computation run
// as of the issue before every tested draw.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "chance/as_of.h"
#include "chance/backtest.h"
#include "groups/group_command.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::chance;
namespace qt = quarvel::testing;

namespace {

// Six draws 2020001..2020006; group a (number 1) hits IDX 1, 2, 5, group b (2) 3, 6, group c
// (3) 4. Each shows in a draw with chance 8/30, two of them together with 8·7/(30·29).
struct ThreeGroups {
    GroupHitTable hits{{"a", "b", "c"}, {{1, 2, 5}, {3, 6}, {4}}, {{1}, {2}, {3}}, {}};
    IssueLine line;
    ThreeGroups() {
        for (int i = 1; i <= 6; ++i) {
            line.idx.push_back(i);
            line.issue.push_back(2020000 + i);
        }
    }
    BacktestResult run(int column, bool ascending, int pick, std::int32_t from,
                       std::int32_t to) const {
        BacktestInput in;
        in.plan.rangeStart = 2020001;
        in.testStart = from;
        in.testEnd = to;
        in.column = column;
        in.ascending = ascending;
        in.pick = pick;
        return backtest(hits, line, in);
    }
    std::vector<std::string> picked(const BacktestResult& r, std::size_t row) const {
        std::vector<std::string> out;
        for (int g : r.rows[row].picked) out.push_back(hits.labels[static_cast<std::size_t>(g)]);
        return out;
    }
};

}  // namespace

TEST(Backtest, HandWorkedRanking) {
    const ThreeGroups t;
    // By last omission, descending: before 4 the last omissions are a 2, b 1, c 4 -> c; before
    // 5: 3, 2, 1 -> a; before 6: 1, 3, 2 -> b. Each pick shows; one group of three shows each time.
    const BacktestResult r = t.run(3, false, 1, 2020004, 2020006);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(t.picked(r, 0), (std::vector<std::string>{"c"}));
    EXPECT_EQ(t.picked(r, 1), (std::vector<std::string>{"a"}));
    EXPECT_EQ(t.picked(r, 2), (std::vector<std::string>{"b"}));
    const double q = 8.0 / 30;
    EXPECT_EQ(r.observed, 3);
    EXPECT_NEAR(r.expected, 3 * q, 1e-12);
    EXPECT_NEAR(r.variance, 3 * q * (1 - q), 1e-12);
    EXPECT_NEAR(r.randomExpected, 1.0, 1e-12);
    const auto grid = backtestGrid(r);
    EXPECT_EQ(grid.cells[0], (std::vector<std::string>{"期号", "选中", "命中", "理论期望",
                                                       "随机选取期望", "累计命中", "累计期望"}));
    EXPECT_EQ(grid.cells[2],
              (std::vector<std::string>{"2020005", "a", "1", "0.267", "0.333", "2", "0.533"}));
    EXPECT_EQ(grid.cells[4],
              (std::vector<std::string>{"合计", "3", "0.800", "1.000", "0.766", "2.87", "0.0041"}));
    EXPECT_EQ(backtestVerdict(r),
              "在纯随机的开奖中，这样的差别每 245 次会出现一次。选中组合命中 3 次，理论期望 0.8 "
              "次（随机选取期望 1.0 次），z = 2.87；本历史已试 1 种设置，显著需 p < "
              "0.0500（原始 p = 0.0041）：显著多于随机");
    // Three settings tried: 0.0041 is still below 0.05/3; thirteen: no longer.
    EXPECT_NE(backtestVerdict(r, 3).find("显著多于随机"), std::string::npos);
    EXPECT_NE(backtestVerdict(r, 13).find("无显著差别"), std::string::npos);

    // Ties keep the enumeration order: longest runs before 6 are a 2, b 1, c 1.
    EXPECT_EQ(t.picked(t.run(8, true, 2, 2020006, 2020006), 0),
              (std::vector<std::string>{"b", "c"}));
    EXPECT_EQ(t.picked(t.run(8, false, 2, 2020006, 2020006), 0),
              (std::vector<std::string>{"a", "b"}));
    // Before 3 group a hit both draws: its due ratio is "-", last in either order; b and c tie
    // at 1.
    for (bool asc : {false, true}) {
        const auto dash = t.run(7, asc, 3, 2020003, 2020003);
        EXPECT_EQ(t.picked(dash, 0), (std::vector<std::string>{"b", "c", "a"}));
        EXPECT_FALSE(dash.rows[0].figures[2].has_value());
        EXPECT_DOUBLE_EQ(*dash.rows[0].figures[0], 1.0);
    }
    // M >= G picks every group: the variance takes the covariances of every pair, negative
    // here as two numbers compete for the eight places.
    const BacktestResult all = t.run(3, false, 5, 2020001, 2020006);
    ASSERT_EQ(all.rows.size(), 5u);  // the first draw has no draw before it
    EXPECT_EQ(all.rows[0].issue, 2020002);
    EXPECT_EQ(all.observed, 5);
    EXPECT_NEAR(all.expected, 5 * 3 * q, 1e-12);
    const double both = 8.0 * 7 / (30 * 29);
    EXPECT_NEAR(all.variance, 5 * (3 * q * (1 - q) + 6 * (both - q * q)), 1e-12);
    EXPECT_NEAR(all.randomExpected, 5.0, 1e-12);
}

TEST(Backtest, FiguresAreTheGroupComputationAsOfThePreviousDraw) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws = qt::randomDraws(90, 7);
    qt::addDraws(db, draws);
    groups::GroupInput input;
    input.type = 0;
    input.sizeText = "2";
    for (int b = 1; b <= 9; ++b) input.ticked[static_cast<std::size_t>(b)] = true;  // 36 groups
    input.rangeStart = std::to_string(draws[15].issue);
    input.rangeEnd = std::to_string(draws.back().issue);
    BacktestInput in;
    in.plan = *groups::makePlan(input);
    in.testStart = draws[84].issue;
    in.testEnd = draws[89].issue;
    in.pick = 5;
    const IssueLine line = readIssueLine(db.db());
    const GroupHitTable hits = collectGroupHits(db, in.plan);
    constexpr std::array<const char*, 8> kColumns = {"intMinYL",    "intMaxYL",    "intLstYl",
                                                     "sglLlr",      "intHitCount", "dblAvgYl",
                                                     "dblDueRatio", "intMaxRun"};
    for (int column = 1; column <= 8; ++column) {
        in.column = column;
        in.ascending = column % 2 == 0;
        const BacktestResult r = backtest(hits, line, in);
        ASSERT_EQ(r.rows.size(), 6u);
        for (std::size_t row = 0; row < r.rows.size(); ++row) {
            // The listing as of the issue before the tested draw, ranked the same way.
            groups::GroupInput asOf = input;
            const AsOfCut cut = *cutAt(db, draws[83 + row].issue);
            applyCut(asOf, cut);
            ASSERT_TRUE(groups::runGroupComputation(db, asOf).outcome.ok());
            const std::string col = kColumns[static_cast<std::size_t>(column - 1)];
            store::Snapshot yl =
                db.db().snapshot("SELECT content, " + col + " AS f FROM YL ORDER BY f IS NULL, f " +
                                 (in.ascending ? "ASC" : "DESC") + ", RowSeq");
            std::vector<std::string> expected, got;
            for (yl.moveFirst(); !yl.eof() && expected.size() < 5; yl.moveNext())
                expected.push_back(yl.textField("content"));
            for (int g : r.rows[row].picked) got.push_back(r.labels[static_cast<std::size_t>(g)]);
            EXPECT_EQ(got, expected) << "column " << column << " row " << row;
            // What shows in the tested draw: the group's two numbers among its eight.
            int shown = 0;
            const auto& numbers = draws[84 + row].numbers;
            for (int a = 1; a <= 9; ++a)
                for (int b = a + 1; b <= 9; ++b)
                    shown += std::count(numbers.begin(), numbers.end(), a) > 0 &&
                             std::count(numbers.begin(), numbers.end(), b) > 0;
            EXPECT_EQ(r.rows[row].shown, shown);
        }
    }
}
