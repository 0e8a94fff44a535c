// The group computation from the command line: every group of the chosen size over the given
// value boxes, stored in YL and printed as the YL listing.
#include <iostream>

#include "chance/as_of.h"
#include "cli/command.h"
#include "cli/group_options.h"
#include "cli/search_options.h"
#include "groups/group_checks.h"
#include "groups/group_command.h"
#include "groups/group_values.h"
#include "groups/yl_table.h"

namespace quarvel::cli {
namespace {

std::string valueOf(const std::vector<std::string>& args, std::size_t& i) {
    if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
    return args[++i];
}

void parseBoxes(const std::string& list, groups::GroupInput& input) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const long long box = parseWholeNumber(item, "a value box");
        if (box < 1 || box > groups::kMaxBoxes)
            throw UsageError("value boxes run from 1 to 30: " + item);
        input.ticked[static_cast<std::size_t>(box)] = true;
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

}  // namespace

GroupArgs parseGroupArgs(const std::vector<std::string>& args, const ExtraArgument& extra) {
    GroupArgs g;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (extra && extra(args, i)) continue;
        if (a == "--type") {
            const long long t = parseWholeNumber(valueOf(args, i), "the search type");
            if (!groups::isGroupType(static_cast<int>(t)) || t != static_cast<int>(t))
                throw UsageError("the search type must be 0 to 5");
            g.input.type = static_cast<int>(t);
        } else if (a == "--no-special") {
            g.input.countSpecial = false;
        } else if (a == "--size") {
            g.input.sizeText = valueOf(args, i);  // checked by the computation itself
            g.haveSize = true;
        } else if (a == "--boxes") {
            parseBoxes(valueOf(args, i), g.input);
            g.haveBoxes = true;
        } else if (a == "--range") {
            const std::string range = valueOf(args, i);
            const std::size_t colon = range.find(':');
            if (colon == std::string::npos) throw UsageError("--range takes FIRST:LAST");
            g.input.rangeStart = range.substr(0, colon);
            g.input.rangeEnd = range.substr(colon + 1);
            g.haveRange = true;
        } else if (a == "--sort") {
            const long long s = parseWholeNumber(valueOf(args, i), "the sort column");
            if (s < 0 || s > 8) throw UsageError("the sort column must be 0 to 8");
            g.sort = static_cast<int>(s);
        } else if (a == "--as-of") {
            g.asOf = parseAsOf(valueOf(args, i));
        } else {
            throw UsageError("unknown argument " + a);
        }
    }
    if (!g.haveSize) throw UsageError("groups needs --size");
    if (!g.haveBoxes) throw UsageError("groups needs --boxes");
    return g;
}

void completeGroupInput(Context& c, GroupArgs& g) {
    if (!g.haveRange) {
        // The whole stored history; an empty history has no issue to name.
        g.input.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
        g.input.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    }
    // The start-up numbering: zodiac codes base + name index, the segment base of the settings.
    g.input.coding = {store::ZodiacCodes::startup(c.bases.sx), c.bases.ds};
}

namespace {

int runGroups(Context& c) {
    GroupArgs g = parseGroupArgs(c.args);
    completeGroupInput(c, g);
    if (const auto why = groups::checkGroupInput(g.input)) {
        c.err << *why << "\n";
        return 2;
    }
    if (const auto cut = asOfCut(c, g.asOf)) chance::applyCut(g.input, *cut);
    const groups::GroupResult result = groups::runGroupComputation(c.db, g.input);
    if (!result.outcome.ok()) {
        c.err << result.outcome.title << ": " << result.outcome.text() << "\n";
        // Refused input (size limit, a size or range that is not a whole number) exits 2.
        return result.outcome.kind == store::OutcomeKind::Failed ? 1 : 2;
    }
    c.out << (g.sort < 0 ? result.listing : groups::listYl(c.db, g.sort)).toTsv();
    return 0;
}

RegisterCommand groupsCommand("groups",
                              "groups [--type T] [--no-special] --size S --boxes I,J,... [--range "
                              "A:B] [--as-of X] [--sort 0..8]",
                              runGroups);

}  // namespace
}  // namespace quarvel::cli
