#pragma once
// What every analysis view writes on a double click: its grid as a spreadsheet, through the
// guarded writer (pictures: picture_save.h).

#include <QString>

namespace quarvel::app {

struct AppContext;
class GridView;

// A double click anywhere on `grid` exports what it shows to dataDir/fileName.
void exportOnDoubleClick(AppContext& ctx, GridView* grid, const QString& fileName);

}  // namespace quarvel::app
