#pragma once
// Cutting the history back from its newest end: the draws that stay are written to the backup
// file lsbf.txt in the data folder, the history is rebuilt from that file, and the database is
// compacted. Also the input rules of the kept-years setting.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "history_io/import.h"
#include "store/history_db.h"

namespace quarvel::io {

inline constexpr const char* kBackupFileName = "lsbf.txt";

// Texts of the input boxes and of the kept-years refusal.
inline constexpr const char* kTrimTitle = "删除期数";
inline constexpr const char* kTrimToPrompt = "请输入需要删除到的期数，例如‘2014016’";
inline constexpr const char* kTrimLastPrompt =
    "请输入需要删除最后多少期历史号码（例如输入3，那么就将删除最后的3期历史号码）";
inline constexpr const char* kKeptYearsTitle = "设置年数";
inline constexpr const char* kKeptYearsPrompt =
    "请输入更新需要保留的历史号码的年数（2~"
    "16中的任意自然数），如果超过年数将删除最早的一年的历史号码";
inline constexpr const char* kKeptYearsRefusalTitle = "输入有误";
inline constexpr const char* kKeptYearsRefusal =
    "为了保证时效性和提高计算效率，软件只能统计16年以内的数据，请输入2到16中的自然数。";

// The answer of a trimming input box as a 32-bit whole number (blanks around it allowed).
// Empty, non-numeric, out-of-range, zero or negative answers give nullopt: no change.
std::optional<std::int32_t> parseTrimInput(std::string_view text);
// What the user is told when parseTrimInput refused `answer` (Chinese, names the answer).
std::string trimInputRefusal(std::string_view answer);

// The two ways of cutting the history back: keep up to an issue, or delete the last N draws.
enum class TrimKind { ToIssue, LastDraws };

// Whether a trim with `value` (the issue kept up to, or the count removed) would leave no draw
// of a history of `stored` draws whose oldest is `first`. An empty history has nothing to lose,
// so for it the answer is false. The window asks before such a trim, as clearing asks.
bool trimKeepsNothing(TrimKind kind, std::int32_t value, std::optional<std::int32_t> first,
                      std::size_t stored);
// The history as a trim decision sees it.
struct TrimPreview {
    std::size_t stored = 0;     // draws stored now
    bool keepsNothing = false;  // trimKeepsNothing for them
};

// The kept-years answer: a whole number 2..16; anything else (a non-number included) is refused
// with kKeptYearsRefusal and asked again. An empty answer ends the question without a change;
// the caller checks for it before calling this.
std::optional<int> parseKeptYears(std::string_view text);

// Told when a trim or a rebuild did not change the history; the outcome's detail says why.
inline constexpr const char* kNotTrimmed = "历史号码没有删除，历史号码未改变。";
inline constexpr const char* kNotRebuilt = "历史号码的代码没有重建，历史号码未改变。";

struct TrimResult {
    std::size_t drawsKept = 0;
    bool rebuilt = false;  // the history now holds exactly the kept draws
    bool compacted = false;
    // Done when trimmed; otherwise kNotTrimmed (kNotRebuilt) with the reason as its detail, and
    // Stale when the history is no longer the one the user saw.
    store::Outcome outcome;
    std::string warning;  // the history was trimmed, but something after it failed (compaction)
    std::filesystem::path backup;  // the history before the trim, in 备份/ (empty for an empty one)
    bool ok() const { return outcome.ok(); }
};

struct SeenHistory;

// Keeps the draws up to and including `lastKept` (issue order), deletes all later ones. With
// `seen`, refused (stale) when the newest draw or the count is no longer the one seen.
TrimResult trimToIssue(store::HistoryDb& db, std::int32_t lastKept, const ImportParams& params,
                       const SeenHistory* seen = nullptr);
// Deletes the last `count` draws in issue order (all of them when count >= the history).
TrimResult trimLastDraws(store::HistoryDb& db, std::int32_t count, const ImportParams& params,
                         const SeenHistory* seen = nullptr);

// Rebuilds every stored draw under `params.rules` (after a change of the zodiac or segment
// base), the way a trim rebuilds: the history written to lsbf.txt, then read back in one
// transaction; on any failure the old rows stay whole.
TrimResult rebuildCodes(store::HistoryDb& db, const ImportParams& params);

// Dqzd: replaces the history with the draws of lsbf.txt in one transaction. An unreadable
// backup or a failure half way leaves the old rows whole. Lines are read as by the import.
ImportResult rebuildFromBackup(store::HistoryDb& db, const ImportParams& params);

std::filesystem::path backupPath(const store::HistoryDb& db);

}  // namespace quarvel::io
