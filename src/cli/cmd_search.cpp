// The analyses of one pattern: search (检索) and partial (分部检索). Both print the hit grid,
// an empty line and the summary grid as tab-separated lines.
#include "chance/as_of.h"
#include "cli/command.h"
#include "cli/search_options.h"
#include "partial/partial_search.h"
#include "search/input_checks.h"
#include "search/search_command.h"

namespace quarvel::cli {
namespace {

int report(Context& c, const search::SearchResult& r) {
    if (!r.ok()) throwOutcome(r.outcome);
    if (r.failedStatements > 0)
        c.err << r.failedStatements
              << " marking statement(s) were refused by the database and skipped\n";
    c.out << r.hits.toTsv() << "\n" << r.summary.toTsv();
    return 0;
}

// Input the window refuses as well: its sentence alone, for exit status 2.
bool refusedInput(Context& c, const std::optional<std::string>& why) {
    if (why) c.err << *why << "\n";
    return why.has_value();
}

int search(Context& c) {
    SearchOptions o = parseSearchOptions(c, c.args, 0, SearchKind::Search);
    if (refusedInput(c, search::checkSearchInput(o.criteria, false))) return 2;
    const auto cut = asOfCut(c, o.asOf);
    if (cut) chance::applyCut(o.criteria, *cut);
    search::SearchResult r = search::runSearch(c.db, o.criteria);
    if (cut && r.ok()) chance::restateAtCut(r, *cut);
    return report(c, r);
}

int partialSearch(Context& c) {
    SearchOptions o = parseSearchOptions(c, c.args, 0, SearchKind::Partial);
    if (refusedInput(c, search::checkPartialInput(o.criteria, o.pm, false))) return 2;
    const auto cut = asOfCut(c, o.asOf);
    if (cut) chance::applyCut(o.criteria, *cut);
    search::SearchResult r = partial::runPartialSearch(c.db, o.criteria, o.pm, o.kText);
    if (cut && r.ok()) chance::restateAtCut(r, *cut);
    return report(c, r);
}

const RegisterCommand kSearch(
    "search",
    "search [--type 0..5] [--fixed] [--no-special] [--range A:B] [--as-of X] [--pos P=TEXT ...]",
    search);
const RegisterCommand kPartial("partial",
                               "partial [--type 0..5] [--fixed] [--no-special] [--pm] [-k K] "
                               "--values T1,...,T8 [--range A:B] [--as-of X]",
                               partialSearch);

}  // namespace
}  // namespace quarvel::cli
