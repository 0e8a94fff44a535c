#include "store/settings.h"

#include <cctype>
#include <charconv>

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
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
    return i == a.size() && !b[i];
}
}  // namespace

std::optional<bool> parseBool(const std::string& text) {
    const std::string t = trimmed(text);
    if (equalsNoCase(t, "true")) return true;
    if (equalsNoCase(t, "false")) return false;
    if (auto i = parseInt(t)) return *i != 0;
    return std::nullopt;
}

std::optional<int> parseInt(const std::string& text) {
    std::string t = trimmed(text);
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    int v = 0;
    auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (t.empty() || ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
    return v;
}

Settings Settings::load(SettingsStore& store) {
    Settings s;
    // A missing key keeps the default; a value that does not convert gives zero or false.
    auto readBool = [&](const char* key, bool& out) {
        if (auto v = store.get(key)) out = parseBool(*v).value_or(false);
    };
    auto readInt = [&](const char* key, int& out) {
        if (auto v = store.get(key)) out = parseInt(*v).value_or(0);
    };
    readBool("bolZyw", s.bolZyw);
    readInt("intIdfTm", s.intIdfTm);
    readInt("intLei", s.intLei);
    readInt("DsIni", s.DsIni);
    readInt("SxIni", s.SxIni);
    readBool("bolZhpm", s.bolZhpm);
    readInt("intZhWSetup", s.intZhWSetup);
    readBool("bolLdm", s.bolLdm);
    readInt("IniSerchDay", s.IniSerchDay);
    if (auto v = store.get("ResultsHost")) s.ResultsHost = *v;
    return s;
}

}  // namespace quarvel::store
