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
#include "history_io/atomic_file.h"

namespace quarvel::cli {
namespace {

int filter(Context& c) {
    chance::SetFilter f;
    for (const std::string& v : c.args.all("--shape"))
        f.shapes.push_back(argumentValue(chance::parseShapeCondition(v)));
    for (const std::string& v : c.args.all("--include"))
        f.include |= argumentValue(chance::parseNumberList(v, "胆码"));
    for (const std::string& v : c.args.all("--exclude"))
        f.exclude |= argumentValue(chance::parseNumberList(v, "杀码"));
    const std::string out = c.args.text("--out").value_or("");
    if (const auto why = f.refusal()) throw UsageError(*why);
    const search::IssueRange range = issueRangeOption(c);
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
    return kDone;
}

const RegisterCommand kFilter(
    "filter",
    {"缩水：保留通过每个条件的七个平码组合，列出各条件在范围内历史上的通过情况",
     {},
     0,
     0,
     {{"--shape", {}, "NAME=VALUES", "形态条件，如 奇偶=4:3", 1, 0, true},
      {"--include", {}, "N,M", "胆码：每组都含的号码", 1, 0, true},
      {"--exclude", {}, "N,M", "杀码：每组都不含的号码", 1, 0, true},
      opt::range(),
      opt::asOf(),
      {"--out", {}, "FILE", "保留的组合写成投注文件"}}},
    filter);

}  // namespace
}  // namespace quarvel::cli
