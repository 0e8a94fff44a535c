#pragma once
// The omission curve (遗漏曲线) of a result: the gap before every hit in hit order, the last
// omission after them, and the figures of the result for the title.

#include <cstdint>
#include <string>
#include <vector>

#include "search/omission_stats.h"
#include "store/text_grid.h"

namespace quarvel::search {

struct OmissionCurve {
    std::string label;
    std::vector<std::string> issues;  // the hits' issues, in hit order
    std::vector<int> gaps;            // the gap before each hit
    OmissionStats stats;

    // The pattern label and every figure of the result, as the chart's title.
    std::string title() const;
};

// The curve of a search or partial search from its hit grid (issue in column 0, gap in column
// 9) and its statistics.
OmissionCurve curveOfHitGrid(const std::string& label, const store::TextGrid& hits,
                             const OmissionStats& stats);

struct Hit {
    int idx = 0;
    std::int32_t issue = 0;
};

// The curve of hits given in IDX order, with N draws in the range and the newest stored IDX.
OmissionCurve curveOfHits(const std::string& label, const std::vector<Hit>& hits, int drawsInRange,
                          int newestIdx);

}  // namespace quarvel::search
