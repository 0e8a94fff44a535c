#include "platform/http_get.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace quarvel::platform {

HttpGet networkGet(QString* error) {
    static HttpGet loaded = nullptr;
    if (loaded) return loaded;
    const QString bin = QCoreApplication::applicationDirPath();
    QString tried;
    for (const QString& dir : {bin, QDir(bin).filePath(QStringLiteral(QUARVEL_MODULES_FROM_BIN))}) {
        QLibrary module(QDir(dir).filePath(QStringLiteral("quarvel_network")));
        // Kept loaded to the end of the process: the function is used until then.
        module.setLoadHints(QLibrary::PreventUnloadHint);
        loaded = reinterpret_cast<HttpGet>(module.resolve("quarvelHttpGet"));
        if (loaded) return loaded;
        tried = module.errorString();
    }
    if (error) *error = tried;
    return nullptr;
}

}  // namespace quarvel::platform
