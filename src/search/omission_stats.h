#pragma once
// The omission statistics of a run of hits: smallest, largest and last gap and their ratio, and
// beside them how often the pattern showed (出现次数), its average omission (平均遗漏), how
// overdue it is (欲出几率) and its longest run of hits on consecutive draws (最大连出).
// Gaps are differences of IDX; the first gap is measured from 0, the last omission to one past
// the newest stored draw. All counts are 16-bit as the history is limited to 32,766 draws.
// Every analysis (search, partial search, groups, trend chart) takes its figures from here.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace quarvel::search {

struct OmissionStats {
    int minimum = 32767;
    int maximum = 0;
    int last = 0;
    int previous = 0;      // IDX of the previous hit, 0 before the first
    int hits = 0;          // k: the hits of the range
    int run = 0;           // hits on consecutive draws ending at the previous hit
    int longestRun = 0;    // 最大连出: 1 for a lone hit, 0 with no hit
    int drawsInRange = 0;  // N: the stored draws whose issue lies in the range

    // Adds a hit with ordinal idx (hits come in IDX order) and returns its gap.
    int addHit(int idx);
    // Closes the run: maximum 32767 when there was no hit, last = newestIdx + 1 - previous,
    // and N for the average omission and the due ratio.
    void finish(int newestIdx, int drawsInRange);
    double ratio() const { return last == 0 ? 0.0 : static_cast<double>(maximum) / last; }
    // 平均遗漏: (N + 1) / (k + 1), the average distance between hits counted as the gaps are.
    double averageOmission() const;
    // 欲出几率: (L - 1)(k + 1) / (N - k), the draws missed since the last hit over the average
    // run of misses; none when every draw of the range is a hit.
    std::optional<double> dueRatio() const;
};

// 平均遗漏 of k hits among N draws: (N + 1) / (k + 1).
double averageOmission(int drawsInRange, int hits);
// 欲出几率 with last omission L: (L - 1)(k + 1) / (N - k); none when N = k.
std::optional<double> dueRatio(int lastOmission, int drawsInRange, int hits);

// The statistics of hits given by their IDX in ascending order, with N draws in the range and
// the newest stored draw's IDX.
OmissionStats summarize(std::span<const int> hitIdx, int drawsInRange, int newestIdx);

// A double as text with up to 15 significant digits and no trailing zeros (2/3 ->
// "0.666666666666667", 3/2 -> "1.5", 4 -> "4").
// 大后比 of a maximum and a last omission, in every grid the same text: formatRatio of the
// quotient in double precision (the group table keeps it in single precision for its order only).
std::string ratioText(int maximum, int last);
std::string formatRatio(double value);
// A single-precision value in its shortest form with up to 7 significant digits (7/3 ->
// "2.333333").
std::string formatSingle(float value);
// Two decimals ("%.2f": 3.4166 -> "3.42"); "-" for none.
std::string formatTwoDecimals(std::optional<double> value);

// The captions of the four figures that follow 大后比 in every result.
inline constexpr std::array<const char*, 4> kMoreFigureHeaders = {"出现次数", "平均遗漏",
                                                                  "欲出几率", "最大连出"};
// The four figures as every grid writes them: k, average with two decimals, due ratio with two
// decimals or "-", longest run.
std::array<std::string, 4> moreFigureTexts(const OmissionStats& stats);

}  // namespace quarvel::search
