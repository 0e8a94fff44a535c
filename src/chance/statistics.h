#pragma once
// The few figures of statistics that the chance analyses share: the Wilson interval of a hit
// rate, the upper tail of the chi-square distribution and the two-sided normal p-value, and
// the fixed-decimal texts their grids write.

#include <array>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace quarvel::chance {

struct Interval {
    double low = 0.0;
    double high = 0.0;
};

// The Wilson score interval of `hits` out of `trials` (z = 1.96 for 95%); trials > 0.
Interval wilsonInterval(int hits, int trials, double z = 1.96);

// P(X >= x) for X chi-square with df degrees of freedom (df >= 1); 1 for x <= 0.
double chiSquareUpperTail(double x, int df);

// The two-sided p-value of a standard normal score: erfc(|z| / sqrt 2).
double twoSidedNormalP(double z);

// The exact two-sided p of `count` successes in `trials` Bernoulli trials of chance `p`: the
// chance of every count no likelier than it.
double binomialTwoSidedP(int count, int trials, double p);
// The same for independent trials of chances `chance` (a Poisson binomial count).
double poissonBinomialTwoSidedP(int count, std::span<const double> chance);

// Holm's step-down over p-values: which of them stay below `alpha` once corrected for all.
std::vector<bool> holmRejected(std::span<const double> p, double alpha = 0.05);

// Classes in order, each (observed, expected, variance, trials), pooled with their neighbours
// until each pool expects at least 5 (and, where trials are given, at least 5 misses as well;
// a small last pool joins the one before): the pools' sums.
using CountClass = std::array<double, 4>;
std::vector<CountClass> pooledClasses(std::span<const CountClass> classes);

// How often a difference as large comes up by chance, in plain words: "在纯随机的开奖中，这样的
// 差别每 20 次会出现一次".
std::string plainChanceSentence(double p);
// 冷/热 and 欲出几率 say nothing of the next draw.
std::string pastDrawsLine();
// The verdict with the many-tries correction: 显著 needs p < 0.05 / tries (tries >= 1).
bool significantAfterTries(double p, int tries);
// "本历史已试 3 种设置，显著需 p < 0.0167（原始 p = 0.0213）".
std::string triesText(double p, int tries);

// Every setting run on one history since it was opened; a setting run again counts once.
class TriesLog {
  public:
    // Notes `setting` and gives the count so far (at least 1).
    int note(const std::string& setting);
    int count() const { return static_cast<int>(seen_.size()); }

  private:
    std::set<std::string> seen_;
};

// A value with `decimals` decimals ("%.*f"); "-" for none.
std::string fixedText(std::optional<double> value, int decimals);

}  // namespace quarvel::chance
