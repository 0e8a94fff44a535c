#pragma once
// Reading a whole history text file into draws, and replacing the stored history with draws in
// one transaction. The import and the rebuild after trimming share both steps, so that a file
// is always read to its end before the first stored row is touched.

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <istream>
#include <memory>
#include <string_view>
#include <vector>

#include "history_io/text_format.h"
#include "store/draw_record.h"
#include "store/history_db.h"

namespace quarvel::io {

struct HistoryDraw {
    std::int32_t issue = 0;
    std::array<int, kNumbersPerDraw> numbers{};
    bool operator==(const HistoryDraw&) const = default;
};

// How many line numbers of skipped lines are kept to show the user.
inline constexpr std::size_t kSkippedLinesListed = 5;

struct HistoryText {
    std::vector<HistoryDraw> draws;  // at most the limit given to readHistoryText
    std::size_t drawLines = 0;       // lines that gave a draw, also beyond the limit
    // Non-blank lines without a draw: short, no usable issue, a mistyped issue, or numbers that
    // cannot be a draw. Each still advanced the carried issue.
    std::size_t skippedLines = 0;
    std::vector<std::size_t>
        firstSkippedLines;  // 1-based line numbers, at most kSkippedLinesListed
    std::size_t blankLines = 0;
};

// Opens a file for reading. Throws IoError when it is missing, is a folder or cannot be opened.
using OpenForReading = std::function<std::unique_ptr<std::istream>(const std::filesystem::path&)>;
std::unique_ptr<std::istream> openFileForReading(const std::filesystem::path& path);

// Reads every line of `in` (a line ends at CR LF, at LF or at a CR alone; a UTF-8 byte order
// mark at the start is ignored). `previousIssue` is the issue before the first line. Draws beyond
// `maxDraws` are counted but not kept. A read error (as opposed to the end of the text) throws
// IoError.
HistoryText readHistoryText(std::istream& in, std::int64_t previousIssue, std::size_t maxDraws);
// The same reading of text already in memory.
HistoryText readHistoryText(std::string_view text, std::int64_t previousIssue,
                            std::size_t maxDraws);

// Rows for the draws, the draw's own issue giving the zodiac year.
struct RowRules {
    store::ZodiacCodes codes = store::ZodiacCodes::startup(1);
    int dsBase = 1;
    static RowRules fromBases(store::Bases b) { return {store::ZodiacCodes::startup(b.sx), b.ds}; }
};

// In one transaction: deletes every row of Lishi, appends one row per draw, renumbers IDX;
// commits, then reopens rsLishiSort. On any failure the old rows stay whole and the error
// (store::DbError) propagates.
void replaceHistory(store::HistoryDb& db, const std::vector<HistoryDraw>& draws,
                    const RowRules& rules);

// The stored draws in issue order (from a fresh read of the sorted history).
std::vector<HistoryDraw> storedDraws(store::HistoryDb& db);

}  // namespace quarvel::io
