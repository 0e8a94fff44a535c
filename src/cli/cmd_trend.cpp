// The trend chart (走势图) of the history as tab-separated lines: header row first, one line per
// draw of the range, the five statistic rows last; the texts of the window's view.
#include "chance/as_of.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/search_command.h"
#include "search/trend_chart.h"

namespace quarvel::cli {
namespace {

int trend(Context& c) {
    const SearchOptions o = parseSearchOptions(c, c.args, 0, SearchKind::Trend);
    std::string error;
    const auto range = search::readRange(o.criteria, error);
    if (!range) throw UsageError(error);
    search::TrendInput in;
    in.type = o.criteria.type;
    in.countSpecial = o.criteria.countSpecial;
    in.rangeStart = range->start;
    in.rangeEnd = range->end;
    in.sxBase = o.criteria.sxBase;
    in.dsBase = o.criteria.dsBase;
    if (const auto cut = asOfCut(c, o.asOf)) chance::applyCut(in, *cut);
    c.out << search::buildTrend(c.db.db(), in).toTextGrid().toTsv();
    return 0;
}

const RegisterCommand kTrend("trend",
                             "trend [--type 0..5] [--no-special] [--range A:B] [--as-of X]", trend);

}  // namespace
}  // namespace quarvel::cli
