#include "groups/group_eval.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

#include "groups/group_statements.h"
#include "groups/group_values.h"
#include "groups/yl_table.h"
#include "search/marking.h"
#include "search/omission_scan.h"
#include "search/omission_stats.h"

namespace quarvel::groups {

namespace {

using Bits = std::vector<std::uint64_t>;

std::string groupLabel(const GroupPlan& plan, std::span<const int> positions) {
    std::string label;
    for (int p : positions) {
        if (!label.empty()) label += ' ';
        label += labelPart(plan.type, plan.boxes[static_cast<std::size_t>(p)], plan.coding);
    }
    return label;
}

// The draws as the scan sees them: IDX order, issue, scratch copy.
struct Draws {
    std::vector<int> idx;
    std::vector<std::int32_t> issue;
    std::vector<std::string> scratch;
};

// `scratch`: the expression of the scratch copy ([txtHisP6] once filled, or its source).
Draws readDraws(store::Database& db, const std::string& scratch) {
    store::Snapshot s = db.snapshot("SELECT [IDX], [SQQH], " + scratch +
                                    " AS [txtHisP6] FROM [Lishi] ORDER BY [IDX]");
    Draws d;
    d.idx.reserve(s.recordCount());
    d.issue.reserve(s.recordCount());
    d.scratch.reserve(s.recordCount());
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        d.idx.push_back(static_cast<int>(s.intField("IDX")));
        d.issue.push_back(static_cast<std::int32_t>(s.intField("SQQH")));
        d.scratch.push_back(s.textField("txtHisP6"));
    }
    return d;
}

// The draws of the range whose scratch copy contains the pattern's text (its stars removed),
// the meaning of LIKE "*text*".
Bits memberBits(const Draws& d, const GroupPlan& plan, const std::string& pattern) {
    std::string needle;
    for (char c : pattern)
        if (c != '*') needle += c;
    Bits bits((d.idx.size() + 63) / 64, 0);
    for (std::size_t i = 0; i < d.idx.size(); ++i) {
        if (d.issue[i] < plan.rangeStart || d.issue[i] > plan.rangeEnd) continue;
        if (d.scratch[i].find(needle) != std::string::npos)
            bits[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    return bits;
}

// The groups' hits: each member is a bit set of the draws of the range whose scratch copy
// matches it; a group is the AND of its members, its hits the set bits in IDX order.
void visitGroupHits(const Draws& d, const GroupPlan& plan, const GroupHitsVisitor& visit) {
    std::vector<Bits> members;
    members.reserve(plan.boxes.size());
    for (int box : plan.boxes)
        members.push_back(memberBits(d, plan, memberPattern(plan.type, box, plan.coding)));

    Bits hits(members.empty() ? 0 : members.front().size());
    std::vector<int> hitIdx;
    forEachGroup(static_cast<int>(plan.boxes.size()), plan.size,
                 [&](std::span<const int> positions) {
                     hits = members[static_cast<std::size_t>(positions[0])];
                     for (std::size_t k = 1; k < positions.size(); ++k) {
                         const Bits& m = members[static_cast<std::size_t>(positions[k])];
                         for (std::size_t w = 0; w < hits.size(); ++w) hits[w] &= m[w];
                     }
                     hitIdx.clear();
                     for (std::size_t w = 0; w < hits.size(); ++w) {
                         for (std::uint64_t word = hits[w]; word != 0; word &= word - 1)
                             hitIdx.push_back(
                                 d.idx[w * 64 + static_cast<std::size_t>(std::countr_zero(word))]);
                     }
                     return visit(positions, groupLabel(plan, positions), hitIdx);
                 });
}

int newestOf(store::HistoryDb& db, const GroupPlan& plan) {
    return plan.newestIdx > 0 ? plan.newestIdx : db.newestIdx();
}

// The default way: the groups' hits in memory, one YL row per group.
int evaluateInMemory(store::HistoryDb& db, const GroupPlan& plan, int drawsInRange,
                     std::size_t limit) {
    YlAppender yl(db.db());
    const Draws d = readDraws(db.db(), "[txtHisP6]");
    const int top = newestOf(db, plan);
    int stored = 0;
    visitGroupHits(
        d, plan,
        [&](std::span<const int>, const std::string& label, const std::vector<int>& hitIdx) {
            yl.append(label, search::summarize(hitIdx, drawsInRange, top));
            return static_cast<std::size_t>(++stored) < limit;
        });
    return stored;
}

// P6Stat: the hits of the marked group in the range, their gaps, and the group's YL row.
void P6Stat(store::HistoryDb& db, const GroupPlan& plan, int n, int drawsInRange,
            const std::string& label, store::RowCursor& yl) {
    store::Snapshot hits = db.db().snapshot(hitsSql(plan.rangeStart, plan.rangeEnd, n));
    search::OmissionStats stats;
    for (hits.moveFirst(); !hits.eof(); hits.moveNext())
        stats.addHit(static_cast<int>(hits.intField("idx")));
    stats.finish(newestOf(db, plan), drawsInRange);
    appendYlRow(yl, label, stats);
}

// P6Count: for every group the counter reset, one LIKE statement per member, then P6Stat.
int P6Count(store::HistoryDb& db, const GroupPlan& plan, int drawsInRange, store::RowCursor& yl,
            std::size_t limit) {
    store::Database& sql = db.db();
    int stored = 0;
    forEachGroup(static_cast<int>(plan.boxes.size()), plan.size,
                 [&](std::span<const int> positions) {
                     sql.execute(kResetSql);
                     for (int p : positions)
                         sql.execute(memberSql(memberPattern(
                             plan.type, plan.boxes[static_cast<std::size_t>(p)], plan.coding)));
                     P6Stat(db, plan, plan.size, drawsInRange, groupLabel(plan, positions), yl);
                     return static_cast<std::size_t>(++stored) < limit;
                 });
    return stored;
}

}  // namespace

void forEachGroup(int count, int size, const std::function<bool(std::span<const int>)>& visit) {
    if (size < 1 || size > 6 || count < size) return;
    std::array<int, 6> pos{};
    for (int k = 0; k < size; ++k) pos[static_cast<std::size_t>(k)] = k;
    const std::span<const int> group(pos.data(), static_cast<std::size_t>(size));
    while (true) {
        if (!visit(group)) return;
        // Advance the rightmost position that still has room: position k runs up to count - size +
        // k.
        int k = size - 1;
        while (k >= 0 && pos[static_cast<std::size_t>(k)] == count - size + k) --k;
        if (k < 0) return;
        ++pos[static_cast<std::size_t>(k)];
        for (int j = k + 1; j < size; ++j)
            pos[static_cast<std::size_t>(j)] = pos[static_cast<std::size_t>(j - 1)] + 1;
    }
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
    const Draws d =
        readDraws(db.db(), search::scratchSource(attributeColumn(plan.type), plan.countSpecial));
    visitGroupHits(d, plan, visit);
}

std::vector<search::Hit> groupHits(store::HistoryDb& db, const GroupPlan& plan) {
    store::Database& sql = db.db();
    store::Transaction tx(sql);  // never committed
    sql.execute(kResetSql);
    sql.execute(scratchFillSql(attributeColumn(plan.type), plan.countSpecial));
    for (int box : plan.boxes) sql.execute(memberSql(memberPattern(plan.type, box, plan.coding)));
    store::Snapshot s =
        sql.snapshot(hitsSql(plan.rangeStart, plan.rangeEnd, static_cast<int>(plan.boxes.size())));
    std::vector<search::Hit> hits;
    for (s.moveFirst(); !s.eof(); s.moveNext())
        hits.push_back(
            {static_cast<int>(s.intField("IDX")), static_cast<std::int32_t>(s.intField("SQQH"))});
    tx.rollback();
    return hits;
}

int computeGroups(store::HistoryDb& db, const GroupPlan& plan, Evaluation how, std::size_t limit) {
    store::Database& sql = db.db();
    store::Transaction tx(sql);
    store::TableCursor yl = sql.openTable("YL");
    store::delrec(yl);
    sql.execute(kResetSql);
    sql.execute(scratchFillSql(attributeColumn(plan.type), plan.countSpecial));
    const int draws = search::countDrawsInRange(sql, plan.rangeStart, plan.rangeEnd);
    int stored = 0;
    if (limit > 0) {
        stored = how == Evaluation::InMemory ? evaluateInMemory(db, plan, draws, limit)
                                             : P6Count(db, plan, draws, yl, limit);
    }
    tx.commit();
    return stored;
}

}  // namespace quarvel::groups
