#include "history_io/history_check.h"

#include <algorithm>
#include <map>

#include "history_io/removal_guard.h"
#include "store/new_year_table.h"

namespace quarvel::io {

namespace {

// The zodiac new-year shift matters only for issues of a real year, and for those serials.
constexpr int kEarlySerials = 25;
// A year is thin when its draws are fewer than this share of the smaller neighbour's.
constexpr double kThinShare = 0.5;

}  // namespace

std::vector<Finding> checkIssues(std::vector<std::int32_t> issues) {
    std::sort(issues.begin(), issues.end());
    std::vector<Finding> out;
    std::map<int, std::size_t> perYear;
    std::map<int, bool> early;
    for (std::size_t i = 0; i < issues.size(); ++i) {
        const std::int32_t issue = issues[i];
        const int year = issue / 1000;
        ++perYear[year];
        if (issue % 1000 <= kEarlySerials) early[year] = true;
        if (i > 0 && issues[i - 1] == issue) continue;  // told once, below
        std::size_t same = 1;
        while (i + same < issues.size() && issues[i + same] == issue) ++same;
        if (same > 1) out.push_back({FindingKind::Repeated, issue, same, 0});
        if (i > 0) {
            const std::int32_t prev = issues[i - 1];
            if (prev / 1000 == year)
                for (std::int32_t m = prev + 1; m < issue; ++m)
                    out.push_back({FindingKind::Missing, m, 0, 0});
        }
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const Finding& a, const Finding& b) { return a.issue < b.issue; });
    // Thin years: only years with a stored year on both sides (the first and the last year of a
    // history are usually partial).
    for (auto it = perYear.begin(); it != perYear.end(); ++it) {
        if (it == perYear.begin() || std::next(it) == perYear.end()) continue;
        const auto prev = std::prev(it), next = std::next(it);
        if (prev->first != it->first - 1 || next->first != it->first + 1) continue;
        const std::size_t smaller = std::min(prev->second, next->second);
        if (static_cast<double>(it->second) < kThinShare * static_cast<double>(smaller))
            out.push_back({FindingKind::ThinYear, it->first, it->second, smaller});
    }
    const store::NewYearTable table = store::newYearTableInForce();
    for (const auto& [year, any] : early)
        if (any && year >= store::kFirstNewYearYear && year <= store::kLastNewYearYear &&
            !table.contains(year))
            out.push_back({FindingKind::NoNewYear, year, 0, 0});
    return out;
}

std::vector<Finding> checkStoredHistory(store::HistoryDb& db) {
    std::vector<std::int32_t> issues;
    for (const auto& d : storedDrawsFromTable(db)) issues.push_back(d.issue);
    return checkIssues(std::move(issues));
}

std::string findingLine(const Finding& f) {
    switch (f.kind) {
        case FindingKind::Missing:
            return "缺期\t" + std::to_string(f.issue);
        case FindingKind::Repeated:
            return "重复\t" + std::to_string(f.issue);
        case FindingKind::ThinYear:
            return "期数偏少\t" + std::to_string(f.issue) + "\t" + std::to_string(f.count);
        case FindingKind::NoNewYear:
            return "无生肖年分界\t" + std::to_string(f.issue);
    }
    return {};
}

std::string checkSummary(const std::vector<Finding>& findings) {
    constexpr std::size_t kListed = 5;
    auto listOf = [&](FindingKind kind, const char* what, const char* unit) {
        std::size_t n = 0;
        std::string items;
        for (const auto& f : findings) {
            if (f.kind != kind) continue;
            if (n < kListed) items += (n ? "、" : "") + std::to_string(f.issue);
            ++n;
        }
        if (n == 0) return std::string();
        return std::string(what) + " " + std::to_string(n) + " " + unit + "（" + items +
               (n > kListed ? "等" : "") + "）";
    };
    std::vector<std::string> parts;
    for (const auto& part :
         {listOf(FindingKind::Missing, "缺", "期"), listOf(FindingKind::Repeated, "重复", "期"),
          listOf(FindingKind::ThinYear, "期数明显少于前后年份的", "年")})
        if (!part.empty()) parts.push_back(part);
    std::string out = "历史检查：";
    if (parts.empty()) out += "没有发现缺期或重复";
    for (std::size_t i = 0; i < parts.size(); ++i) out += (i ? "，" : "") + parts[i];
    out += "。";
    std::string uncovered;
    for (const auto& f : findings)
        if (f.kind == FindingKind::NoNewYear)
            uncovered += (uncovered.empty() ? "" : "、") + std::to_string(f.issue);
    if (!uncovered.empty())
        out += "生肖年分界表中没有 " + uncovered +
               " 年，这些年份春节前的号码按新的生肖年计算，请在“生肖年分界”中补上。";
    return out;
}

}  // namespace quarvel::io
