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

std::optional<std::int32_t> parseWhole(const std::string& text) {
    return store::readWholeNumber32(text);
}

std::variant<GroupPlan, Refusal> makePlan(const GroupInput& input) {
    if (!isGroupType(input.type))
        return Refusal{"搜索类型无效，请选择号码、生肖、头数、尾数、合数或段数", kInputTitle};
    GroupPlan plan;
    plan.type = input.type;
    plan.countSpecial = input.countSpecial;
    plan.coding = input.coding;
    plan.newestIdx = input.newestIdx;
    const int values = valueCount(input.type);
    for (int i = 1; i <= values; ++i)
        if (input.ticked[static_cast<std::size_t>(i)]) plan.boxes.push_back(i);

    const auto size = parseWhole(input.sizeText);
    if (!size) return Refusal{"组合位数必须是整数", kInputTitle};
    plan.size = *size;
    const int bound = sizeBound(plan.size);
    if (bound > 0 && static_cast<int>(plan.boxes.size()) > bound)
        return Refusal{sizeLimitMessage(plan.size), kOverflowTitle};

    const auto start = parseWhole(input.rangeStart);
    const auto end = parseWhole(input.rangeEnd);
    if (!start || !end) return Refusal{"检索起止期数必须是整数期号", kInputTitle};
    plan.rangeStart = *start;
    plan.rangeEnd = *end;
    return plan;
}

GroupResult runGroupComputation(store::HistoryDb& db, const GroupInput& input, Evaluation how) {
    GroupResult result;
    const auto planned = makePlan(input);
    if (const auto* refusal = std::get_if<Refusal>(&planned)) {
        result.error = refusal->message;
        result.errorTitle = refusal->title;
    } else {
        try {
            std::vector<ComputedGroup> computed;
            result.groups = computeGroups(db, std::get<GroupPlan>(planned), how,
                                          std::numeric_limits<std::size_t>::max(), &computed);
            // What was just stored is listed as computed, not read back (the statement way reads).
            if (how == Evaluation::InMemory) {
                result.listing = ylGrid(std::move(computed));
                return result;
            }
        } catch (const store::DbError& e) {
            result.error = "分组计算失败，结果表未改动：" + store::userText(e);
            result.errorTitle = kInputTitle;
            result.storeFailure = true;
        }
    }
    try {
        result.listing = listYl(db);
    } catch (const store::DbError& e) {
        if (result.error.empty()) {
            result.error = "结果表无法列出：" + store::userText(e);
            result.errorTitle = kInputTitle;
            result.storeFailure = true;
        }
        result.listing = ylHeaderGrid();
    }
    return result;
}

std::variant<search::OmissionCurve, Refusal> groupCurve(store::HistoryDb& db,
                                                        const GroupInput& input,
                                                        const std::string& label) {
    if (!isGroupType(input.type))
        return Refusal{"搜索类型无效，请选择号码、生肖、头数、尾数、合数或段数", kInputTitle};
    const auto start = parseWhole(input.rangeStart);
    const auto end = parseWhole(input.rangeEnd);
    if (!start || !end) return Refusal{"检索起止期数必须是整数期号", kInputTitle};
    GroupPlan plan;
    plan.type = input.type;
    plan.countSpecial = input.countSpecial;
    plan.coding = input.coding;
    plan.rangeStart = *start;
    plan.rangeEnd = *end;
    const auto boxes = boxesOfLabel(plan, label);
    if (!boxes)
        return Refusal{"分组“" + label + "”不是当前搜索类型的分组，请先选择它的搜索类型",
                       kInputTitle};
    plan.boxes = *boxes;
    plan.size = static_cast<int>(plan.boxes.size());
    const int draws = search::countDrawsInRange(db.db(), plan.rangeStart, plan.rangeEnd);
    // As of a cut the last omission is measured to the cut's draw, as in the listing.
    return search::curveOfHits(label, groupHits(db, plan), draws,
                               input.newestIdx > 0 ? input.newestIdx : db.newestIdx());
}

}  // namespace quarvel::groups
