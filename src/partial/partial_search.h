#pragma once
// The partial search (分部检索): the draws that show at least k of the pattern's positions.
// Every k-combination of positions 1..P (P = 7 for 平码, 8 for 平特) is marked as a condition
// set and the union of their hits, flagged in [bolOk], is scanned like a search.

#include <string>
#include <vector>

#include "search/criteria.h"
#include "search/marking.h"
#include "search/search_command.h"
#include "store/settings.h"

namespace quarvel::store {
class HistoryDb;
}

namespace quarvel::partial {

// The section digit counts (分部位数) the partial search takes, and the window's drop-down offers:
// the range of the saved setting intZhWSetup.
using store::kMaxSection;
using store::kMinSection;

// The k-combinations of 1..n in lexicographic order (empty when k is outside 1..n).
std::vector<std::vector<int>> combinations(int n, int k);

// The section digit count as typed ("分部位数"): a whole number kMinSection..kMaxSection, else
// refused with the sentence the partial search answers.
store::Checked<int> readSection(const std::string& kText);

// The marking sequence of the union: clear union, scratch fill in free position, and for each
// combination its conditions (free: counts over the whole combination) and add-to-union with k.
// The position flags of the criteria play no part.
search::ConditionSet markPartial(const search::Criteria& criteria, bool pm, int k);

// Label: the eight value-box texts each followed by a space, then "(" kText ")".
std::string partialLabel(const search::Criteria& criteria, const std::string& kText);

// pm: 平码 (positions 1..7) when true, 平特 (1..8) when false. A k that readSection refuses
// is refused and nothing is marked; a failure of the store comes back in the outcome.
search::SearchResult runPartialSearch(store::HistoryDb& db, const search::Criteria& criteria,
                                      bool pm, const std::string& kText,
                                      search::Evaluation how = search::Evaluation::InMemory);

}  // namespace quarvel::partial
