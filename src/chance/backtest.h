#pragma once
// 回测: a walk-forward test of the group ranking. Before every draw t of the test range each
// group gets the figures the group computation would have listed with t - 1 as the newest
// draw (range [S, issue of t - 1]); the groups are ranked by one column of the listing (ties
// keep their enumeration order) and the first M are picked. The picked groups that show in t
// are set against their exact chances (draw_chance.h): E_t = Σ q_g(t), V_t = Σ over picked
// pairs of P(g ∧ h)(t) − q_g(t) q_h(t), the covariances of groups sharing values included.
// Under pure chance z = (O − E)/sqrt(V) over the tested draws is standard normal. What M groups
// picked at random among those of the plan would hit is kept beside it for reference.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chance/as_of.h"
#include "chance/draw_chance.h"
#include "groups/group_eval.h"
#include "search/omission_stats.h"
#include "store/text_grid.h"

namespace quarvel::chance {

// Every group of a plan, in enumeration order, with its hits (IDX ascending).
struct GroupHitTable {
    std::vector<std::string> labels;
    std::vector<std::vector<int>> hits;
    std::vector<std::vector<int>> values;  // each group's member values
    ChanceRules rules;
    std::size_t size() const { return labels.size(); }
};
GroupHitTable collectGroupHits(store::HistoryDb& db, const groups::GroupPlan& plan);
// The rules a group of the plan is drawn under.
ChanceRules groupRules(const groups::GroupPlan& plan);

inline constexpr int kRankingColumns = 8;  // 1 最小遗漏 … 8 最大连出, the listing's columns

struct BacktestInput {
    groups::GroupPlan plan;      // its rangeStart is S; its rangeEnd plays no part
    std::int32_t testStart = 0;  // A
    std::int32_t testEnd = 0;    // B
    int column = 7;              // the ranking column, 1..8 (欲出几率 unless chosen)
    bool ascending = false;
    int pick = 10;  // M
};

// The figure of listing column 1..8 (the ratio in single precision, as the listing keeps it);
// none for a due ratio that has no value ("-").
std::optional<double> rankingFigure(const search::OmissionStats& stats, int column);

struct BacktestRow {
    std::int32_t issue = 0;
    std::vector<int> picked;                     // group indexes, in rank order
    std::vector<std::optional<double>> figures;  // their ranking figures
    int hits = 0;                                // h_t: picked groups that show in t
    int shown = 0;                               // H_t: groups that show in t
    double expected = 0.0;                       // E_t
    double variance = 0.0;                       // V_t
    double randomExpected = 0.0;                 // M·H_t/G: M groups picked at random
};

struct BacktestResult {
    std::vector<std::string> labels;
    std::vector<BacktestRow> rows;
    int observed = 0;       // O
    double expected = 0.0;  // E
    double variance = 0.0;  // V
    double randomExpected = 0.0;
    std::optional<double> z() const;
    std::optional<double> pValue() const;  // two-sided
};

// `line`: the stored draws (cut at the as-of draw when there is one); `hits`: the groups of
// input.plan with their hits over at least [min(S, A), B].
BacktestResult backtest(const GroupHitTable& hits, const IssueLine& line,
                        const BacktestInput& input);

// Header 期号, 选中, 命中, 理论期望, 随机选取期望, 累计命中, 累计期望; one row per tested draw
// (the picked labels joined by ", ", expectations with three decimals), then 合计 with O, E,
// the random pick's total, √V, z and p.
store::TextGrid backtestGrid(const BacktestResult& result);
// The plain sentence, then the totals: "选中组合命中 37 次，理论期望 29.4 次，z = 1.48，…：与
// 随机无显著差别", with `tries` settings tried.
std::string backtestVerdict(const BacktestResult& result, int tries = 1);

}  // namespace quarvel::chance
