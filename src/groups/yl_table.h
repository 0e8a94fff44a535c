#pragma once
// The result table YL: one row per group (label and omission statistics), and its listing in
// the results grid, by default in ascending order of the last omission.

#include <string>
#include <vector>

#include "search/omission_stats.h"
#include "store/engine.h"
#include "store/history_db.h"
#include "store/text_grid.h"

namespace quarvel::groups {

inline constexpr const char* kYlListingSql = "SELECT * FROM YL ORDER BY intLstYl";

// The one writer of YL: appends rows through one prepared INSERT. A row holds content,
// intMaxYL, intMinYL, intLstYl, the ratio max / last stored as a single-precision value, then
// the hit count, average omission, due ratio (NULL when every draw of the range is a hit) and
// longest run.
class YlAppender {
  public:
    explicit YlAppender(store::Database& db);
    // DbError when the row cannot be stored.
    void append(const std::string& label, const search::OmissionStats& stats);

  private:
    store::Prepared insert_;
};

// The ORDER BY of a click on grid column 1..8 (intMinYL, intMaxYL, intLstYl, sglLlr,
// intHitCount, dblAvgYl, dblDueRatio, intMaxRun): ascending, rows without the figure ("-")
// last. The label column has no numeric key; column 0 (and any other) lists the groups in the
// order they were computed, which is the ascending order of their boxes.
std::string ylOrderBy(int gridColumn);

// A group as computed: its label and figures, what its YL row stores.
struct ComputedGroup {
    std::string label;
    search::OmissionStats stats;
};

// The listing header alone (an empty YL).
store::TextGrid ylHeaderGrid();
// The listing of a YL selection: the header of a result row (号码（分组） … 最大连出) and one
// row per YL row, the ratio in its single-precision form (7/3 -> 2.333333), the average
// omission and due ratio with two decimals.
store::TextGrid ylGrid(store::Database& db, const std::string& select);
// The listing of the rows a computation stored (given in the order stored) without reading
// them back: as listYl(db) lists them, by intLstYl, equal ones in the order stored.
store::TextGrid ylGrid(std::vector<ComputedGroup> rows);
// The listing after a computation (by intLstYl).
store::TextGrid listYl(store::HistoryDb& db);
// The re-sort by a grid column: "SELECT * FROM YL ORDER BY " + ylOrderBy(gridColumn).
store::TextGrid listYl(store::HistoryDb& db, int gridColumn);

}  // namespace quarvel::groups
