#pragma once
// Reading a group computation from arguments: --type, --no-special, --size, --boxes,
// --range A:B, --as-of X and --sort; the backtest adds its own arguments.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "cli/command.h"
#include "groups/group_command.h"

namespace quarvel::cli {

struct GroupArgs {
    groups::GroupInput input;
    bool haveSize = false;
    bool haveBoxes = false;
    bool haveRange = false;
    int sort = -1;  // -1: the listing after the computation (by last omission)
    std::optional<std::int32_t> asOf;
};

// Takes the argument at i (and its values, advancing i) when it is one of the caller's own.
using ExtraArgument = std::function<bool(const std::vector<std::string>& args, std::size_t& i)>;

// Every argument must be understood (UsageError); --size and --boxes are required.
GroupArgs parseGroupArgs(const std::vector<std::string>& args, const ExtraArgument& extra = {});
// The whole stored history when no range was given, and the numbering of the settings.
void completeGroupInput(Context& c, GroupArgs& g);

}  // namespace quarvel::cli
