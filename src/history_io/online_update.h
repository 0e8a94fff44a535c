#pragma once
// The online update: adds the draws missing at the newest end of the history from the results
// site, one chart page per calendar year, and keeps the history within the kept years.

#include <functional>
#include <string>
#include <vector>

#include "history_io/page_source.h"
#include "store/draw_record.h"
#include "store/history_db.h"

namespace quarvel::io {

inline constexpr int kEarliestUpdateYear = 2006;
inline constexpr int kMinKeptYears = 2;
inline constexpr int kMaxKeptYears = 16;

// The results page of one year: host + path and query + "YYYY001_YYYY365".
std::string resultsPageUrl(const std::string& host, int year);

struct UpdateParams {
    int yearNow = 0;     // the current calendar year
    int keptYears = 6;   // IniSerchDay, 2..16
    std::string host;    // ResultsHost: scheme, host and port, e.g. "http://example.org"
    store::Bases bases;  // SxIni / DsIni for the rows built
    // Called before each year's page is requested (for a status line).
    std::function<void(int year)> progress;
};

struct YearReport {
    int year = 0;
    bool read = false;    // the page was fetched
    std::string error;    // why it was not, when !read
    int firstSerial = 1;  // the first serial looked up
    int added = 0;        // draws stored from this page
    int rejected = 0;     // keys followed by numbers that are not eight distinct 01..30
};

struct UpdateResult {
    // Why nothing was attempted (no host, kept years out of range, ...); empty when it ran.
    std::string refusal;
    std::vector<YearReport> years;  // every year requested, ascending
    int added = 0;                  // draws stored in all
    // The age check found the oldest draw too old: the history was replaced by the pages read.
    bool discarded = false;
    // The age check would have replaced the history, but no page gave a draw: it was kept.
    bool restored = false;
    // The history reached the most draws a 16-bit ordinal can number; later draws were left out.
    bool limitReached = false;

    bool ran() const { return refusal.empty(); }
    std::vector<int> failedYears() const;
};

// Runs the update on an open history. The age check's discard and every page's draws are one
// transaction: a store failure leaves the history as it was (the DbError is passed on), and a
// discard is undone when no draw at all could be stored. Draws are only added after the last
// stored issue, never twice, and IDX is renumbered and rsLishiSort reopened at the end.
UpdateResult runOnlineUpdate(store::HistoryDb& db, PageSource& source, const UpdateParams& params);

}  // namespace quarvel::io
