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
    if (c.args.size() < 2)
        throw UsageError("xls-search takes hits or summary, a file and the search options");
    const std::string& which = c.args[0];
    if (which != "hits" && which != "summary")
        throw UsageError("xls-search writes hits or summary, not " + which);
    const bool partial = c.args.size() > 2 && c.args[2] == "--partial";
    const SearchOptions o = parseSearchOptions(c, c.args, partial ? 3 : 2,
                                               partial ? SearchKind::Partial : SearchKind::Search);
    const search::SearchResult r = partial
                                       ? partial::runPartialSearch(c.db, o.criteria, o.pm, o.kText)
                                       : search::runSearch(c.db, o.criteria);
    if (!r.ok()) throwOutcome(r.outcome);
    if (r.failedStatements > 0)
        c.err << r.failedStatements
              << " marking statement(s) were refused by the database and skipped\n";
    if (const store::Outcome saved =
            io::saveXlsFile(c.args[1], which == "hits" ? r.hits : r.summary);
        !saved.ok()) {
        c.err << "quarvel-cli xls-search: " << saved.detail << "\n";
        return 1;
    }
    c.out << "wrote " << c.args[1] << "\n";
    return 0;
}

const RegisterCommand kXlsSearch(
    "xls-search", "xls-search hits|summary FILE [--partial] [search or partial options]",
    xlsSearch);

}  // namespace
}  // namespace quarvel::cli
