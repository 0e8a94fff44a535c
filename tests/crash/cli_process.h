#pragma once
// quarvel-cli as a separate process for the tests that need real processes: started on a data
// folder (with its own settings file), its output kept in files, waited for or killed.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "store/history_db.h"
#include "store/numbering.h"
#include "support/test_support.h"

extern char** environ;

namespace quarvel::testing {

// Starts quarvel-cli on `dataDir`; stdout and stderr go to `outFile` (or nowhere when empty).
inline pid_t spawnCli(const std::filesystem::path& dataDir, const std::vector<std::string>& command,
                      const std::filesystem::path& outFile = {}) {
    std::vector<std::string> args = {QUARVEL_CLI_PATH, "--data-dir", dataDir.string(),
                                     "--settings-file", (dataDir / "settings.ini").string()};
    args.insert(args.end(), command.begin(), command.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    const std::string out = outFile.empty() ? std::string("/dev/null") : outFile.string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) throw std::runtime_error("cannot start quarvel-cli");
    return pid;
}

// Waits for the process; its exit status, or -1 when it did not exit normally.
inline int waitForExit(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The history as its list shows it: equal texts mean equal histories.
inline std::string fingerprint(const std::filesystem::path& dataDir) {
    store::HistoryDb db(dataDir);
    db.open();
    return store::historyListGrid(db.reopenSort()).toTsv();
}

inline void copyHistory(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::filesystem::remove_all(to);
    std::filesystem::create_directories(to);
    std::filesystem::copy_file(from / store::kDbFileName, to / store::kDbFileName);
}

// A history text file of the draws, one CR LF line each.
inline void writeHistoryFile(const std::filesystem::path& file, const std::vector<Draw>& draws) {
    std::string text;
    for (const auto& d : draws) {
        text += std::to_string(d.issue);
        for (int n : d.numbers) text += (n < 10 ? " 0" : " ") + std::to_string(n);
        text += "\r\n";
    }
    writeFile(file, text);
}

// A results page for one year: one table row per draw, as the results site lays them out.
inline std::string resultsPage(int year, int draws) {
    std::string html = "<html><body><table>";
    for (const auto& d : randomDraws(static_cast<std::size_t>(draws), static_cast<unsigned>(year),
                                     year * 1000 + 1)) {
        if (d.issue / 1000 != year) break;
        html += "<tr><td>" + std::to_string(d.issue) + "</td><td>15-01-01</td><td>周二</td>";
        for (int n : d.numbers)
            html += std::string("<td>") + (n < 10 ? "0" : "") + std::to_string(n) + "</td>";
        html += "</tr>";
    }
    return html + "</table></body></html>";
}

inline std::string resultsPageTarget(int year) {
    return "/kaijiang/xw?lotId=220028&chartType=zhfb&spanType=3&span=" + std::to_string(year) +
           "001_" + std::to_string(year) + "365";
}

}  // namespace quarvel::testing
