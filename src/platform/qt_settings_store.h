#pragma once
// The settings store over QSettings: application TARNVEMOS, section IniSetting. On Windows the
// per-user registry area; elsewhere an INI file in the user's config folder, or a given file.

#include <QString>
#include <memory>

#include "store/settings.h"

class QSettings;

namespace quarvel::platform {

class QtSettingsStore : public store::SettingsStore {
  public:
    // The user's own settings.
    QtSettingsStore();
    // Settings in an explicit INI file (tests, --settings-file).
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;
    QtSettingsStore(QtSettingsStore&&) noexcept;
    QtSettingsStore& operator=(QtSettingsStore&&) noexcept;

    std::optional<std::string> get(const std::string& key) override;
    bool save(const std::string& key, const std::string& value) override;
    QString fileName() const;

  private:
    std::unique_ptr<QSettings> settings_;
};

}  // namespace quarvel::platform
