#include "platform/qt_settings_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <fstream>
#include <iterator>
#include <system_error>

#include "history_io/atomic_file.h"
#include "platform/program_folders.h"

namespace quarvel::platform {

namespace fs = std::filesystem;

namespace {

QString keyPath(const std::string& key) {
    return QString::fromLatin1(store::kSettingsSection) + "/" + QString::fromStdString(key);
}

QString shownName(const fs::path& p) { return QString::fromUtf8(p.string().c_str()); }

std::string readBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// QSettings reads and writes a copy in a private folder under a fresh name: it never touches
// the real file, and its in-process cache of files cannot serve a stale copy.
class PrivateCopy {
  public:
    explicit PrivateCopy(const std::string& bytes) {
        if (!dir_.isValid()) return;
        path_ = dir_.filePath(QStringLiteral("settings.ini"));
        std::ofstream(toFsPath(path_), std::ios::binary) << bytes;
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    }
    bool ok() const { return settings_ != nullptr; }
    QSettings& settings() { return *settings_; }
    // The copy's bytes as QSettings wrote them; nullopt when it could not.
    std::optional<std::string> written() {
        settings_->sync();
        if (settings_->status() != QSettings::NoError) return std::nullopt;
        return readBytes(toFsPath(path_));
    }

  private:
    QTemporaryDir dir_;
    QString path_;
    std::unique_ptr<QSettings> settings_;
};

}  // namespace

QtSettingsStore::QtSettingsStore() {
#ifdef Q_OS_WIN
    native_ = std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
            store::kSettingsApp,
        QSettings::NativeFormat);
#else
    const QSettings where(QSettings::IniFormat, QSettings::UserScope,
                          QString::fromLatin1(store::kSettingsApp),
                          QString::fromLatin1(store::kSettingsApp));
    file_ = toFsPath(where.fileName());
    checkFile();
#endif
}

QtSettingsStore::QtSettingsStore(const fs::path& iniFile) : file_(iniFile) { checkFile(); }

QtSettingsStore::QtSettingsStore(const QString& iniFile) : QtSettingsStore(toFsPath(iniFile)) {}

QtSettingsStore::~QtSettingsStore() = default;
QtSettingsStore::QtSettingsStore(QtSettingsStore&&) noexcept = default;
QtSettingsStore& QtSettingsStore::operator=(QtSettingsStore&&) noexcept = default;

void QtSettingsStore::checkFile() {
    // A settings file that is the history (or any SQLite file), also through a link, would be
    // destroyed by the first setting saved: it is not used at all.
    try {
        io::refuseDatabaseTarget(file_);
    } catch (const io::IoError&) {
        refusal_ = QStringLiteral("设置文件 %1 是数据库文件，不会被读取或写入；本次使用默认设置。")
                       .arg(shownName(file_));
    }
}

std::optional<std::string> QtSettingsStore::get(const std::string& key) {
    if (native_) {
        const QVariant v = native_->value(keyPath(key));
        return v.isValid() ? std::optional<std::string>(v.toString().toStdString()) : std::nullopt;
    }
    if (!refusal_.isEmpty()) return std::nullopt;
    const ReadFile* file = readFile();
    if (file == nullptr) return std::nullopt;
    const auto found = file->values.find(keyPath(key).toStdString());
    if (found == file->values.end()) return std::nullopt;
    return found->second;
}

const QtSettingsStore::ReadFile* QtSettingsStore::readFile() {
    // Read anew each time: another program may have saved since.
    std::string bytes = readBytes(file_);
    if (read_ && read_->bytes == bytes) return &*read_;
    read_.reset();
    PrivateCopy copy(bytes);
    if (!copy.ok()) return nullptr;
    ReadFile file{std::move(bytes), {}};
    for (const QString& key : copy.settings().allKeys())
        file.values[key.toStdString()] = copy.settings().value(key).toString().toStdString();
    read_ = std::move(file);
    return &*read_;
}

bool QtSettingsStore::save(const std::string& key, const std::string& value) {
    if (native_) {
        native_->setValue(keyPath(key), QString::fromStdString(value));
        native_->sync();
        return native_->status() == QSettings::NoError;
    }
    if (!refusal_.isEmpty()) return false;
    // The file as it is now (another program may have saved meanwhile), with the one key changed.
    PrivateCopy copy(readBytes(file_));
    if (!copy.ok()) return false;
    copy.settings().setValue(keyPath(key), QString::fromStdString(value));
    const std::optional<std::string> bytes = copy.written();
    if (!bytes) return false;
    try {
        std::error_code ec;
        if (file_.has_parent_path()) fs::create_directories(file_.parent_path(), ec);
        io::writeFileAtomically(file_, *bytes);
    } catch (const io::IoError&) {
        return false;
    }
    return true;
}

QString QtSettingsStore::fileName() const {
    return native_ ? native_->fileName() : shownName(file_);
}

}  // namespace quarvel::platform
