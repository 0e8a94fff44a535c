#pragma once
// Copying a grid into a spreadsheet file in the data folder (lishi.xls, Jiansuo.xls,
// Jieguo.xls) and showing it in the desktop's spreadsheet program.

#include <QString>

#include "store/text_grid.h"

namespace quarvel::app {

struct AppContext;

// Writes the grid to dataDir/fileName (an earlier file of that name is replaced) and opens it
// in the desktop's program. When nothing can open it, a message says where it was saved; a grid
// too large for a workbook or a failed write is refused with a message and leaves an earlier
// file as it was. Returns true when the file was written.
bool exportGridToXls(AppContext& ctx, const store::TextGrid& grid, const QString& fileName);

}  // namespace quarvel::app
