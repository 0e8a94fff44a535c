#pragma once
// One reader for the history files users bring: the program's own text, text, CSV or TSV lists
// with or without a header (separated by blanks, tabs, commas, semicolons or full-width blanks),
// 7- or 5-digit issues (07001 is 2007001), date, time and weekday columns, eight numbers or
// seven and a special one apart, newest or oldest first, in GBK, UTF-8 or UTF-16; JSON arrays
// of objects; .xls sheets. The layout is told by the content, never by the file's name, and
// described to the user before anything changes.

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "history_io/history_file.h"

namespace quarvel::io {

enum class FileKind { OwnText, Text, Csv, Tsv, Semicolon, Json, Xls };

struct RecognisedHistory {
    HistoryText text;  // the draws in the order the file lists them, oldest first after reading
    FileKind kind = FileKind::OwnText;
    bool header = false;
    bool dateColumn = false;
    bool weekdayColumn = false;
    bool shortIssues = false;   // 5-digit issues
    bool specialApart = false;  // seven numbers, then the special number apart
    bool newestFirst = false;   // the file lists the newest draw first (turned round here)
    std::string encoding;       // see DecodedText; empty for plain ASCII
    // Not a list of draws at all: a NUL byte after decoding, or a workbook libfreexl refuses.
    bool notText = false;
    std::string detail;  // why, for the technical detail
};

// Reads the file's bytes (the path only for a workbook, which libfreexl opens itself).
// `previousIssue` and `maxDraws` as for readHistoryText: the program's own text keeps its rules
// (an issue-less line takes the previous issue plus one, runs of digits cut into pairs).
RecognisedHistory readAnyHistory(std::string_view bytes, const std::filesystem::path& path,
                                 std::int64_t previousIssue, std::size_t maxDraws);

// "CSV（有表头、日期列、GBK）" — what kind of file and what was seen in it.
std::string layoutDescription(const RecognisedHistory& r);
// "识别为 CSV（有表头、日期列），2,921 期，2007001–2026041"
std::string recognitionSentence(const RecognisedHistory& r);

}  // namespace quarvel::io
