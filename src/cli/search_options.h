#pragma once
// The criteria of the pattern commands from their arguments: --type, --fixed, --no-special,
// --range A:B, --as-of X, --pos P=TEXT (search), --pm, -k K, --values T1,...,T8 (partial); the
// trend chart takes --type, --no-special, --range and --as-of.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/command.h"
#include "search/criteria.h"

namespace quarvel::cli {

struct SearchOptions {
    search::Criteria criteria;
    bool pm = false;                   // partial: 平码 (positions 1..7)
    std::string kText = "2";           // partial: section digit count as given
    std::optional<std::int32_t> asOf;  // --as-of X: the figures as they stood at issue X
};

enum class SearchKind { Search, Partial, Trend };

// The option table of each kind; `patternOptions` is the union of search and partial with
// --partial choosing between them (calibrate, kline, xls-search).
OptionTable searchOptionTable(SearchKind kind);
OptionTable patternOptionTable();

// The criteria from the context's arguments. The range defaults to the whole stored history.
// An option of the other kind (--pos for a partial search) is a UsageError.
SearchOptions readSearchOptions(Context& c, SearchKind kind);

// The value of a position text: a whole number, or for the zodiac type a zodiac name (its code
// under the zodiac base). UsageError otherwise.
int positionValue(const std::string& text, int type, int sxBase);

}  // namespace quarvel::cli
