#include "history_io/leftovers.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "history_io/export.h"
#include "history_io/removal_guard.h"
#include "store/history_db.h"
#include "store/system_calls.h"

namespace quarvel::io {

namespace fs = std::filesystem;

namespace {

bool digits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "<pid>-<number>[-<number>]": the process id, when `tail` has that form.
std::optional<unsigned long> pidOf(std::string_view tail, int numbersAfter) {
    const auto dash = tail.find('-');
    if (dash == std::string_view::npos || !digits(tail.substr(0, dash)) || dash > 9)
        return std::nullopt;
    std::string_view rest = tail.substr(dash + 1);
    for (int k = 0; k < numbersAfter; ++k) {
        const auto next = k + 1 < numbersAfter ? rest.find('-') : rest.size();
        if (next == std::string_view::npos || !digits(rest.substr(0, next))) return std::nullopt;
        rest = next < rest.size() ? rest.substr(next + 1) : std::string_view();
    }
    return std::stoul(std::string(tail.substr(0, dash)));
}

// The process id in the name of a leftover of this program, or nullopt for any other name.
std::optional<unsigned long> leftoverPid(const std::string& name, bool dataFolder) {
    if (name.empty() || name[0] != '.') return std::nullopt;
    std::string_view n(name);
    if (dataFolder) {
        // .quarvelTmp.mdb.<pid>-<random>-<counter>.part, and SQLite's files beside it.
        const std::string head = "." + std::string(store::kDbTmpFileName) + ".";
        if (n.starts_with(head)) {
            n.remove_prefix(head.size());
            for (std::string_view suffix : {"-journal", "-wal", "-shm"})
                if (n.ends_with(suffix)) n.remove_suffix(suffix.size());
            if (!n.ends_with(".part")) return std::nullopt;
            n.remove_suffix(5);
            return pidOf(n, 2);
        }
    }
    // .<name>.tmp<pid>-<number>
    const auto tmp = n.rfind(".tmp");
    if (tmp == std::string_view::npos || tmp == 0) return std::nullopt;
    return pidOf(n.substr(tmp + 4), 1);
}

void sweep(const fs::path& folder, bool dataFolder, std::vector<fs::path>& removed) {
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const auto pid = leftoverPid(it->path().filename().string(), dataFolder);
        if (!pid) continue;
        std::error_code sec;
        // Only plain files: a link or a folder of that name is not one of ours.
        if (!fs::is_regular_file(it->symlink_status(sec)) || sec) continue;
        if (store::processRuns(*pid)) continue;
        if (fs::remove(it->path(), sec)) removed.push_back(it->path());
    }
}

}  // namespace

std::vector<fs::path> removeLeftovers(const fs::path& dataDir) {
    std::vector<fs::path> removed;
    try {
        sweep(dataDir, true, removed);
        sweep(dataDir / utf8Path(kBackupFolder), false, removed);
    } catch (const std::exception&) {
        // A folder that cannot be listed keeps what it holds; nothing else depends on it.
    }
    return removed;
}

}  // namespace quarvel::io
