// The statistics, the calibration and the K-line on small histories worked out by hand.

#include <gtest/gtest.h>

#include <cmath>

#include "chance/calibration.h"
#include "chance/kline.h"
#include "chance/statistics.h"

using namespace quarvel::chance;

TEST(ChanceStatistics, KnownValues) {
    const Interval half = wilsonInterval(5, 10);  // 0.2366 .. 0.7634 as tabled
    EXPECT_NEAR(half.low, 0.236590, 1e-6);
    EXPECT_NEAR(half.high, 0.763410, 1e-6);
    const Interval none = wilsonInterval(0, 4);  // 0 .. z²/(n + z²)
    EXPECT_NEAR(none.low, 0.0, 1e-12);
    EXPECT_NEAR(none.high, 3.8416 / 7.8416, 1e-9);
    // Tabled 95% points of the chi-square distribution, and df 2 whose tail is exp(-x/2).
    for (auto [x, df, tail] : {std::tuple{3.841459, 1, 0.05},
                               {7.814728, 3, 0.05},
                               {11.070498, 5, 0.05},
                               {15.086272, 5, 0.01},
                               {3.0, 2, std::exp(-1.5)},
                               {0.5, 4, 1.25 * std::exp(-0.25)}})
        EXPECT_NEAR(chiSquareUpperTail(x, df), tail, 1e-6) << x << " " << df;
    EXPECT_EQ(chiSquareUpperTail(0.0, 3), 1.0);
    EXPECT_NEAR(twoSidedNormalP(1.959964), 0.05, 1e-6);
    EXPECT_NEAR(twoSidedNormalP(-2.575829), 0.01, 1e-6);
}

TEST(Calibration, BucketEdges) {
    for (auto [d, bucket] : {std::pair{0.0, 0},
                             {0.4999, 0},
                             {0.5, 1},
                             {1.0, 2},
                             {1.5, 3},
                             {2.0, 4},
                             {2.9999, 4},
                             {3.0, 5},
                             {40.0, 5}})
        EXPECT_EQ(bucketOf(d), bucket) << d;
}

namespace {
std::vector<int> iota(int from, int to) {
    std::vector<int> v;
    for (int i = from; i <= to; ++i) v.push_back(i);
    return v;
}
std::array<std::pair<int, int>, kBuckets> counts(const Calibration& c) {
    std::array<std::pair<int, int>, kBuckets> out{};
    for (std::size_t b = 0; b < kBuckets; ++b) out[b] = {c.buckets[b].trials, c.buckets[b].hits};
    return out;
}
using Counts = std::array<std::pair<int, int>, kBuckets>;
}  // namespace

