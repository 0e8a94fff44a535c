#pragma once
// The group computation's input as the window and quarvel-cli refuse it before running: a
// group size outside 1..6 or larger than the ticked value boxes can fill.

#include <optional>
#include <string>

#include "groups/group_command.h"

namespace quarvel::groups {

// The refusal's sentence; nothing when the size is sound or not a whole number (the command
// itself refuses that one).
std::optional<std::string> checkGroupInput(const GroupInput& input);

}  // namespace quarvel::groups
