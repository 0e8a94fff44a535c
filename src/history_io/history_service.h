#pragma once
// The one place where the stored history is changed. The window and quarvel-cli gather the
// inputs, ask their questions and show the outcome; every rule about what may be stored, every
// limit and every refusal lives here, so both programs give the same answer to the same input.
//
// Other programs may have quarvel.mdb open at the same time. So every command first makes sure
// it still works on the file the user knows as the history (reopening it when another program
// replaced it), reads what it needs inside its own write transaction (BEGIN IMMEDIATE), and
// compacts only after it succeeded. Refusals and failures are said in Chinese, detail after.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "history_io/import.h"
#include "history_io/online_update.h"
#include "history_io/page_source.h"
#include "history_io/trimming.h"
#include "store/history_db.h"

namespace quarvel::io {

// The largest issue that a history text line can carry (seven digits), so that every stored
// draw can be exported and read back as itself.
inline constexpr std::int32_t kMaxIssue = 9'999'999;

// The issue whose year gives a new draw's zodiac codes: its own, or, for an issue without a
// real year (a history numbered 1, 2, ...), the calendar year past every new-year threshold.
std::int32_t zodiacIssueFor(std::int32_t issue, int calendarYear);

struct ChangeResult {
    bool ok = false;                    // the change is stored
    bool badInput = false;              // !ok because the input itself was refused
    std::string message;                // why not (refusal or failure), when !ok
    std::optional<std::int32_t> issue;  // the issue added or deleted
    std::string compactionFailure;      // the change stands, but the file could not be compacted
};

class HistoryService {
  public:
    explicit HistoryService(store::HistoryDb& db) : db_(db) {}

    // Stores one draw under `issue` (1..kMaxIssue), its zodiac year from zodiacIssueFor.
    // Refused when the numbers are no draw or the history holds kMaxDraws draws already.
    ChangeResult addDraw(std::int32_t issue, const std::array<int, 8>& numbers,
                         const RowRules& rules, int calendarYear);
    // Deletes the newest draw (one row, also when two share the newest issue), then compacts.
    // An empty history is not an error: ok with no issue.
    ChangeResult deleteLast();
    // Deletes every draw.
    ChangeResult clear();
    ChangeResult compact();

    ImportResult importFile(const std::filesystem::path& path, const ImportParams& params);
    TrimResult trimToIssue(std::int32_t lastKept, const ImportParams& params);
    TrimResult trimLastDraws(std::int32_t count, const ImportParams& params);
    ImportResult rebuild(const ImportParams& params);
    UpdateResult update(PageSource& source, const UpdateParams& params);

    store::HistoryDb& db() { return db_; }

  private:
    // Empty when the history can be worked on; otherwise why not (not open, moved away).
    std::string checkOpen();
    store::HistoryDb& db_;
};

}  // namespace quarvel::io
