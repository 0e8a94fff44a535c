#pragma once
// Writing the whole history, as the history list shows it, to a text file in the data folder
// in the history text format, so that it can be edited and read back.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/history_db.h"
#include "store/text_grid.h"

namespace quarvel::io {

// "更新至" + last issue + "期历史号码.txt"; an empty history (last issue 0) gives
// "更新至期历史号码.txt".
std::string exportFileName(std::int32_t lastIssue);

// Writes the export file in the data folder (CR LF, replaced atomically) from a fresh history
// list and returns its path. Throws IoError when it cannot be written.
std::filesystem::path exportHistory(store::HistoryDb& db);

// A path from UTF-8 text (the file names of this program are Chinese).
std::filesystem::path utf8Path(const std::string& text);

}  // namespace quarvel::io
