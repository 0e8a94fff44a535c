#include "search/omission_stats.h"

#include <cstdio>

namespace quarvel::search {

int OmissionStats::addHit(int idx) {
    const int gap = idx - previous;
    if (gap > maximum) maximum = gap;
    if (gap < minimum) minimum = gap;
    previous = idx;
    ++hits;
    return gap;
}

void OmissionStats::finish(int newestIdx) {
    if (hits == 0) maximum = 32767;
    last = newestIdx + 1 - previous;
}

namespace {
std::string formatG(double value, int digits) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", digits, value);
    return buf;
}
}  // namespace

std::string formatRatio(double value) { return formatG(value, 15); }

std::string formatSingle(float value) { return formatG(static_cast<double>(value), 7); }

}  // namespace quarvel::search
