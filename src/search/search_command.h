#pragma once
// The search command (检索): marks the draws that show the pattern of the criteria, scans the
// hits of the issue range and returns the hit grid and the summary grid.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "search/criteria.h"
#include "search/omission_scan.h"
#include "search/omission_stats.h"
#include "store/outcome.h"
#include "store/text_grid.h"

namespace quarvel::store {
class HistoryDb;
}

namespace quarvel::search {

struct SearchResult {
    store::TextGrid hits;     // MSFlexGrid2
    store::TextGrid summary;  // MSFlexGrid3
    OmissionStats stats;
    std::vector<int> hitIdx;  // IDX of every hit, ascending: what the figures were computed from
    std::string label;
    int failedStatements = 0;  // marking statements the engine refused (skipped)
    store::Outcome outcome;    // not Done: the search was refused or the store failed
    bool ok() const { return outcome.ok(); }
};

struct IssueRange {
    std::int32_t start = 0;
    std::int32_t end = 0;
};

// The range boxes as whole numbers; refused with a sentence naming the box otherwise.
store::Checked<IssueRange> readRange(const Criteria& criteria);
// Checks what every analysis needs before it marks: a search type 0..7 and a whole-number range.
store::Checked<IssueRange> validate(const Criteria& criteria);

// How an analysis finds its hits. In memory (the default) the draws are read once and the
// conditions evaluated on them, nothing is written; by statements the marking sequence runs on
// the database and the hits are selected from it, which is kept as the reference for tests and
// benchmarks. Both give the same grids.
enum class Evaluation { InMemory, Statements };

// The result of a scan with its label, the summary grid built from both and the count of
// marking statements the engine refused.
SearchResult resultOf(ScanResult scan, std::string label, int refusedStatements);
// A result with no grids: only why there is none.
SearchResult refusedSearch(store::Outcome why);

// A refusal or a failure of the store comes back in the result's outcome; nothing throws.
SearchResult runSearch(store::HistoryDb& db, const Criteria& criteria,
                       Evaluation how = Evaluation::InMemory);

}  // namespace quarvel::search
