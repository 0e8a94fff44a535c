#pragma once
// "保存图片" of the picture windows: a save dialog on the data folder with the picture's default
// name (the dialog itself asks before a file is replaced), then the PNG written by the guarded
// writer, which never writes onto the history database.

#include <QString>

class QImage;
class QWidget;

namespace quarvel::app {

struct AppContext;

// Saves what `picture` shows as PNG under the name the user picks; `defaultName` such as
// "遗漏曲线.png", `what` names the picture in the messages. False when cancelled or failed (a
// failure is told in a message).
bool savePicture(AppContext& ctx, QWidget* picture, const QString& defaultName,
                 const QString& what);
// The same for a picture drawn apart from the screen; the questions belong to `from`'s window.
bool savePicture(AppContext& ctx, const QImage& image, QWidget* from, const QString& defaultName,
                 const QString& what);

}  // namespace quarvel::app
