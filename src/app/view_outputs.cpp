#include "app/view_outputs.h"

#include "app/app_context.h"
#include "app/grid_clicks.h"
#include "app/grid_export.h"
#include "app/grid_view.h"

namespace quarvel::app {

void exportOnDoubleClick(AppContext& ctx, GridView* grid, const QString& fileName) {
    grid->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    QObject::connect(grid->clicks(), &GridClicks::doubleClicked, grid, [&ctx, grid, fileName] {
        exportGridToXls(ctx, grid->grid(), fileName, grid);
    });
}

}  // namespace quarvel::app
