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

TEST(ChanceStatistics, ExactTestsAndCorrections) {
    // Bin(10, 1/2) at 2: P(X <= 2) + P(X >= 8) = 2·56/1024; at the mode 5: 1.
    EXPECT_NEAR(binomialTwoSidedP(2, 10, 0.5), 112.0 / 1024, 1e-12);
    EXPECT_NEAR(binomialTwoSidedP(5, 10, 0.5), 1.0, 1e-12);
    // Bin(300, 0.001) at 3: every count no likelier than 3 is 3 and more.
    double tail = 1.0, term = std::pow(0.999, 300);
    for (int k = 0; k < 3; ++k) {
        tail -= term;
        term *= (300.0 - k) / (k + 1) * (0.001 / 0.999);
    }
    EXPECT_NEAR(binomialTwoSidedP(3, 300, 0.001), tail, 1e-12);
    // The Poisson binomial with equal chances is the binomial.
    EXPECT_NEAR(poissonBinomialTwoSidedP(2, std::vector<double>(10, 0.5)), 112.0 / 1024, 1e-12);
    // Holm: 0.01 < 0.05/3, 0.02 < 0.05/2, 0.04 < 0.05; stops at the first that fails.
    EXPECT_EQ(holmRejected(std::vector<double>{0.04, 0.01, 0.02}),
              (std::vector<bool>{true, true, true}));
    EXPECT_EQ(holmRejected(std::vector<double>{0.03, 0.01, 0.04}),
              (std::vector<bool>{false, true, false}));
    // Pools reach 5 expected; a small rest joins the last pool.
    const std::vector<CountClass> classes{{1, 2, 0, 0}, {2, 3.5, 0, 0}, {4, 6, 0, 0}, {0, 1, 0, 0}};
    EXPECT_EQ(pooledClasses(classes), (std::vector<CountClass>{{3, 5.5, 0, 0}, {4, 7, 0, 0}}));
    // With trials given, the misses expected must reach 5 too: 9 of 10 expected is too few.
    const std::vector<CountClass> likely{{9, 9, 0.9, 10}, {9, 9, 0.9, 10}};
    EXPECT_EQ(pooledClasses(likely), (std::vector<CountClass>{{18, 18, 1.8, 20}}));
    // Many tries: 0.02 is 显著 alone, not after three settings.
    EXPECT_TRUE(significantAfterTries(0.02, 1));
    EXPECT_FALSE(significantAfterTries(0.02, 3));
    TriesLog log;
    EXPECT_EQ(log.note("a"), 1);
    EXPECT_EQ(log.note("b"), 2);
    EXPECT_EQ(log.note("a"), 2);
    EXPECT_EQ(plainChanceSentence(0.05), "在纯随机的开奖中，这样的差别每 20 次会出现一次");
}

