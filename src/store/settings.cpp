#include "store/settings.h"

#include <cctype>

#include "store/new_year_table.h"
#include "store/whole_number.h"

namespace quarvel::store {

std::string boolText(bool v) { return v ? "True" : "False"; }

namespace {
std::string trimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}
bool equalsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}
}  // namespace

Settings Settings::load(SettingsStore& store, std::vector<std::string>* reset) {
    Settings s;
    // A missing key keeps the default; so does a value that is not valid for its key.
    auto invalid = [&](const char* key) {
        if (reset) reset->push_back(key);
    };
    auto readBool = [&](const char* key, bool& out) {
        const auto v = store.get(key);
        if (!v) return;
        const std::string t = trimmed(*v);
        if (equalsNoCase(t, "true"))
            out = true;
        else if (equalsNoCase(t, "false"))
            out = false;
        else
            invalid(key);
    };
    auto readInt = [&](const char* key, int& out, int low, int high) {
        const auto v = store.get(key);
        if (!v) return;
        const auto i = readWholeNumber32(*v);
        if (i && *i >= low && *i <= high)
            out = *i;
        else
            invalid(key);
    };
    readBool("bolZyw", s.bolZyw);
    readInt("intIdfTm", s.intIdfTm, 0, 1);
    readInt("intLei", s.intLei, 0, 5);
    readInt("DsIni", s.DsIni, 0, 1);
    readInt("SxIni", s.SxIni, 0, 1);
    readBool("bolZhpm", s.bolZhpm);
    readInt("intZhWSetup", s.intZhWSetup, kMinSection, kMaxSection);
    readBool("bolLdm", s.bolLdm);
    readInt("IniSerchDay", s.IniSerchDay, 2, 16);
    readInt("intHotWindow", s.intHotWindow, 10, 100);
    if (const int w = s.intHotWindow; w != 10 && w != 20 && w != 30 && w != 50 && w != 100) {
        s.intHotWindow = 30;  // one of the windows the trend chart offers, or the default
        invalid("intHotWindow");
    }
    if (auto v = store.get("ResultsHost")) s.ResultsHost = *v;
    if (auto v = store.get("NewYearTable")) {
        if (parseNewYearEntries(*v))
            s.NewYearTable = *v;
        else
            invalid("NewYearTable");
    }
    return s;
}

}  // namespace quarvel::store
