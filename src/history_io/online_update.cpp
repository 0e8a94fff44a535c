#include "history_io/online_update.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "history_io/draw_locator.h"
#include "history_io/row_appender.h"

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
    host.erase(host.begin(),
               std::find_if_not(host.begin(), host.end(), [&](char c) { return isSpace(c); }));
    while (!host.empty() && host.back() == '/') host.pop_back();
    if (host.empty()) {
        why = "no results site is set (setting ResultsHost): nothing was changed";
        return {};
    }
    const bool http = startsWithNoCase(host, "http://");
    const bool https = startsWithNoCase(host, "https://");
    if ((!http && !https) || host.size() == (http ? 7u : 8u)) {
        why = "the results site \"" + raw +
              "\" is not an http:// or https:// address: nothing was changed";
        return {};
    }
    for (unsigned char c : host) {
        if (c <= 0x20 || c == 0x7F || c == '?' || c == '#') {
            why = "the results site \"" + raw +
                  "\" holds characters an address cannot have: nothing was changed";
            return {};
        }
    }
    return host;
}

int yearOf(std::int32_t issue) { return issue / 1000; }

// What the age check decides from the stored history as it is.
struct Plan {
    bool discard = false;
    int startYear = 0;
};

Plan planFor(std::optional<std::int32_t> first, std::optional<std::int32_t> last, int yearNow,
             int kept) {
    if (first && yearNow - yearOf(*first) > kept) return {true, yearNow - kept};
    if (!first) return {false, yearNow - kept};
    return {false, std::max(yearOf(*last), kEarliestUpdateYear)};
}

bool holdsADrawOf(const PageDraws& draws, int year) {
    for (int k = 1; k <= kLastSerial; ++k)
        if (draws.find(year, k).status == PageDraws::Status::Found) return true;
    return false;
}

// The pages fetched so far, by year. Fetching stops at a page that fails or holds no draw of its
// year: nothing after it can be stored.
class PageCache {
  public:
    struct Year {
        PageResult page;
        std::optional<PageDraws> draws;  // when the page came
        bool holdsOwnDraw = false;       // it shows a readable draw of its year
    };

    PageCache(PageSource& source, std::string host, const UpdateParams& params)
        : source_(source), host_(std::move(host)), params_(params) {}

    // Fetches the years from `from` up to the current year that are not here yet.
    void fetchFrom(int from) {
        for (int y = from; y <= params_.yearNow; ++y) {
            auto it = years_.find(y);
            if (it == years_.end()) {
                if (params_.progress) params_.progress(y);
                Year entry;
                entry.page = source_.fetch(resultsPageUrl(host_, y));
                if (entry.page.ok) {
                    entry.draws.emplace(entry.page.body);
                    entry.holdsOwnDraw = holdsADrawOf(*entry.draws, y);
                }
                it = years_.emplace(y, std::move(entry)).first;
            }
            const Year& got = it->second;
            if (!got.page.ok || (y < params_.yearNow && !got.holdsOwnDraw)) return;
        }
    }
    const Year* find(int year) const {
        auto it = years_.find(year);
        return it == years_.end() ? nullptr : &it->second;
    }

  private:
    PageSource& source_;
    std::string host_;
    const UpdateParams& params_;
    std::map<int, Year> years_;
};

// Stores the draws of one year's page from rep.firstSerial on, as long as they run unbroken.
// Sets result.stop (or limitReached) where they do not.
void storeYear(int y, const PageCache::Year& page, YearReport& rep, RowAppender& appender,
               std::size_t& stored, const UpdateParams& params, UpdateResult& result) {
    auto stopAt = [&](UpdateStop why, int serial) {
        result.stop = why;
        result.stopIssue = y * 1000 + serial;
    };
    if (rep.firstSerial > kLastSerial) return;
    // A page without a single draw of its year is not that year's chart (a changed layout, a
    // maintenance page); the current year's page may just not have a draw yet.
    if (y < params.yearNow && !page.holdsOwnDraw)
        return stopAt(UpdateStop::NoDraws, rep.firstSerial);
    const PageDraws& draws = *page.draws;

    std::vector<PageDraws::Lookup> looks(kLastSerial + 1);
    int lastPresent = 0;  // the last serial whose key stands with numbers after it
    for (int k = rep.firstSerial; k <= kLastSerial; ++k) {
        const auto& l = looks[static_cast<std::size_t>(k)] = draws.find(y, k);
        if (l.status != PageDraws::Status::Absent) lastPresent = k;
        if (l.status == PageDraws::Status::Rejected) ++rep.rejected;
    }
    const auto codes = store::ZodiacCodes::startup(params.bases.sx);
    for (int k = rep.firstSerial; k <= lastPresent; ++k) {
        const auto& l = looks[static_cast<std::size_t>(k)];
        if (l.status == PageDraws::Status::Rejected) return stopAt(UpdateStop::Unreadable, k);
        if (l.status == PageDraws::Status::Absent) return stopAt(UpdateStop::Missing, k);
        if (stored >= static_cast<std::size_t>(store::kMaxDraws)) {
            result.limitReached = true;
            return;
        }
        const std::int32_t issue = y * 1000 + k;
        appender.append(store::buildDrawRow(issue, issue, l.numbers, codes, params.bases.ds));
        ++stored;
        ++rep.added;
    }
}

