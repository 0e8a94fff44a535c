#include "store/new_year_table.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <cstdint>
#include <mutex>

#include "store/draw_record.h"
#include "store/engine.h"

namespace quarvel::store {

namespace {

// Thresholds by year, read on every row built: a flat array, replaced whole under a lock and
// read without one (ints, written only while no row is being built).
std::array<std::atomic<int>, kLastNewYearYear + 1> gThresholds{};
std::mutex gWrite;
std::once_flag gDefaultsOnce;

void fillFrom(const NewYearTable& t) {
    for (auto& v : gThresholds) v.store(0, std::memory_order_relaxed);
    for (const auto& [year, serial] : t)
        if (year >= 0 && year <= kLastNewYearYear)
            gThresholds[static_cast<std::size_t>(year)].store(serial, std::memory_order_relaxed);
}

NewYearTable gUserEntries;

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::optional<int> wholeNumber(std::string_view s) {
    s = trimmed(s);
    int v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
    return v;
}

bool validEntry(int year, int serial) {
    return year >= kFirstNewYearYear && year <= kLastNewYearYear && serial >= 0 &&
           serial <= kMaxNewYearSerial;
}

}  // namespace

const NewYearTable& defaultNewYearTable() {
    static const NewYearTable t = {
        {2001, 10}, {2002, 18}, {2003, 13}, {2004, 9},  {2005, 16}, {2006, 12}, {2007, 20},
        {2008, 16}, {2009, 10}, {2010, 19}, {2011, 16}, {2012, 9},  {2013, 16}, {2014, 13},
        {2015, 21}, {2016, 16}, {2017, 11}, {2018, 20}, {2019, 14}, {2020, 9},  {2021, 17},
        {2022, 12}, {2023, 8},  {2024, 17}, {2025, 11}, {2026, 19}};
    return t;
}

NewYearTable newYearTableInForce() {
    std::lock_guard lock(gWrite);
    NewYearTable t = defaultNewYearTable();
    for (const auto& [y, s] : gUserEntries) t[y] = s;
    return t;
}

void setNewYearEntries(const NewYearTable& userEntries) {
    std::lock_guard lock(gWrite);
    gUserEntries = userEntries;
    NewYearTable t = defaultNewYearTable();
    for (const auto& [y, s] : userEntries) t[y] = s;
    fillFrom(t);
}

int newYearThresholdInForce(int year) {
    std::call_once(gDefaultsOnce, [] {
        std::lock_guard lock(gWrite);
        if (gUserEntries.empty()) fillFrom(defaultNewYearTable());
    });
    if (year < 0 || year > kLastNewYearYear) return 0;
    return gThresholds[static_cast<std::size_t>(year)].load(std::memory_order_relaxed);
}

std::string newYearEntriesText(const NewYearTable& entries) {
    std::string out;
    for (const auto& [y, s] : entries) {
        if (!out.empty()) out += ';';
        out += std::to_string(y) + '=' + std::to_string(s);
    }
    return out;
}

std::optional<NewYearTable> parseNewYearEntries(std::string_view text) {
    NewYearTable t;
    text = trimmed(text);
    while (!text.empty()) {
        const std::size_t end = std::min(text.find(';'), text.size());
        const std::string_view item = text.substr(0, end);
        text = end < text.size() ? text.substr(end + 1) : std::string_view{};
        if (trimmed(item).empty()) continue;
        const std::size_t eq = item.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        const auto y = wholeNumber(item.substr(0, eq));
        const auto s = wholeNumber(item.substr(eq + 1));
        if (!y || !s || !validEntry(*y, *s)) return std::nullopt;
        t[*y] = *s;
    }
    return t;
}

NewYearTable newYearEntriesBeyondDefaults(const NewYearTable& whole) {
    NewYearTable out;
    const NewYearTable& d = defaultNewYearTable();
    for (const auto& [y, s] : whole) {
        const auto it = d.find(y);
        if (it == d.end() || it->second != s) out[y] = s;
    }
    // A default left out of the whole table is kept at zero: its year then never shifts.
    for (const auto& [y, s] : d)
        if (!whole.contains(y)) out[y] = 0;
    return out;
}

std::string readNewYearTableInput(std::string_view text, NewYearTable& out) {
    out.clear();
    int lineNo = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string line(trimmed(text.substr(0, end)));
        text = end < text.size() ? text.substr(end + 1) : std::string_view{};
        ++lineNo;
        // "2027 9", "2027=9", "2027：9", "2027,9" all name a year and its serial.
        for (const char* sep : {"：", "，", "\t", "=", ":", ","}) {
            for (std::size_t at; (at = line.find(sep)) != std::string::npos;)
                line.replace(at, std::string_view(sep).size(), " ");
        }
        const std::string_view l = trimmed(line);
        if (l.empty()) continue;
        const std::size_t gap = l.find(' ');
        const auto y = gap == std::string_view::npos ? std::nullopt : wholeNumber(l.substr(0, gap));
        const auto s = gap == std::string_view::npos ? std::nullopt : wholeNumber(l.substr(gap));
        if (!y || !s) return "第 " + std::to_string(lineNo) + " 行应为“年份 期数”，例如“2027 9”。";
        if (!validEntry(*y, *s))
            return "第 " + std::to_string(lineNo) + " 行：年份应在 " +
                   std::to_string(kFirstNewYearYear) + " 到 " + std::to_string(kLastNewYearYear) +
                   " 之间，期数应在 0 到 " + std::to_string(kMaxNewYearSerial) + " 之间。";
        out[*y] = *s;
    }
    return {};
}

std::map<int, std::size_t> rowsBuiltWithOtherNewYear(Database& db, int sxBase) {
    std::map<int, std::size_t> out;
    const ZodiacCodes codes = ZodiacCodes::startup(sxBase);
    Snapshot s = db.snapshot(
        "SELECT SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A, L1B, L2B, L3B, L4B, L5B, L6B, L7B, "
        "L8B FROM Lishi WHERE SQQH % 1000 BETWEEN 1 AND " +
        std::to_string(kMaxNewYearSerial) + " AND SQQH BETWEEN " +
        std::to_string(kFirstNewYearYear * 1000) + " AND " +
        std::to_string(kLastNewYearYear * 1000 + 999));
    for (std::size_t i = 0; i < s.recordCount(); ++i) {
        const auto& row = s.row(i);
        const auto issue = static_cast<std::int32_t>(toInt(row.at(0)));
        const int year = issue / 1000;
        const int now = zodiacYear(issue);
        const int other = now == year ? year - 1 : year;
        bool matchesNow = true, matchesOther = true;
        for (std::size_t p = 0; p < 8; ++p) {
            if (isNull(row.at(1 + p)) || isNull(row.at(9 + p))) {
                matchesNow = matchesOther = false;
                break;
            }
            const int n = static_cast<int>(toInt(row.at(1 + p)));
            const auto stored = toInt(row.at(9 + p));
            matchesNow =
                matchesNow && stored == codes.code[static_cast<std::size_t>(zodiacIndex(now, n))];
            matchesOther = matchesOther &&
                           stored == codes.code[static_cast<std::size_t>(zodiacIndex(other, n))];
        }
        if (matchesOther && !matchesNow) ++out[year];
    }
    return out;
}

}  // namespace quarvel::store
