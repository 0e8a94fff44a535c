#include "cli/command.h"

#include <charconv>
#include <ctime>

namespace quarvel::cli {

std::map<std::string, CommandInfo>& commandRegistry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}

long long parseWholeNumber(const std::string& text, const std::string& what) {
    long long v = 0;
    const char* begin = text.data();
    const char* end = text.data() + text.size();
    if (begin != end && *begin == '+') ++begin;
    auto [p, ec] = std::from_chars(begin, end, v);
    if (text.empty() || ec != std::errc() || p != end) throw UsageError(what + " must be a whole number, not \"" + text + "\"");
    return v;
}

int currentYear() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_year + 1900;
}

}  // namespace quarvel::cli
