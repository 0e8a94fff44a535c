// What chance alone would give, beside the figures: the omission calibration (遗漏校验) and the
// K-line (遗漏K线) of a search or partial search, and the walk-forward backtest (回测) of the
// group ranking. All take --as-of X to run as if the history ended at issue X.
#include <algorithm>

#include "chance/as_of.h"
#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/kline.h"
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
    search::IssueRange range;
};

// `[--partial] [search or partial options]`, cut at --as-of and with a checked range.
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
    std::string error;
    const auto range = search::validate(p.options.criteria, error);
    if (!range) throw UsageError(error);
    p.range = *range;
    return p;
}

// The pattern's hits over the criteria's range, by the same analysis the search commands run.
std::vector<int> patternHits(Context& c, const PatternArgs& p, const search::Criteria& criteria) {
    const search::SearchResult r =
        p.partial ? partial::runPartialSearch(c.db, criteria, p.options.pm, p.options.kText)
                  : search::runSearch(c.db, criteria);
    if (!r.ok()) throw UsageError(r.error);
    return r.hitIdx;
}

int calibrate(Context& c) {
    const PatternArgs p = parsePattern(c);
    // The omission of the range's first draws reaches back to hits before the range.
    search::Criteria upToEnd = p.options.criteria;
    upToEnd.rangeStart =
        std::to_string(std::min(p.range.start, c.db.firstIssue().value_or(p.range.start)));
    const std::vector<int> hits = patternHits(c, p, upToEnd);
    const chance::IssueLine range =
        chance::readIssueLine(c.db.db()).within(p.range.start, p.range.end);
    const chance::Calibration result = chance::calibrate(hits, range.idx);
    c.out << chance::calibrationGrid(result).toTsv() << chance::chiSquareLine(result) << "\n";
    return 0;
}

int kline(Context& c) {
    const PatternArgs p = parsePattern(c);
    const std::vector<int> hits = patternHits(c, p, p.options.criteria);
    const chance::IssueLine range =
        chance::readIssueLine(c.db.db()).within(p.range.start, p.range.end);
    c.out << chance::kLineGrid(chance::kLine(range, hits)).toTsv();
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
    const auto planned = groups::makePlan(g.input);
    if (const auto* refusal = std::get_if<groups::Refusal>(&planned))
        throw UsageError(refusal->message);
    in.plan = std::get<groups::GroupPlan>(planned);

    chance::IssueLine line = chance::readIssueLine(c.db.db());
    if (const auto cut = asOfCut(c, g.asOf)) {
        in.testEnd = std::min(in.testEnd, cut->issue);
        line = line.within(line.size() == 0 ? 0 : line.issue.front(), cut->issue);
    }
    // The groups' hits from the first draw either range needs up to the last tested draw.
    groups::GroupPlan evaluated = in.plan;
    evaluated.rangeStart = std::min(in.plan.rangeStart, in.testStart);
    evaluated.rangeEnd = in.testEnd;
    const chance::BacktestResult result =
        chance::backtest(chance::collectGroupHits(c.db, evaluated), line, in);
    c.out << chance::backtestGrid(result).toTsv();
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
