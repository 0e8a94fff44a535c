// quarvel: the main window over the history in the data folder.
#include <QApplication>
#include <QIcon>

#include "app/main_window.h"
#include "app/qt_chinese_texts.h"
#include "app/qt_dialogs.h"
#include "app/qt_paths.h"
#include "platform/program_folders.h"
#include "platform/qt_settings_store.h"

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QString::fromLatin1(quarvel::platform::kProgramName));
    QApplication app(argc, argv);
    quarvel::app::installQtChineseTexts(app);
    // The installed icon and desktop entry (hicolor theme, quarvel.desktop) name the window.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(quarvel::platform::kProgramName));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QString::fromLatin1(quarvel::platform::kProgramName)));
    QString givenDataDir;
    QString settingsFile;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); ++i) {
        if (args[i] == "--data-dir")
            givenDataDir = args[++i];
        else if (args[i] == "--settings-file")
            settingsFile = args[++i];
    }
    const QString dataDir = quarvel::platform::dataFolderOfThisProgram(givenDataDir);
    quarvel::platform::QtSettingsStore settings =
        settingsFile.isEmpty() ? quarvel::platform::QtSettingsStore()
                               : quarvel::platform::QtSettingsStore(settingsFile);
    quarvel::app::QtDialogs dialogs;
    quarvel::app::MainWindow window(quarvel::app::toPath(dataDir), settings, dialogs);
    dialogs.setParent(&window);
    window.show();
    return app.exec();
}
