#pragma once
// The group computation command: from the ticked value boxes, every group of the chosen size
// is evaluated over the issue range, stored as a row of YL, and YL is listed.

#include <array>
#include <cstdint>
#include <string>

#include "groups/group_eval.h"
#include "store/history_db.h"
#include "store/outcome.h"
#include "store/text_grid.h"

namespace quarvel::groups {

struct GroupInput {
    int type = 0;                      // search type 0..5
    bool countSpecial = true;          // "自由位计特码"
    std::string sizeText = "2";        // the text of the group-size drop-down
    std::array<bool, 31> ticked{};     // value boxes 1..30 (index 0 unused)
    std::string rangeStart, rangeEnd;  // the two issue boxes of the range
    BoxCoding coding;                  // the zodiac codes and segment base in force
    int newestIdx = 0;  // the figures as of this draw (the as-of cut); 0: the newest stored draw
};

struct GroupResult {
    store::TextGrid listing;  // YL as listed after the run (or as it was, when refused)
    // Refused input or a failure of the store (kind Failed); the title names the message box.
    store::Outcome outcome;
    int groups = 0;  // rows stored by this run
};

inline constexpr const char* kOverflowTitle = "数据溢出";
inline constexpr const char* kInputTitle = "分组计算";

// The largest number of selected values allowed for a group size; 0 when the size has no bound.
int sizeBound(int size);
// "4个分组请选择24个（含）以内的个数的号码" and its siblings for sizes 3 to 6.
std::string sizeLimitMessage(int size);

// Checks the input and builds the plan: boxes 1..value count that are ticked, the size, the
// range. A refusal changes nothing.
store::Checked<GroupPlan> makePlan(const GroupInput& input);

// The whole command: plan, computation, listing. A refusal (size limit, a size or range box
// that is not a whole number, an unknown search type) or a database failure leaves YL as it
// was, reports the error and lists YL unchanged.
GroupResult runGroupComputation(store::HistoryDb& db, const GroupInput& input,
                                Evaluation how = Evaluation::InMemory);

// The plan of one listed group: its label read under the input's type and numbering, over the
// input's range. A label that names no group of the type, an unknown type, or a range that is
// not whole numbers, is refused.
store::Checked<GroupPlan> labelPlan(const GroupInput& input, const std::string& label);

// The omission curve (遗漏曲线) of one listed group (labelPlan): its hits over the input's range.
// A refusal or a failure of the store comes back as the outcome.
store::Checked<search::OmissionCurve> groupCurve(store::HistoryDb& db, const GroupInput& input,
                                                 const std::string& label);

}  // namespace quarvel::groups
