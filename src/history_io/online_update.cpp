#include "history_io/online_update.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <optional>

#include "history_io/draw_locator.h"
#include "history_io/removal_guard.h"
#include "history_io/results_site.h"
#include "history_io/row_appender.h"

namespace quarvel::io {
namespace {

constexpr const char* kPagePath = "/kaijiang/xw?lotId=220028&chartType=zhfb&spanType=3&span=";

int yearOf(std::int32_t issue) { return issue / 1000; }

// What the age check decides from the stored history as it is. Draws older than the kept
// window are removed; every stored draw inside it stays. Pages are needed for what is missing
// after the newest draw and, when old draws are removed and the window reaches back further
// than the oldest draw that stays, for the draws before it.
struct Plan {
    bool discard = false;          // draws older than the kept window are stored
    std::int32_t windowFirst = 0;  // the first issue of the kept window (its year, serial 0)
    std::optional<std::int32_t> oldestKept;  // the oldest draw that stays, when old ones go
    int backFrom = 0, backTo = -1;  // years to fill before oldestKept (none when backTo < backFrom)
    int forwardFrom = 0;            // the first year of the pages after the newest draw
};

Plan planFor(store::HistoryDb& db, int yearNow, int kept, bool allowDiscard = true) {
    Plan plan;
    const int windowStart = yearNow - kept;
    plan.windowFirst = windowStart * 1000;
    const auto first = db.firstIssue();
    const auto last = db.lastIssue();
    plan.forwardFrom = last ? std::max(yearOf(*last), kEarliestUpdateYear) : windowStart;
    if (!allowDiscard || !first || yearNow - yearOf(*first) <= kept) return plan;
    plan.discard = true;
    store::Snapshot s = db.db().snapshot("SELECT min(SQQH) FROM lishi WHERE SQQH >= " +
                                         std::to_string(plan.windowFirst));
    s.moveFirst();
    if (store::isNull(s.row(0).at(0))) {
        plan.forwardFrom = windowStart;  // every draw is too old: the whole window is read
        return plan;
    }
    plan.oldestKept = static_cast<std::int32_t>(store::toInt(s.row(0).at(0)));
    plan.backFrom = windowStart;
    plan.backTo =
        *plan.oldestKept % 1000 > 1 ? yearOf(*plan.oldestKept) : yearOf(*plan.oldestKept) - 1;
    return plan;
}

// The pages fetched so far, by year, each read and its draws looked up before the write lock
// is taken. Fetching a run of years stops at a page that fails or holds no draw of its year:
// nothing after it in that run can be stored.
class PageCache {
  public:
    struct Year {
        PageResult page;
        std::vector<PageDraws::Lookup> looks;  // by serial 0..kLastSerial, when the page came
        bool holdsOwnDraw = false;             // it shows a readable draw of its year
    };

    PageCache(PageSource& source, std::string host, const UpdateParams& params)
        : source_(source), host_(std::move(host)), params_(params) {}

