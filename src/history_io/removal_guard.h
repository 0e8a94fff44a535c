#pragma once
// What every command does before it removes or rewrites stored draws: it writes the history as
// it stands, in the history text format, to the data folder's 备份 folder (so that importing
// that file brings it back), and it makes sure the database file is whole. Both run inside the
// command's write transaction, so the backup holds exactly the draws the command replaces.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history_io/history_file.h"
#include "store/history_db.h"
#include "store/text_grid.h"

namespace quarvel::io {

inline constexpr const char* kBackupFolder = "备份";
inline constexpr std::size_t kBackupsKept = 20;
// The record, in the backup folder, of the backups written there, oldest first: pruning goes by
// it, so that a clock set back or another time zone never takes a newer backup for an old one,
// and a file of the user's named like a backup is never removed.
inline constexpr const char* kBackupRecord = ".quarvel-backups";

// The backup folder of a data folder.
std::filesystem::path backupFolder(const store::HistoryDb& db);

// The stored draws in issue order, read from the table itself rather than through the issue
// index, so that a damaged index cannot hide or alter a draw.
std::vector<HistoryDraw> storedDrawsFromTable(store::HistoryDb& db);

// Writes `draws` to 备份/YYYYMMDD-HHMMSS-<command>.txt (local time; "-2", "-3" ... before
// ".txt" when that name is taken), records it, and removes the oldest recorded backups beyond
// kBackupsKept (by the order they were written; never the new one). Returns the file written.
// Throws IoError when it cannot be written. Runs inside the command's write transaction, so
// that the record is not changed by two programs at once.
std::filesystem::path writeHistoryBackup(store::HistoryDb& db,
                                         const std::vector<HistoryDraw>& draws,
                                         std::string_view command);

// The answer of PRAGMA integrity_check when it is not "ok"; nullopt for a whole file.
std::optional<std::string> integrityFault(store::Database& db);

// Before draws are removed or rewritten, inside the write transaction: the backup of the
// history as it stands (none for an empty history) and the whole-file check.
struct RemovalGuard {
    std::vector<HistoryDraw> stored;  // the history as read for the backup
    std::filesystem::path backup;     // the file written; empty when the history was empty
    std::string refusal;              // why nothing may change (Chinese); empty when it may
    std::string detail;               // the technical reason of a refusal, may be empty
    bool ok() const { return refusal.empty(); }
};
RemovalGuard guardRemoval(store::HistoryDb& db, std::string_view command);

// What the user saw of the history when choosing a removal: the newest issue and the count of
// the window's last refresh, and the fingerprint of every draw it listed.
struct SeenHistory {
    std::optional<std::int32_t> newest;
    std::size_t draws = 0;
    // historyFingerprint of the list shown; without it only the newest issue and count are
    // compared.
    std::optional<std::uint64_t> fingerprint;
};

// A fingerprint of the draws of a history list (store::historyListGrid: issue and eight numbers
// of every draw in issue order): two lists give the same value only when they hold the same
// draws, as far as a 64-bit hash tells.
std::uint64_t historyFingerprint(const store::TextGrid& list);
// What the history stored now looks like to the user, as the list would show it.
SeenHistory seenHistoryOf(const store::TextGrid& list);
// Inside the write transaction: why the history is no longer the one seen (Chinese), or empty.
// Any draw that differs counts, also when the count and the newest issue are the same.
std::string staleRefusal(store::HistoryDb& db, const SeenHistory* seen);

// The whole-file check alone, for commands that only add draws (Chinese refusal or empty).
std::string integrityRefusal(store::HistoryDb& db);

// "原历史已备份到 <file>。", or nothing when no backup was written.
std::string backupSentence(const std::filesystem::path& backup);

}  // namespace quarvel::io
