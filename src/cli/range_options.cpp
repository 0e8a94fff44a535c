#include "cli/range_options.h"

#include <tuple>

#include "chance/as_of_runs.h"

namespace quarvel::cli {

search::IssueRange issueRangeOption(Context& c) {
    search::Criteria r;
    if (const auto text = c.args.text("--range"))
        std::tie(r.rangeStart, r.rangeEnd) = rangeTexts("--range", *text);
    const std::optional<std::int32_t> asOf = asOfIssue(c.args);
    if (r.rangeStart.empty()) r.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    if (r.rangeEnd.empty()) r.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    return checkedValue(chance::rangeAsOf(c.db, std::move(r), asOf)).result;
}

}  // namespace quarvel::cli
