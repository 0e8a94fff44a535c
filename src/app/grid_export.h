#pragma once
// Copying a grid into a spreadsheet file in the data folder (lishi.xls, Jiansuo.xls,
// Jieguo.xls) and showing it in the desktop's spreadsheet program.

#include <QString>

#include "store/text_grid.h"

class QWidget;

namespace quarvel::app {

struct AppContext;

// Writes the grid to dataDir/fileName and opens it in the desktop's program. An earlier file of
// that name is replaced only when the user agrees (unless `replaceAgreed`: the caller asked
// already). The questions and messages belong to `from`'s window (the main window when null). When
// nothing can open it, a message says where it was saved; a grid too large for a workbook or a
// failed write is refused with a message and leaves an earlier file as it was. Returns true when
// the file was written.
bool exportGridToXls(AppContext& ctx, const store::TextGrid& grid, const QString& fileName,
                     QWidget* from = nullptr, bool replaceAgreed = false);
// The question before a file is replaced: "… 已存在。要替换它吗？".
QString replaceQuestion(const QString& shownPath);

}  // namespace quarvel::app
