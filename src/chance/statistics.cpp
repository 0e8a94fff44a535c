#include "chance/statistics.h"

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