// One attempt inside the write transaction, on the history as it is now. Returns the first year
// whose page is needed but was not fetched (the history changed while the pages were read), or
// 0 when the run was stored or the update stopped.
int storeUnbrokenRun(store::HistoryDb& db, const PageCache& pages, const UpdateParams& params,
                     UpdateResult& result) {
    const Plan plan = planFor(db.firstIssue(), db.lastIssue(), params.yearNow, params.keptYears);
    if (plan.startYear <= params.yearNow && !pages.find(plan.startYear)) return plan.startYear;
    if (plan.discard) {
        store::delrec(db.rsLishi());
        result.discarded = true;
    }
    const auto newest = db.lastIssue();
    std::size_t stored = db.drawCount();
    RowAppender appender(db.db());
    for (int y = plan.startYear; y <= params.yearNow; ++y) {
        YearReport rep;
        rep.year = y;
        // Continue after the newest stored draw, which may be one entered by hand.
        if (newest && yearOf(*newest) > y)
            rep.firstSerial = kLastSerial + 1;  // the history runs past this year
        else if (newest && yearOf(*newest) == y)
            rep.firstSerial = *newest % 1000 + 1;
        const PageCache::Year* page = pages.find(y);
        if (!page) return y;
        if (page->page.ok) {
            rep.read = true;
            storeYear(y, *page, rep, appender, stored, params, result);
        } else {
            rep.error = page->page.error.empty() ? "the page could not be read" : page->page.error;
            result.stop = UpdateStop::PageFailed;
            result.stopIssue = y * 1000 + std::min(rep.firstSerial, kLastSerial);
            result.stopDetail = rep.error;
        }
        result.added += rep.added;
        result.years.push_back(rep);
        if (result.stop != UpdateStop::None || result.limitReached) break;
    }
    return 0;
}

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
        result.refusal =
            "the current year " + std::to_string(params.yearNow) + " is not a four-digit year";
        return result;
    }

    // The pages first, with no transaction open: another program may change the history while
    // they load. The plan made here only says which pages to fetch.
    PageCache pages(source, host, params);
    int needed =
        planFor(db.firstIssue(), db.lastIssue(), params.yearNow, params.keptYears).startYear;
    // The history may change under the update again and again; after a few rounds the pages
    // that are still missing count as failed.
    for (int round = 0; needed != 0; ++round) {
        pages.fetchFrom(needed);
        result = UpdateResult{};
        store::Transaction tx(db.db());
        try {
            needed = storeUnbrokenRun(db, pages, params, result);
            if (needed != 0 && round < 2) {
                tx.rollback();
                continue;
            }
            if (needed != 0) {
                result.stop = UpdateStop::PageFailed;
                result.stopIssue = needed * 1000 + 1;
                result.stopDetail = "the history changed while the pages were read";
                needed = 0;
            }
            if (result.discarded && (result.stop != UpdateStop::None || result.added == 0)) {
                // The kept window did not come in whole: the old history stays.
                tx.rollback();
                result.discarded = false;
                result.restored = true;
                result.added = 0;
                for (auto& y : result.years) y.added = 0;
            } else {
                db.renumberIdx();
                tx.commit();
            }
        } catch (...) {
            try {
                tx.rollback();
                db.historyChanged();
            } catch (...) {
                // The store's own failure is the one to report.
            }
            throw;
        }
    }
    db.historyChanged();
    return result;
}

std::string updateStopMessage(const UpdateResult& r) {
    if (!r.ran() || r.complete()) return {};
    if (r.limitReached)
        return "历史号码已达最多期数（" + std::to_string(store::kMaxDraws) +
               " 期），之后的号码没有保存。";
    const std::string issue = std::to_string(r.stopIssue);
    const std::string year = std::to_string(r.stopIssue / 1000);
    std::string why;
    switch (r.stop) {
        case UpdateStop::PageFailed:
            why = year + " 年的页面没有读到（" + r.stopDetail + "）";
            break;
        case UpdateStop::NoDraws:
            why = year + " 年的页面上没有该年的号码";
            break;
        case UpdateStop::Missing:
            why = issue + " 期在页面上没有";
            break;
        case UpdateStop::Unreadable:
            why = issue + " 期在页面上读不出";
            break;
        case UpdateStop::None:
            break;
    }
    if (r.restored)
        return "没有完整读到保留年数内的历史号码" +
               (why.empty() ? std::string() : "（" + why + "）") + "，原有历史号码保持不变。";
    const bool wholePage = r.stop == UpdateStop::PageFailed || r.stop == UpdateStop::NoDraws;
    return why + (wholePage ? "，" + issue + " 期及之后的号码没有保存" : "，之后的号码没有保存") +
           "；可手动输入或读入文本后再更新。";
}

}  // namespace quarvel::io
