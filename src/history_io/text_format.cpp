#include "history_io/text_format.h"

#include <cstdio>

#include "store/draw_record.h"
#include "store/numbering.h"

namespace quarvel::io {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The issue field: characters 1 to 7 form a number, and characters 1 and 6 are digits. The
// only seven-character texts that pass all three tests and mean a whole issue number are seven
// digits, so that is the test.
bool startsWithIssueField(std::string_view line) {
    if (line.size() < 7) return false;
    for (std::size_t i = 0; i < 7; ++i)
        if (!isDigit(line[i])) return false;
    return true;
}

// A line without an issue field that starts with three to six digits in a row: an issue typed
// with a separator inside it or a digit short.
bool startsWithBrokenIssue(std::string_view line) {
    std::size_t run = 0;
    while (run < line.size() && isDigit(line[run])) ++run;
    return run >= 3 && run <= 6;
}

}  // namespace

bool ParsedLine::yieldsDraw() const {
    // An issue carried past seven digits is refused as the service refuses it: a draw stored
    // under it could not be exported, backed up or trimmed.
    return count == kNumbersPerDraw && !badIssueField && store::isIssueInBounds(issue) &&
           store::isPossibleDraw(numbers);
}

ParsedLine LineParser::parse(std::string_view raw) {
    ParsedLine out;
    const std::string_view line = trimmed(raw);
    out.blank = line.empty();
    std::size_t pos = 0;
    if (startsWithIssueField(line)) {
        out.hasIssueField = true;
        std::int64_t v = 0;
        for (std::size_t i = 0; i < 7; ++i) v = v * 10 + (line[i] - '0');
        out.issue = v;
        pos = 8;  // character 8 is the separator, whatever it is
    } else {
        out.issue = previous_ + 1;
        out.badIssueField = startsWithBrokenIssue(line);
    }
    previous_ = out.issue;

    // Two digits side by side make one number; anything else separates. A lone digit is
    // skipped, a longer run is cut into pairs from its left.
    while (pos + 1 < line.size() && out.count < kNumbersPerDraw) {
        if (isDigit(line[pos]) && isDigit(line[pos + 1])) {
            out.numbers[static_cast<std::size_t>(out.count++)] =
                (line[pos] - '0') * 10 + (line[pos + 1] - '0');
            pos += 2;
        } else {
            ++pos;
        }
    }
    return out;
}

ParsedLine parseHistoryLine(std::string_view line, std::int64_t previousIssue) {
    return LineParser(previousIssue).parse(line);
}

std::string historyLine(std::int64_t issue, const std::array<int, kNumbersPerDraw>& numbers) {
    std::string out;
    if (issue >= 0 && issue <= store::kMaxIssue) {
        // Seven digits, written in place (a full history is 32,766 of these lines).
        out.resize(8);
        std::int64_t rest = issue;
        for (int i = 6; i >= 0; --i, rest /= 10)
            out[static_cast<std::size_t>(i)] = static_cast<char>('0' + rest % 10);
        out[7] = ' ';
    } else {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%07lld ", static_cast<long long>(issue));
        out = buf;
    }
    out.reserve(out.size() + 3 * numbers.size());
    for (int n : numbers) {
        if (n >= 0 && n <= 99) {
            out += static_cast<char>('0' + n / 10);
            out += static_cast<char>('0' + n % 10);
            out += ' ';
        } else {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%02d ", n);
            out += buf;
        }
    }
    return out;
}

bool writableAsHistoryLine(std::int64_t issue, const std::array<int, kNumbersPerDraw>& numbers) {
    if (!store::isIssueInBounds(issue)) return false;
    for (int n : numbers)
        if (n < 0 || n > 99) return false;
    return true;
}

}  // namespace quarvel::io
