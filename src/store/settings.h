#pragma once
// The settings the program keeps (application TARNVEMOS, section IniSetting), read through a
// small store interface that the platform implements.

#include <optional>
#include <string>
#include <vector>

namespace quarvel::store {

// The section digit counts (分部位数, intZhWSetup) the partial search takes.
inline constexpr int kMinSection = 1;
inline constexpr int kMaxSection = 6;

class SettingsStore {
  public:
    virtual ~SettingsStore() = default;
    virtual std::optional<std::string> get(const std::string& key) = 0;
    // False when the value could not be written (a read-only settings file, a full disk).
    virtual bool save(const std::string& key, const std::string& value) = 0;
};

inline constexpr const char* kSettingsApp = "TARNVEMOS";
inline constexpr const char* kSettingsSection = "IniSetting";

// Every key with its value after reading: a missing key gives the default, and so does a stored
// value that is not valid for its key (a base other than 0 or 1, a search type outside 0..5, a
// boolean other than True/False, ...), so that no step runs on a value it cannot use.
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
    // Draws the hot/cold rows of the trend chart look back over: 10, 20, 30, 50 or 100.
    int intHotWindow = 30;
    // Address (scheme, host, port) of the results site, key ResultsHost; empty until set.
    std::string ResultsHost;
    // The user's zodiac new-year entries over the defaults (new_year_table.h), key NewYearTable,
    // as "2027=9;2028=14"; empty when there are none.
    std::string NewYearTable;

    // `reset`, when given, receives the keys whose stored value was not valid and gave the default.
    static Settings load(SettingsStore& store, std::vector<std::string>* reset = nullptr);
};

// Value texts as stored: "True"/"False", decimal integers.
std::string boolText(bool v);

}  // namespace quarvel::store
