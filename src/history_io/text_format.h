#pragma once
// The history text format: one draw per line, the issue number, a separator and eight
// two-digit numbers. The parser reads files written by the export and by the trimming backup
// as well as hand-edited ones; the writer produces the lines of both.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace quarvel::io {

inline constexpr int kNumbersPerDraw = 8;

// What one line gave.
struct ParsedLine {
    bool blank = false;          // nothing but blanks
    bool hasIssueField = false;  // the line starts with its own issue number
    // The issue the line takes: its own, or the previous line's plus one. 64-bit so that a
    // carried issue can never wrap; only issues in 1 .. store::kMaxIssue give a draw.
    std::int64_t issue = 0;
    // The line starts with a mistyped issue ("2013-002", "201301", "2013 002"): a run of three to
    // six digits where a line without an issue starts with a two-digit number. Its numbers
    // would be cut out of the issue, so it gives no draw.
    bool badIssueField = false;
    std::array<int, kNumbersPerDraw> numbers{};  // slots in line order, unfilled slots 0
    int count = 0;                               // two-digit numbers found, at most eight

    // A line gives a draw only with a usable issue and eight numbers that can be a draw (eight
    // distinct numbers from 01 to 30). A short line never borrows numbers from an earlier line.
    bool yieldsDraw() const;
};

// Reads lines one after the other, carrying the issue from line to line.
class LineParser {
  public:
    // `previousIssue` stands for the line before the first one: the first line without an
    // issue field takes previousIssue + 1.
    explicit LineParser(std::int64_t previousIssue) : previous_(previousIssue) {}

    // Every line advances the carried issue, blank and short ones included, so the issue-less
    // lines that follow keep the numbers they would have had if no line had been skipped.
    ParsedLine parse(std::string_view raw);
    std::int64_t previousIssue() const { return previous_; }

  private:
    std::int64_t previous_;
};

// Parses one line on its own (the previous issue given).
ParsedLine parseHistoryLine(std::string_view line, std::int64_t previousIssue);

// One line of the format without its line end: the issue written with at least seven digits
// (so that a short issue still fills the issue field; check writableAsHistoryLine first, as an
// issue of eight digits does not read back), a blank, and each number
// as two digits followed by a blank: "2013001 05 12 18 21 25 28 30 09 ".
std::string historyLine(std::int64_t issue, const std::array<int, kNumbersPerDraw>& numbers);

// True when historyLine(issue, numbers) reads back as exactly this draw.
bool writableAsHistoryLine(std::int64_t issue, const std::array<int, kNumbersPerDraw>& numbers);

}  // namespace quarvel::io
