#pragma once
// The few figures of statistics that the chance analyses share: the Wilson interval of a hit
// rate, the upper tail of the chi-square distribution and the two-sided normal p-value, and
// the fixed-decimal texts their grids write.

#include <optional>
#include <string>

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

// A value with `decimals` decimals ("%.*f"); "-" for none.
std::string fixedText(std::optional<double> value, int decimals);

}  // namespace quarvel::chance
