#include "chance/statistics.h"

#include <algorithm>
#include <cmath>

#include "store/value.h"

namespace quarvel::chance {

Interval wilsonInterval(int hits, int trials, double z) {
    const double n = trials;
    const double p = hits / n;
    const double z2 = z * z;
    const double denominator = 1.0 + z2 / n;
    const double centre = (p + z2 / (2.0 * n)) / denominator;
    const double half = z * std::sqrt(p * (1.0 - p) / n + z2 / (4.0 * n * n)) / denominator;
    return {centre - half, centre + half};
}

namespace {

// The regularized lower incomplete gamma P(a, x) by its series (good for x < a + 1).
double lowerGammaSeries(double a, double x) {
    double term = 1.0 / a;
    double sum = term;
    for (int n = 1; n < 500; ++n) {
        term *= x / (a + n);
        sum += term;
        if (std::fabs(term) < std::fabs(sum) * 1e-15) break;
    }
    return sum * std::exp(-x + a * std::log(x) - std::lgamma(a));
}

// The regularized upper incomplete gamma Q(a, x) by its continued fraction (x >= a + 1),
// evaluated with the modified Lentz method.
double upperGammaFraction(double a, double x) {
    constexpr double tiny = 1e-300;
    double b = x + 1.0 - a;
    double c = 1.0 / tiny;
    double d = 1.0 / b;
    double h = d;
    for (int i = 1; i < 500; ++i) {
        const double an = -i * (i - a);
        b += 2.0;
        d = an * d + b;
        if (std::fabs(d) < tiny) d = tiny;
        c = b + an / c;
        if (std::fabs(c) < tiny) c = tiny;
        d = 1.0 / d;
        const double delta = d * c;
        h *= delta;
        if (std::fabs(delta - 1.0) < 1e-15) break;
    }
    return std::exp(-x + a * std::log(x) - std::lgamma(a)) * h;
}

}  // namespace

double chiSquareUpperTail(double x, int df) {
    if (x <= 0.0 || df < 1) return 1.0;
    const double a = df / 2.0;
    const double half = x / 2.0;
    return half < a + 1.0 ? 1.0 - lowerGammaSeries(a, half) : upperGammaFraction(a, half);
}

double twoSidedNormalP(double z) { return std::erfc(std::fabs(z) / std::sqrt(2.0)); }

std::string fixedText(std::optional<double> value, int decimals) {
    if (!value) return "-";
    return store::fixedText(*value, decimals);
}

}  // namespace quarvel::chance

namespace quarvel::chance {

namespace {

// The sum of the probabilities in `pmf` no larger than pmf[at] (with a little room for
// rounding: equal chances on both sides count both).
double noLikelierThan(const std::vector<double>& pmf, std::size_t at) {
    const double limit = pmf[at] * (1.0 + 1e-7);
    double p = 0.0;
    for (double v : pmf)
        if (v <= limit) p += v;
    return std::min(1.0, p);
}

}  // namespace

double binomialTwoSidedP(int count, int trials, double p) {
    if (trials <= 0) return 1.0;
    if (p <= 0.0) return count == 0 ? 1.0 : 0.0;
    if (p >= 1.0) return count == trials ? 1.0 : 0.0;
    // From the mode outwards by the ratio of neighbours, until the terms vanish.
    const int mode = std::clamp(static_cast<int>(std::floor((trials + 1) * p)), 0, trials);
    const auto logPmf = [&](int k) {
        return std::lgamma(trials + 1.0) - std::lgamma(k + 1.0) - std::lgamma(trials - k + 1.0) +
               k * std::log(p) + (trials - k) * std::log1p(-p);
    };
    const double atCount = std::exp(logPmf(count)) * (1.0 + 1e-7);
    const double odds = p / (1.0 - p);
    double sum = 0.0;
    double term = std::exp(logPmf(mode));
    for (int k = mode; k <= trials && term > 0.0; ++k) {
        if (term <= atCount) sum += term;
        if (term < atCount * 1e-12 && k > count) break;
        term *= (trials - k) / (k + 1.0) * odds;
    }
    term = std::exp(logPmf(mode));
    for (int k = mode; k > 0 && term > 0.0;) {
        term *= k / ((trials - k + 1.0) * odds);
        --k;
        if (term <= atCount) sum += term;
        if (term < atCount * 1e-12 && k < count) break;
    }
    return std::min(1.0, sum);
}

double poissonBinomialTwoSidedP(int count, std::span<const double> chance) {
    std::vector<double> pmf{1.0};
    for (double q : chance) {
        pmf.push_back(0.0);
        for (std::size_t k = pmf.size() - 1; k > 0; --k)
            pmf[k] = pmf[k] * (1.0 - q) + pmf[k - 1] * q;
        pmf[0] *= 1.0 - q;
        // Counts far above what can matter carry no weight worth keeping.
        while (pmf.size() > static_cast<std::size_t>(count) + 2 && pmf.back() < 1e-300)
            pmf.pop_back();
    }
    if (count < 0 || static_cast<std::size_t>(count) >= pmf.size()) return 0.0;
    return noLikelierThan(pmf, static_cast<std::size_t>(count));
}

std::vector<bool> holmRejected(std::span<const double> p, double alpha) {
    std::vector<std::size_t> order(p.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](auto a, auto b) { return p[a] < p[b]; });
    std::vector<bool> rejected(p.size(), false);
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (p[order[i]] >= alpha / static_cast<double>(order.size() - i)) break;
        rejected[order[i]] = true;
    }
    return rejected;
}

std::vector<CountClass> pooledClasses(std::span<const CountClass> classes) {
    std::vector<CountClass> pools;
    CountClass open{};
    bool pending = false;
    const auto add = [](CountClass& to, const CountClass& c) {
        for (std::size_t i = 0; i < c.size(); ++i) to[i] += c[i];
    };
    for (const auto& c : classes) {
        add(open, c);
        pending = true;
        if (open[1] >= 5.0 && (open[3] == 0.0 || open[3] - open[1] >= 5.0)) {
            pools.push_back(open);
            open = {};
            pending = false;
        }
    }
    if (pending) {
        if (pools.empty())
            pools.push_back(open);
        else
            add(pools.back(), open);
    }
    return pools;
}

std::string plainChanceSentence(double p) {
    if (!(p > 0.0)) return "在纯随机的开奖中，这样的差别不到百万次出现一次";
    const double every = std::max(1.0, std::round(1.0 / p));
    if (every > 1e6) return "在纯随机的开奖中，这样的差别不到百万次出现一次";
    std::string n = store::fixedText(every, 0);
    return "在纯随机的开奖中，这样的差别每 " + n + " 次会出现一次";
}

std::string pastDrawsLine() {
    return "冷/热与欲出几率只描述已开出的各期，不会改变下一期开出的机会";
}

bool significantAfterTries(double p, int tries) { return p < 0.05 / std::max(1, tries); }

std::string triesText(double p, int tries) {
    tries = std::max(1, tries);
    return "本历史已试 " + std::to_string(tries) + " 种设置，显著需 p < " +
           store::fixedText(0.05 / tries, 4) + "（原始 p = " + store::fixedText(p, 4) + "）";
}

int TriesLog::note(const std::string& setting) {
    seen_.insert(setting);
    return count();
}

}  // namespace quarvel::chance
