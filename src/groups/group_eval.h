#pragma once
// Evaluating every group of a plan and storing one YL row per group. Two ways give the same
// rows: in memory (the default: on the draw table, each member a bit set of the draws that show
// it, no working column written) and statement by statement (the counter reset, one UPDATE per
// member and the hit selection for every group), which is kept as the reference for tests and
// benchmarks.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "groups/group_values.h"
#include "groups/yl_table.h"
#include "search/omission_curve.h"
#include "search/search_command.h"
#include "store/history_db.h"

namespace quarvel::groups {

// A checked group computation: everything the run needs, already validated.
struct GroupPlan {
    int type = 0;
    bool countSpecial = true;
    int size = 2;
    std::vector<int> boxes;  // ticked box indexes, ascending
    std::int32_t rangeStart = 0;
    std::int32_t rangeEnd = 0;
    BoxCoding coding;   // the zodiac codes and segment base in force
    int newestIdx = 0;  // the draw the last omission counts to; 0: the newest stored draw
};

// The analyses' one choice of evaluation (search::Evaluation).
using Evaluation = search::Evaluation;

// The largest group size.
inline constexpr int kMaxGroupSize = 6;

// Calls `visit` with the entry positions (0-based) of every combination of `size` out of
// `count`, in lexicographic order, until it returns false. Only sizes 1 to 6 give groups.
void forEachGroup(int count, int size, const std::function<bool(std::span<const int>)>& visit);

// Every group of the plan in enumeration order with its label and the IDX of its hits in the
// range, ascending, until `visit` returns false. Reads the draws once and writes nothing.
using GroupHitsVisitor = std::function<bool(
    std::span<const int> positions, const std::string& label, const std::vector<int>& hitIdx)>;
void forEachGroupHits(store::HistoryDb& db, const GroupPlan& plan, const GroupHitsVisitor& visit);

// Empties YL, evaluates the groups (at most `limit`) and appends
// their rows, all in one transaction: on a database failure nothing is changed and the
// DbError propagates. Returns the number of groups stored; `computed`, when given, receives
// the rows in the order they were stored (in memory only; the statement way leaves it as it is).
int computeGroups(store::HistoryDb& db, const GroupPlan& plan,
                  Evaluation how = Evaluation::InMemory,
                  std::size_t limit = std::numeric_limits<std::size_t>::max(),
                  std::vector<ComputedGroup>* computed = nullptr);

// The boxes of the group a YL label names (its parts as the plan's type and coding write
// them), ascending; nullopt when a part names no box of the type.
std::optional<std::vector<int>> boxesOfLabel(const GroupPlan& plan, const std::string& label);

// The hits of one group (plan.boxes) in the range, in IDX order, read from the draw table.
std::vector<search::Hit> groupHits(store::HistoryDb& db, const GroupPlan& plan);

}  // namespace quarvel::groups
