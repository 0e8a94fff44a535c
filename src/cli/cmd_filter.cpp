// 缩水: `filter [--shape NAME=VALUES ...] [--include N,...] [--exclude N,...] [--range A:B]
// [--as-of X] [--out FILE]` keeps the sets of seven regular numbers that pass every condition,
// prints "保留 N 共 2035800 占比 P%", one line per condition and one for all of them with their
// record on the draws of the range, and the conclusion; --out writes the kept sets as a tickets
// file.
#include <filesystem>

#include "chance/set_filter.h"
#include "chance/ticket_file.h"
#include "cli/command.h"
#include "cli/range_options.h"
#include "cli/search_options.h"
#include "history_io/atomic_file.h"

namespace quarvel::cli {
namespace {

int filter(Context& c) {
    chance::SetFilter f;
    RangeOptions options;
    std::string out;
    for (std::size_t i = 0; i < c.args.size(); ++i) {
        if (options.take(c.args, i)) continue;
        const std::string& a = c.args[i];
        if (a != "--shape" && a != "--include" && a != "--exclude" && a != "--out")
            throw UsageError("不认识的参数 " + a);
        if (i + 1 >= c.args.size()) throw UsageError(a + " 后面缺少值");
        const std::string& v = c.args[++i];
        if (a == "--shape")
            f.shapes.push_back(argumentValue(chance::parseShapeCondition(v)));
        else if (a == "--include")
            f.include |= argumentValue(chance::parseNumberList(v, "胆码"));
        else if (a == "--exclude")
            f.exclude |= argumentValue(chance::parseNumberList(v, "杀码"));
        else
            out = v;
    }
    if (const auto why = f.refusal()) throw UsageError(*why);
    const search::IssueRange range = options.issues(c);
    const auto history =
        checkedValue(store::attempt([&] { return chance::readShapeDraws(c.db.db()); }));
    const chance::FilterResult result =
        checkedValue(chance::runFilter(f, history, range.start, range.end, !out.empty()));
    if (!out.empty()) {
        std::vector<std::string> comments{"缩水保留 " + std::to_string(result.kept) + " 组"};
        for (const std::string& t : f.conditionTexts()) comments.push_back("条件 " + t);
        io::writeFileAtomically(std::filesystem::path(out),
                                chance::ticketFileBytes(result.sets, comments));
    }
    for (const std::string& line : result.lines()) c.out << line << "\n";
    return 0;
}

const RegisterCommand kFilter("filter",
                              "filter [--shape NAME=VALUES ...] [--include N,...] "
                              "[--exclude N,...] [--range A:B] [--as-of X] [--out FILE]",
                              filter);

}  // namespace
}  // namespace quarvel::cli
