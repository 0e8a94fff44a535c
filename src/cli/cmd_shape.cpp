// The shapes (形态) of the draws as tab-separated lines: `shape` one line per draw of the range
// (期号, the seven regular numbers, the nine shapes), `shape --summary` the distribution of every
// shape value against its exact chance; `--as-of X` ends the range at the newest draw up to X.
#include <tuple>

#include "chance/as_of_runs.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

int shape(Context& c) {
    search::Criteria range;
    range.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    range.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    const bool summary = c.args.has("--summary");
    if (const auto r = c.args.text("--range"))
        std::tie(range.rangeStart, range.rangeEnd) = rangeTexts("--range", *r);
    // As of X the range ends at the newest draw up to X.
    const chance::ShapeTable table =
        checkedValue(chance::shapeAsOf(c.db, range, asOfIssue(c.args))).result.table;
    if (!summary) {
        c.out << table.toTextGrid().toTsv();
        return 0;
    }
    // The verdicts of the nine shapes, the first sentence last as the conclusion.
    const std::string verdicts = table.verdictText();
    const std::size_t firstEnd = verdicts.find('\n');
    c.out << table.summary().toTsv() << verdicts.substr(firstEnd + 1) << "结论\t"
          << verdicts.substr(0, firstEnd) << "\n";
    return 0;
}

const RegisterCommand kShape("shape",
                             {"形态：每期一行的形态，或 --summary 各形态值的分布与精确几率",
                              {},
                              0,
                              0,
                              {opt::range(), opt::asOf(), {"--summary", {}, {}, "输出形态分布"}}},
                             shape);

}  // namespace
}  // namespace quarvel::cli
