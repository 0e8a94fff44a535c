#pragma once
// Reading a history text file into the history: the whole history is replaced by the draws of
// the file, or, on any failure, left exactly as it was.

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

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
    std::size_t fileDraws = 0;                   // draws of the file
    std::int32_t firstIssue = 0, lastIssue = 0;  // of the file's draws
    std::size_t storedDraws = 0;                 // draws stored now
    std::size_t lostDraws = 0;                   // stored draws whose issue the file does not hold
    std::filesystem::path backup;                // the history as it stands, already written
};

// The question asked when an import would leave out stored draws, in Chinese.
std::string importLossQuestion(const ImportPreview& p);

struct ImportParams {
    RowRules rules;
    OpenForReading open = openFileForReading;  // tests substitute failing readers
    // Asked when the file lacks issues the history holds (the window asks the user); false
    // ends the import with nothing changed. Unset: the import goes on (scripts).
    std::function<bool(const ImportPreview&)> confirmLoss;
};

// Why an import did not replace the history, for callers that act on the reason (the window
// refreshes after Refused and only notes Cancelled; quarvel-cli treats NotATextFile as a bad
// argument).
enum class ImportError {
    None,
    NotATextFile,    // the name does not end in "txt": refused before anything is touched
    Unreadable,      // missing, a folder, or a read error before the end
    TooManyDraws,    // more draws than the history can number
    NoDraws,         // not one usable line: a wrong file must not wipe the history
    StoreFailed,     // the database refused the new rows; the old ones are kept
    NotHistoryText,  // a NUL byte, or fewer than half of the non-blank lines are draws
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

// The import's file kind: true when the last three characters of the file name are "txt", in
// any case. importHistoryFile refuses other names (NotATextFile) before touching anything.
bool hasTextFileName(const std::filesystem::path& path);

// Replaces the history by the draws of the file. The file is read to its end first and refused
// when it is not a history text (a NUL byte, fewer than half of its non-blank lines draws).
// Then, in one transaction, the history as it stands is backed up to 备份/ and the file checked
// whole, every row is deleted, one row per draw appended and IDX renumbered. The
// issue before the first line is the next issue (last stored + 1), so a first line without an
// issue field gets the last stored issue + 2. A file without a single draw is refused (the
// history is cleared by its own command, not by reading the wrong file).
ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params);

}  // namespace quarvel::io
