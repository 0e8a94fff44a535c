#include "groups/group_eval.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "groups/group_values.h"
#include "groups/yl_table.h"
#include "search/combinations.h"
#include "search/draw_table.h"
#include "search/marking.h"
#include "search/omission_scan.h"
#include "search/omission_stats.h"

namespace quarvel::groups {

namespace {

// The label of a group: the label parts of its boxes, one space between them.
std::string groupLabel(const std::vector<std::string>& parts, std::span<const int> positions) {
    std::string label;
    for (int p : positions) {
        if (!label.empty()) label += ' ';
        label += parts[static_cast<std::size_t>(p)];
    }
    return label;
}

std::vector<std::string> labelParts(const GroupPlan& plan) {
    std::vector<std::string> parts;
    parts.reserve(plan.boxes.size());
    for (int box : plan.boxes) parts.push_back(labelPart(plan.type, box, plan.coding));
    return parts;
}

// The draws of the range where a box's value stands among the positions in play (the
// member pattern's LIKE "*1X<code>*" on the scratch copy: one occurrence is enough).
search::RowSet memberRows(const search::DrawTable& table, const GroupPlan& plan, int box,
                          const search::RowSet& range) {
    search::RowSet rows =
        table.countAtLeast(search::freeLetter(plan.type), plan.countSpecial ? 8 : 7,
                           boxValue(plan.type, box, plan.coding), 1);
    rows &= range;
    return rows;
}

// The draw table of a plan, its range and each box's member rows.
struct PlanRows {
    search::DrawTable table;
    search::RowSet range;
    std::vector<search::RowSet> members;

