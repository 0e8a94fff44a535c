#pragma once
// The settings of 遗漏校验, K线 and 回测 run on each history since the window opened: a verdict
// of "显著" is judged against how many were tried (chance::TriesLog), one log per history file.

#include <string>

namespace quarvel::app {

struct AppContext;

// Notes `setting` (the view's name and its inputs as text) on the open history and gives how
// many settings have been tried on it so far, at least 1.
int noteChanceTry(AppContext& ctx, const std::string& setting);

}  // namespace quarvel::app
