// The analyses of one pattern: search (检索) and partial (分部检索). Both print the hit grid,
// an empty line and the summary grid as tab-separated lines.
#include "chance/pattern_run.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "search/input_checks.h"

namespace quarvel::cli {
namespace {

// The grids on the output; after a cut, when the pattern showed next, as the window says it.
int runPattern(Context& c, SearchKind kind) {
    SearchOptions o = readSearchOptions(c, kind);
    // Input the window refuses as well, with its sentence.
    const auto why = kind == SearchKind::Partial
                         ? search::checkPartialInput(o.criteria, o.pm, false)
                         : search::checkSearchInput(o.criteria, false);
    if (why) throw UsageError(*why);
    const chance::PatternAnswer a =
        chance::runPattern(c.db, {o.criteria, kind == SearchKind::Partial, o.pm, o.kText, o.asOf});
    const search::SearchResult& r = a.result;
    if (!r.ok()) return ending(c, r.outcome);
    if (r.failedStatements > 0)
        c.err << "quarvel-cli " << c.name << ": " << r.failedStatements
              << " 条标记语句被数据库拒绝，已跳过\n";
    c.out << r.hits.toTsv() << "\n" << r.summary.toTsv();
    if (a.cut) c.err << "quarvel-cli " << c.name << ": " << a.nextShowing << "\n";
    return kDone;
}

int search(Context& c) { return runPattern(c, SearchKind::Search); }
int partialSearch(Context& c) { return runPattern(c, SearchKind::Partial); }

const RegisterCommand kSearch("search",
                              {"检索：按位置值检索历史号码，输出命中表、空行和统计表",
                               {},
                               0,
                               0,
                               searchOptionTable(SearchKind::Search)},
                              search);
const RegisterCommand kPartial(
    "partial",
    {"分部检索：八个位置值按分部位数组合检索", {}, 0, 0, searchOptionTable(SearchKind::Partial)},
    partialSearch);

}  // namespace
}  // namespace quarvel::cli
