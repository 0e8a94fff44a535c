#include "app/view_outputs.h"

#include <QBuffer>
#include <QWidget>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/grid_clicks.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/qt_paths.h"
#include "history_io/atomic_file.h"

namespace quarvel::app {

void exportOnDoubleClick(AppContext& ctx, GridView* grid, const QString& fileName) {
    grid->setToolTip(QStringLiteral("鼠标双击列表可以将列表导出到EXCEL"));
    QObject::connect(grid->clicks(), &GridClicks::doubleClicked, grid,
                     [&ctx, grid, fileName] { exportGridToXls(ctx, grid->grid(), fileName); });
}

bool saveChartPicture(AppContext& ctx, QWidget* chart, const QString& defaultName) {
    const QString title = QStringLiteral("保存图片");
    if (ctx.db == nullptr || ctx.dialogs == nullptr) return false;
    const QString offered = toQString(ctx.db->dataDir() / toPath(defaultName));
    const QString path =
        ctx.dialogs->saveFileName(title, offered, QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty()) return false;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!chart->grab().save(&buffer, "PNG")) {
        ctx.dialogs->message(title, QStringLiteral("无法生成图片"));
        return false;
    }
    try {
        io::writeFileAtomically(
            toPath(path),
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::exception& e) {
        ctx.dialogs->message(
            title, QStringLiteral("无法保存 %1：%2").arg(path, QString::fromStdString(e.what())));
        return false;
    }
    if (ctx.notify) ctx.notify(QStringLiteral("图片已保存到 %1").arg(path));
    return true;
}

}  // namespace quarvel::app
