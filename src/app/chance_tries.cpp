#include "app/chance_tries.h"

#include <map>

#include "app/app_context.h"
#include "chance/statistics.h"

namespace quarvel::app {

int noteChanceTry(AppContext& ctx, const std::string& setting) {
    static std::map<std::string, chance::TriesLog> logs;  // by history file, for the run
    const std::string history = ctx.historyOpen() ? ctx.db->dbPath().string() : std::string();
    return logs[history].note(setting);
}

}  // namespace quarvel::app
