// 缩水: the kept count against a plain enumeration of every set for random conditions, each
// condition's record on past draws against the kept sets themselves, and the condition texts.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>

#include "chance/set_filter.h"

namespace {

using namespace quarvel::chance;

SetFilter randomFilter(std::mt19937& rng, bool withRepeat) {
    SetFilter f;
    std::bernoulli_distribution take(0.4), keepValue(0.75);
    for (int kind = 0; kind < kShapeKinds; ++kind) {
        if ((kind == kRepeat && !withRepeat) || !take(rng)) continue;
        std::vector<int> values;
        for (const int v : shapeValues(kind))
            if (keepValue(rng)) values.push_back(v);
        f.shapes.push_back(shapeCondition(kind, values));
    }
    std::uniform_int_distribution<int> number(1, 30);
    if (take(rng)) f.include = NumberMask{1} << number(rng);
    for (int i = 0; i < 3; ++i)
        if (take(rng)) f.exclude |= NumberMask{1} << number(rng);
    f.exclude &= ~f.include;
    return f;
}

bool passes(const SetFilter& f, const ShapeValues& v, NumberMask mask) {
    if ((mask & f.include) != f.include || (mask & f.exclude) != 0) return false;
    for (const ShapeCondition& c : f.shapes) {
        const int value = v[static_cast<std::size_t>(c.kind)];
        if (value < 0 || !c.allowed[static_cast<std::size_t>(value)]) return false;
    }
    return true;
}

std::vector<ShapeDraw> randomHistory(std::mt19937& rng, int draws) {
    std::vector<ShapeDraw> h;
    std::vector<int> all(30);
    for (int i = 0; i < 30; ++i) all[static_cast<std::size_t>(i)] = i + 1;
    for (int i = 0; i < draws; ++i) {
        std::shuffle(all.begin(), all.end(), rng);
        ShapeDraw d{i + 1, 2013001 + i, {}};
        std::copy_n(all.begin(), 7, d.numbers.begin());
        h.push_back(d);
    }
    return h;
}

NumberMask maskOfDraw(const ShapeDraw& d) {
    return maskOf(std::vector<int>(d.numbers.begin(), d.numbers.end()));
}

TEST(SetFilter, KeptCountsMatchEveryEnumeratedSet) {
    std::mt19937 rng(3301);
    const std::vector<ShapeDraw> history = randomHistory(rng, 5);
    const RegularNumbers newest = history.back().numbers;
    std::vector<SetFilter> filters;
    for (int i = 0; i < 6; ++i) filters.push_back(randomFilter(rng, true));
    // Every shape at once, wide enough to keep some sets.
    SetFilter every;
    for (const char* c : {"和值=70-150", "跨度=18-29", "奇偶=3:4,4:3,5:2", "大小=2:5,3:4,4:3",
                          "012路=2:2:3,2:3:2,3:2:2,3:3:1", "区间=2:2:3,2:3:2,3:2:2,3:3:1,1:3:3",
                          "连号=0-2", "重号=0-2", "AC值=6-15"})
        every.shapes.push_back(*parseShapeCondition(c));
    every.include = maskOf({5});
    every.exclude = maskOf({9, 27});
    filters.push_back(every);

    std::vector<std::int64_t> counts(filters.size()), sums(filters.size());
    RegularNumbers n{};
    for (n[0] = 1; n[0] <= 24; ++n[0])
        for (n[1] = n[0] + 1; n[1] <= 25; ++n[1])
            for (n[2] = n[1] + 1; n[2] <= 26; ++n[2])
                for (n[3] = n[2] + 1; n[3] <= 27; ++n[3])
                    for (n[4] = n[3] + 1; n[4] <= 28; ++n[4])
                        for (n[5] = n[4] + 1; n[5] <= 29; ++n[5])
                            for (n[6] = n[5] + 1; n[6] <= 30; ++n[6]) {
                                const ShapeValues v = shapeOf(n, &newest);
                                const NumberMask m = maskOf({n.begin(), n.end()});
                                for (std::size_t i = 0; i < filters.size(); ++i)
                                    if (passes(filters[i], v, m)) {
                                        ++counts[i];
                                        sums[i] += m % 1000003;
                                    }
                            }
    for (std::size_t i = 0; i < filters.size(); ++i) {
        const auto r = runFilter(filters[i], history, 2013001, 2013005, true);
        ASSERT_TRUE(r) << r.outcome.text();
        EXPECT_EQ(r->kept, counts[i]) << i;
        std::int64_t sum = 0;
        for (const NumberMask m : r->sets) sum += m % 1000003;
        EXPECT_EQ(sum, sums[i]) << i;
        EXPECT_EQ(runFilter(filters[i], history, 2013001, 2013005, false)->kept, counts[i]);
    }
    EXPECT_GT(counts.back(), 0);
}

TEST(SetFilter, MissRateCountsTheDrawsOutsideTheKeptSets) {
    // A draw passes a condition exactly when its set is among the sets the condition keeps.
    std::mt19937 rng(3302);
    const std::vector<ShapeDraw> history = randomHistory(rng, 400);
    for (int trial = 0; trial < 2; ++trial) {
        SetFilter f = randomFilter(rng, false);
        if (f.conditionTexts().empty()) f.shapes.push_back(*parseShapeCondition("奇偶=3:4"));
        const auto all = runFilter(f, history, 2013050, 2013349, true);
        ASSERT_TRUE(all);
        std::vector<SetFilter> single;
        for (const ShapeCondition& c : f.shapes) single.push_back({{c}, 0, 0});
        if (f.include) single.push_back({{}, f.include, 0});
        if (f.exclude) single.push_back({{}, 0, f.exclude});
        single.push_back(f);
        ASSERT_EQ(all->records.size(), single.size());
        for (std::size_t i = 0; i < single.size(); ++i) {
            auto kept = runFilter(single[i], history, 2013050, 2013349, true);
            std::sort(kept->sets.begin(), kept->sets.end());
            int passed = 0;
            for (std::size_t d = 49; d < 349; ++d)
                passed += std::binary_search(kept->sets.begin(), kept->sets.end(),
                                             maskOfDraw(history[d]));
            EXPECT_EQ(all->records[i].passed, passed) << all->records[i].text;
            EXPECT_EQ(all->records[i].draws, 300);
        }
    }
}

TEST(SetFilter, RepeatCountsAgainstThePreviousDrawAndTheNewest) {
    std::mt19937 rng(3303);
    const std::vector<ShapeDraw> history = randomHistory(rng, 60);
    SetFilter f;
    f.shapes.push_back(*parseShapeCondition("重号=1-2"));
    // The first stored draw has no previous draw: it is not judged.
    const auto r = runFilter(f, history, 2013001, 2013060, true);
    int passed = 0;
    for (std::size_t d = 1; d < history.size(); ++d) {
        const int same = std::popcount(maskOfDraw(history[d]) & maskOfDraw(history[d - 1]));
        passed += same >= 1 && same <= 2;
    }
    EXPECT_EQ(r->records[0].draws, 59);
    EXPECT_EQ(r->records[0].passed, passed);
    const NumberMask newest = maskOfDraw(history.back());
    for (const NumberMask m : r->sets) {
        const int same = std::popcount(m & newest);
        ASSERT_TRUE(same == 1 || same == 2);
    }
    // C(7,1)·C(23,6) + C(7,2)·C(23,5).
    EXPECT_EQ(r->kept, 7 * 100947 + 21 * 33649);
    EXPECT_FALSE(runFilter(f, history, 2014001, 2014002, false));
}

TEST(SetFilter, ConditionTextsAsTheShapeTablePrintsThem) {
    const std::pair<const char*, std::vector<int>> good[] = {
        {"奇偶=4:3,3:4", {4, 3}},
        {"区间=2:3:2", {2 * 64 + 3 * 8 + 2}},
        {"和值=28-30，189", {28, 29, 30, 189}},
        {"重号=0,7", {0, 7}},
        {"AC值=14-99", {14, 15}},
    };
    for (const auto& [text, values] : good) {
        const auto c = parseShapeCondition(text);
        ASSERT_TRUE(c) << text << c.outcome.text();
        EXPECT_EQ(c->allowed.count(), values.size()) << text;
        for (const int v : values) EXPECT_TRUE(c->allowed[static_cast<std::size_t>(v)]) << text;
    }
    for (const char* bad : {"奇偶=4-5", "形状=1", "和值", "区间=7:1:0", "跨度=a-b", "连号=7"}) {
        const auto c = parseShapeCondition(bad);
        EXPECT_FALSE(c) << bad;
        EXPECT_EQ(c.outcome.kind, quarvel::store::OutcomeKind::Refused) << bad;
    }
    EXPECT_TRUE(parseNumberList("1, 5,30", "胆码"));
    EXPECT_FALSE(parseNumberList("0,5", "胆码"));
    SetFilter both;
    both.include = maskOf({3});
    both.exclude = maskOf({3, 4});
    EXPECT_EQ(both.refusal().value_or(""), "号码 03 不能既是胆码又是杀码。");
}

}  // namespace