TEST(Calibration, HandWorkedHistories) {
    // Range IDX 3..10, hits 2 (before the range), 5, 6, 10: N 8, k 3, m = 5/4. The omissions
    // o = 1 2 3 1 1 2 3 4 give d = 0 .8 1.6 0 0 .8 1.6 2.4; the hits fall at 5, 6 and 10.
    const Calibration c = calibrate(std::vector<int>{2, 5, 6, 10}, iota(3, 10));
    EXPECT_EQ(c.draws, 8);
    EXPECT_EQ(c.hits, 3);
    EXPECT_EQ(counts(c), (Counts{{{3, 1}, {2, 0}, {0, 0}, {2, 1}, {1, 1}, {0, 0}}}));
    const double p = 0.375;
    auto dev = [&](double h, double t) { return (h - t * p) / std::sqrt(t * p * (1 - p)); };
    const double chi = std::pow(dev(1, 3), 2) + std::pow(dev(0, 2), 2) + std::pow(dev(1, 2), 2) +
                       std::pow(dev(1, 1), 2);
    EXPECT_NEAR(c.chiSquare, chi, 1e-9);
    EXPECT_NEAR(chi, 3.022222, 1e-6);
    EXPECT_EQ(c.degrees, 3);
    // df 3: Q = erfc(sqrt(x/2)) + sqrt(2x/pi) exp(-x/2).
    EXPECT_NEAR(c.pValue,
                std::erfc(std::sqrt(chi / 2)) + std::sqrt(2 * chi / M_PI) * std::exp(-chi / 2),
                1e-9);
    const auto grid = calibrationGrid(c);
    ASSERT_EQ(grid.rows(), 7);
    EXPECT_EQ(grid.cells[1], (std::vector<std::string>{"<0.5", "3", "1", "0.3333", "0.0615",
                                                       "0.7923", "0.3750", "-0.15"}));
    EXPECT_EQ(grid.cells[3],
              (std::vector<std::string>{"1-1.5", "0", "0", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(grid.cells[5][7], "1.29");
    EXPECT_EQ(chiSquareLine(c), "卡方\t3.02\t自由度\t3\tp\t0.3882");

    // m = 2 puts omissions 2, 3, 4, 5 on the edges 0.5, 1, 1.5, 2 (each in the upper bucket).
    EXPECT_EQ(counts(calibrate(std::vector<int>{3, 8}, iota(1, 8))),
              (Counts{{{2, 0}, {2, 0}, {2, 1}, {1, 0}, {1, 1}, {0, 0}}}));

    // No hit, or every draw a hit: no deviation, chi-square 0 and p 1.
    for (const auto& hits : {std::vector<int>{}, iota(1, 6)}) {
        const Calibration flat = calibrate(hits, iota(1, 6));
        EXPECT_EQ(flat.chiSquare, 0.0);
        EXPECT_EQ(flat.pValue, 1.0);
        for (int b = 0; b < kBuckets; ++b) EXPECT_FALSE(flat.deviation(b).has_value());
    }
    // One bucket only (df 0): no test.
    const Calibration one = calibrate(std::vector<int>{1}, iota(1, 1));
    EXPECT_EQ(one.degrees, 0);
    EXPECT_EQ(chiSquareLine(one), "卡方\t0.00\t自由度\t0\tp\t1.0000");
}

TEST(KLine, HandWorkedScores) {
    IssueLine range;
    for (int i = 1; i <= 4; ++i) {
        range.idx.push_back(i + 10);
        range.issue.push_back(2020000 + i);
    }
    // p = 1/4: a miss takes 1/3 away; the funnel is 2 sqrt(n/3). The hit at 9 lies before the
    // range.
    const auto quarter = kLineGrid(kLine(range, std::vector<int>{9, 12}));
    EXPECT_EQ(quarter.cells[0], (std::vector<std::string>{"期号", "命中", "K", "下限", "上限"}));
    EXPECT_EQ(quarter.cells[1],
              (std::vector<std::string>{"2020001", "0", "-0.333", "-1.155", "1.155"}));
    EXPECT_EQ(quarter.cells[2],
              (std::vector<std::string>{"2020002", "1", "0.667", "-1.633", "1.633"}));
    EXPECT_EQ(quarter.cells[4],
              (std::vector<std::string>{"2020004", "0", "0.000", "-2.309", "2.309"}));
    // p = 1/2: steps of ±1, funnel 2 sqrt(n).
    const auto points = kLine(range, std::vector<int>{11, 13});
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_DOUBLE_EQ(points[i].score, i % 2 == 0 ? 1.0 : 0.0);
        EXPECT_DOUBLE_EQ(*points[i].bound, 2 * std::sqrt(i + 1.0));
    }
    // k = 0 and k = N: flat at 0, no funnel.
    for (const auto& hits : {std::vector<int>{}, std::vector<int>{11, 12, 13, 14}}) {
        const auto flat = kLineGrid(kLine(range, hits));
        EXPECT_EQ(flat.cells[3][2], "0.000");
        EXPECT_EQ(flat.cells[3][3], "-");
        EXPECT_EQ(flat.cells[3][4], "-");
    }
}
