#include "history_io/results_site.h"

#include <cctype>

namespace quarvel::io {

namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view lowerPrefix) {
    if (s.size() < lowerPrefix.size()) return false;
    for (std::size_t i = 0; i < lowerPrefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != lowerPrefix[i]) return false;
    return true;
}

// The length of the scheme with its "://", 0 when it is neither http nor https.
std::size_t schemeLength(std::string_view s) {
    if (startsWithNoCase(s, "http://")) return 7;
    if (startsWithNoCase(s, "https://")) return 8;
    return 0;
}

bool isHostChar(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~' || c == '%' ||
           c >= 0x80;  // a name in another script, turned into its ASCII form when fetched
}

bool isPort(std::string_view p) {
    if (p.empty() || p.size() > 5) return false;
    long v = 0;
    for (char c : p) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return v >= 1 && v <= 65535;
}

// host[:port] or [v6]:port.
bool isAuthority(std::string_view a) {
    std::string_view host = a, port;
    if (!a.empty() && a.front() == '[') {
        const std::size_t close = a.find(']');
        if (close == std::string_view::npos || close < 2) return false;
        for (char c : a.substr(1, close - 1))
            if (std::isxdigit(static_cast<unsigned char>(c)) == 0 && c != ':' && c != '.')
                return false;
        const std::string_view rest = a.substr(close + 1);
        if (rest.empty()) return true;
        return rest.front() == ':' && isPort(rest.substr(1));
    }
    if (const std::size_t colon = a.find(':'); colon != std::string_view::npos) {
        host = a.substr(0, colon);
        port = a.substr(colon + 1);
        if (!isPort(port)) return false;
    }
    if (host.empty()) return false;
    for (char c : host)
        if (!isHostChar(static_cast<unsigned char>(c))) return false;
    return true;
}

store::Outcome refusedSite(std::string_view raw, const char* why) {
    return store::Outcome::refused("开奖结果网站“" + std::string(raw) + "”" + why +
                                   "，历史号码未改变");
}

}  // namespace

store::Checked<std::string> readResultsSite(std::string_view text) {
    std::string_view site = trimmed(text);
    while (!site.empty() && site.back() == '/') site.remove_suffix(1);
    if (site.empty())
        return store::Outcome::refused(
            "还没有设置开奖结果网站的地址（设置 ResultsHost），历史号码未改变");
    const std::size_t scheme = schemeLength(site);
    if (scheme == 0 || site.size() == scheme)
        return refusedSite(text, "不是 http:// 或 https:// 开头的地址");
    const std::string_view authority = site.substr(scheme);
    for (unsigned char c : authority)
        if (c <= 0x20 || c == 0x7F || c == '?' || c == '#')
            return refusedSite(text, "含有网址中不能有的字符");
    if (authority.find('/') != std::string_view::npos)
        return refusedSite(text, "含有路径，只能是网站的地址（例如 http://www.example.com）");
    if (!isAuthority(authority)) return refusedSite(text, "含有网址中不能有的字符");
    return std::string(site);
}

store::Outcome checkPageAddress(std::string_view url) {
    const std::size_t scheme = schemeLength(url);
    const std::size_t end = scheme == 0 ? url.size() : url.find_first_of("/?#", scheme);
    auto site = readResultsSite(url.substr(0, end));
    if (!site) return site.outcome;
    return store::Outcome::done();
}

}  // namespace quarvel::io
