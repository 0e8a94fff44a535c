// quarvel: the main window over the history in the data folder.
#include <QApplication>
#include <QIcon>
#include <filesystem>
#include <string_view>

#include "app/main_window.h"
#include "app/qt_chinese_texts.h"
#include "app/qt_dialogs.h"
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
    // File and folder names are taken as bytes from argv (Qt's own arguments are already
    // removed), so that a name that is not valid UTF-8 names that very folder.
    std::filesystem::path givenDataDir;
    std::filesystem::path settingsFile;
    for (int i = 1; i + 1 < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--data-dir")
            givenDataDir = argv[++i];
        else if (arg == "--settings-file")
            settingsFile = argv[++i];
    }
    const std::filesystem::path dataDir = quarvel::platform::dataFolderOfThisProgram(givenDataDir);
    quarvel::platform::QtSettingsStore settings =
        settingsFile.empty() ? quarvel::platform::QtSettingsStore()
                             : quarvel::platform::QtSettingsStore(settingsFile);
    quarvel::app::QtDialogs dialogs;
    quarvel::app::MainWindow window(dataDir, settings, dialogs);
    dialogs.setParent(&window);
    window.show();
    if (!settings.refusal().isEmpty())
        dialogs.message(QStringLiteral("设置文件"), settings.refusal());
    return app.exec();
}
