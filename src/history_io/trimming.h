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

// The kept-years answer: a whole number 2..16; anything else (a non-number included) is refused
// with kKeptYearsRefusal and asked again. An empty answer ends the question without a change;
// the caller checks for it before calling this.
std::optional<int> parseKeptYears(std::string_view text);

struct TrimResult {
    std::size_t drawsKept = 0;
    bool rebuilt = false;  // the history now holds exactly the kept draws
    bool compacted = false;
    std::string errorText;  // why the history is unchanged; empty when it was trimmed
    std::string warning;    // the history was trimmed, but something after it failed (compaction)
    bool ok() const { return errorText.empty(); }
};

// Keeps the draws up to and including `lastKept` (issue order), deletes all later ones.
TrimResult trimToIssue(store::HistoryDb& db, std::int32_t lastKept, const ImportParams& params);
// Deletes the last `count` draws in issue order (all of them when count >= the history).
TrimResult trimLastDraws(store::HistoryDb& db, std::int32_t count, const ImportParams& params);

// Dqzd: replaces the history with the draws of lsbf.txt in one transaction. An unreadable
// backup or a failure half way leaves the old rows whole. Lines are read as by the import.
ImportResult rebuildFromBackup(store::HistoryDb& db, const ImportParams& params);

std::filesystem::path backupPath(const store::HistoryDb& db);

}  // namespace quarvel::io
