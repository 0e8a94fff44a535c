#pragma once
// A group computation from arguments: --type, --no-special, --size, --boxes, --range A:B,
// --as-of X and, for the listing, --sort; the backtest adds its own options.

#include <cstdint>
#include <optional>

#include "cli/command.h"
#include "groups/group_command.h"

namespace quarvel::cli {

struct GroupArgs {
    groups::GroupInput input;
    int sort = -1;  // -1: the listing after the computation (by last omission)
    std::optional<std::int32_t> asOf;
};

// The options of a group computation; with `sort` the listing's --sort as well.
OptionTable groupOptionTable(bool sort);
// The computation from the context's arguments: the whole stored history when no range was
// given, the numbering of the settings.
GroupArgs readGroupArgs(Context& c);

}  // namespace quarvel::cli
