// Search results written as spreadsheets: the hit grid (as Jiansuo.xls holds it) or the summary
// grid (as Jieguo.xls holds it) of a search, or with --partial of a partial search.
#include "cli/command.h"
#include "cli/search_options.h"
#include "history_io/xls_writer.h"
#include "partial/partial_search.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

int xlsSearch(Context& c) {
    const auto& a = c.args.operands;
    const std::string& which = a[0];
    if (which != "hits" && which != "summary")
        throw UsageError("xls-search 写 hits 或 summary，不是“" + which + "”");
    const bool partial = c.args.has("--partial");
    const SearchOptions o =
        readSearchOptions(c, partial ? SearchKind::Partial : SearchKind::Search);
    const search::SearchResult r = partial
                                       ? partial::runPartialSearch(c.db, o.criteria, o.pm, o.kText)
                                       : search::runSearch(c.db, o.criteria);
    if (!r.ok()) return ending(c, r.outcome);
    if (r.failedStatements > 0)
        c.err << "quarvel-cli " << c.name << ": " << r.failedStatements
              << " 条标记语句被数据库拒绝，已跳过\n";
    if (const store::Outcome saved = io::saveXlsFile(a[1], which == "hits" ? r.hits : r.summary);
        !saved.ok())
        return ending(c, saved);
    c.out << "列表已导出到 " << a[1] << "\n";
    return kDone;
}

const RegisterCommand kXlsSearch("xls-search",
                                 {"检索结果写成电子表格：hits 命中表（Jiansuo.xls），summary "
                                  "统计表（Jieguo.xls）",
                                  "hits|summary FILE", 2, 2, patternOptionTable()},
                                 xlsSearch);

}  // namespace
}  // namespace quarvel::cli
