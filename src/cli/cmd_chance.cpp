// What chance alone would give, beside the figures: the omission calibration (遗漏校验) and the
// K-line (遗漏K线) of a search or partial search, and the walk-forward backtest (回测) of the
// group ranking. All take --as-of X to run as if the history ended at issue X.
#include <algorithm>

#include "chance/as_of_runs.h"
#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/kline.h"
#include "chance/pattern_chance.h"
#include "chance/statistics.h"
#include "cli/command.h"
#include "cli/group_options.h"
#include "cli/search_options.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

// The hits from the oldest draw to the range's end of `[--partial] [search or partial
// options]`, as of --as-of.
chance::PatternHits patternHits(Context& c) {
    const bool partial = c.args.has("--partial");
    SearchOptions o = readSearchOptions(c, partial ? SearchKind::Partial : SearchKind::Search);
    return checkedValue(chance::patternHitsAsOf(
                            c.db, {std::move(o.criteria), partial, o.pm, o.kText, o.asOf}))
        .result;
}

// The verdict's plain sentence as the last line; a run of the CLI is one setting tried.
void conclude(Context& c, const std::string& verdict) {
    c.out << chance::pastDrawsLine() << "\n结论\t" << verdict << "\n";
}

int calibrate(Context& c) {
    const chance::Calibration result = chance::calibrate(patternHits(c));
    c.out << chance::calibrationGrid(result).toTsv() << chance::chiSquareLine(result) << "\n";
    conclude(c, chance::calibrationVerdict(result, 1));
    return 0;
}

int kline(Context& c) {
    const auto points = chance::kLine(patternHits(c));
    c.out << chance::kLineGrid(points).toTsv();
    conclude(c, chance::kLineVerdict(chance::summarize(points), 1));
    return 0;
}

int backtest(Context& c) {
    chance::BacktestInput in;
    const auto [first, last] = rangeTexts("--test", *c.args.text("--test"));
    in.testStart = static_cast<std::int32_t>(parseWholeNumber(first, "第一个回测期号"));
    in.testEnd = static_cast<std::int32_t>(parseWholeNumber(last, "最后一个回测期号"));
    in.column = static_cast<int>(c.args.number("--by", in.column));
    in.ascending = c.args.has("--asc");
    in.pick = static_cast<int>(c.args.number("--pick", in.pick));
    GroupArgs g = readGroupArgs(c);
    in.plan = checkedValue(groups::makePlan(g.input));

    const chance::BacktestResult result =
        checkedValue(chance::backtestAsOf(c.db, std::move(in), g.asOf)).result;
    c.out << chance::backtestGrid(result).toTsv();
    conclude(c, chance::backtestVerdict(result, 1));
    return 0;
}

OptionTable backtestOptions() {
    OptionTable t = groupOptionTable(false);
    t.push_back({"--test", {}, "A:B", "回测的起止期号", 1, 0, false, true});
    t.push_back({"--by", {}, "1..8", "按结果的第几列排名", 1, chance::kRankingColumns});
    t.push_back({"--asc", {}, {}, "从小到大排名"});
    t.push_back({"--pick", {}, "M", "每期选前 M 组", 1, 100000});
    return t;
}

const RegisterCommand kCalibrate(
    "calibrate", {"遗漏校验：检索或分部检索的遗漏与纯随机的比较", {}, 0, 0, patternOptionTable()},
    calibrate);
const RegisterCommand kKline("kline",
                             {"遗漏K线：检索或分部检索的遗漏K线", {}, 0, 0, patternOptionTable()},
                             kline);
const RegisterCommand kBacktest("backtest",
                                {"回测：分组排名的逐期回测", {}, 0, 0, backtestOptions()},
                                backtest);

}  // namespace
}  // namespace quarvel::cli
