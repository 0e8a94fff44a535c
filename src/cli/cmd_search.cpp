// The analyses of one pattern: search (检索) and partial (分部检索). Both print the hit grid,
// an empty line and the summary grid as tab-separated lines.
#include "cli/command.h"
#include "cli/search_options.h"
#include "partial/partial_search.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

int report(Context& c, const search::SearchResult& r) {
    if (!r.ok()) throw UsageError(r.error);
    if (r.failedStatements > 0)
        c.err << r.failedStatements
              << " marking statement(s) were refused by the database and skipped\n";
    c.out << r.hits.toTsv() << "\n" << r.summary.toTsv();
    return 0;
}

int search(Context& c) {
    const SearchOptions o = parseSearchOptions(c, c.args, 0, SearchKind::Search);
    return report(c, search::runSearch(c.db, o.criteria));
}

int partialSearch(Context& c) {
    const SearchOptions o = parseSearchOptions(c, c.args, 0, SearchKind::Partial);
    return report(c, partial::runPartialSearch(c.db, o.criteria, o.pm, o.kText));
}

const RegisterCommand kSearch(
    "search", "search [--type 0..5] [--fixed] [--no-special] [--range A:B] [--pos P=TEXT ...]",
    search);
const RegisterCommand kPartial(
    "partial",
    "partial [--type 0..5] [--fixed] [--no-special] [--pm] [-k K] --values T1,...,T8 [--range A:B]",
    partialSearch);

}  // namespace
}  // namespace quarvel::cli
