#pragma once
// The settings the program keeps (application TARNVEMOS, section IniSetting), read through a
// small store interface that the platform implements.

#include <optional>
#include <string>

namespace quarvel::store {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> get(const std::string& key) = 0;
    virtual void save(const std::string& key, const std::string& value) = 0;
};

inline constexpr const char* kSettingsApp = "TARNVEMOS";
inline constexpr const char* kSettingsSection = "IniSetting";

// Every key with its value after reading: a missing key gives the default, a stored value that
// does not convert gives zero/false (as the window's start-up does).
struct Settings {
    bool bolZyw = true;
    int intIdfTm = 1;
    int intLei = 0;
    int DsIni = 1;
    int SxIni = 1;
    bool bolZhpm = false;
    int intZhWSetup = 2;
    bool bolLdm = true;
    int IniSerchDay = 6;
    // Address (scheme, host, port) of the results site, key ResultsHost; empty until set.
    std::string ResultsHost;

    static Settings load(SettingsStore& store);
};

// Value texts as stored: "True"/"False", decimal integers.
std::string boolText(bool v);
// Lenient readers: nullopt when the text does not convert.
std::optional<bool> parseBool(const std::string& text);
std::optional<int> parseInt(const std::string& text);

}  // namespace quarvel::store
