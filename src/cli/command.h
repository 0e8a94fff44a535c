#pragma once
// quarvel-cli commands: each command file registers its commands here; program.cpp parses the
// global options and dispatches.

#include <functional>
#include <iosfwd>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/draw_record.h"
#include "store/history_db.h"
#include "store/settings.h"

namespace quarvel::cli {

// Bad arguments: the program prints the message and exits with status 2.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct Context {
    store::HistoryDb& db;  // opened before the command runs
    store::SettingsStore& settings;
    store::Settings saved;          // settings as loaded
    store::Bases bases;             // saved bases, overridden by --sx-base / --ds-base
    std::vector<std::string> args;  // the command's own arguments
    std::ostream& out;
    std::ostream& err;
};

// A command returns the process exit status (0 success, 1 store failure, 2 bad arguments).
using CommandFn = std::function<int(Context&)>;

struct CommandInfo {
    CommandFn run;
    std::string usage;  // one line, e.g. "add ISSUE N1 ... N8"
};

std::map<std::string, CommandInfo>& commandRegistry();

struct RegisterCommand {
    RegisterCommand(const std::string& name, std::string usage, CommandFn fn) {
        commandRegistry()[name] = CommandInfo{std::move(fn), std::move(usage)};
    }
};

// Argument helpers: strict whole numbers (UsageError with `what` when not one).
long long parseWholeNumber(const std::string& text, const std::string& what);

// The calendar year of the local clock.
int currentYear();

}  // namespace quarvel::cli
