#pragma once
// Reading a history text file into the history: the whole history is replaced by the draws of
// the file, or, on any failure, left exactly as it was.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "history_io/history_check.h"
#include "history_io/history_file.h"
#include "store/history_db.h"
#include "store/outcome.h"

namespace quarvel::io {

// Texts of the question asked before an import and of the file dialog.
inline constexpr const char* kImportTitle = "读入历史";
inline constexpr const char* kImportQuestion =
    "确实要读入最新历史号码吗？点击'确认'读入,点击'取消'"
    "放弃该操作。确要读入请保证安装目录下存在历史号码的文本文件文件。"
    "读取时可能要花费一段时间,请耐心等候！";
inline constexpr const char* kImportFolder = "历史号码";  // below the program folder
inline constexpr const char* kImportFilter = "Text(*.txt)|*.txt";

// What an import would do to the history, told before anything changes when it would leave
// out stored draws.
struct ImportPreview {
    // What the file was read as ("识别为 CSV（有表头、日期列），2,921 期，2007001–2026041"); empty
    // for the program's own history text.
    std::string layout;
    std::size_t fileDraws = 0;                   // draws of the file
    std::int32_t firstIssue = 0, lastIssue = 0;  // of the file's draws
    std::size_t storedDraws = 0;                 // draws stored now
    std::size_t lostDraws = 0;                   // stored draws whose issue the file does not hold
    std::size_t changedDraws = 0;  // stored draws whose issue the file holds with other numbers
    std::filesystem::path backup;  // the history as it stands, already written
};

// The question asked before an import of a file in another layout, or one that would leave out
// or change stored draws, in Chinese: the layout first, then what would be lost.
std::string importLossQuestion(const ImportPreview& p);

struct ImportParams {
    RowRules rules;
    OpenForReading open = openFileForReading;  // tests substitute failing readers
    // Asked when the file is not the program's own text, or lacks issues the history holds, or
    // holds them with other numbers (the window asks the user); false ends the import with
    // nothing changed. Unset: the import goes on (scripts).
    std::function<bool(const ImportPreview&)> confirmLoss;
};

// Why an import did not replace the history, for callers that act on the reason (the window
// refreshes after Refused and only notes Cancelled; quarvel-cli treats NotATextFile as a bad
// argument).
enum class ImportError {
    None,
    NotATextFile,    // no longer given: every name is read, the content tells the layout
    Unreadable,      // missing, a folder, or a read error before the end
    TooManyDraws,    // more draws than the history can number
    NoDraws,         // not one usable line: a wrong file must not wipe the history
    StoreFailed,     // the database refused the new rows; the old ones are kept
    NotHistoryText,  // no layout of draws: a NUL byte, an unreadable workbook, too few draw lines
    Refused,         // no backup could be written, the file is damaged, or the history changed
    Cancelled,       // the user did not want the stored draws left out
};

struct ImportResult {
    std::size_t drawsStored = 0;
    // Non-blank lines that gave no draw (fewer than eight numbers, no usable or a mistyped issue,
    // numbers that cannot be a draw), and the first few of their 1-based line numbers.
    std::size_t linesSkipped = 0;
    std::vector<std::size_t> firstSkippedLines;
    std::size_t blankLines = 0;
    ImportError error = ImportError::None;
    // Done, or the Chinese sentence for the user and the technical detail (file, SQLite's words).
    store::Outcome outcome;
    std::filesystem::path backup;  // the history replaced, as history text; empty when it was empty
    // What the file was read as (recognitionSentence), once it was read; empty for the
    // program's own history text.
    std::string layout;
    std::vector<Finding> findings;  // the history check after it (HistoryService)
    bool ok() const { return outcome.ok(); }
};

// The steps shared by the import and the rebuild after trimming: read the whole file (the issue
// before its first line is the last stored issue + 1), check it, then replace the history in one
// transaction. Nothing is changed unless every check passes and every row is stored.
struct ReplaceChecks {
    bool refuseEmpty = true;                             // a file without a draw is refused
    const std::vector<HistoryDraw>* expected = nullptr;  // the draws the file must give, if known
    // The command named in the backup written before the history is replaced; empty when the
    // caller has written it already inside its own transaction.
    std::string backupCommand;
};
ImportResult replaceHistoryFromFile(store::HistoryDb& db, const std::filesystem::path& path,
                                    const ImportParams& params, const ReplaceChecks& checks);

// The refusal of a file that is not a history text: "文件中只有 N 行是号码，共 M 行，…".
std::string notHistoryTextSentence(std::size_t drawLines, std::size_t lines);

// Replaces the history by the draws of the file, whatever its name: its layout is recognised
// from the content (layout_reader.h). The file is read to its end first and refused when it is
// no list of draws (a NUL byte, fewer than half of its non-blank lines draws).
// Then, in one transaction, the history as it stands is backed up to 备份/ and the file checked
// whole, every row is deleted, one row per draw appended and IDX renumbered. The
// issue before the first line is the next issue (last stored + 1), so a first line without an
// issue field gets the last stored issue + 2. A file without a single draw is refused (the
// history is cleared by its own command, not by reading the wrong file).
ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params);

}  // namespace quarvel::io

namespace quarvel::io {

// A draw the file holds under a stored issue with other numbers: kept as stored.
struct MergeDifference {
    std::int32_t issue = 0;
    std::array<int, kNumbersPerDraw> stored{}, file{};
};

struct MergeResult {
    ImportError error = ImportError::None;  // as for the import; Cancelled when not confirmed
    store::Outcome outcome;
    std::string layout;              // what the file was read as (empty: the program's own text)
    std::size_t added = 0;           // draws whose issue was not stored
    std::size_t alreadyStored = 0;   // draws stored already with the same numbers
    std::size_t repeatedInFile = 0;  // later draws of an issue the file holds twice: not added
    std::vector<MergeDifference> differing;
    std::size_t linesSkipped = 0;
    std::vector<Finding> findings;  // the history check after it (HistoryService)
    bool ok() const { return outcome.ok(); }
};

// The question asked before a merge, in Chinese: what the file was read as, how many draws it
// adds and how many differ from the stored ones.
std::string mergeQuestion(const MergeResult& preview);
// What a merge did, in Chinese: how many draws it added and how many were stored already.
std::string mergeSummary(const MergeResult& result);

// Adds the draws of the file (any layout) whose issues are not stored, in one write
// transaction after the whole-file check; stored draws are never changed, the ones the file
// holds with other numbers are listed. `confirm`, when given, is asked with the preview before
// anything changes (false: Cancelled).
MergeResult mergeHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                             const ImportParams& params,
                             const std::function<bool(const MergeResult&)>& confirm = {});

}  // namespace quarvel::io
