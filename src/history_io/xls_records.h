#pragma once
// The first sheet of an .xls workbook (BIFF in a compound file) read through libfreexl, each
// row as the text of its cells.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::io {

// True when the bytes start like a compound file (an .xls workbook, whatever its name).
bool looksLikeCompoundFile(std::string_view bytes);

// Rows of the first sheet, cells as text: whole numbers in decimal (a number of up to five
// digits that stands for a short issue keeps its leading zero only as written, so 7001 reads
// "7001"), dates as YYYY-MM-DD. nullopt when libfreexl cannot read the file; `why` says why.
std::optional<std::vector<std::vector<std::string>>> readXlsRows(const std::filesystem::path& file,
                                                                 std::string& why);

}  // namespace quarvel::io
