// The verdicts read the way they are meant on many histories of pure chance: every draw eight
// distinct numbers of 30 in random order, issues running through several zodiac years. Each
// row runs one setting on every history and counts how often it says "显著"; under pure chance
// that is 5% up to the binomial margin of the histories run, the backtest's z has mean 0 and sd
// 1 and the K-line stays inside its path-wise band in 95% of histories. Tests that can only
// say "显著" in whole steps (few expected hits) are allowed to be rarer. A planted signal, a
// number that shows more often once it is overdue, must be found. The table is printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>

#include "chance/backtest.h"
#include "chance/calibration.h"
#include "chance/draw_chance.h"
#include "chance/kline.h"
#include "chance/shape_table.h"
#include "search/combinations.h"
#include "search/criteria.h"

namespace {

using namespace quarvel;

constexpr int kDrawsPerYear = 150;

struct History {
    std::vector<std::array<int, 8>> draws;  // seven regular numbers, then the special one
    chance::IssueLine line;
};

// `planted`: number 7 is put into the regular numbers with this chance once it has missed
// four draws.
History simulate(std::mt19937_64& rng, int n, double planted = 0.0) {
    History h;
    std::array<int, 30> pool{};
    for (int i = 0; i < 30; ++i) pool[static_cast<std::size_t>(i)] = i + 1;
    int sinceSeven = 0;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (int i = 0; i < n; ++i) {
        for (int k = 0; k < 8; ++k) {
            std::uniform_int_distribution<int> pick(k, 29);
            std::swap(pool[static_cast<std::size_t>(k)], pool[static_cast<std::size_t>(pick(rng))]);
        }
        std::array<int, 8> d{};
        std::copy(pool.begin(), pool.begin() + 8, d.begin());
        if (planted > 0.0 && sinceSeven >= 4 && unit(rng) < planted &&
            std::find(d.begin(), d.end(), 7) == d.end())
            d[0] = 7;
        sinceSeven = std::find(d.begin(), d.begin() + 7, 7) != d.begin() + 7 ? 0 : sinceSeven + 1;
        h.draws.push_back(d);
        h.line.idx.push_back(i + 1);
        h.line.issue.push_back((2013 + i / kDrawsPerYear) * 1000 + i % kDrawsPerYear + 1);
    }
    return h;
}

// The draws (IDX) in which every value shows among the counted numbers.
std::vector<int> hitsOf(const History& h, const chance::ChanceRules& rules,
                        const std::vector<int>& values) {
    std::map<int, chance::NumberValues> byYear;
    const char letter = search::freeLetter(rules.type);
    std::vector<int> hits;
    const int counted = rules.countSpecial ? 8 : 7;
    for (std::size_t i = 0; i < h.draws.size(); ++i) {
        const int year = store::zodiacYear(h.line.issue[i]);
        auto it = byYear.find(year);
        if (it == byYear.end())
            it = byYear
                     .emplace(year, chance::letterValues(letter, h.line.issue[i], rules.codes,
                                                         rules.dsBase))
                     .first;
        bool all = true;
        for (int v : values) {
            bool shows = false;
            for (int p = 0; p < counted; ++p)
                shows =
                    shows ||
                    it->second[static_cast<std::size_t>(h.draws[i][static_cast<std::size_t>(p)])] ==
                        v;
            all = all && shows;
        }
        if (all) hits.push_back(h.line.idx[i]);
    }
    return hits;
}

chance::ChanceRules rulesOf(int type, bool special = true) {
    return {type, false, special, store::ZodiacCodes::startup(1), 1};
}

// Rates of "显著" and their margins: 2.58 binomial sd of the 5% rate over the histories.
struct Tally {
    int runs = 0;
    int flagged = 0;
    double rate() const { return runs == 0 ? 0.0 : static_cast<double>(flagged) / runs; }
    double margin(double p = 0.05) const { return 2.58 * std::sqrt(p * (1 - p) / runs); }
};

void printRow(const std::string& name, const std::string& figures) {
    std::printf("| %-44s | %s |\n", name.c_str(), figures.c_str());
}

std::string percent(double x) {
    char b[32];
    std::snprintf(b, sizeof b, "%.1f%%", 100.0 * x);
    return b;
}

struct PatternCase {
    std::string name;
    int type;
    std::vector<int> values;
    bool special;
};

std::vector<PatternCase> patternCases() {
    return {{"号码 07", 0, {7}, true},        {"尾数 3", 3, {3}, true},
            {"头数 3 (仅 30)", 2, {3}, true}, {"头数 0 (不计特码)", 2, {0}, false},
            {"合数 05", 4, {5}, true},        {"生肖 01 (跨生肖年)", 1, {1}, true},
            {"号码 03 17", 0, {3, 17}, true}, {"号码 03 17 25", 0, {3, 17, 25}, true}};
}

TEST(NullSimulation, CalibrationAndKLineKeepTheirRates) {
    constexpr int kHistories = 300;
    std::mt19937_64 rng(20261209);
    std::printf("| 遗漏校验 / K线 (纯随机, %d 段历史) | 校验显著率 · K线出范围率 · K线显著率 |\n",
                kHistories);
    for (const int length : {150, 1500}) {
        for (const PatternCase& pc : patternCases()) {
            const chance::ChanceRules rules = rulesOf(pc.type, pc.special);
            Tally calibration, left, kline;
            double expectedHits = 0.0;
            for (int r = 0; r < kHistories; ++r) {
                const History h = simulate(rng, length + 100);
                const std::vector<int> hits = hitsOf(h, rules, pc.values);
                const chance::IssueLine range =
                    h.line.within(h.line.issue[100], h.line.issue.back());
                chance::PatternChance q(chance::groupPattern(rules, pc.values));
                const std::vector<double> chances = q.along(range.issue);
                const chance::Calibration c = chance::calibrate(hits, range.idx, chances);
                expectedHits = c.expected;
                ++calibration.runs;
                calibration.flagged += c.pValue < 0.05;
                const chance::KLineSummary k =
                    chance::summarize(chance::kLine(range, hits, chances));
                ++left.runs;
                left.flagged += k.leftBand;
                ++kline.runs;
                kline.flagged += k.pValue < 0.05;
            }
            printRow(pc.name + (length == 150 ? "，短 150 期" : "，长 1500 期"),
                     percent(calibration.rate()) + " · " + percent(left.rate()) + " · " +
                         percent(kline.rate()));
            SCOPED_TRACE(pc.name + " over " + std::to_string(length));
            EXPECT_LE(calibration.rate(), 0.05 + calibration.margin());
            EXPECT_LE(left.rate(), 0.05 + left.margin());
            EXPECT_LE(kline.rate(), 0.05 + kline.margin());
            // Where enough hits are expected the tests are not coarse: 5% from below as well.
            if (expectedHits >= 30 && expectedHits <= length - 30) {
                EXPECT_GE(calibration.rate(), 0.05 - calibration.margin());
                EXPECT_GE(left.rate(), 0.05 - left.margin());
            }
        }
    }
}

struct BacktestCase {
    std::string name;
    int type;
    std::vector<int> values;
    int size;
    int pick;
};

chance::GroupHitTable groupsOf(const History& h, const BacktestCase& bc) {
    chance::GroupHitTable t;
    t.rules = rulesOf(bc.type);
    search::forEachCombination(static_cast<int>(bc.values.size()), bc.size,
                               [&](std::span<const int> members) {
                                   std::vector<int> values;
                                   std::string label;
                                   for (int m : members) {
                                       values.push_back(bc.values[static_cast<std::size_t>(m)]);
                                       label += std::to_string(values.back()) + " ";
                                   }
                                   t.labels.push_back(label);
                                   t.hits.push_back(hitsOf(h, t.rules, values));
                                   t.values.push_back(std::move(values));
                                   return true;
                               });
    return t;
}

std::vector<int> upTo(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}

TEST(NullSimulation, BacktestZIsStandardNormal) {
    constexpr int kHistories = 250;
    constexpr int kTested = 200;
    // One setting per ranking column, each run in both orders.
    const std::vector<BacktestCase> cases = {{"号码 单个, 选 1", 0, upTo(1, 30), 1, 1},
                                             {"头数 单个, 选 1", 2, upTo(0, 3), 1, 1},
                                             {"合数 单个, 选 3", 4, upTo(1, 11), 1, 3},
                                             {"生肖 单个, 选 3", 1, upTo(1, 12), 1, 3},
                                             {"号码 1-12 两两, 选 20", 0, upTo(1, 12), 2, 20},
                                             {"号码 1-10 三个, 选 20", 0, upTo(1, 10), 3, 20},
                                             {"尾数 两两, 选 5", 3, upTo(0, 9), 2, 5},
                                             {"生肖 两两, 选 20", 1, upTo(1, 12), 2, 20}};
    const auto header = std::array<const char*, 8>{"最小遗漏", "最大遗漏", "当前遗漏", "遗漏比",
                                                   "出现次数", "平均遗漏", "欲出几率", "最大连出"};
    std::mt19937_64 rng(1209);
    std::printf("| 回测 (纯随机, %d 段历史, 回测 %d 期) | 显著率 · z 均值 · z 标准差 |\n",
                kHistories, kTested);
    for (int column = 1; column <= chance::kRankingColumns; ++column) {
        for (const bool ascending : {false, true}) {
            const BacktestCase& bc = cases[static_cast<std::size_t>(column - 1)];
            Tally flagged;
            double sum = 0.0, squares = 0.0;
            for (int r = 0; r < kHistories; ++r) {
                const History h = simulate(rng, 500);
                chance::BacktestInput in;
                in.plan.rangeStart = h.line.issue.front();
                in.testStart = h.line.issue[h.line.size() - kTested];
                in.testEnd = h.line.issue.back();
                in.column = column;
                in.ascending = ascending;
                in.pick = bc.pick;
                const chance::BacktestResult result = chance::backtest(groupsOf(h, bc), h.line, in);
                const double z = result.z().value_or(0.0);
                sum += z;
                squares += z * z;
                ++flagged.runs;
                flagged.flagged += result.pValue().value_or(1.0) < 0.05;
            }
            const double mean = sum / kHistories;
            const double sd = std::sqrt(squares / kHistories - mean * mean);
            char figures[96];
            std::snprintf(figures, sizeof figures, "%s · %+.3f · %.3f",
                          percent(flagged.rate()).c_str(), mean, sd);
            printRow(std::string(header[static_cast<std::size_t>(column - 1)]) +
                         (ascending ? " 升序，" : " 降序，") + bc.name,
                     figures);
            SCOPED_TRACE(bc.name + " column " + std::to_string(column));
            EXPECT_NEAR(flagged.rate(), 0.05, flagged.margin());
            EXPECT_NEAR(mean, 0.0, 2.58 / std::sqrt(kHistories));
            EXPECT_NEAR(sd, 1.0, 2.58 / std::sqrt(2.0 * kHistories) + 0.02);
        }
    }
}

std::vector<chance::ShapeDraw> shapeDraws(const History& h) {
    std::vector<chance::ShapeDraw> out;
    for (std::size_t i = 0; i < h.draws.size(); ++i) {
        chance::ShapeDraw d;
        d.idx = h.line.idx[i];
        d.issue = h.line.issue[i];
        std::copy(h.draws[i].begin(), h.draws[i].begin() + 7, d.numbers.begin());
        out.push_back(d);
    }
    return out;
}

TEST(NullSimulation, ShapeVerdictsKeepTheirRates) {
    constexpr int kHistories = 1500;
    std::mt19937_64 rng(7);
    std::array<Tally, chance::kShapeKinds> perShape{};
    Tally anyRow;
    for (int r = 0; r < kHistories; ++r) {
        const History h = simulate(rng, 300);
        const chance::ShapeTable t(shapeDraws(h), h.line.issue.front(), h.line.issue.back());
        for (const auto& v : t.verdicts()) {
            ++perShape[static_cast<std::size_t>(v.kind)].runs;
            perShape[static_cast<std::size_t>(v.kind)].flagged += v.pValue < 0.05;
        }
        bool any = false;
        for (std::size_t row = 1; row < t.summary().cells.size(); ++row)
            any = any || t.summary().cells[row].back() == "是";
        ++anyRow.runs;
        anyRow.flagged += any;
    }
    std::printf("| 形态 (纯随机, %d 段历史 × 300 期) | 卡方显著率 |\n", kHistories);
    for (int k = 0; k < chance::kShapeKinds; ++k) {
        const Tally& t = perShape[static_cast<std::size_t>(k)];
        printRow(chance::kShapeNames[static_cast<std::size_t>(k)], percent(t.rate()));
        EXPECT_NEAR(t.rate(), 0.05, t.margin()) << chance::kShapeNames[static_cast<std::size_t>(k)];
    }
    printRow("任一行经 Holm 校正后标为显著", percent(anyRow.rate()));
    EXPECT_LE(anyRow.rate(), 0.05 + anyRow.margin());
}

TEST(NullSimulation, APlantedSignalIsFound) {
    constexpr int kHistories = 60;
    std::mt19937_64 rng(99);
    Tally calibration, kline, backtest;
    const chance::ChanceRules rules = rulesOf(0);
    const BacktestCase bc{"号码 单个, 选 1", 0, upTo(1, 30), 1, 1};
    for (int r = 0; r < kHistories; ++r) {
        const History h = simulate(rng, 1100, 0.3);
        const std::vector<int> hits = hitsOf(h, rules, {7});
        const chance::IssueLine range = h.line.within(h.line.issue[100], h.line.issue.back());
        chance::PatternChance q(chance::groupPattern(rules, std::vector<int>{7}));
        const auto chances = q.along(range.issue);
        ++calibration.runs;
        calibration.flagged += chance::calibrate(hits, range.idx, chances).pValue < 0.05;
        ++kline.runs;
        kline.flagged += chance::summarize(chance::kLine(range, hits, chances)).pValue < 0.05;
        chance::BacktestInput in;
        in.plan.rangeStart = h.line.issue.front();
        in.testStart = h.line.issue[h.line.size() - 500];
        in.testEnd = h.line.issue.back();
        in.column = 5;  // 出现次数: the number shown most often first
        in.pick = 1;
        ++backtest.runs;
        backtest.flagged +=
            chance::backtest(groupsOf(h, bc), h.line, in).pValue().value_or(1) < 0.05;
    }
    std::printf("| 植入信号 (07 遗漏 4 期后以 30%% 机会补入, %d 段历史) | 检出率 |\n", kHistories);
    printRow("遗漏校验", percent(calibration.rate()));
    printRow("K线", percent(kline.rate()));
    printRow("回测 出现次数 降序 选 1", percent(backtest.rate()));
    EXPECT_GE(calibration.rate(), 0.8);
    EXPECT_GE(kline.rate(), 0.5);
    EXPECT_GE(backtest.rate(), 0.3);
}

}  // namespace
