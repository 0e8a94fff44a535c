#pragma once
// Grid export: a TextGrid as an .xls workbook (BIFF8 in an OLE2 compound file) with one
// worksheet "Sheet1". Grid cell (row i, column j) becomes worksheet cell (i, j) counted from 0,
// so A1 holds cell (0, 0); every cell is a text cell with the grid's displayed text. Empty grid
// cells are left out (the cell stays blank); the sheet's dimensions are still the grid's.

#include <filesystem>
#include <stdexcept>
#include <string>

#include "store/outcome.h"
#include "store/text_grid.h"

namespace quarvel::io {

// The grid does not fit a worksheet: too many rows or columns, or a cell too long.
class XlsLimitError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

inline constexpr int kXlsMaxRows = 65536;
inline constexpr int kXlsMaxCols = 256;

// The workbook file's bytes. Throws XlsLimitError for a grid the format cannot hold (more than
// 65,536 rows or 256 columns, a cell of more than 32,767 characters, a workbook over 4 GiB).
// The sheet is as wide as the grid's widest row; a shorter row ends in blank cells.
std::string buildXlsWorkbook(const store::TextGrid& grid);

// Builds the workbook and writes it atomically over `path` (IoError when the write fails; an
// existing file is then left as it was).
void writeXlsFile(const std::filesystem::path& path, const store::TextGrid& grid);

// The same, told as an outcome: Refused ("列表太大，无法写入表格文件") for a grid the format
// cannot hold, Failed ("无法保存 <path>") when the file cannot be written; the detail says why.
store::Outcome saveXlsFile(const std::filesystem::path& path, const store::TextGrid& grid);

}  // namespace quarvel::io
