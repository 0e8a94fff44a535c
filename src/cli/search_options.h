#pragma once
// Reading the criteria of the search commands from arguments: --type, --fixed, --no-special,
// --range A:B, --as-of X, --pos P=TEXT (search), --pm, -k K, --values T1,...,T8 (partial); the
// trend chart takes all but --fixed and the positions.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "chance/as_of.h"
#include "cli/command.h"
#include "search/criteria.h"
#include "store/outcome.h"

namespace quarvel::cli {

struct SearchOptions {
    search::Criteria criteria;
    bool pm = false;                   // partial: 平码 (positions 1..7)
    std::string kText = "2";           // partial: section digit count as given
    std::optional<std::int32_t> asOf;  // --as-of X: the figures as they stood at issue X
};

enum class SearchKind { Search, Partial, Trend };  // trend: --type, --no-special, --range only

// Parses the arguments from `first` on; every argument must be understood (UsageError).
// The range defaults to the whole stored history, the bases come from the context.
SearchOptions parseSearchOptions(Context& c, const std::vector<std::string>& args,
                                 std::size_t first, SearchKind kind);

// What the core refused is a usage error (status 2); a failure of the store is reported as
// main reports one (status 1).
[[noreturn]] void throwOutcome(const store::Outcome& why);
template <class T>
T checkedValue(store::Checked<T> checked) {
    if (!checked) throwOutcome(checked.outcome);
    return std::move(*checked);
}

// The issue of --as-of (UsageError when not a whole number).
std::int32_t parseAsOf(const std::string& text);
// The cut of the history at --as-of, when given; UsageError when no stored draw is that old.
std::optional<chance::AsOfCut> asOfCut(Context& c, std::optional<std::int32_t> asOf);

// The value of a position text: a whole number, or for the zodiac type a zodiac name (its code
// under the zodiac base). UsageError otherwise.
int positionValue(const std::string& text, int type, int sxBase);

}  // namespace quarvel::cli
