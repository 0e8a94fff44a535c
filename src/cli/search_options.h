#pragma once
// Reading the criteria of the search commands from arguments: --type, --fixed, --no-special,
// --range A:B, --pos P=TEXT (search), --pm, -k K, --values T1,...,T8 (partial); the trend
// chart takes the first three.

#include <string>
#include <vector>

#include "cli/command.h"
#include "search/criteria.h"

namespace quarvel::cli {

struct SearchOptions {
    search::Criteria criteria;
    bool pm = false;          // partial: 平码 (positions 1..7)
    std::string kText = "2";  // partial: section digit count as given
};

enum class SearchKind { Search, Partial, Trend };  // trend: --type, --no-special, --range only

// Parses the arguments from `first` on; every argument must be understood (UsageError).
// The range defaults to the whole stored history, the bases come from the context.
SearchOptions parseSearchOptions(Context& c, const std::vector<std::string>& args,
                                 std::size_t first, SearchKind kind);

// The value of a position text: a whole number, or for the zodiac type a zodiac name (its code
// under the zodiac base). UsageError otherwise.
int positionValue(const std::string& text, int type, int sxBase);

}  // namespace quarvel::cli
