#include "app/grid_export.h"

#include <filesystem>
#include <optional>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/qt_paths.h"
#include "history_io/xls_writer.h"

namespace quarvel::app {

namespace {
const QString kTitle = QStringLiteral("导出到EXCEL");
}

QString replaceQuestion(const QString& shownPath) {
    return QStringLiteral("%1 已存在。\n要替换它吗？").arg(shownPath);
}

bool exportGridToXls(AppContext& ctx, const store::TextGrid& grid, const QString& fileName,
                     QWidget* from, bool replaceAgreed) {
    if (ctx.db == nullptr) return false;
    const std::filesystem::path path = ctx.db->dataDir() / toPath(fileName);
    const QString shownPath = toQString(path);
    std::optional<DialogOwner> owner;
    if (ctx.dialogs && from) owner.emplace(*ctx.dialogs, from);
    std::error_code ec;
    if (!replaceAgreed && ctx.dialogs && std::filesystem::exists(path, ec) &&
        !ctx.dialogs->question(kTitle, replaceQuestion(shownPath)))
        return false;
    if (const store::Outcome saved = io::saveXlsFile(path, grid); !saved.ok()) {
        if (ctx.dialogs)
            ctx.dialogs->detailedMessage(kTitle, QString::fromStdString(saved.sentence),
                                         QString::fromStdString(saved.detail));
        if (ctx.notify) ctx.notify(QString::fromStdString(saved.sentence));
        return false;
    }
    if (ctx.notify) ctx.notify(QStringLiteral("列表已导出到 %1").arg(shownPath));
    if (ctx.dialogs && !ctx.dialogs->openInDesktop(shownPath))
        ctx.dialogs->message(
            kTitle,
            QStringLiteral("没有可以打开表格文件的程序。列表已保存在：\n%1").arg(shownPath));
    return true;
}

}  // namespace quarvel::app
