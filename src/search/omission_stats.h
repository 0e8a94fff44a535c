#pragma once
// The omission statistics of a run of hits: smallest, largest and last gap and their ratio.
// Gaps are differences of IDX; the first gap is measured from 0, the last omission to one past
// the newest stored draw. All counts are 16-bit as the history is limited to 32,766 draws.

#include <cstdint>
#include <string>

namespace quarvel::search {

struct OmissionStats {
    int minimum = 32767;
    int maximum = 0;
    int last = 0;
    int previous = 0;  // IDX of the previous hit, 0 before the first
    int hits = 0;

    // Adds a hit with ordinal idx and returns its gap.
    int addHit(int idx);
    // Closes the run: maximum 32767 when there was no hit, last = newestIdx + 1 - previous.
    void finish(int newestIdx);
    double ratio() const { return last == 0 ? 0.0 : static_cast<double>(maximum) / last; }
};

// A double as text with up to 15 significant digits and no trailing zeros (2/3 ->
// "0.666666666666667", 3/2 -> "1.5", 4 -> "4").
std::string formatRatio(double value);
// A single-precision value in its shortest form with up to 7 significant digits (7/3 -> "2.333333").
std::string formatSingle(float value);

}  // namespace quarvel::search
