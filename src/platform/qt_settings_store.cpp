#include "platform/qt_settings_store.h"

#include <QSettings>

namespace quarvel::platform {

namespace {
QString keyPath(const std::string& key) {
    return QString::fromLatin1(store::kSettingsSection) + "/" + QString::fromStdString(key);
}
}  // namespace

QtSettingsStore::QtSettingsStore()
#ifdef Q_OS_WIN
    : settings_(std::make_unique<QSettings>(
          QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") +
              store::kSettingsApp,
          QSettings::NativeFormat)){}
#else
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QString::fromLatin1(store::kSettingsApp),
                                            QString::fromLatin1(store::kSettingsApp))) {
}
#endif

      QtSettingsStore::QtSettingsStore(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {
}

QtSettingsStore::~QtSettingsStore() = default;
QtSettingsStore::QtSettingsStore(QtSettingsStore&&) noexcept = default;
QtSettingsStore& QtSettingsStore::operator=(QtSettingsStore&&) noexcept = default;

std::optional<std::string> QtSettingsStore::get(const std::string& key) {
    const QVariant v = settings_->value(keyPath(key));
    if (!v.isValid()) return std::nullopt;
    return v.toString().toStdString();
}

bool QtSettingsStore::save(const std::string& key, const std::string& value) {
    settings_->setValue(keyPath(key), QString::fromStdString(value));
    settings_->sync();
    return settings_->status() == QSettings::NoError;
}

QString QtSettingsStore::fileName() const { return settings_->fileName(); }

}  // namespace quarvel::platform
