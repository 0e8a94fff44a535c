#include "cli/command.h"

#include <ctime>

#include "store/system_calls.h"
#include "store/whole_number.h"

namespace quarvel::cli {

std::map<std::string, CommandInfo>& commandRegistry() {
    static std::map<std::string, CommandInfo> registry;
    return registry;
}

long long parseWholeNumber(const std::string& text, const std::string& what) {
    const auto v = store::readWholeNumber(text);
    if (!v) throw UsageError(what + " must be a whole number, not \"" + text + "\"");
    return *v;
}

int currentYear() {
    const std::time_t now = std::time(nullptr);
    return store::localCalendarTime(now).tm_year + 1900;
}

}  // namespace quarvel::cli
