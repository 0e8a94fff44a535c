// What chance alone would give, beside the figures: the omission calibration (遗漏校验) and the
// K-line (遗漏K线) of a search or partial search, and the walk-forward backtest (回测) of the
// group ranking. All take --as-of X to run as if the history ended at issue X.
#include <algorithm>

#include "chance/as_of.h"
#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/kline.h"
#include "chance/pattern_chance.h"
#include "chance/statistics.h"
#include "cli/command.h"
#include "cli/group_options.h"
#include "cli/search_options.h"
#include "partial/partial_search.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

struct PatternArgs {
    SearchOptions options;
    bool partial = false;
    std::optional<chance::AsOfCut> cut;
};

// `[--partial] [search or partial options]`, cut at --as-of.
PatternArgs parsePattern(Context& c) {
    PatternArgs p;
    std::vector<std::string> args;
    for (const auto& a : c.args) {
        if (a == "--partial")
            p.partial = true;
        else
            args.push_back(a);
    }
    p.options =
        parseSearchOptions(c, args, 0, p.partial ? SearchKind::Partial : SearchKind::Search);
    p.cut = asOfCut(c, p.options.asOf);
    if (p.cut) chance::applyCut(p.options.criteria, *p.cut);
    return p;
}

// The partial search's k, 0 (no combination) when refused: its search refuses it first.
int sectionOf(const std::string& kText) {
    const auto k = partial::readSection(kText);
    return k ? *k : 0;
}

// The pattern's hits from the oldest draw to the range's end, by the analysis its command runs.
chance::PatternHits hitsOf(Context& c, const PatternArgs& p) {
    const chance::PatternSearch run = [&](const search::Criteria& criteria) {
        return p.partial ? partial::runPartialSearch(c.db, criteria, p.options.pm, p.options.kText)
                         : search::runSearch(c.db, criteria);
    };
    const chance::ChancePattern pattern =
        p.partial
            ? chance::partialPattern(p.options.criteria, p.options.pm, sectionOf(p.options.kText))
            : chance::searchPattern(p.options.criteria);
    return checkedValue(chance::patternHits(c.db, p.options.criteria, run, pattern));
}

// The verdict's plain sentence as the last line; a run of the CLI is one setting tried.
void conclude(Context& c, const std::string& verdict) {
    c.out << chance::pastDrawsLine() << "\n结论\t" << verdict << "\n";
}

int calibrate(Context& c) {
    const chance::Calibration result = chance::calibrate(hitsOf(c, parsePattern(c)));
    c.out << chance::calibrationGrid(result).toTsv() << chance::chiSquareLine(result) << "\n";
    conclude(c, chance::calibrationVerdict(result, 1));
    return 0;
}

int kline(Context& c) {
    const auto points = chance::kLine(hitsOf(c, parsePattern(c)));
    c.out << chance::kLineGrid(points).toTsv();
    conclude(c, chance::kLineVerdict(chance::summarize(points), 1));
    return 0;
}

int backtest(Context& c) {
    chance::BacktestInput in;
    bool haveTest = false;
    const auto extra = [&](const std::vector<std::string>& args, std::size_t& i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            return args[++i];
        };
        if (a == "--test") {
            const std::string& t = value();
            const std::size_t colon = t.find(':');
            if (colon == std::string::npos) throw UsageError("--test takes FIRST:LAST");
            in.testStart = static_cast<std::int32_t>(
                parseWholeNumber(t.substr(0, colon), "the first tested issue"));
            in.testEnd = static_cast<std::int32_t>(
                parseWholeNumber(t.substr(colon + 1), "the last tested issue"));
            haveTest = true;
        } else if (a == "--by") {
            const long long by = parseWholeNumber(value(), "--by");
            if (by < 1 || by > chance::kRankingColumns)
                throw UsageError("--by takes a listing column 1 to 8");
            in.column = static_cast<int>(by);
        } else if (a == "--asc") {
            in.ascending = true;
        } else if (a == "--pick") {
            const long long m = parseWholeNumber(value(), "--pick");
            if (m < 1 || m > 100000) throw UsageError("--pick takes a count of groups from 1");
            in.pick = static_cast<int>(m);
        } else {
            return false;
        }
        return true;
    };
    GroupArgs g = parseGroupArgs(c.args, extra);
    if (g.sort >= 0) throw UsageError("backtest ranks by --by, not --sort");
    if (!haveTest) throw UsageError("backtest needs --test A:B");
    completeGroupInput(c, g);
    in.plan = checkedValue(groups::makePlan(g.input));

    const chance::BacktestResult result =
        checkedValue(chance::backtestOnHistory(c.db, in, asOfCut(c, g.asOf)));
    c.out << chance::backtestGrid(result).toTsv();
    conclude(c, chance::backtestVerdict(result, 1));
    return 0;
}

const RegisterCommand kCalibrate("calibrate",
                                 "calibrate [--partial] [search or partial options] [--as-of X]",
                                 calibrate);
const RegisterCommand kKline("kline", "kline [--partial] [search or partial options] [--as-of X]",
                             kline);
const RegisterCommand kBacktest(
    "backtest", "backtest [groups options] --test A:B [--by 1..8] [--asc] [--pick M] [--as-of X]",
    backtest);

}  // namespace
}  // namespace quarvel::cli
