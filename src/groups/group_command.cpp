#include "groups/group_command.h"

#include <limits>

#include "groups/group_values.h"
#include "groups/yl_table.h"
#include "search/omission_scan.h"
#include "store/whole_number.h"

namespace quarvel::groups {

int sizeBound(int size) {
    switch (size) {
        case 3:
            return 40;
        case 4:
            return 24;
        case 5:
            return 18;
        case 6:
            return 16;
        default:
            return 0;
    }
}

std::string sizeLimitMessage(int size) {
    return std::to_string(size) + "个分组请选择" + std::to_string(sizeBound(size)) +
           "个（含）以内的个数的号码";
}

namespace {

const char* const kBadType = "搜索类型无效，请选择号码、生肖、头数、尾数、合数或段数";
const char* const kBadRange = "检索起止期数必须是整数期号";

}  // namespace

store::Checked<GroupPlan> makePlan(const GroupInput& input) {
    if (!isGroupType(input.type)) return store::Outcome::refused(kBadType, kInputTitle);
    GroupPlan plan;
    plan.type = input.type;
    plan.countSpecial = input.countSpecial;
    plan.coding = input.coding;
    plan.newestIdx = input.newestIdx;
    const int values = valueCount(input.type);
    for (int i = 1; i <= values; ++i)
        if (input.ticked[static_cast<std::size_t>(i)]) plan.boxes.push_back(i);

    const auto size = store::readWholeNumber32(input.sizeText);
    if (!size) return store::Outcome::refused("组合位数必须是整数", kInputTitle);
    plan.size = *size;
    const int bound = sizeBound(plan.size);
    if (bound > 0 && static_cast<int>(plan.boxes.size()) > bound)
        return store::Outcome::refused(sizeLimitMessage(plan.size), kOverflowTitle);

    const auto start = store::readWholeNumber32(input.rangeStart);
    const auto end = store::readWholeNumber32(input.rangeEnd);
    if (!start || !end) return store::Outcome::refused(kBadRange, kInputTitle);
    plan.rangeStart = *start;
    plan.rangeEnd = *end;
    return plan;
}

namespace {

// A failure of the store in the group computation's words, titled for its message box.
store::Outcome groupFailure(const char* lead, const store::DbError& e) {
    store::Outcome o = store::Outcome::failed(e);
    o.sentence = lead + o.sentence;
    o.title = kInputTitle;
    return o;
}

}  // namespace

GroupResult runGroupComputation(store::HistoryDb& db, const GroupInput& input, Evaluation how) {
    GroupResult result;
    const auto planned = makePlan(input);
    if (!planned) {
        result.outcome = planned.outcome;
    } else {
        try {
            std::vector<ComputedGroup> computed;
            result.groups = computeGroups(db, *planned, how,
                                          std::numeric_limits<std::size_t>::max(), &computed);
            // What was just stored is listed as computed, not read back (the statement way reads).
            if (how == Evaluation::InMemory) {
                result.listing = ylGrid(std::move(computed));
                return result;
            }
        } catch (const store::DbError& e) {
            result.outcome = groupFailure("分组计算失败，结果表未改动：", e);
        }
    }
    try {
        result.listing = listYl(db);
    } catch (const store::DbError& e) {
        if (result.outcome.ok()) result.outcome = groupFailure("结果表无法列出：", e);
        result.listing = ylHeaderGrid();
    }
    return result;
}

store::Checked<GroupPlan> labelPlan(const GroupInput& input, const std::string& label) {
    if (!isGroupType(input.type)) return store::Outcome::refused(kBadType, kInputTitle);
    const auto start = store::readWholeNumber32(input.rangeStart);
    const auto end = store::readWholeNumber32(input.rangeEnd);
    if (!start || !end) return store::Outcome::refused(kBadRange, kInputTitle);
    GroupPlan plan;
    plan.type = input.type;
    plan.countSpecial = input.countSpecial;
    plan.coding = input.coding;
    plan.rangeStart = *start;
    plan.rangeEnd = *end;
    const auto boxes = boxesOfLabel(plan, label);
    if (!boxes)
        return store::Outcome::refused(
            "分组“" + label + "”不是当前搜索类型的分组，请先选择它的搜索类型", kInputTitle);
    plan.boxes = *boxes;
    plan.size = static_cast<int>(plan.boxes.size());
    return plan;
}

store::Checked<search::OmissionCurve> groupCurve(store::HistoryDb& db, const GroupInput& input,
                                                 const std::string& label) {
    const auto plan = labelPlan(input, label);
    if (!plan) return plan.outcome;
    return store::attempt([&] {
        const int draws = search::countDrawsInRange(db.db(), plan->rangeStart, plan->rangeEnd);
        // As of a cut the last omission is measured to the cut's draw, as in the listing.
        return search::curveOfHits(label, groupHits(db, *plan), draws,
                                   input.newestIdx > 0 ? input.newestIdx : db.newestIdx());
    });
}

}  // namespace quarvel::groups
