#include "cli/range_options.h"

#include "chance/as_of_runs.h"
#include "cli/search_options.h"

namespace quarvel::cli {

bool RangeOptions::take(const std::vector<std::string>& args, std::size_t& i) {
    const std::string& a = args[i];
    if (a != "--range" && a != "--as-of") return false;
    if (i + 1 >= args.size()) throw UsageError(a + " 后面缺少值");
    const std::string& v = args[++i];
    if (a == "--as-of") {
        asOf = parseAsOf(v);
        return true;
    }
    const std::size_t colon = v.find(':');
    if (colon == std::string::npos) throw UsageError("--range 应写成 起始期号:结束期号");
    range.rangeStart = v.substr(0, colon);
    range.rangeEnd = v.substr(colon + 1);
    return true;
}

search::IssueRange RangeOptions::issues(Context& c) {
    search::Criteria r = range;
    if (r.rangeStart.empty()) r.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    if (r.rangeEnd.empty()) r.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    return checkedValue(chance::rangeAsOf(c.db, std::move(r), asOf)).result;
}

}  // namespace quarvel::cli
