#pragma once
// The history database quarvel.mdb: table Lishi (one row per draw) and YL (group results),
// the two standing cursors rsLishi and rsLishiSort, and the shared store operations.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "store/engine.h"

namespace quarvel::store {

inline constexpr const char* kDbFileName = "quarvel.mdb";
inline constexpr const char* kDbTmpFileName = "quarvelTmp.mdb";
inline constexpr const char* kSortedHistorySql = "SELECT * FROM lishi ORDER BY SQQH";
// The history list's columns (SQQH, L1A … L8A) of every draw in issue order.
inline constexpr const char* kHistoryListSql =
    "SELECT SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A FROM lishi ORDER BY SQQH";
// The history is limited to what a 16-bit ordinal can number.
inline constexpr int kMaxDraws = 32766;
// How long a compaction waits for other programs' transactions before it says the history is in
// use.
inline constexpr int kCompactWaitMs = 5000;

// The columns of Lishi in their table order (the internal key RowSeq first is not listed).
const std::vector<std::string>& lishiColumns();

class HistoryDb {
  public:
    explicit HistoryDb(std::filesystem::path dataDir);

    // OpenHistoryDb: opens quarvel.mdb (creating it with Lishi and YL when the file is
    // missing) and both standing cursors. DbError when the file cannot be used; such a file is
    // never overwritten.
    void open();
    void close();
    bool isOpen() const { return db_.isOpen(); }

    const std::filesystem::path& dataDir() const { return dataDir_; }
    std::filesystem::path dbPath() const { return dataDir_ / kDbFileName; }
    std::filesystem::path tmpPath() const { return dataDir_ / kDbTmpFileName; }

    // DbError when the database is not open.
    Database& db();
    TableCursor& rsLishi();
    // The sorted history as a whole copy. It is read when first asked for after the database
    // opens, not at opening: the commands read what they need through the narrow reads below.
    Snapshot& rsLishiSort();
    // Reopens rsLishiSort on the sorted history (a snapshot does not see later writes).
    Snapshot& reopenSort();
    // After a write: rsLishiSort is read again when next asked for (not copied now, since a
    // full copy of a large history costs tens of megabytes that no write needs).
    void historyChanged();
    // Counts the calls of historyChanged (and the openings): what was read from the history
    // may be kept while this and the database's content stamp stay the same.
    std::uint64_t historyGeneration() const { return generation_; }

    // Narrow reads, each one query from a fresh look at the table.
    // Issues of the oldest and newest stored draw; nullopt when empty.
    std::optional<std::int32_t> firstIssue();
    std::optional<std::int32_t> lastIssue();
    std::size_t drawCount();
    // IDX of the newest draw in issue order (the last of equal issues); 0 when empty.
    int newestIdx();
    // The newest draw in issue order whose issue is not greater than `issue`, every column;
    // no row when there is none.
    Snapshot drawAtOrBefore(std::int64_t issue);
    // Every stored row of `issue`, every column, in the order they were stored.
    Snapshot drawsOfIssue(std::int64_t issue);
    // The history list's columns (SQQH, L1A … L8A) of every draw in issue order.
    Snapshot historyList();

    // RenumberIdx: IDX = 1..N in SQQH order, equal issues in insertion order.
    void renumberIdx();
    // CompactDb: writes the compacted copy quarvelTmp.mdb beside the database (kept as a
    // backup of the history), then compacts quarvel.mdb in place under SQLite's locking, so
    // that other programs with the file open go on working on it, a link stays a link and the
    // file keeps its owner and permissions. A read-only file, or one another program keeps busy
    // longer than a few seconds, gives DbError with quarvel.mdb unchanged.
    void compact();

    // True when the file at dbPath() is no longer the one that was opened (another program
    // replaced, moved or deleted it).
    bool replacedOnDisk() const;
    // Reopens the database when replacedOnDisk(), so that no write goes to a file that is no
    // longer the history. DbError (DbFault::Missing) when no file is there any more: a new
    // empty history is not created behind the user's back.
    void reopenIfReplaced();

  private:
    struct FileId {
        unsigned long long device = 0, inode = 0;
        bool operator==(const FileId&) const = default;
    };
    static std::optional<FileId> fileIdOf(const std::filesystem::path& p);
    void openCursors();
    std::filesystem::path dataDir_;
    Database db_;
    std::optional<FileId> openedFile_;
    std::optional<TableCursor> rsLishi_;
    Snapshot rsLishiSort_;
    bool sortRead_ = false;  // rsLishiSort_ holds the sorted history read since opening
    std::uint64_t generation_ = 0;
};

// Delrec: deletes every row of the cursor, from the last row backwards.
void delrec(RowCursor& cursor);

}  // namespace quarvel::store
