#pragma once
// Reading a history text file into the history: the whole history is replaced by the draws of
// the file, or, on any failure, left exactly as it was.

#include <cstddef>
#include <filesystem>
#include <string>

#include "history_io/history_file.h"
#include "store/history_db.h"

namespace quarvel::io {

// Texts of the question asked before an import and of the file dialog.
inline constexpr const char* kImportTitle = "读入历史";
inline constexpr const char* kImportQuestion =
    "确实要读入最新历史号码吗？点击'确认'读入,点击'取消'"
    "放弃该操作。确要读入请保证安装目录下存在历史号码的文本文件文件。"
    "读取时可能要花费一段时间,请耐心等候！";
inline constexpr const char* kImportFolder = "历史号码";  // below the program folder
inline constexpr const char* kImportFilter = "Text(*.txt)|*.txt";

struct ImportParams {
    RowRules rules;
    OpenForReading open = openFileForReading;  // tests substitute failing readers
};

enum class ImportError {
    None,
    NotATextFile,  // the name does not end in "txt": refused before anything is touched
    Unreadable,    // missing, a folder, or a read error before the end
    TooManyDraws,  // more draws than the history can number
    NoDraws,       // not one usable line: a wrong file must not wipe the history
    StoreFailed,   // the database refused the new rows; the old ones are kept
};

struct ImportResult {
    std::size_t drawsStored = 0;
    // Non-blank lines that gave no draw (fewer than eight numbers, no usable or a mistyped issue,
    // numbers that cannot be a draw), and the first few of their 1-based line numbers.
    std::size_t linesSkipped = 0;
    std::vector<std::size_t> firstSkippedLines;
    std::size_t blankLines = 0;
    ImportError error = ImportError::None;
    std::string errorText;
    bool ok() const { return error == ImportError::None; }
};

// The steps shared by the import and the rebuild after trimming: read the whole file (the issue
// before its first line is the last stored issue + 1), check it, then replace the history in one
// transaction. Nothing is changed unless every check passes and every row is stored.
struct ReplaceChecks {
    bool refuseEmpty = true;                             // a file without a draw is refused
    const std::vector<HistoryDraw>* expected = nullptr;  // the draws the file must give, if known
};
ImportResult replaceHistoryFromFile(store::HistoryDb& db, const std::filesystem::path& path,
                                    const ImportParams& params, const ReplaceChecks& checks);

// True when the last three characters of the file name are "txt", in any case.
bool hasTextFileName(const std::filesystem::path& path);

// Replaces the history by the draws of the file. The file is read to its end first; then, in
// one transaction, every row is deleted, one row per draw appended and IDX renumbered. The
// issue before the first line is the next issue (last stored + 1), so a first line without an
// issue field gets the last stored issue + 2. A file without a single draw is refused (the
// history is cleared by its own command, not by reading the wrong file).
ImportResult importHistoryFile(store::HistoryDb& db, const std::filesystem::path& path,
                               const ImportParams& params);

}  // namespace quarvel::io
