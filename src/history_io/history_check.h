#pragma once
// The history check run after every import, merge and update and on demand: serials missing
// inside a year (between its first and its last stored serial), issues stored more than once,
// years with far fewer draws than the years beside them, and years whose draws before the
// Spring Festival the zodiac new-year table does not cover.

#include <cstdint>
#include <string>
#include <vector>

#include "store/history_db.h"

namespace quarvel::io {

enum class FindingKind {
    Missing,    // issue: a serial missing inside its year
    Repeated,   // issue: stored more than once (count: how often)
    ThinYear,   // issue: the year; count: its draws, neighbours: the smaller count beside it
    NoNewYear,  // issue: the year; the new-year table has no entry for it
};

struct Finding {
    FindingKind kind = FindingKind::Missing;
    std::int32_t issue = 0;
    std::size_t count = 0;
    std::size_t neighbours = 0;
    bool operator==(const Finding&) const = default;
};

// The findings on stored issues (any order), holes and repeats in issue order, then thin years,
// then uncovered years.
std::vector<Finding> checkIssues(std::vector<std::int32_t> issues);
// The same on the stored history (read from the table itself). DbError when it cannot be read.
std::vector<Finding> checkStoredHistory(store::HistoryDb& db);

// The line quarvel-cli prints for a finding: "缺期\t2026089", "重复\t2013100",
// "期数偏少\t2019\t70", "无生肖年分界\t2027".
std::string findingLine(const Finding& f);
// One sentence for the user, e.g. "历史检查：缺 2 期（2026089、2026090），重复 1 期（2013100）。";
// "历史检查：没有发现缺期或重复。" when there is nothing.
std::string checkSummary(const std::vector<Finding>& findings);

}  // namespace quarvel::io
