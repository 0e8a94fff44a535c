// quarvel: the main window over the history in the data folder.
#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QIcon>
#include <cstdio>
#include <filesystem>

#include "app/main_window.h"
#include "app/qt_chinese_texts.h"
#include "app/qt_dialogs.h"
#include "platform/program_folders.h"
#include "platform/qt_settings_store.h"

namespace {

// The options QApplication reads itself (-platform offscreen, -style fusion, -reverse, ...).
bool isQtOption(const QString& name) {
    static const QStringList qt = {
        QStringLiteral("platform"),      QStringLiteral("platformpluginpath"),
        QStringLiteral("platformtheme"), QStringLiteral("plugin"),
        QStringLiteral("qmljsdebugger"), QStringLiteral("qwindowgeometry"),
        QStringLiteral("qwindowicon"),   QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"),       QStringLiteral("session"),
        QStringLiteral("style"),         QStringLiteral("stylesheet"),
        QStringLiteral("widgetcount"),   QStringLiteral("display"),
        QStringLiteral("geometry"),      QStringLiteral("title"),
        QStringLiteral("name"),          QStringLiteral("sync"),
        QStringLiteral("nograb"),        QStringLiteral("dograb"),
        QStringLiteral("visual"),        QStringLiteral("ncols"),
        QStringLiteral("cmap"),          QStringLiteral("im"),
        QStringLiteral("inputstyle"),    QStringLiteral("fn"),
        QStringLiteral("font"),          QStringLiteral("bg"),
        QStringLiteral("background"),    QStringLiteral("fg"),
        QStringLiteral("foreground"),    QStringLiteral("btn"),
        QStringLiteral("button"),        QStringLiteral("testability")};
    return qt.contains(name);
}

const QString kQtOptionsHelp = QStringLiteral(
    "\nOptions of Qt, passed on to the window system:\n"
    "  -platform NAME          Window system plugin (xcb, wayland, offscreen, ...).\n"
    "  -style NAME             Widget style (fusion, windows, ...).\n"
    "  -stylesheet FILE        Style sheet for the whole program.\n"
    "  -reverse                Lays the window out right to left.\n"
    "  -qwindowgeometry GEOM   Geometry of the main window (WxH+X+Y).\n"
    "  -display NAME           X display to use (xcb).\n");

QString programName(const QStringList& arguments) {
    const QString name = QFileInfo(arguments.value(0)).completeBaseName();
    return name.isEmpty() ? QString::fromLatin1(quarvel::platform::kProgramName) : name;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication::setApplicationName(QString::fromLatin1(quarvel::platform::kProgramName));
    QCoreApplication::setApplicationVersion(QStringLiteral(QUARVEL_VERSION));
    // The arguments are read before the window system is reached, so that --help and --version
    // answer also where there is no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("quarvel: the draw history of a number lottery, studied by omission."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption dataDirOption(
        QStringLiteral("data-dir"),
        QStringLiteral("Folder of quarvel.mdb and of the files written."), QStringLiteral("DIR"));
    const QCommandLineOption settingsOption(
        QStringLiteral("settings-file"),
        QStringLiteral("Settings file instead of the user's settings."), QStringLiteral("FILE"));
    parser.addOption(dataDirOption);
    parser.addOption(settingsOption);
    // Qt's own options (-platform xcb, -style fusion, -reverse) are left to QApplication.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const bool parsed = parser.parse(arguments);
    // Only Qt's own options are left to QApplication; any other unknown one is refused here,
    // before a display is needed to say so.
    QStringList unknown;
    for (const QString& name : parser.unknownOptionNames())
        if (!isQtOption(name)) unknown << name;
    if ((!parsed && parser.unknownOptionNames().isEmpty()) || !unknown.isEmpty()) {
        const QString error = unknown.isEmpty()
                                  ? parser.errorText()
                                  : QStringLiteral("Unknown option '%1'.").arg(unknown.first());
        std::fprintf(stderr, "quarvel: %s (see --help)\n", qPrintable(error));
        return 2;
    }
    const bool helpAll = parser.isSet(QStringLiteral("help-all"));
    if (parser.isSet(helpOption) || helpAll) {
        // Without an application object Qt's usage line names no program: it names this one.
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), programName(arguments));
        if (helpAll) help += kQtOptionsHelp;
        std::fputs(qPrintable(help), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("quarvel %s\n", QUARVEL_VERSION);
        return 0;
    }

    QApplication app(argc, argv);
    quarvel::app::installQtChineseTexts(app);
    // The installed icon and desktop entry (hicolor theme, quarvel.desktop) name the window.
    QGuiApplication::setDesktopFileName(QString::fromLatin1(quarvel::platform::kProgramName));
    QApplication::setWindowIcon(
        QIcon::fromTheme(QString::fromLatin1(quarvel::platform::kProgramName)));
    // File and folder names are taken as bytes from argv (Qt's own arguments are already
    // removed), so that a name that is not valid UTF-8 names that very folder.
    const std::filesystem::path givenDataDir =
        quarvel::platform::rawOptionValue(argc, argv, "--data-dir");
    const std::filesystem::path settingsFile =
        quarvel::platform::rawOptionValue(argc, argv, "--settings-file");
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
