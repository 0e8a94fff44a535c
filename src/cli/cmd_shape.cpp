// The shapes (形态) of the draws as tab-separated lines: `shape` one line per draw of the range
// (期号, the seven regular numbers, the nine shapes), `shape --summary` the distribution of every
// shape value against its exact chance; `--as-of X` ends the range at the newest draw up to X.
#include "chance/as_of.h"
#include "chance/shape_table.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

int shape(Context& c) {
    search::Criteria range;
    range.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
    range.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    bool summary = false;
    std::optional<std::int32_t> asOf;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        if (a == "--summary") {
            summary = true;
        } else if (a == "--range") {
            if (i + 1 >= c.args.size()) throw UsageError("--range needs a value");
            const std::string& r = c.args[++i];
            const std::size_t colon = r.find(':');
            if (colon == std::string::npos) throw UsageError("--range takes START:END");
            range.rangeStart = r.substr(0, colon);
            range.rangeEnd = r.substr(colon + 1);
        } else if (a == "--as-of") {
            if (i + 1 >= c.args.size()) throw UsageError("--as-of needs a value");
            asOf = parseAsOf(c.args[++i]);
        } else {
            throw UsageError("unknown argument " + a);
        }
    }
    // As of X the range ends at the newest draw up to X.
    if (const auto cut = asOfCut(c, asOf)) chance::applyCut(range, *cut);
    const auto issues = checkedValue(search::readRange(range));
    const chance::ShapeTable table =
        checkedValue(chance::buildShapeTable(c.db.db(), issues.start, issues.end));
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

const RegisterCommand kShape("shape", "shape [--range A:B] [--as-of X] [--summary]", shape);

}  // namespace
}  // namespace quarvel::cli
