#include "platform/program_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <algorithm>
#include <system_error>
#include <vector>

// Set by the build from the install layout; the defaults fit a GNU layout.
#ifndef QUARVEL_SHARE_FROM_BIN
#define QUARVEL_SHARE_FROM_BIN "../share/quarvel"
#endif
#ifndef QUARVEL_DOC_FROM_BIN
#define QUARVEL_DOC_FROM_BIN "../share/doc/quarvel"
#endif

namespace quarvel::platform {

namespace {

const QString kSampleFolder = QStringLiteral("历史号码");

QString programDir() { return QCoreApplication::applicationDirPath(); }

QString firstExisting(const QStringList& candidates, bool folder) {
    for (const QString& c : candidates) {
        const QFileInfo info(c);
        if (info.exists() && info.isDir() == folder) return info.canonicalFilePath();
    }
    return {};
}

// Whether files may be made in the folder. On Windows the folder's attributes do not say (Qt
// does not read the access lists, and "Program Files" is not read-only for them), so a file is
// made and removed there.
bool mayCreateFilesIn(const QString& folder) {
#ifdef Q_OS_WIN
    QTemporaryFile probe(folder + QStringLiteral("/.quarvel-probe-XXXXXX"));
    return probe.open();
#else
    return QFileInfo(folder).isWritable();
#endif
}

}  // namespace

QString chooseDataFolder(const QString& given, const QString& programDir,
                         const QString& userDataDir) {
    if (!given.isEmpty()) return given;
    const QFileInfo dir(programDir);
    // An installed copy keeps its history with the user even when its folder may be written (a
    // run as administrator, or wine): else a later run as the user would find another history.
    const bool installed = QFileInfo::exists(QDir(programDir).filePath(kUninstaller));
    if (dir.isDir() && !installed && mayCreateFilesIn(programDir)) return programDir;
    return userDataDir;
}

QString dataFolderOfThisProgram(const QString& given) {
    QString folder = chooseDataFolder(
        given, programDir(), QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    QDir().mkpath(folder);
    return folder;
}

std::filesystem::path dataFolderOfThisProgram(const std::filesystem::path& given) {
    if (given.empty()) return toFsPath(dataFolderOfThisProgram(QString()));
    std::error_code ec;
    std::filesystem::create_directories(given, ec);
    return given;
}

std::string rawOptionValue(std::span<const std::string> args, std::string_view name) {
    std::string value;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == name && i + 1 < args.size())
            value = args[++i];
        else if (arg.size() > name.size() && arg.starts_with(name) && arg[name.size()] == '=')
            value = arg.substr(name.size() + 1);
    }
    return value;
}

std::string rawOptionValue(int end, char** argv, std::string_view name) {
    return rawOptionValue(std::vector<std::string>(argv, argv + std::max(end, 0)), name);
}

std::filesystem::path pathFromArgument(const std::string& arg) {
#ifdef Q_OS_WIN
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(arg.data()), arg.size()));
#else
    return std::filesystem::path(arg);
#endif
}

std::filesystem::path toFsPath(const QString& name) {
#ifdef Q_OS_WIN
    return std::filesystem::path(name.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(name).toStdString());
#endif
}

QString fromFsPath(const std::filesystem::path& p) {
#ifdef Q_OS_WIN
    return QString::fromStdWString(p.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(p.string()));
#endif
}

std::vector<std::string> argumentsAsUtf8(int argc, char** argv) {
#ifdef Q_OS_WIN
    (void)argc;
    (void)argv;
    std::vector<std::string> args;
    for (const QString& a : QCoreApplication::arguments()) args.push_back(a.toStdString());
    return args;
#else
    return std::vector<std::string>(argv, argv + std::max(argc, 0));
#endif
}

QString sampleHistoryFolder() {
    const QString bin = programDir();
    return firstExisting({bin + '/' + kSampleFolder,
                          bin + QStringLiteral("/" QUARVEL_SHARE_FROM_BIN "/") + kSampleFolder},
                         true);
}

QString documentationFile(const QString& name) {
    const QString bin = programDir();
    return firstExisting(
        {bin + '/' + name, bin + QStringLiteral("/" QUARVEL_DOC_FROM_BIN "/") + name,
         bin + QStringLiteral("/../") + name, bin + QStringLiteral("/../../") + name},
        false);
}

}  // namespace quarvel::platform
