#pragma once
// The online update: adds the draws missing at the newest end of the history from the results
// site, one chart page per calendar year, and keeps the history within the kept years.
//
// Draws are stored only as one unbroken run that continues the stored history: the update stops
// at the first draw it cannot read (a failed page, a missing or unreadable serial before a later
// one) and stores nothing after it, so no omission distance is ever measured across a hole.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "history_io/history_check.h"
#include "history_io/page_source.h"
#include "store/draw_record.h"
#include "store/history_db.h"
#include "store/outcome.h"

namespace quarvel::io {

inline constexpr int kEarliestUpdateYear = 2006;
inline constexpr int kMinKeptYears = 2;
inline constexpr int kMaxKeptYears = 16;

// The results page of one year: host + path and query + "YYYY001_YYYY365".
std::string resultsPageUrl(const std::string& host, int year);

// The draws the age check would remove: how many of each year older than the kept window.
struct RemovalPreview {
    std::vector<std::pair<int, std::size_t>> years;  // year, draws; ascending
    std::size_t total() const;
    bool operator==(const RemovalPreview&) const = default;
};

// The window's question before the removal, naming the draws and their years, e.g.
// "在线更新已读到保留年数（6 年，2020 年起）内的全部号码。超过保留年数的 2019 年 145 期将被删除
// （删除前先备份）。确定删除吗？选择“否”则保留这些号码。"
std::string removalQuestion(const RemovalPreview& p, int keptYears, int yearNow);

struct UpdateParams {
    int yearNow = 0;     // the current calendar year
    int keptYears = 6;   // IniSerchDay, 2..16
    std::string host;    // ResultsHost: scheme, host and port, e.g. "http://example.org"
    store::Bases bases;  // SxIni / DsIni for the rows built
    // Called before each year's page is requested (for a status line).
    std::function<void(int year)> progress;
    // Asked before draws older than the kept window are removed, once the kept years were read
    // whole (the window asks the user); false keeps them and only adds. Unset: they are removed
    // (scripts).
    std::function<bool(const RemovalPreview&)> confirmRemoval;
};

struct YearReport {
    int year = 0;
    store::Outcome page;  // whether the page was fetched, and why not
    int firstSerial = 1;  // the first serial looked up
    int added = 0;        // draws stored from this page
    int rejected = 0;     // keys followed by numbers that are not eight distinct 01..30
    bool read() const { return page.ok(); }
};

// Why the update stopped before the end of the current year's draws.
enum class UpdateStop {
    None,
    PageFailed,  // the year's page did not come (no answer, an error status)
    NoDraws,     // the year's page holds no draw of its year at all
    Missing,     // a serial is not on the page while a later one is
    Unreadable,  // a serial is on the page, but its numbers cannot be a draw
};

struct UpdateResult {
    // Done when it ran; otherwise why nothing was stored (no host, kept years out of range, a
    // damaged file, a store failure).
    store::Outcome outcome;
    std::vector<YearReport> years;  // every year requested, ascending
    int added = 0;                  // draws stored (and committed) in all
    // The age check found draws older than the kept window: they were removed (every stored
    // draw inside the window stays), after a backup of the history to 备份/. Only after the
    // kept years came whole: a run that read no page, or stopped early, removes nothing.
    bool discarded = false;
    RemovalPreview removed;        // what was removed, when discarded
    bool removalDeclined = false;  // the user kept the old draws (confirmRemoval said no)
    std::filesystem::path backup;
    // The age check would have removed draws, but the kept window (the part before the draws
    // that stay, and the pages after the newest draw) could not be read whole: the old history
    // was kept and nothing stored.
    bool restored = false;
    // The history reached the most draws a 16-bit ordinal can number; later draws were left out.
    bool limitReached = false;
    // Where the update stopped: the first issue not stored, and why.
    UpdateStop stop = UpdateStop::None;
    std::int32_t stopIssue = 0;
    std::string stopDetail;         // the page's error, when the page failed
    std::vector<Finding> findings;  // the history check after it (HistoryService)

    bool ran() const { return outcome.ok(); }
    // The update stored everything up to the newest draw on the pages.
    bool complete() const {
        return ran() && stop == UpdateStop::None && !limitReached && !restored;
    }
    std::vector<int> failedYears() const;
};

// Runs the update on an open history. A source that can read no page is refused before anything
// is asked. Before anything is stored the file is checked whole (a
// damaged file is refused, as by every other changing command). The pages are fetched, read and
// their draws looked up first, with no transaction open; then one write transaction (BEGIN
// IMMEDIATE) reads the history as it is at that moment, runs the age check (removing only draws
// older than the kept window, and filling the window before the oldest draw that stays) and stores
// the unbroken run that continues the newest draw. So an update that waited while another program
// added, trimmed or compacted stores exactly what is missing then. A store failure leaves the
// history as it was (the DbError is passed on); IDX is renumbered and rsLishiSort reopened at the
// end.
UpdateResult runOnlineUpdate(store::HistoryDb& db, PageSource& source, const UpdateParams& params);

// What the user is told when the update did not complete, in Chinese, e.g. "2013050 期在页面上
// 读不出，之后的号码没有保存；可手动输入或读入文本后再更新。"; empty when it completed.
std::string updateStopMessage(const UpdateResult& result);

}  // namespace quarvel::io
