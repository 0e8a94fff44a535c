#pragma once
// One search or partial search as both programs run it: the figures as they stood at the as-of
// issue when one is given (the range cut there, the last omission measured to it), and then
// when the pattern showed after the cut, in the one sentence the window and quarvel-cli show.

#include <cstdint>
#include <optional>
#include <string>

#include "chance/as_of.h"
#include "search/search_command.h"

namespace quarvel::chance {

struct PatternInput {
    search::Criteria criteria;
    bool partial = false;   // the partial search (分部检索) instead of the search (检索)
    bool flatOnly = false;  // partial: 平码 (positions 1..7)
    std::string kText;      // partial: the section digit count as typed
    std::optional<std::int32_t> asOf;  // the figures as they stood at this issue
};

struct PatternAnswer {
    search::SearchResult result;  // not ok(): the refusal or failure (of the cut as well)
    std::optional<AsOfCut> cut;   // where the history was cut, when asOf was given
    std::string nextShowing;      // after a cut: when the pattern showed next, or why unknown
};

// The analysis on `in.criteria` exactly as given (no cut): what the cut answer builds on.
search::SearchResult runUncut(store::HistoryDb& db, const PatternInput& in,
                              const search::Criteria& criteria);
// The analysis of `in`, cut at in.asOf when given.
PatternAnswer runPattern(store::HistoryDb& db, PatternInput in);

}  // namespace quarvel::chance
