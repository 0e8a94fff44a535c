// The trend chart (走势图) of the history as tab-separated lines: header row first, one line per
// draw of the range, the five statistic rows and the three hot/cold rows last; the texts of the
// window's view.
#include "chance/as_of_runs.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/search_command.h"
#include "search/trend_chart.h"

namespace quarvel::cli {
namespace {

int trend(Context& c) {
    const int window = static_cast<int>(c.args.number("--hot", c.saved.intHotWindow));
    const SearchOptions o = readSearchOptions(c, SearchKind::Trend);
    const auto range = checkedValue(search::readRange(o.criteria));
    search::TrendInput in;
    in.type = o.criteria.type;
    in.countSpecial = o.criteria.countSpecial;
    in.rangeStart = range.start;
    in.rangeEnd = range.end;
    in.sxBase = o.criteria.sxBase;
    in.dsBase = o.criteria.dsBase;
    const auto codes = store::ZodiacCodes::startup(in.sxBase);
    c.out << checkedValue(chance::trendAsOf(c.db, in, codes, window, o.asOf))
                 .result.toTextGrid()
                 .toTsv();
    return kDone;
}

OptionTable trendOptions() {
    OptionTable t = searchOptionTable(SearchKind::Trend);
    t.push_back({"--hot", {}, "W", "冷热按最近 W 期计算", 1, 32767});
    return t;
}

const RegisterCommand kTrend("trend",
                             {"走势图：每期一行，末尾是统计行和冷热行", {}, 0, 0, trendOptions()},
                             trend);

}  // namespace
}  // namespace quarvel::cli
