// The trend chart (走势图) of the history as tab-separated lines: header row first, one line per
// draw of the range, the five statistic rows and the three hot/cold rows last; the texts of the
// window's view.
#include "chance/as_of.h"
#include "chance/hot_cold.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/search_command.h"
#include "search/trend_chart.h"

namespace quarvel::cli {
namespace {

int trend(Context& c) {
    // --hot W is the trend chart's own; the rest are the search options it shares.
    int window = c.saved.intHotWindow;
    std::vector<std::string> args;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        if (c.args[i] != "--hot") {
            args.push_back(c.args[i]);
            continue;
        }
        if (i + 1 >= c.args.size()) throw UsageError("--hot needs a value");
        const long long w = parseWholeNumber(c.args[++i], "--hot");
        if (w < 1 || w > 32767) throw UsageError("--hot takes a number of draws from 1 to 32767");
        window = static_cast<int>(w);
    }
    const SearchOptions o = parseSearchOptions(c, args, 0, SearchKind::Trend);
    const auto range = checkedValue(search::readRange(o.criteria));
    search::TrendInput in;
    in.type = o.criteria.type;
    in.countSpecial = o.criteria.countSpecial;
    in.rangeStart = range.start;
    in.rangeEnd = range.end;
    in.sxBase = o.criteria.sxBase;
    in.dsBase = o.criteria.dsBase;
    if (const auto cut = asOfCut(c, o.asOf)) chance::applyCut(in, *cut);
    const auto codes = store::ZodiacCodes::startup(c.bases.sx);
    c.out << checkedValue(chance::buildTrendWithHotCold(c.db.db(), in, codes, window))
                 .toTextGrid()
                 .toTsv();
    return 0;
}

const RegisterCommand kTrend(
    "trend", "trend [--type 0..5] [--no-special] [--range A:B] [--as-of X] [--hot W]", trend);

}  // namespace
}  // namespace quarvel::cli
