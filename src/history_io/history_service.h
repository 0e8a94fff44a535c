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
#include "history_io/removal_guard.h"
#include "history_io/trimming.h"
#include "store/history_db.h"

namespace quarvel::io {

// The issue whose year gives a new draw's zodiac codes: its own, or, for an issue without a
// real year (a history numbered 1, 2, ...), the calendar year past every new-year threshold.
std::int32_t zodiacIssueFor(std::int32_t issue, int calendarYear);

// The caption of the window's message when a new draw's own issue or numbers are refused.
inline constexpr const char* kNewDrawRefusalTitle = "号码有误";

// Why a draw cannot be stored whatever the history holds: its issue outside 1..kMaxIssue, or
// numbers that are no draw. Refused with kNewDrawRefusalTitle, or Done.
store::Outcome checkNewDraw(std::int64_t issue, const std::array<int, 8>& numbers);

struct ChangeResult {
    // Done when the change is stored; Stale when refused because the history is not the one the
    // user saw (or the issue was stored meanwhile by another program).
    store::Outcome outcome;
    std::optional<std::int32_t> issue;  // the issue added or deleted
    std::string compactionFailure;      // the change stands, but the file could not be compacted
    std::filesystem::path backup;       // the history before a removal, in 备份/
    bool ok() const { return outcome.ok(); }
};

class HistoryService {
  public:
    explicit HistoryService(store::HistoryDb& db) : db_(db) {}

    // No command throws for a failure of the store or the file system: each says it in its
    // outcome (Outcome::failed), so that the window and quarvel-cli need no try block.
    //
    // Stores one draw under `issue` (1..kMaxIssue), its zodiac year from zodiacIssueFor.
    // Refused when checkNewDraw refuses it, a draw of that issue is stored already (checked at
    // write time: another program may have stored it a moment ago; the outcome is then Stale), the
    // history holds kMaxDraws draws already, or the file is damaged.
    // With `seen`, refused (stale) when the history is no longer the one the user saw.
    ChangeResult addDraw(std::int32_t issue, const std::array<int, 8>& numbers,
                         const RowRules& rules, int calendarYear,
                         const SeenHistory* seen = nullptr);
    // The commands below that remove draws first back up the history to 备份/ and check the
    // file whole (removal_guard.h); with `seen` they are refused (stale) when the history is no
    // longer the one the user saw.
    // Deletes the newest draw (one row, also when two share the newest issue), then compacts.
    // An empty history is not an error: ok with no issue.
    ChangeResult deleteLast(const SeenHistory* seen = nullptr);
    // Deletes every draw.
    ChangeResult clear(const SeenHistory* seen = nullptr);
    ChangeResult compact();

    // The import, the merge and the update end with the history check (their `findings`).
    ImportResult importFile(const std::filesystem::path& path, const ImportParams& params);
    // Adds the file's draws whose issues are not stored (mergeHistoryFile).
    MergeResult mergeFile(const std::filesystem::path& path, const ImportParams& params,
                          const std::function<bool(const MergeResult&)>& confirm = {});
    // The history check on its own.
    store::Checked<std::vector<Finding>> check();
    TrimResult trimToIssue(std::int32_t lastKept, const ImportParams& params,
                           const SeenHistory* seen = nullptr);
    TrimResult trimLastDraws(std::int32_t count, const ImportParams& params,
                             const SeenHistory* seen = nullptr);
    ImportResult rebuild(const ImportParams& params);
    // Every stored draw built again under params.rules, its backup in lsbf.txt.
    TrimResult rebuildCodes(const ImportParams& params);
    UpdateResult update(PageSource& source, const UpdateParams& params);

    // The history as a trim with `value` would find it (see trimKeepsNothing).
    store::Checked<TrimPreview> previewTrim(TrimKind kind, std::int32_t value);
    // Writes the history text export (export.h) and gives its path.
    store::Checked<std::filesystem::path> exportText();

    store::HistoryDb& db() { return db_; }

  private:
    // Done when the history can be worked on; otherwise why not (not open, moved away).
    store::Outcome checkOpen();
    store::HistoryDb& db_;
};

}  // namespace quarvel::io
