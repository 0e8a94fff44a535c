#pragma once
// The settings store: application TARNVEMOS, section IniSetting. On Windows the per-user
// registry area; elsewhere an INI file in the user's config folder, or a given file. The file
// is read and written as QSettings lays out an INI file, but every write goes through the
// guarded writer, so a settings file that is (or links to) the history database is never
// written.

#include <QString>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "store/settings.h"

class QSettings;

namespace quarvel::platform {

class QtSettingsStore : public store::SettingsStore {
  public:
    // The user's own settings.
    QtSettingsStore();
    // Settings in an explicit INI file (tests, --settings-file), its name used as given.
    explicit QtSettingsStore(const std::filesystem::path& iniFile);
    explicit QtSettingsStore(const QString& iniFile);
    ~QtSettingsStore() override;
    QtSettingsStore(QtSettingsStore&&) noexcept;
    QtSettingsStore& operator=(QtSettingsStore&&) noexcept;

    std::optional<std::string> get(const std::string& key) override;
    bool save(const std::string& key, const std::string& value) override;
    QString fileName() const;
    // Why the settings file is not used (it is a database, its name is not valid UTF-8), in
    // Chinese; empty when it is. A refused file is neither read nor written: every key has
    // its default.
    const QString& refusal() const { return refusal_; }

  private:
    void checkFile();
    // The file's keys as last read, kept while its bytes stay the same: reading every key
    // through a private copy of the file would cost a folder and a parse per key.
    struct ReadFile {
        std::string bytes;
        std::map<std::string, std::string> values;
    };
    const ReadFile* readFile();
    std::filesystem::path file_;
    std::optional<ReadFile> read_;
    std::unique_ptr<QSettings> native_;  // the registry (Windows default store only)
    QString refusal_;
};

}  // namespace quarvel::platform
