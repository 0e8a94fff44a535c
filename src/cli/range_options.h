#pragma once
// The issue range of the tickets and filter commands: --range A:B (the whole stored history by
// default) and --as-of X (the range ends at the newest draw up to X).

#include <string>
#include <vector>

#include "cli/command.h"
#include "search/search_command.h"

namespace quarvel::cli {

struct RangeOptions {
    search::Criteria range;  // rangeStart and rangeEnd as typed
    std::optional<std::int32_t> asOf;

    // Takes args[i] (and its value) when it is --range or --as-of; false for any other argument.
    bool take(const std::vector<std::string>& args, std::size_t& i);
    // The range as issues, cut at --as-of; UsageError when it is not one.
    search::IssueRange issues(Context& c);
};

}  // namespace quarvel::cli
