#pragma once
// The four figures that follow 大后比 (出现次数, 平均遗漏, 欲出几率, 最大连出), worked out by
// counting, apart from the code that computes them, as the grids write them.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/text_grid.h"
#include "support/test_support.h"

namespace quarvel::testing {

// hitIdx: the hits of the range by IDX, ascending; draws: N; newest: IDX of the newest draw.
inline std::vector<std::string> expectedFigures(const std::vector<int>& hitIdx, int draws,
                                                int newest) {
    const int k = static_cast<int>(hitIdx.size());
    const int lastOmission = newest + 1 - (hitIdx.empty() ? 0 : hitIdx.back());
    auto twoDecimals = [](double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2f", v);
        return std::string(buf);
    };
    int longest = 0;
    for (std::size_t i = 0; i < hitIdx.size();) {
        std::size_t j = i + 1;
        while (j < hitIdx.size() && hitIdx[j] == hitIdx[j - 1] + 1) ++j;
        longest = std::max(longest, static_cast<int>(j - i));
        i = j;
    }
    const std::string due =
        draws == k ? "-"
                   : twoDecimals(static_cast<double>(lastOmission - 1) * (k + 1) / (draws - k));
    return {std::to_string(k), twoDecimals(static_cast<double>(draws + 1) / (k + 1)), due,
            std::to_string(longest)};
}

// IDX of a draw of a history stored in issue order (1 for the first).
inline int idxOfIssue(const std::vector<Draw>& draws, const std::string& issue) {
    for (std::size_t i = 0; i < draws.size(); ++i)
        if (std::to_string(draws[i].issue) == issue) return static_cast<int>(i) + 1;
    return -1;
}

inline int drawsBetween(const std::vector<Draw>& draws, std::int32_t start, std::int32_t end) {
    int n = 0;
    for (const auto& d : draws) n += d.issue >= start && d.issue <= end;
    return n;
}

// The summary row of a search or partial search against its hit grid: the hits' IDX come from
// the grid's issues, N from counting the draws of the range.
inline void expectFiguresOfHitGrid(const store::TextGrid& hits, const store::TextGrid& summary,
                                   const std::vector<Draw>& draws, std::int32_t start,
                                   std::int32_t end) {
    std::vector<int> idx;
    for (int row = 1; row < hits.rows(); ++row) idx.push_back(idxOfIssue(draws, hits.at(row, 0)));
    const auto expected =
        expectedFigures(idx, drawsBetween(draws, start, end), static_cast<int>(draws.size()));
    ASSERT_EQ(summary.rows(), 2);
    ASSERT_EQ(summary.cols(), 9);
    EXPECT_EQ(std::vector<std::string>(summary.cells[1].begin() + 5, summary.cells[1].end()),
              expected)
        << "range " << start << ".." << end << ", " << idx.size() << " hits";
}

}  // namespace quarvel::testing
