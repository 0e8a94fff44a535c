#include "app/picture_save.h"

#include <QBuffer>
#include <QImage>
#include <QPixmap>
#include <QWidget>

#include "app/app_context.h"
#include "app/dialogs.h"
#include "app/qt_paths.h"
#include "history_io/atomic_file.h"
#include "store/outcome.h"

namespace quarvel::app {

bool savePicture(AppContext& ctx, QWidget* picture, const QString& defaultName,
                 const QString& what) {
    if (ctx.db == nullptr || ctx.dialogs == nullptr) return false;
    return savePicture(ctx, picture->grab().toImage(), picture, defaultName, what);
}

bool savePicture(AppContext& ctx, const QImage& image, QWidget* from, const QString& defaultName,
                 const QString& what) {
    if (ctx.db == nullptr || ctx.dialogs == nullptr) return false;
    const DialogOwner owner(*ctx.dialogs, from);
    const QString title = QStringLiteral("保存图片");
    const QString suggested = toQString(ctx.db->dataDir() / toPath(defaultName));
    QString path = ctx.dialogs->saveFileName(title, suggested, QStringLiteral("PNG 图片 (*.png)"));
    if (path.isEmpty()) return false;
    if (!path.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) path += QStringLiteral(".png");
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || image.isNull() || !image.save(&buffer, "PNG")) {
        ctx.dialogs->message(title, QStringLiteral("%1无法生成图片，没有保存。").arg(what));
        return false;
    }
    try {
        io::writeFileAtomically(
            toPath(path),
            std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    } catch (const std::exception& e) {
        const store::Outcome why = store::Outcome::failed(e);
        ctx.dialogs->detailedMessage(title, QString::fromStdString(why.sentence),
                                     QString::fromStdString(why.detail));
        if (ctx.notify) ctx.notify(QString::fromStdString(why.sentence));
        return false;
    }
    if (ctx.notify) ctx.notify(QStringLiteral("%1已保存到 %2").arg(what, path));
    return true;
}

}  // namespace quarvel::app
