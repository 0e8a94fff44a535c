// The group computation from the command line: every group of the chosen size over the given
// value boxes, stored in YL and printed as the YL listing.
#include <tuple>

#include "chance/as_of_runs.h"
#include "cli/command.h"
#include "cli/group_options.h"
#include "cli/search_options.h"
#include "groups/group_checks.h"
#include "groups/group_command.h"
#include "groups/group_values.h"
#include "groups/yl_table.h"
#include "store/whole_number.h"

namespace quarvel::cli {

namespace {

void parseBoxes(const std::string& list, groups::GroupInput& input) {
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = list.find(',', start);
        const std::string item =
            list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        const auto box = store::readWholeNumber(item);
        if (!box || *box < 1 || *box > groups::kMaxBoxes)
            throw UsageError("--boxes 的值框须是 1 到 30 之间的整数，不是“" + item + "”");
        input.ticked[static_cast<std::size_t>(*box)] = true;
        if (comma == std::string::npos) return;
        start = comma + 1;
    }
}

}  // namespace

OptionTable groupOptionTable(bool sort) {
    OptionTable t{opt::type(),
                  opt::noSpecial(),
                  {"--size", {}, "S", "组合位数", 1, 0, false, true},
                  {"--boxes", {}, "I,J,...", "勾选的值框（1..30），逗号分隔", 1, 0, false, true},
                  opt::range(),
                  opt::asOf()};
    if (sort) t.push_back({"--sort", {}, "0..8", "按第几列排列结果", 0, 8});
    return t;
}

GroupArgs readGroupArgs(Context& c) {
    const Arguments& a = c.args;
    GroupArgs g;
    g.input.type = static_cast<int>(a.number("--type", g.input.type));
    g.input.countSpecial = !a.has("--no-special");
    g.input.sizeText = *a.text("--size");  // checked by the computation itself
    parseBoxes(*a.text("--boxes"), g.input);
    g.sort = static_cast<int>(a.number("--sort", -1));
    g.asOf = asOfIssue(a);
    if (const auto r = a.text("--range")) {
        std::tie(g.input.rangeStart, g.input.rangeEnd) = rangeTexts("--range", *r);
    } else {
        // The whole stored history; an empty history has no issue to name.
        g.input.rangeStart = std::to_string(c.db.firstIssue().value_or(0));
        g.input.rangeEnd = std::to_string(c.db.lastIssue().value_or(0));
    }
    // The numbering of the stored rows: zodiac codes base + name index, their segment base.
    const store::Bases rows = storedRowBases(c);
    g.input.coding = {store::ZodiacCodes::startup(rows.sx), rows.ds};
    return g;
}

namespace {

int runGroups(Context& c) {
    GroupArgs g = readGroupArgs(c);
    // Input the window refuses as well, with its sentence.
    if (const auto why = groups::checkGroupInput(g.input)) throw UsageError(*why);
    const groups::GroupResult result = chance::groupsAsOf(c.db, g.input, g.asOf).result;
    if (!result.outcome.ok()) return ending(c, result.outcome);
    c.out << (g.sort < 0 ? result.listing : groups::listYl(c.db, g.sort)).toTsv();
    return kDone;
}

const RegisterCommand kGroups(
    "groups",
    {"分组计算：勾选值的每个组合的遗漏统计，存入 YL 并列出", {}, 0, 0, groupOptionTable(true)},
    runGroups);

}  // namespace
}  // namespace quarvel::cli
