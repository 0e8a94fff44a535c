#include "history_io/online_update.h"

#include <algorithm>
#include <cctype>

#include "history_io/draw_locator.h"

namespace quarvel::io {
namespace {

constexpr const char* kPagePath = "/kaijiang/xw?lotId=220028&chartType=zhfb&spanType=3&span=";

bool startsWithNoCase(const std::string& s, const std::string& prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i]) return false;
    return true;
}

// The host as the URL is built from it (trailing slashes dropped), or "" with `why` set.
std::string checkedHost(const std::string& raw, std::string& why) {
    std::string host = raw;
    auto isSpace = [](unsigned char c) { return std::isspace(c) != 0; };
    while (!host.empty() && isSpace(static_cast<unsigned char>(host.back()))) host.pop_back();
    host.erase(host.begin(), std::find_if_not(host.begin(), host.end(), [&](char c) { return isSpace(c); }));
    while (!host.empty() && host.back() == '/') host.pop_back();
    if (host.empty()) {
        why = "no results site is set (setting ResultsHost): nothing was changed";
        return {};
    }
    const bool http = startsWithNoCase(host, "http://");
    const bool https = startsWithNoCase(host, "https://");
    if ((!http && !https) || host.size() == (http ? 7u : 8u)) {
        why = "the results site \"" + raw + "\" is not an http:// or https:// address: nothing was changed";
        return {};
    }
    for (unsigned char c : host) {
        if (c <= 0x20 || c == 0x7F || c == '?' || c == '#') {
            why = "the results site \"" + raw + "\" holds characters an address cannot have: nothing was changed";
            return {};
        }
    }
    return host;
}

int yearOf(std::int32_t issue) { return issue / 1000; }

}  // namespace

std::string resultsPageUrl(const std::string& host, int year) {
    const std::string y = std::to_string(year);
    return host + kPagePath + y + "001_" + y + "365";
}

std::vector<int> UpdateResult::failedYears() const {
    std::vector<int> out;
    for (const auto& y : years)
        if (!y.read) out.push_back(y.year);
    return out;
}

UpdateResult runOnlineUpdate(store::HistoryDb& db, PageSource& source, const UpdateParams& params) {
    UpdateResult result;
    const std::string host = checkedHost(params.host, result.refusal);
    if (host.empty()) return result;
    if (params.keptYears < kMinKeptYears || params.keptYears > kMaxKeptYears) {
        result.refusal = "the kept years (setting IniSerchDay) must lie between 2 and 16, not " +
                         std::to_string(params.keptYears) + ": nothing was changed";
        return result;
    }
    if (params.yearNow < 1000 || params.yearNow > 9999) {
        result.refusal = "the current year " + std::to_string(params.yearNow) + " is not a four-digit year";
        return result;
    }
    const int yearNow = params.yearNow;
    const int kept = params.keptYears;

    store::Transaction tx(db.db());
    try {
        // Age check: a history that reaches too far back is replaced by the kept window.
        const auto first = db.firstIssue();
        const auto last = db.lastIssue();
        const int firstYear = first ? yearOf(*first) : 0;
        int startYear;
        if (first && yearNow - firstYear > kept) {
            store::delrec(db.rsLishi());
            result.discarded = true;
            startYear = yearNow - kept;
        } else if (!first) {
            startYear = yearNow - kept;
        } else {
            startYear = std::max(yearOf(*last), kEarliestUpdateYear);
        }

        const auto codes = store::ZodiacCodes::startup(params.bases.sx);
        std::size_t stored = db.drawCount();
        for (int y = startYear; y <= yearNow; ++y) {
            if (params.progress) params.progress(y);
            YearReport rep;
            rep.year = y;
            const std::string url = resultsPageUrl(host, y);
            PageResult page = source.fetch(url);
            if (!page.ok) {
                rep.error = page.error.empty() ? "the page could not be read" : page.error;
                result.years.push_back(rep);
                continue;
            }
            rep.read = true;
            // Continue after the newest stored draw, which may be one entered by hand.
            const auto newest = db.lastIssue();
            if (newest && yearOf(*newest) > y) {
                rep.firstSerial = kLastSerial + 1;  // the history already runs past this year
            } else {
                rep.firstSerial = (!newest || yearOf(*newest) < y) ? 1 : *newest % 1000 + 1;
            }
            const PageDraws draws(page.body);
            for (const auto& d : draws.drawsFrom(y, rep.firstSerial, &rep.rejected)) {
                if (stored >= static_cast<std::size_t>(store::kMaxDraws)) {
                    result.limitReached = true;
                    break;
                }
                const std::int32_t issue = y * 1000 + d.serial;
                store::appendDrawRow(db.rsLishi(), store::buildDrawRow(issue, issue, d.numbers, codes, params.bases.ds));
                ++stored;
                ++rep.added;
            }
            result.added += rep.added;
            result.years.push_back(rep);
            if (result.limitReached) break;
        }

        if (result.discarded && result.added == 0) {
            // Nothing came in to replace the old history: give it back.
            tx.rollback();
            result.discarded = false;
            result.restored = true;
        } else {
            db.renumberIdx();
            tx.commit();
        }
    } catch (...) {
        try {
            tx.rollback();
            db.reopenSort();
        } catch (...) {
            // The store's own failure is the one to report.
        }
        throw;
    }
    db.reopenSort();
    return result;
}

}  // namespace quarvel::io
