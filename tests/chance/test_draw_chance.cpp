// The exact chances of patterns against brute force: every set of the counted numbers (free
// position) or every ordered choice of the positions in play (fixed position) is enumerated
// and the pattern's conditions checked on the numbers' values, for every search type, both
// bases and zodiac years that differ.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>

#include "chance/draw_chance.h"
#include "search/criteria.h"

namespace {

using namespace quarvel;
using chance::NumberValues;

struct Config {
    int type;
    int sx;
    int ds;
    std::int32_t issue;
};

NumberValues valuesFor(char letter, const Config& c) {
    return chance::letterValues(letter, c.issue, store::ZodiacCodes::startup(c.sx), c.ds);
}

// Free position: for each pattern (one or more sets, each a map value -> occurrences asked,
// values 0 … 31), the share of all `drawn`-sets of 1 … 30 for which one of its sets holds.
using Asked = std::vector<std::map<int, int>>;
std::vector<double> bruteFree(const NumberValues& values, int drawn,
                              const std::vector<Asked>& patterns) {
    std::vector<long long> shown(patterns.size(), 0);
    long long all = 0;
    const std::uint32_t last = ((1u << drawn) - 1) << (30 - drawn);
    std::array<int, 32> count{};
    for (std::uint32_t m = (1u << drawn) - 1;;) {
        ++all;
        count.fill(0);
        for (std::uint32_t bits = m; bits; bits &= bits - 1)
            ++count[static_cast<std::size_t>(
                values[static_cast<std::size_t>(std::countr_zero(bits) + 1)])];
        for (std::size_t i = 0; i < patterns.size(); ++i)
            shown[i] += std::any_of(patterns[i].begin(), patterns[i].end(), [&](const auto& set) {
                return std::all_of(set.begin(), set.end(), [&](const auto& vn) {
                    return count[static_cast<std::size_t>(vn.first)] >= vn.second;
                });
            });
        if (m == last) break;
        const std::uint32_t t = m | (m - 1);  // the next set of as many bits
        m = (t + 1) | (((~t & -~t) - 1) >> (std::countr_zero(m) + 1));
    }
    std::vector<double> share;
    for (long long s : shown) share.push_back(static_cast<double>(s) / static_cast<double>(all));
    return share;
}

// What a criteria asks in free position, set by set, as the marking reads it: each position's
// value once more (number types: present at all).
std::map<int, int> asked(const search::Criteria& c, const std::vector<int>& positions) {
    std::map<int, int> need;
    for (int p : positions) {
        int& n = need[c.values[static_cast<std::size_t>(p - 1)]];
        n = (c.type == 0 || c.type >= 6) ? 1 : n + 1;
    }
    return need;
}

std::vector<std::vector<int>> kOf(int n, int k) {
    std::vector<std::vector<int>> out;
    for (std::uint32_t m = 0; m < (1u << n); ++m) {
        if (std::popcount(m) != k) continue;
        std::vector<int> c;
        for (int p = 0; p < n; ++p)
            if (m & (1u << p)) c.push_back(p + 1);
        out.push_back(c);
    }
    return out;
}

search::Criteria criteriaOf(const Config& c, bool fixed, bool special,
                            const std::vector<std::pair<int, int>>& positionValues) {
    search::Criteria cr;
    cr.type = c.type;
    cr.fixed = fixed;
    cr.countSpecial = special;
    cr.sxBase = c.sx;
    cr.dsBase = c.ds;
    cr.values.fill(99);  // a value no number has: such a position never matches
    for (const auto& [p, v] : positionValues) {
        cr.selected[static_cast<std::size_t>(p - 1)] = true;
        cr.values[static_cast<std::size_t>(p - 1)] = v;
    }
    return cr;
}

// Two values of the type that numbers have in the configuration, the first the commonest.
std::pair<int, int> twoValues(const NumberValues& values) {
    std::map<int, int> sizes;
    for (int n = 1; n <= 30; ++n) ++sizes[values[static_cast<std::size_t>(n)]];
    int a = sizes.begin()->first, b = std::next(sizes.begin())->first;
    for (const auto& [v, s] : sizes)
        if (s > sizes[a]) a = v;
    if (b == a) b = sizes.begin()->first;
    return {a, b};
}

std::vector<Config> configs() {
    return {{0, 1, 1, 2013001}, {1, 0, 1, 2013001}, {1, 1, 1, 2013001},
            {1, 1, 1, 2020050}, {2, 1, 1, 2013001}, {3, 1, 1, 2013001},
            {4, 1, 1, 2013001}, {5, 1, 0, 2013001}, {5, 1, 1, 2013001}};
}

TEST(DrawChance, FreePatternsMatchEveryCountedSet) {
    for (const Config& c : configs()) {
        const NumberValues values = valuesFor(search::freeLetter(c.type), c);
        const auto [a, b] = twoValues(values);
        for (bool special : {false, true}) {
            SCOPED_TRACE("type " + std::to_string(c.type) + " sx " + std::to_string(c.sx) + " ds " +
                         std::to_string(c.ds) + " issue " + std::to_string(c.issue) +
                         (special ? " with special" : ""));
            const int drawn = special ? 8 : 7;
            // One value twice and another once: the search's running counts.
            const auto single = criteriaOf(c, false, special, {{1, a}, {3, b}, {8, a}});
            // Two of three positions: a union of sets counted over each combination (positions
            // 4 … 8 hold 99, which never counts: their combinations drop out).
            const auto partial = criteriaOf(c, false, special, {{1, a}, {2, b}, {3, a}});
            Asked sets;
            for (const auto& combo : kOf(3, 2)) sets.push_back(asked(partial, combo));
            const std::vector<double> brute = bruteFree(
                values, drawn, {{asked(single, {1, 3, 8})}, sets, {{{a, 1}, {b, 1}}}, {{{a, 1}}}});
            chance::PatternChance q(chance::searchPattern(single));
            EXPECT_NEAR(q.at(c.issue), brute[0], 1e-12);
            chance::PatternChance u(chance::partialPattern(partial, false, 2));
            EXPECT_NEAR(u.at(c.issue), brute[1], 1e-12);
            // Two groups sharing a value: P(g ∧ h).
            chance::ChanceRules rules{c.type, false, special, store::ZodiacCodes::startup(c.sx),
                                      c.ds};
            chance::GroupChances groups(rules, {{a}, {a, b}});
            groups.setDraw(c.issue);
            EXPECT_NEAR(groups.both(0, 1), brute[2], 1e-12);
            EXPECT_NEAR(groups.single(0), brute[3], 1e-12);
        }
    }
}

// Fixed position: every ordered choice of distinct numbers for the positions that can match.
double bruteFixed(const NumberValues& values, const std::vector<std::pair<int, int>>& pv, int k) {
    const int n = static_cast<int>(pv.size());
    long long shown = 0, all = 0;
    std::vector<int> pick(static_cast<std::size_t>(n), 0);
    auto walk = [&](auto& self, int i, std::uint32_t used) -> void {
        if (i == n) {
            ++all;
            int matches = 0;
            for (int j = 0; j < n; ++j)
                matches += values[static_cast<std::size_t>(pick[static_cast<std::size_t>(j)])] ==
                           pv[static_cast<std::size_t>(j)].second;
            shown += matches >= k;
            return;
        }
        for (int x = 1; x <= 30; ++x) {
            if (used & (1u << x)) continue;
            pick[static_cast<std::size_t>(i)] = x;
            self(self, i + 1, used | (1u << x));
        }
    };
    walk(walk, 0, 0);
    return static_cast<double>(shown) / static_cast<double>(all);
}

TEST(DrawChance, FixedPatternsMatchEveryOrderOfThePositions) {
    for (const Config& c : configs()) {
        const char letter = search::attributeLetter(c.type);
        const NumberValues values = valuesFor(letter, c);
        const auto [a, b] = twoValues(values);
        SCOPED_TRACE("type " + std::to_string(c.type) + " issue " + std::to_string(c.issue));
        const std::vector<std::pair<int, int>> pv{{1, a}, {4, a}, {8, b}};
        const auto criteria = criteriaOf(c, true, true, pv);
        chance::PatternChance all(chance::searchPattern(criteria));
        EXPECT_NEAR(all.at(c.issue), bruteFixed(values, pv, 3), 1e-12);
        // Two of the eight positions; only 1, 4 and 8 hold values that numbers have.
        chance::PatternChance two(chance::partialPattern(criteria, false, 2));
        EXPECT_NEAR(two.at(c.issue), bruteFixed(values, pv, 2), 1e-12);
        // 平码 only: position 8 is out of play.
        chance::PatternChance flat(chance::partialPattern(criteria, true, 2));
        EXPECT_NEAR(flat.at(c.issue), bruteFixed(values, {{1, a}, {4, a}}, 2), 1e-12);
    }
}

TEST(DrawChance, EdgePatterns) {
    search::Criteria none;
    EXPECT_DOUBLE_EQ(chance::PatternChance(chance::searchPattern(none)).at(2013001), 1.0);
    // Two numbers both drawn among eight: (8)_2/(30)_2.
    search::Criteria two = none;
    two.selected[0] = two.selected[1] = true;
    two.values[0] = 7;
    two.values[1] = 19;
    EXPECT_NEAR(chance::PatternChance(chance::searchPattern(two)).at(2013001),
                8.0 * 7 / (30.0 * 29), 1e-15);
    // A k the partial search refuses marks nothing.
    EXPECT_EQ(chance::PatternChance(chance::partialPattern(two, false, 9)).at(2013001), 0.0);
    // A zodiac value outside the base's codes can never show.
    search::Criteria zodiac = two;
    zodiac.type = 1;
    zodiac.sxBase = 0;
    zodiac.values[0] = 12;
    EXPECT_EQ(chance::PatternChance(chance::searchPattern(zodiac)).at(2013001), 0.0);
}

}  // namespace
