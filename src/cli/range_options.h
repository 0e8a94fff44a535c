#pragma once
// The issue range of the tickets and filter commands: --range A:B (the whole stored history by
// default, a side left empty its first or last issue) and --as-of X (the range ends at the
// newest draw up to X), both read by the shared table entries (opt::range, opt::asOf).

#include "cli/command.h"
#include "search/search_command.h"

namespace quarvel::cli {

// The range of the context's arguments as issues, cut at --as-of; UsageError when it is no
// range, refused (OutcomeError) when no draw is as old as --as-of.
search::IssueRange issueRangeOption(Context& c);

}  // namespace quarvel::cli
