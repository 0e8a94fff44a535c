#include "chance/draw_chance.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <iterator>
#include <optional>

#include "search/combinations.h"
#include "search/criteria.h"
#include "search/marking.h"

namespace quarvel::chance {

namespace {

ChanceRules rulesOf(const search::Criteria& c) {
    return {c.type, c.fixed, c.countSpecial, store::ZodiacCodes::startup(c.sxBase), c.dsBase};
}

// The set of the given positions (1 … 8): fixed, each its value; free, the terms the marking
// issues. Empty optional when one of them cannot be stated (the set then never holds).
std::optional<ChanceSet> setOf(const search::Criteria& c, std::span<const int> positions,
                               search::Counting counting) {
    ChanceSet set;
    std::vector<int> values;
    for (int p : positions) values.push_back(c.values[static_cast<std::size_t>(p - 1)]);
    if (c.fixed) {
        for (std::size_t i = 0; i < values.size(); ++i) set.push_back({positions[i], values[i], 1});
        return set;
    }
    for (const auto& term : search::freeTerms(c.type, values, counting, c.sxBase, c.dsBase)) {
        if (!term) return std::nullopt;
        set.push_back({0, term->value, std::max(term->count, 1)});
    }
    return set;
}

int typeOfLetter(char letter) {
    switch (letter) {
        case 'B':
            return 1;
        case 'E':
            return 2;
        case 'F':
            return 3;
        case 'G':
            return 4;
        case 'H':
            return 5;
        default:
            return 0;
    }
}

// n (n − 1) … (n − k + 1)
double falling(int n, int k) {
    double f = 1.0;
    for (int i = 0; i < k; ++i) f *= n - i;
    return f;
}

int sizeOf(const NumberValues& values, int v) {
    return static_cast<int>(std::count(values.begin() + 1, values.end(), v));
}

// Free position: the counted numbers are a uniform `drawn`-subset of the thirty.
double freeChance(const std::vector<ChanceSet>& sets, const NumberValues& values, int drawn) {
    // The values the sets speak of, and each set's need per value.
    std::vector<int> used;
    for (const ChanceSet& s : sets)
        for (const ChanceTerm& t : s) used.push_back(t.value);
    std::sort(used.begin(), used.end());
    used.erase(std::unique(used.begin(), used.end()), used.end());
    const auto at = [&](int v) {
        return static_cast<std::size_t>(std::lower_bound(used.begin(), used.end(), v) -
                                        used.begin());
    };
    std::vector<std::vector<int>> need(sets.size(), std::vector<int>(used.size(), 0));
    for (std::size_t s = 0; s < sets.size(); ++s)
        for (const ChanceTerm& t : sets[s])
            need[s][at(t.value)] = std::max(need[s][at(t.value)], t.count);
    std::vector<int> size(used.size());
    int rest = kNumbers;
    for (std::size_t i = 0; i < used.size(); ++i) {
        size[i] = sizeOf(values, used[i]);
        rest -= size[i];
    }
    const double all = static_cast<double>(choose(kNumbers, drawn));
    if (sets.size() == 1) {
        std::vector<std::array<int, 2>> classes;
        for (std::size_t i = 0; i < used.size(); ++i) classes.push_back({size[i], need[0][i]});
        return allClassesChance(classes, drawn);
    }
    // Several sets: every count vector of the values used, weighted by its number of subsets.
    std::vector<int> count(used.size(), 0);
    double shown = 0.0;
    std::function<void(std::size_t, int, double)> walk = [&](std::size_t i, int left, double ways) {
        if (i == used.size()) {
            const bool holds = std::any_of(need.begin(), need.end(), [&](const auto& n) {
                for (std::size_t j = 0; j < n.size(); ++j)
                    if (count[j] < n[j]) return false;
                return true;
            });
            if (holds) shown += ways * static_cast<double>(choose(rest, left));
            return;
        }
        for (int c = 0; c <= std::min(size[i], left); ++c) {
            count[i] = c;
            walk(i + 1, left - c, ways * static_cast<double>(choose(size[i], c)));
        }
    };
    walk(0, drawn, 1.0);
    return shown / all;
}

// Fixed position: the positions in play hold an ordered sample of distinct numbers. With the
// chance that every position of T matches known in closed form, the chance that exactly the
// positions of M match follows by inclusion and exclusion over the supersets of M.
double fixedChance(const std::vector<ChanceSet>& sets, const NumberValues& values) {
    std::array<int, 9> valueAt{};
    unsigned inPlay = 0;
    std::vector<unsigned> masks;
    for (const ChanceSet& s : sets) {
        unsigned m = 0;
        for (const ChanceTerm& t : s) {
            if (t.position < 1 || t.position > 8) return 0.0;
            m |= 1u << (t.position - 1);
            valueAt[static_cast<std::size_t>(t.position)] = t.value;
        }
        masks.push_back(m);
        inPlay |= m;
    }
    const auto allMatch = [&](unsigned t) {
        std::map<int, int> perValue;
        int k = 0;
        for (int p = 1; p <= 8; ++p)
            if (t & (1u << (p - 1))) {
                ++perValue[valueAt[static_cast<std::size_t>(p)]];
                ++k;
            }
        double f = 1.0;
        for (const auto& [v, n] : perValue) f *= falling(sizeOf(values, v), n);
        return f / falling(kNumbers, k);
    };
    std::vector<double> all(256, 0.0);
    for (unsigned t = 0; t < 256; ++t)
        if ((t & ~inPlay) == 0) all[t] = allMatch(t);
    double shown = 0.0;
    for (unsigned m = 0; m < 256; ++m) {
        if ((m & ~inPlay) != 0) continue;
        if (std::none_of(masks.begin(), masks.end(), [&](unsigned s) { return (s & m) == s; }))
            continue;
        double exact = 0.0;
        for (unsigned t = m;; t = (t + 1) | m) {  // every superset of m within the play
            if ((t & ~inPlay) == 0) {
                const int extra = std::popcount(t) - std::popcount(m);
                exact += (extra % 2 == 0 ? 1.0 : -1.0) * all[t];
            }
            if (t == 255) break;
        }
        shown += exact;
    }
    return std::clamp(shown, 0.0, 1.0);
}

}  // namespace

ChancePattern searchPattern(const search::Criteria& criteria) {
    ChancePattern p{rulesOf(criteria), {}};
    std::vector<int> positions;
    for (int i = 1; i <= search::kPositions; ++i)
        if (criteria.selected[static_cast<std::size_t>(i - 1)]) positions.push_back(i);
    if (auto set = setOf(criteria, positions, search::Counting::Running))
        p.sets.push_back(std::move(*set));
    return p;
}

ChancePattern partialPattern(const search::Criteria& criteria, bool flatOnly, int k) {
    ChancePattern p{rulesOf(criteria), {}};
    search::forEachCombination(flatOnly ? 7 : 8, k, [&](std::span<const int> members) {
        std::vector<int> positions;
        for (int m : members) positions.push_back(m + 1);
        if (auto set = setOf(criteria, positions, search::Counting::WholeSet))
            p.sets.push_back(std::move(*set));
        return true;
    });
    return p;
}

ChancePattern groupPattern(const ChanceRules& rules, std::span<const int> values) {
    ChanceSet set;
    for (int v : values) set.push_back({0, v, 1});
    ChanceRules free = rules;
    free.fixed = false;
    return {free, {set}};
}

NumberValues letterValues(char letter, std::int32_t issue, const store::ZodiacCodes& codes,
                          int dsBase) {
    NumberValues out{};
    switch (letter) {
        case 'A':
        case 'D':
            for (int n = 1; n <= kNumbers; ++n)
                out[static_cast<std::size_t>(n)] = letter == 'A' ? n : n % 2;
            return out;
        case 'B':
        case 'E':
        case 'F':
        case 'G':
        case 'H':
            return numberAttributes(typeOfLetter(letter), issue, codes, dsBase);
        default:
            out.fill(-1);
            return out;
    }
}

PatternChance::PatternChance(ChancePattern pattern)
    : pattern_(std::move(pattern)),
      letter_(pattern_.rules.fixed ? search::attributeLetter(pattern_.rules.type)
                                   : search::freeLetter(pattern_.rules.type)) {}

double PatternChance::count(const NumberValues& values) const {
    if (pattern_.sets.empty()) return 0.0;
    if (pattern_.rules.fixed) return fixedChance(pattern_.sets, values);
    return freeChance(pattern_.sets, values, pattern_.rules.countSpecial ? 8 : kRegular);
}

double PatternChance::at(std::int32_t issue) {
    const int key = letter_ == 'B' ? store::zodiacYear(issue) : 0;
    const auto it = byYear_.find(key);
    if (it != byYear_.end()) return it->second;
    const double q =
        count(letterValues(letter_, issue, pattern_.rules.codes, pattern_.rules.dsBase));
    byYear_.emplace(key, q);
    return q;
}

std::vector<double> PatternChance::along(std::span<const std::int32_t> issues) {
    std::vector<double> q;
    q.reserve(issues.size());
    for (std::int32_t issue : issues) q.push_back(at(issue));
    return q;
}

double allClassesChance(std::span<const std::array<int, 2>> classes, int drawn) {
    std::vector<double> ways(static_cast<std::size_t>(drawn) + 1, 0.0);
    ways[0] = 1.0;
    int rest = kNumbers;
    for (const auto& [size, need] : classes) {
        rest -= size;
        std::vector<double> next(ways.size(), 0.0);
        for (int s = 0; s <= drawn; ++s) {
            if (ways[static_cast<std::size_t>(s)] == 0.0) continue;
            for (int c = need; c <= std::min(size, drawn - s); ++c)
                next[static_cast<std::size_t>(s + c)] +=
                    ways[static_cast<std::size_t>(s)] * static_cast<double>(choose(size, c));
        }
        ways = std::move(next);
    }
    double shown = 0.0;
    for (int s = 0; s <= drawn; ++s)
        shown += ways[static_cast<std::size_t>(s)] * static_cast<double>(choose(rest, drawn - s));
    return shown / static_cast<double>(choose(kNumbers, drawn));
}

GroupChances::GroupChances(ChanceRules rules, std::vector<std::vector<int>> groupValues)
    : rules_(rules), values_(std::move(groupValues)), drawn_(rules_.countSpecial ? 8 : kRegular) {
    for (auto& v : values_) {
        std::sort(v.begin(), v.end());
        v.erase(std::unique(v.begin(), v.end()), v.end());
    }
}

void GroupChances::setDraw(std::int32_t issue) {
    const char letter = search::freeLetter(rules_.type);
    const int key = letter == 'B' ? store::zodiacYear(issue) : 0;
    if (key == yearKey_) return;
    yearKey_ = key;
    sizes_.clear();
    const NumberValues values = letterValues(letter, issue, rules_.codes, rules_.dsBase);
    for (int n = 1; n <= kNumbers; ++n) ++sizes_[values[static_cast<std::size_t>(n)]];
    auto [it, fresh] = single_.try_emplace(key);
    if (fresh) it->second.assign(values_.size(), -1.0);
    current_ = &it->second;
}

double GroupChances::present(std::vector<int>& values) {
    std::vector<int> key;
    key.reserve(values.size());
    for (int v : values) {
        const auto it = sizes_.find(v);
        if (it == sizes_.end()) return 0.0;
        key.push_back(it->second);
    }
    std::sort(key.begin(), key.end());
    auto [it, fresh] = bySizes_.try_emplace(key, 0.0);
    if (fresh) {
        std::vector<std::array<int, 2>> classes;
        classes.reserve(key.size());
        for (int size : key) classes.push_back({size, 1});
        it->second = allClassesChance(classes, drawn_);
    }
    return it->second;
}

double GroupChances::single(int g) {
    double& q = (*current_)[static_cast<std::size_t>(g)];
    if (q < 0.0) {
        scratch_ = values_[static_cast<std::size_t>(g)];
        q = present(scratch_);
    }
    return q;
}

double GroupChances::both(int g, int h) {
    if (g == h) return single(g);
    const auto& a = values_[static_cast<std::size_t>(g)];
    const auto& b = values_[static_cast<std::size_t>(h)];
    scratch_.clear();
    std::set_union(a.begin(), a.end(), b.begin(), b.end(), std::back_inserter(scratch_));
    return present(scratch_);
}

}  // namespace quarvel::chance