    // Fetches the years from `from` to `to` that are not here yet.
    void fetchRun(int from, int to) {
        for (int y = from; y <= to; ++y) {
            auto it = years_.find(y);
            if (it == years_.end()) {
                if (params_.progress) params_.progress(y);
                Year entry{source_.fetch(resultsPageUrl(host_, y)), {}};
                if (entry.page.ok()) {
                    const PageDraws draws(*entry.page);
                    entry.looks.resize(kLastSerial + 1);
                    for (int k = 1; k <= kLastSerial; ++k) {
                        entry.looks[static_cast<std::size_t>(k)] = draws.find(y, k);
                        if (entry.looks[static_cast<std::size_t>(k)].status ==
                            PageDraws::Status::Found)
                            entry.holdsOwnDraw = true;
                    }
                }
                it = years_.emplace(y, std::move(entry)).first;
            }
            const Year& got = it->second;
            if (!got.page.ok() || (y < params_.yearNow && !got.holdsOwnDraw)) return;
        }
    }
    void fetchFor(const Plan& plan) {
        fetchRun(plan.backFrom, plan.backTo);
        fetchRun(plan.forwardFrom, params_.yearNow);
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

// Stores the draws of one year's page from rep.firstSerial on, as long as they run unbroken, up
// to `lastSerial`; with `reachLast` every serial up to it must be there (the run must join the
// stored draw after it). Sets result.stop (or limitReached) where they do not.
void storeYear(int y, const PageCache::Year& page, YearReport& rep, RowAppender& appender,
               std::size_t& stored, const UpdateParams& params, UpdateResult& result,
               int lastSerial = kLastSerial, bool reachLast = false) {
    auto stopAt = [&](UpdateStop why, int serial) {
        result.stop = why;
        result.stopIssue = y * 1000 + serial;
    };
    if (rep.firstSerial > lastSerial) return;
    // A page without a single draw of its year is not that year's chart (a changed layout, a
    // maintenance page); the current year's page may just not have a draw yet.
    if (y < params.yearNow && !page.holdsOwnDraw)
        return stopAt(UpdateStop::NoDraws, rep.firstSerial);

    int lastPresent = 0;  // the last serial whose key stands with numbers after it
    for (int k = rep.firstSerial; k <= kLastSerial; ++k) {
        const auto& l = page.looks[static_cast<std::size_t>(k)];
        if (l.status != PageDraws::Status::Absent) lastPresent = k;
        if (l.status == PageDraws::Status::Rejected) ++rep.rejected;
    }
    const int until = reachLast ? lastSerial : std::min(lastPresent, lastSerial);
    const auto codes = store::ZodiacCodes::startup(params.bases.sx);
    for (int k = rep.firstSerial; k <= until; ++k) {
        const auto& l = page.looks[static_cast<std::size_t>(k)];
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

// Stores one year's page into the report list; false when the update stops there. A year whose
// page is needed but was not fetched (the history changed while the pages were read) is put in
// `missing`.
bool storePage(int y, const PageCache& pages, YearReport rep, RowAppender& appender,
               std::size_t& stored, const UpdateParams& params, UpdateResult& result, int& missing,
               int lastSerial = kLastSerial, bool reachLast = false) {
    rep.year = y;
    const PageCache::Year* page = pages.find(y);
    if (!page) {
        missing = y;
        return false;
    }
    if (page->page.ok()) {
        storeYear(y, *page, rep, appender, stored, params, result, lastSerial, reachLast);
    } else {
        rep.page = page->page.outcome;
        if (rep.page.ok() || rep.page.sentence.empty())
            rep.page = store::Outcome::failed("页面无法读取");
        result.stop = UpdateStop::PageFailed;
        result.stopIssue = y * 1000 + std::min(rep.firstSerial, kLastSerial);
        result.stopDetail = rep.page.text();
    }
    result.added += rep.added;
    result.years.push_back(rep);
    return result.stop == UpdateStop::None && !result.limitReached;
}

struct Attempt {
    int missing = 0;          // the first year whose page is needed but was not fetched
    bool windowWhole = true;  // the kept window came in as far as the removal needs it
    RemovalPreview removal;   // what the age check removed in this attempt
};

RemovalPreview removalOf(store::HistoryDb& db, std::int32_t windowFirst) {
    RemovalPreview p;
    store::Snapshot s =
        db.db().snapshot("SELECT SQQH / 1000 AS y, count(*) AS n FROM lishi WHERE SQQH < " +
                         std::to_string(windowFirst) + " GROUP BY SQQH / 1000 ORDER BY y");
    for (s.moveFirst(); !s.eof(); s.moveNext())
        p.years.emplace_back(static_cast<int>(s.intField("y")),
                             static_cast<std::size_t>(s.intField("n")));
    return p;
}

// One attempt inside the write transaction, on the history as it is now. Sets result.outcome
// when the old draws cannot be backed up or the file is damaged.
Attempt storeUnbrokenRun(store::HistoryDb& db, const PageCache& pages, const UpdateParams& params,
                         UpdateResult& result, bool allowDiscard) {
    Attempt a;
    const Plan plan = planFor(db, params.yearNow, params.keptYears, allowDiscard);
    if (!plan.discard) {
        // Only adds: the whole-file check alone (a damaged index could let an issue in twice).
        if (std::string why = integrityRefusal(db); !why.empty()) {
            result.outcome = store::Outcome::refused(why + "历史号码未改变。");
            return a;
        }
    } else {
        a.removal = removalOf(db, plan.windowFirst);
        const RemovalGuard guard = guardRemoval(db, "update");
        if (!guard.ok()) {
            result.outcome = store::Outcome::refused(guard.refusal);
            return a;
        }
        result.backup = guard.backup;
        db.db().executeNative("DELETE FROM Lishi WHERE SQQH < " + std::to_string(plan.windowFirst));
        result.discarded = true;
    }
    std::size_t stored = db.drawCount();
    RowAppender appender(db.db());
    // Before the oldest draw that stays: the run must come whole and join it.
    for (int y = plan.backFrom; y <= plan.backTo; ++y) {
        const bool joinsOldest = y == yearOf(*plan.oldestKept);
        const int last = joinsOldest ? *plan.oldestKept % 1000 - 1 : kLastSerial;
        if (!storePage(y, pages, {}, appender, stored, params, result, a.missing, last,
                       joinsOldest)) {
            a.windowWhole = false;
            return a;
        }
    }
    const auto newest = db.lastIssue();
    for (int y = plan.forwardFrom; y <= params.yearNow; ++y) {
        YearReport rep;
        // Continue after the newest stored draw, which may be one entered by hand.
        if (newest && yearOf(*newest) > y)
            rep.firstSerial = kLastSerial + 1;  // the history runs past this year
        else if (newest && yearOf(*newest) == y)
            rep.firstSerial = *newest % 1000 + 1;
        if (!storePage(y, pages, rep, appender, stored, params, result, a.missing)) break;
    }
    // Old draws go only when the kept window came whole: every page needed was read, the run
    // reached the newest draw on them, and at least one page came at all. When every stored
    // draw was too old, the window must also have brought draws to replace them with.
    if (plan.discard) {
        const bool anyRead = std::any_of(result.years.begin(), result.years.end(),
                                         [](const YearReport& y) { return y.read(); });
        if (a.missing != 0 || result.stop != UpdateStop::None || result.limitReached || !anyRead ||
            (!plan.oldestKept && result.added == 0))
            a.windowWhole = false;
    }
    return a;
}

}  // namespace

std::string resultsPageUrl(const std::string& host, int year) {
    const std::string y = std::to_string(year);
    return host + kPagePath + y + "001_" + y + "365";
}

std::size_t RemovalPreview::total() const {
    std::size_t n = 0;
    for (const auto& [year, draws] : years) n += draws;
    return n;
}

std::string removalQuestion(const RemovalPreview& p, int keptYears, int yearNow) {
    std::string which;
    for (const auto& [year, draws] : p.years)
        which += (which.empty() ? "" : "、") + std::to_string(year) + " 年 " +
                 std::to_string(draws) + " 期";
    return "在线更新已读到保留年数（" + std::to_string(keptYears) + " 年，" +
           std::to_string(yearNow - keptYears) + " 年起）内的全部号码。超过保留年数的 " + which +
           "，共 " + std::to_string(p.total()) +
           " 期历史号码将被删除（删除前先备份）。确定删除吗？选择“否”则保留这些号码，只添加新的号码"
           "。";
}

std::vector<int> UpdateResult::failedYears() const {
    std::vector<int> out;
    for (const auto& y : years)
        if (!y.read()) out.push_back(y.year);
    return out;
}

UpdateResult runOnlineUpdate(store::HistoryDb& db, PageSource& source, const UpdateParams& params) {
    UpdateResult result;
    if (auto why = source.readiness(); !why.ok()) {
        result.outcome = why;
        return result;
    }
    const auto host = readResultsSite(params.host);
    if (!host) {
        result.outcome = host.outcome;
        return result;
    }
    if (params.keptYears < kMinKeptYears || params.keptYears > kMaxKeptYears) {
        result.outcome =
            store::Outcome::refused("保留年数（设置 IniSerchDay）应在 2 到 16 之间，而不是 " +
                                    std::to_string(params.keptYears) + "，历史号码未改变");
        return result;
    }
    if (params.yearNow < 1000 || params.yearNow > 9999) {
        result.outcome = store::Outcome::refused("当前年份 " + std::to_string(params.yearNow) +
                                                 " 不是四位数的年份，历史号码未改变");
        return result;
    }

    // The pages first, with no transaction open: another program may change the history while
    // they load. The plan made here only says which pages to fetch.
    PageCache pages(source, *host, params);
    bool allowDiscard = true;
    std::optional<RemovalPreview> agreed;  // the removal the user agreed to
    Plan plan = planFor(db, params.yearNow, params.keptYears, allowDiscard);
    // The history may change under the update again and again; after a few rounds the pages
    // that are still missing count as failed, and a removal asked about again counts as declined.
    int fetchRounds = 0, questions = 0;
    bool declined = false;
    for (;;) {
        pages.fetchFor(plan);
        result = UpdateResult{};
        store::Transaction tx(db.db());
        try {
            const Attempt attempt = storeUnbrokenRun(db, pages, params, result, allowDiscard);
            const int needed = attempt.missing;
            if (!result.ran()) {
                tx.rollback();
                break;
            }
            if (needed != 0 && fetchRounds++ < 2) {
                tx.rollback();
                plan = planFor(db, params.yearNow, params.keptYears, allowDiscard);
                continue;
            }
            if (needed != 0) {
                result.stop = UpdateStop::PageFailed;
                result.stopIssue = needed * 1000 + 1;
                result.stopDetail = "读取页面期间历史号码被其他程序改动";
            }
            if (result.discarded && !attempt.windowWhole) {
                // The kept window did not come in whole: the old history stays.
                tx.rollback();
                result.discarded = false;
                result.restored = true;
                result.added = 0;
                for (auto& y : result.years) y.added = 0;
                break;
            }
            if (result.discarded && params.confirmRemoval &&
                (!agreed || !(*agreed == attempt.removal))) {
                // The user is asked with no lock held, then the update runs again on the
                // pages already read; a removal that changed meanwhile is asked about again.
                tx.rollback();
                if (questions++ < 2 && params.confirmRemoval(attempt.removal)) {
                    agreed = attempt.removal;
                } else {
                    allowDiscard = false;
                    declined = true;
                }
                plan = planFor(db, params.yearNow, params.keptYears, allowDiscard);
                continue;
            }
            if (result.discarded) result.removed = attempt.removal;
            result.removalDeclined = declined;
            db.renumberIdx();
            tx.commit();
            break;
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
