#pragma once
// What every analysis view writes: its grid as a spreadsheet on a double click, and its chart
// as a PNG picture at a place the user chooses (the data folder offered), both through the
// guarded writer.

#include <QString>

class QWidget;

namespace quarvel::app {

struct AppContext;
class GridView;

// A double click anywhere on `grid` exports what it shows to dataDir/fileName.
void exportOnDoubleClick(AppContext& ctx, GridView* grid, const QString& fileName);

// Asks where to save the picture of `chart` (dataDir/defaultName offered) and writes it; false
// when the user cancels or the write fails (with a message).
bool saveChartPicture(AppContext& ctx, QWidget* chart, const QString& defaultName);

}  // namespace quarvel::app