    PlanRows(store::HistoryDb& db, const GroupPlan& plan)
        : table(db.db(), std::string(1, search::freeLetter(plan.type))),
          range(table.inRange(plan.rangeStart, plan.rangeEnd)) {
        members.reserve(plan.boxes.size());
        for (int box : plan.boxes) members.push_back(memberRows(table, plan, box, range));
    }
};

// Every group of the plan with its label: each member is the set of the draws of the range
// that show it, a group the AND of its members, its hits the rows of that set in IDX order.
// The groups come in lexicographic order, so the AND of all members but the last is kept and
// only recomputed from the first member that changed: the visitor gets that AND and the last
// member, two sets whatever the group size.
template <class Visit>
void visitGroups(const PlanRows& rows, const GroupPlan& plan, Visit visit) {
    const std::vector<std::string> parts = labelParts(plan);
    std::array<search::RowSet, kMaxGroupSize> prefix;  // prefix[k]: AND of members 0..k
    std::array<int, kMaxGroupSize> prefixOf;           // the member in place k of prefix[k]
    prefixOf.fill(-1);
    std::array<const search::RowSet*, 2> sets{};
    forEachGroup(
        static_cast<int>(plan.boxes.size()), plan.size, [&](std::span<const int> positions) {
            const std::size_t last = positions.size() - 1;
            const auto member = [&](std::size_t k) -> const search::RowSet& {
                return rows.members[static_cast<std::size_t>(positions[k])];
            };
            std::size_t from = 0;
            while (from < last && prefixOf[from] == positions[from]) ++from;
            for (std::size_t k = from; k < last; ++k) {
                prefix[k] = k == 0 ? member(0) : prefix[k - 1];
                if (k > 0) prefix[k] &= member(k);
                prefixOf[k] = positions[k];
            }
            sets[0] = last == 0 ? &member(0) : &prefix[last - 1];
            sets[1] = &member(last);
            return visit(positions, groupLabel(parts, positions),
                         std::span<const search::RowSet* const>(sets.data(), last == 0 ? 1 : 2));
        });
}

int newestOf(store::HistoryDb& db, const GroupPlan& plan) {
    return plan.newestIdx > 0 ? plan.newestIdx : db.newestIdx();
}

// The default way: the groups' hits on the draw table. Nothing but YL is written.
int evaluateInMemory(store::HistoryDb& db, const GroupPlan& plan, std::size_t limit,
                     std::vector<ComputedGroup>* computed) {
    YlAppender yl(db.db());
    const PlanRows rows(db, plan);
    const int drawsInRange = static_cast<int>(rows.range.count());
    const int top = newestOf(db, plan);
    int stored = 0;
    visitGroups(
        rows, plan,
        [&](std::span<const int>, std::string label, std::span<const search::RowSet* const> sets) {
            search::OmissionStats stats;
            search::RowSet::forEachInAll(
                sets, [&](std::size_t row) { stats.addHit(rows.table.idx(row)); });
            stats.finish(top, drawsInRange);
            yl.append(label, stats);
            if (computed) computed->push_back({std::move(label), stats});
            return static_cast<std::size_t>(++stored) < limit;
        });
    return stored;
}

// P6Stat: the hits of the marked group in the range, their gaps, and the group's YL row.
void P6Stat(store::HistoryDb& db, const GroupPlan& plan, int n, int drawsInRange,
            const std::string& label, YlAppender& yl) {
    store::Snapshot hits =
        db.db().snapshot(search::singleSetSelection(plan.rangeStart, plan.rangeEnd, n));
    search::OmissionStats stats;
    for (hits.moveFirst(); !hits.eof(); hits.moveNext())
        stats.addHit(static_cast<int>(hits.intField("idx")));
    stats.finish(newestOf(db, plan), drawsInRange);
    yl.append(label, stats);
}

// P6Count: for every group the counter reset, one LIKE statement per member, then P6Stat.
int P6Count(store::HistoryDb& db, const GroupPlan& plan, int drawsInRange, YlAppender& yl,
            std::size_t limit) {
    store::Database& sql = db.db();
    const std::vector<std::string> parts = labelParts(plan);
    int stored = 0;
    forEachGroup(static_cast<int>(plan.boxes.size()), plan.size,
                 [&](std::span<const int> positions) {
                     sql.execute(search::sql::reset());
                     for (int p : positions)
                         sql.execute(search::sql::freeOnScratch(memberPattern(
                             plan.type, plan.boxes[static_cast<std::size_t>(p)], plan.coding)));
                     P6Stat(db, plan, plan.size, drawsInRange, groupLabel(parts, positions), yl);
                     return static_cast<std::size_t>(++stored) < limit;
                 });
    return stored;
}

}  // namespace

void forEachGroup(int count, int size, const std::function<bool(std::span<const int>)>& visit) {
    if (size > kMaxGroupSize) return;
    search::forEachCombination(count, size, visit);
}

std::optional<std::vector<int>> boxesOfLabel(const GroupPlan& plan, const std::string& label) {
    std::vector<int> boxes;
    std::size_t from = 0;
    while (from <= label.size()) {
        const std::size_t space = std::min(label.find(' ', from), label.size());
        const std::string part = label.substr(from, space - from);
        int found = 0;
        for (int b = 1; b <= valueCount(plan.type) && found == 0; ++b)
            if (labelPart(plan.type, b, plan.coding) == part) found = b;
        if (found == 0) return std::nullopt;
        boxes.push_back(found);
        from = space + 1;
    }
    std::sort(boxes.begin(), boxes.end());
    if (std::adjacent_find(boxes.begin(), boxes.end()) != boxes.end()) return std::nullopt;
    return boxes;
}

void forEachGroupHits(store::HistoryDb& db, const GroupPlan& plan, const GroupHitsVisitor& visit) {
    const PlanRows rows(db, plan);
    std::vector<int> hitIdx;
    visitGroups(rows, plan,
                [&](std::span<const int> positions, const std::string& label,
                    std::span<const search::RowSet* const> sets) {
                    hitIdx.clear();
                    search::RowSet::forEachInAll(
                        sets, [&](std::size_t row) { hitIdx.push_back(rows.table.idx(row)); });
                    return visit(positions, label, hitIdx);
                });
}

std::vector<search::Hit> groupHits(store::HistoryDb& db, const GroupPlan& plan) {
    const search::DrawTable table(db.db(), std::string(1, search::freeLetter(plan.type)));
    search::RowSet hits = table.inRange(plan.rangeStart, plan.rangeEnd);
    for (int box : plan.boxes) hits = memberRows(table, plan, box, hits);
    std::vector<search::Hit> out;
    out.reserve(hits.count());
    hits.forEach([&](std::size_t row) { out.push_back({table.idx(row), table.issue(row)}); });
    return out;
}

int computeGroups(store::HistoryDb& db, const GroupPlan& plan, Evaluation how, std::size_t limit,
                  std::vector<ComputedGroup>* computed) {
    store::Database& sql = db.db();
    store::Transaction tx(sql);
    // YL is emptied by one statement rather than row by row (10,626 rows after a 4-of-24 run).
    sql.executeNative("DELETE FROM YL");
    int stored = 0;
    if (how == Evaluation::InMemory) {
        if (limit > 0) stored = evaluateInMemory(db, plan, limit, computed);
    } else {
        // The statement way marks inside Lishi: the counter reset and the scratch copy first.
        sql.execute(search::sql::reset());
        const std::string column = attributeColumn(plan.type);
        sql.execute(plan.countSpecial ? search::sql::copy(column) : search::sql::trim(column));
        const int draws = search::countDrawsInRange(sql, plan.rangeStart, plan.rangeEnd);
        YlAppender rows(sql);
        if (limit > 0) stored = P6Count(db, plan, draws, rows, limit);
    }
    tx.commit();
    return stored;
}

}  // namespace quarvel::groups