TEST(Calibration, HandWorkedHistories) {
    // q = 1/2 throughout: one miss expected between hits, so d = o − 1. Range IDX 3..10, hits 2
    // (before the range), 5, 6, 10: o = 1 2 3 1 1 2 3 4, d = 0 1 2 0 0 1 2 3.
    const std::vector<double> half(8, 0.5);
    const Calibration c = calibrate(std::vector<int>{2, 5, 6, 10}, iota(3, 10), half);
    EXPECT_EQ(c.hits, 3);
    EXPECT_EQ(counts(c), (Counts{{{3, 1}, {0, 0}, {2, 0}, {0, 0}, {2, 1}, {1, 1}}}));
    // Four hits expected in all: one pool, too small for χ², so the exact p of 3 of 8.
    EXPECT_TRUE(c.exact);
    EXPECT_EQ(c.degrees, 1);
    EXPECT_NEAR(c.chiSquare, 0.5, 1e-12);
    EXPECT_NEAR(c.pValue, 1.0 - 70.0 / 256, 1e-12);

    // Hits at the even IDX of 1..24: odd draws come right after a hit (d 0), even ones after
    // one miss (d 1). Two pools of 6 expected: X² = 36/3 + 36/3, two degrees, p = e^-12.
    const Calibration two = calibrate(std::vector<int>{2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24},
                                      iota(1, 24), std::vector<double>(24, 0.5));
    EXPECT_FALSE(two.exact);
    EXPECT_EQ(two.degrees, 2);
    EXPECT_NEAR(two.chiSquare, 24.0, 1e-12);
    EXPECT_NEAR(two.pValue, std::exp(-12.0), 1e-12);
    const auto grid = calibrationGrid(two);
    EXPECT_EQ(grid.cells[0],
              (std::vector<std::string>{"欲出几率", "试验次数", "命中次数", "命中率", "本段95%下限",
                                        "本段95%上限", "理论次数", "偏差"}));
    EXPECT_EQ(grid.cells[1][6], "6.00");
    EXPECT_EQ(grid.cells[1][7], "-3.46");
    EXPECT_EQ(grid.cells[2],
              (std::vector<std::string>{"0.5-1", "0", "0", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(chiSquareLine(two), "卡方\t24.00\t自由度\t2\tp\t0.0000");
    const std::string verdict = calibrationVerdict(two, 1);
    EXPECT_EQ(verdict.rfind("在纯随机的开奖中，这样的差别每 162755 次会出现一次", 0), 0u)
        << verdict;
    EXPECT_NE(verdict.find("有显著差别"), std::string::npos);

    // The gap is the rule's, not the range's: with q = 0.1 nine misses are expected, so a hit
    // every other draw stays in the first bucket.
    const Calibration rare =
        calibrate(std::vector<int>{2, 4, 6}, iota(1, 6), std::vector<double>(6, 0.1));
    EXPECT_EQ(rare.buckets[0].trials, 6);
    // A chance of 0 or 1 everywhere: nothing to compare.
    const Calibration flat = calibrate(iota(1, 6), iota(1, 6), std::vector<double>(6, 1.0));
    EXPECT_EQ(flat.degrees, 0);
    EXPECT_EQ(flat.pValue, 1.0);
}

namespace {
// The chance, over every path of hits, of `event(path)`.
template <class Event>
double overPaths(const std::vector<double>& q, Event event) {
    double total = 0.0;
    for (unsigned m = 0; m < (1u << q.size()); ++m) {
        double w = 1.0;
        for (std::size_t t = 0; t < q.size(); ++t) w *= (m >> t) & 1u ? q[t] : 1.0 - q[t];
        if (event(m)) total += w;
    }
    return total;
}
}  // namespace

TEST(KLine, BandAndPAgainstEveryPath) {
    const std::vector<double> q{0.3, 0.5, 0.1, 0.7, 0.25, 0.4, 0.6, 0.05, 0.5, 0.35, 0.2, 0.45};
    IssueLine range;
    for (int i = 1; i <= static_cast<int>(q.size()); ++i) {
        range.idx.push_back(i);
        range.issue.push_back(2020000 + i);
    }
    const auto scoresOf = [&](unsigned m) {
        std::vector<double> k;
        double s = 0.0;
        for (std::size_t t = 0; t < q.size(); ++t) k.push_back(s += ((m >> t) & 1u) - q[t]);
        return k;
    };
    const auto hitsOf = [&](unsigned m) {
        std::vector<int> h;
        for (std::size_t t = 0; t < q.size(); ++t)
            if ((m >> t) & 1u) h.push_back(static_cast<int>(t) + 1);
        return h;
    };
    const unsigned path = 0b101100000111;
    const auto points = kLine(range, hitsOf(path), q);
    // The band holds at least 95% of all paths, and a band a little narrower does not.
    const auto inside = [&](double shrink) {
        return overPaths(q, [&](unsigned m) {
            const auto k = scoresOf(m);
            for (std::size_t t = 0; t < k.size(); ++t)
                if (std::fabs(k[t]) > *points[t].bound * shrink + 1e-9) return false;
            return true;
        });
    };
    EXPECT_GE(inside(1.0), 0.95);
    EXPECT_LT(inside(0.999), 0.95);
    // p: the paths reaching as far from 0, measured in band widths, as this one.
    const auto reach = [&](unsigned m) {
        const auto k = scoresOf(m);
        double r = 0.0;
        for (std::size_t t = 0; t < k.size(); ++t)
            r = std::max(r, std::fabs(k[t]) / *points[t].bound);
        return r;
    };
    const double own = reach(path);
    EXPECT_NEAR(summarize(points).pValue,
                overPaths(q, [&](unsigned m) { return reach(m) >= own - 1e-9; }), 1e-9);
    EXPECT_NEAR(points[2].score, 0.7 + 0.5 + 0.9, 1e-12);
    EXPECT_NEAR(*points[3].pointwise, 1.96 * std::sqrt(0.21 + 0.25 + 0.09 + 0.21), 1e-12);
    const auto grid = kLineGrid(points);
    EXPECT_EQ(grid.cells[0],
              (std::vector<std::string>{"期号", "命中", "理论机会", "K", "下限", "上限"}));
    EXPECT_EQ(grid.cells[1][2], "0.3000");
    // Chances of 0 or 1 only: a flat line and no band.
    const auto flat = kLine(range, std::vector<int>{}, std::vector<double>(q.size(), 0.0));
    EXPECT_FALSE(flat[3].bound.has_value());
    EXPECT_FALSE(summarize(flat).varies);
}
