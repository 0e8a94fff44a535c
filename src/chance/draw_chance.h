#pragma once
// The one model of "how likely was this, by the rules alone": for a pattern g and a draw t,
// q_g(t) is the exact probability that t shows g when its eight numbers are eight distinct of
// 1 … 30, every order equally likely (so each position holds any number with the same chance).
// The pattern is read the way the analyses mark it: a free condition asks a value to occur at
// least c times among the counted numbers (the seven regular ones, or all eight when the
// special number counts), a fixed one a position to hold a value; a draw shows the pattern when
// every condition of one of its sets holds. The numbers' values are those the row builder
// writes for t: the zodiac table of t's zodiac year, the stored bases. Counted, never sampled.

#include <array>
#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "chance/exact_chance.h"
#include "store/draw_record.h"

namespace quarvel::search {
struct Criteria;
}

namespace quarvel::chance {

struct ChanceRules {
    int type = 0;  // search type 0 … 7
    bool fixed = false;
    bool countSpecial = true;  // free position: the special number is counted
    store::ZodiacCodes codes = store::ZodiacCodes::startup(1);
    int dsBase = 1;
};

// Free: `value` occurs at least `count` (>= 1) times among the counted numbers. Fixed: position
// `position` (1 … 8) holds `value`.
struct ChanceTerm {
    int position = 0;
    int value = 0;
    int count = 1;
};
using ChanceSet = std::vector<ChanceTerm>;  // all of them

struct ChancePattern {
    ChanceRules rules;
    std::vector<ChanceSet> sets;  // the draw shows the pattern when one set holds; none: never
};

// The search's pattern (the selected positions, counts as the search counts them).
ChancePattern searchPattern(const search::Criteria& criteria);
// The partial search's: every k of the positions in play (1 … 7 with `flatOnly`, else 1 … 8),
// counts over the whole combination.
ChancePattern partialPattern(const search::Criteria& criteria, bool flatOnly, int k);
// A group: every member value at least once.
ChancePattern groupPattern(const ChanceRules& rules, std::span<const int> values);

// The value of every number 1 … 30 (index 0 unused) in the per-position column `letter`
// ('A' number, 'B' zodiac, 'E' head, 'F' tail, 'G' digit sum, 'H' segment, 'D' parity) for a
// draw of `issue`; -1 throughout for a column the rows do not have.
using NumberValues = std::array<int, kNumbers + 1>;
NumberValues letterValues(char letter, std::int32_t issue, const store::ZodiacCodes& codes,
                          int dsBase);

// q_g(t) of one pattern, kept per zodiac year (only zodiac values change with the issue).
class PatternChance {
  public:
    explicit PatternChance(ChancePattern pattern);
    double at(std::int32_t issue);
    std::vector<double> along(std::span<const std::int32_t> issues);

  private:
    double count(const NumberValues& values) const;

    ChancePattern pattern_;
    char letter_;
    std::map<int, double> byYear_;
};

// The chance that `drawn` numbers of 30 include, for every class, at least `need` of its
// `size` numbers (classes disjoint): classes given as (size, need) pairs.
double allClassesChance(std::span<const std::array<int, 2>> classes, int drawn);

// q_g(t) and P(g ∧ h)(t) of many groups of one plan: a group shows when each of its values
// occurs among the counted numbers.
class GroupChances {
  public:
    GroupChances(ChanceRules rules, std::vector<std::vector<int>> groupValues);
    // Chooses the draw the next answers are for.
    void setDraw(std::int32_t issue);
    double single(int g);
    double both(int g, int h);

  private:
    double present(std::vector<int>& values);

    ChanceRules rules_;
    std::vector<std::vector<int>> values_;
    int drawn_;
    int yearKey_ = -1;
    std::map<int, int> sizes_;                   // value -> how many numbers have it, this draw
    std::map<int, std::vector<double>> single_;  // per zodiac year
    std::vector<double>* current_ = nullptr;
    std::map<std::vector<int>, double> bySizes_;  // the chance by the members' class sizes
    std::vector<int> scratch_;
};

}  // namespace quarvel::chance
