// Any bytes given as a history text file: every line must parse by the format's rules, the
// whole-file reader must agree with the line parser, and an import into a real history must
// store exactly the draws read (or refuse and keep the history as it was).
//
// The expected numbers of a line are worked out here in another way than the parser does it:
// the scan region is cut into maximal runs of digits, and each run gives its digit pairs from
// the left (a lone digit at a run's end is dropped), the first eight of all runs counting.
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "history_io/history_file.h"
#include "history_io/import.h"
#include "history_io/text_format.h"
#include "store/history_db.h"

namespace {

namespace io = quarvel::io;
namespace store = quarvel::store;

[[noreturn]] void fail(const char* what, std::string_view line = {}) {
    std::fprintf(stderr, "text format invariant broken: %s\nline: [%.*s]\n", what,
                 static_cast<int>(line.size()), line.data());
    std::abort();
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

struct Expected {
    bool hasIssueField = false;
    bool brokenIssue = false;  // no issue field, but three to six digits in a row at the start
    std::int64_t issue = 0;
    std::vector<int> numbers;
};

Expected expectedLine(std::string_view raw, std::int64_t previous) {
    Expected e;
    const std::string_view line = trimmed(raw);
    e.hasIssueField = line.size() >= 7 && std::all_of(line.begin(), line.begin() + 7, isDigit);
    std::string_view scan = line;
    if (e.hasIssueField) {
        e.issue = std::stoll(std::string(line.substr(0, 7)));
        scan = line.size() > 8 ? line.substr(8) : std::string_view{};
    } else {
        e.issue = previous + 1;
        const auto run = static_cast<std::size_t>(
            std::find_if_not(line.begin(), line.end(), isDigit) - line.begin());
        e.brokenIssue = run >= 3 && run <= 6;
    }
    std::size_t i = 0;
    while (i < scan.size() && e.numbers.size() < 8) {
        if (!isDigit(scan[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < scan.size() && isDigit(scan[end])) ++end;
        for (std::size_t k = i; k + 1 < end && e.numbers.size() < 8; k += 2)
            e.numbers.push_back((scan[k] - '0') * 10 + (scan[k + 1] - '0'));
        i = end;
    }
    return e;
}

// The reader's view of the bytes: CR LF, LF or a CR alone ends a line, a last line without an
// end still counts, and a UTF-8 byte order mark at the start of the first line is not part of
// it (a file of nothing but the mark is one blank line).
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    const bool marked = text.substr(0, 3) == "\xEF\xBB\xBF";
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        if (end == std::string_view::npos) {
            lines.push_back(text);
            break;
        }
        lines.push_back(text.substr(0, end));
        const bool crlf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        text.remove_prefix(end + (crlf ? 2 : 1));
    }
    if (marked) lines.front().remove_prefix(3);
    return lines;
}

// The largest issue a draw is stored under: seven digits, so that every draw read can be
// written back (the store's bound, stated here on its own as the oracle).
constexpr std::int64_t kLastUsableIssue = 9'999'999;

// Checks one line against the format and returns what it gives.
io::ParsedLine checkLine(io::LineParser& parser, std::string_view line) {
    const std::int64_t previous = parser.previousIssue();
    const io::ParsedLine p = parser.parse(line);
    const Expected e = expectedLine(line, previous);
    if (p.hasIssueField != e.hasIssueField) fail("issue field recognised wrongly", line);
    if (p.issue != e.issue) fail("wrong issue", line);
    if (parser.previousIssue() != p.issue) fail("issue not carried to the next line", line);
    if (p.count < 0 || p.count > 8 || static_cast<std::size_t>(p.count) != e.numbers.size())
        fail("wrong count of numbers", line);
    for (int k = 0; k < 8; ++k) {
        const int want = k < p.count ? e.numbers[static_cast<std::size_t>(k)] : 0;
        if (p.numbers[static_cast<std::size_t>(k)] != want)
            fail("wrong number or unfilled slot not 0", line);
    }
    if (p.blank != trimmed(line).empty()) fail("blank flag wrong", line);
    if (p.badIssueField != e.brokenIssue) fail("mistyped issue recognised wrongly", line);
    // A draw: a usable issue, no mistyped one, and eight distinct numbers from 1 to 30.
    std::vector<int> sorted = e.numbers;
    std::sort(sorted.begin(), sorted.end());
    const bool possible = sorted.size() == 8 && sorted.front() >= 1 && sorted.back() <= 30 &&
                          std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
    const bool usable = possible && !e.brokenIssue && p.issue >= 1 && p.issue <= kLastUsableIssue;
    if (p.yieldsDraw() != usable) fail("yieldsDraw disagrees with the numbers and the issue", line);

    // What the export would write for this draw reads back as the same draw.
    if (usable && io::writableAsHistoryLine(p.issue, p.numbers)) {
        const std::string written = io::historyLine(p.issue, p.numbers);
        const io::ParsedLine back = io::parseHistoryLine(written, 12345);
        if (!back.yieldsDraw() || back.issue != p.issue || back.numbers != p.numbers)
            fail("written line does not read back", written);
    }
    if (usable && !io::writableAsHistoryLine(p.issue, p.numbers))
        fail("a parsed draw is not writable", line);
    return p;
}

// One history in a temporary folder for the whole run, reset to the same three draws before
// every import so that each input is judged on its own.
struct ImportBench {
    std::filesystem::path dir;
    std::unique_ptr<store::HistoryDb> db;
    const std::vector<io::HistoryDraw> baseline = {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}},
                                                   {2013002, {9, 10, 11, 12, 13, 14, 15, 16}},
                                                   {2013003, {17, 18, 19, 20, 21, 22, 23, 24}}};
    ImportBench() {
        std::string name =
            (std::filesystem::temp_directory_path() / "quarvel-fuzz-text-XXXXXX").string();
        if (!mkdtemp(name.data())) std::abort();
        dir = name;
        db = std::make_unique<store::HistoryDb>(dir);
        db->open();
        // Durability is not what is checked here; without syncs the fuzzer runs far faster.
        db->db().executeNative("PRAGMA synchronous=OFF");
        db->db().executeNative("PRAGMA journal_mode=MEMORY");
    }
    ~ImportBench() {
        db.reset();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

void checkImport(std::string_view bytes) {
    static ImportBench bench;
    store::HistoryDb& db = *bench.db;
    io::replaceHistory(db, bench.baseline, {});
    const std::vector<io::HistoryDraw> before = io::storedDraws(db);
    if (before != bench.baseline) fail("the baseline history did not read back");
    const std::int64_t previous = std::int64_t{db.lastIssue().value_or(0)} + 1;

    std::vector<io::HistoryDraw> expected;
    io::LineParser parser(previous);
    for (std::string_view line : splitLines(bytes)) {
        const io::ParsedLine p = parser.parse(line);
        if (p.yieldsDraw()) expected.push_back({static_cast<std::int32_t>(p.issue), p.numbers});
    }

    const std::filesystem::path file = bench.dir / "history.txt";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!out) std::abort();
    }
    const io::ImportResult r = io::importHistoryFile(db, file, {});
    const std::vector<io::HistoryDraw> after = io::storedDraws(db);
    if (expected.empty() || expected.size() > static_cast<std::size_t>(store::kMaxDraws)) {
        if (r.ok()) fail("an import without usable draws reported success");
        if (after != before) fail("a refused import changed the history");
        return;
    }
    if (!r.ok()) {
        std::fprintf(stderr, "import refused: %s\n", r.outcome.text().c_str());
        fail("an import of usable draws was refused");
    }
    if (r.drawsStored != expected.size()) fail("stored count differs from the draws read");
    // The history is in issue order, equal issues in file order.
    std::stable_sort(
        expected.begin(), expected.end(),
        [](const io::HistoryDraw& a, const io::HistoryDraw& b) { return a.issue < b.issue; });
    if (after != expected) fail("the stored history is not the draws of the file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Line by line, with a start issue taken from the input so that carried issues near the
    // ends of the range are reached too.
    std::int64_t start = 2013000;
    if (size >= 1 && (data[0] & 0x80))
        start = std::numeric_limits<std::int32_t>::max() - 3 - (data[0] & 0x07);
    else if (size >= 1 && (data[0] & 0x40))
        start = -static_cast<std::int64_t>(data[0] & 0x07);

    io::LineParser parser(start);
    std::vector<io::HistoryDraw> draws;
    std::size_t blank = 0, skipped = 0;
    const std::vector<std::string_view> lines = splitLines(bytes);
    for (std::string_view line : lines) {
        const io::ParsedLine p = checkLine(parser, line);
        if (p.yieldsDraw())
            draws.push_back({static_cast<std::int32_t>(p.issue), p.numbers});
        else if (p.blank)
            ++blank;
        else
            ++skipped;
    }

    // The whole-file reader sees the same lines and keeps at most the limit given.
    const std::size_t limit = size >= 2 ? data[1] % 16 : 8;
    std::istringstream in{std::string(bytes)};
    const io::HistoryText text = io::readHistoryText(in, start, limit);
    if (text.drawLines != draws.size() || text.blankLines != blank || text.skippedLines != skipped)
        fail("file reader counts differ from the lines");
    const std::vector<io::HistoryDraw> kept(
        draws.begin(), draws.begin() + static_cast<std::ptrdiff_t>(std::min(limit, draws.size())));
    if (text.draws != kept) fail("file reader draws differ from the lines");

    // The import through the database costs about a hundred parser runs; a quarter of the
    // inputs (picked by their byte sum, so a saved input always takes the same path) go through it.
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i) sum += data[i];
    if (sum % 4 == 0) checkImport(bytes);
    return 0;
}
