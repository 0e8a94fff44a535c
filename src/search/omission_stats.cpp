#include "search/omission_stats.h"

#include "store/value.h"

namespace quarvel::search {

int OmissionStats::addHit(int idx) {
    const int gap = idx - previous;
    if (gap > maximum) maximum = gap;
    if (gap < minimum) minimum = gap;
    run = (hits > 0 && gap == 1) ? run + 1 : 1;
    if (run > longestRun) longestRun = run;
    previous = idx;
    ++hits;
    return gap;
}

void OmissionStats::finish(int newestIdx, int draws) {
    if (hits == 0) maximum = 32767;
    last = newestIdx + 1 - previous;
    drawsInRange = draws;
}

double averageOmission(int drawsInRange, int hits) {
    return static_cast<double>(drawsInRange + 1) / static_cast<double>(hits + 1);
}

std::optional<double> dueRatio(int lastOmission, int drawsInRange, int hits) {
    if (drawsInRange <= hits) return std::nullopt;
    return static_cast<double>(lastOmission - 1) * static_cast<double>(hits + 1) /
           static_cast<double>(drawsInRange - hits);
}

double OmissionStats::averageOmission() const {
    return search::averageOmission(drawsInRange, hits);
}

std::optional<double> OmissionStats::dueRatio() const {
    return search::dueRatio(last, drawsInRange, hits);
}

OmissionStats summarize(std::span<const int> hitIdx, int drawsInRange, int newestIdx) {
    OmissionStats stats;
    for (int idx : hitIdx) stats.addHit(idx);
    stats.finish(newestIdx, drawsInRange);
    return stats;
}

std::string formatRatio(double value) { return store::generalText(value, 15); }

std::string ratioText(int maximum, int last) {
    if (last == 0) return formatRatio(0.0);
    return formatRatio(static_cast<double>(maximum) / last);
}

std::string formatSingle(float value) { return store::generalText(static_cast<double>(value), 7); }

std::string formatTwoDecimals(std::optional<double> value) {
    if (!value) return "-";
    return store::fixedText(*value, 2);
}

std::array<std::string, 4> moreFigureTexts(const OmissionStats& stats) {
    return {std::to_string(stats.hits), formatTwoDecimals(stats.averageOmission()),
            formatTwoDecimals(stats.dueRatio()), std::to_string(stats.longestRun)};
}

}  // namespace quarvel::search
