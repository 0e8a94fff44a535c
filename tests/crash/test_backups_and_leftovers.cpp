// quarvel-cli processes across a change of time zone and a clock set back keep the backup of
// every removal they report, prune only the backups they wrote, and a killed compaction's copy
// is gone after the next start.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <set>
#include <thread>

#include "crash/cli_process.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel::testing;

// quarvel-cli on `dir` with `env` (NAME=value words) before it.
CliResult cliWith(const fs::path& dir, const std::vector<std::string>& env,
                  const std::vector<std::string>& command) {
    std::vector<std::string> all = {"env"};
    all.insert(all.end(), env.begin(), env.end());
    all.insert(all.end(), {QUARVEL_CLI_PATH, "--data-dir", dir.string(), "--settings-file",
                           (dir / "settings.ini").string()});
    all.insert(all.end(), command.begin(), command.end());
    return runCommand(all);
}

// Every history line of every file in the backup folder, as "issue n1 … n8".
std::set<std::string> linesInBackups(const fs::path& dir) {
    std::set<std::string> lines;
    for (const auto& e : fs::directory_iterator(dir / "备份")) {
        if (!e.is_regular_file() || e.path().extension() != ".txt") continue;
        std::string text = readFile(e.path());
        std::size_t at = 0;
        for (std::size_t end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2) {
            std::string line = text.substr(at, end - at);
            while (!line.empty() && line.back() == ' ') line.pop_back();
            lines.insert(line);
        }
    }
    return lines;
}

std::size_t backupFiles(const fs::path& dir) {
    std::size_t n = 0;
    for (const auto& e : fs::directory_iterator(dir / "备份"))
        n += e.path().filename().string().front() != '.';
    return n;
}

}  // namespace

// Twenty removals under one clock, the twenty-first under another that names its backup
// earlier: the backup each command reports exists, the newest twenty stay, and a user's file and
// a link named like backups are never touched.
TEST(Backups, EveryReportedBackupStaysAcrossAZoneChangeAndAClockSetBack) {
    const std::string shim = std::string("LD_PRELOAD=") + SHIFTED_CLOCK_PATH;
    struct Case {
        const char* name;
        std::vector<std::string> first, then;
    } cases[] = {
        {"time zone", {"TZ=Asia/Shanghai"}, {"TZ=UTC"}},
        {"clock set back", {"TZ=UTC", shim, "QUARVEL_TEST_CLOCK_SHIFT=86400"}, {"TZ=UTC", shim}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        const fs::path backups = dir.path() / "备份";
        fs::create_directories(backups);
        writeFile(backups / "20200101-120000-我的历史.txt", "2013001 01 02 03 04 05 06 07 08\r\n");
        writeFile(dir.path() / "elsewhere.txt", "a file the link names\r\n");
        fs::create_symlink(dir.path() / "elsewhere.txt", backups / "20200101-120001-link.txt");

        std::vector<std::string> removed;
        for (int i = 0; i < 21; ++i) {
            const auto& env = i < 20 ? c.first : c.then;
            std::vector<std::string> add = {"add", std::to_string(2025001 + i)};
            std::string line = add[1];
            for (int k = 0; k < 8; ++k) {
                const int n = k == 0 ? i % 20 + 1 : 20 + k;
                add.push_back((n < 10 ? "0" : "") + std::to_string(n));
                line += " " + add.back();
            }
            ASSERT_EQ(cliWith(dir.path(), env, add).status, 0) << c.name;
            const auto deleted = cliWith(dir.path(), env, {"delete-last"});
            ASSERT_EQ(deleted.status, 0) << c.name << ": " << deleted.err;
            const std::string said = "原历史已备份到 ";
            const auto at = deleted.out.find(said);
            ASSERT_NE(at, std::string::npos) << deleted.out;
            const auto from = at + said.size();
            const fs::path reported =
                deleted.out.substr(from, deleted.out.find("。\n", from) - from);
            EXPECT_TRUE(fs::exists(reported)) << c.name << ": " << reported;
            removed.push_back(line);
        }
        const auto kept = linesInBackups(dir.path());
        for (std::size_t i = 1; i < removed.size(); ++i)
            EXPECT_TRUE(kept.count(removed[i])) << c.name << ": " << removed[i];
        EXPECT_FALSE(kept.count(removed[0])) << c.name << ": the oldest is pruned";
        EXPECT_TRUE(fs::exists(backups / "20200101-120000-我的历史.txt")) << c.name;
        EXPECT_TRUE(fs::is_symlink(backups / "20200101-120001-link.txt")) << c.name;
        EXPECT_EQ(readFile(dir.path() / "elsewhere.txt"), "a file the link names\r\n");
        EXPECT_EQ(backupFiles(dir.path()), 22u) << c.name;  // twenty and the user's two
    }
}

// A compaction killed while it writes its copy leaves the copy; the next start of either
// program removes it, and with it the guarded writer's leftovers of ended processes, while a
// running process's files and files of other names stay.
TEST(Leftovers, AKilledCompactionsCopyIsGoneAfterTheNextStart) {
    TempDir dir;
    const fs::path data = dir.path() / "data";
    writeHistoryFile(dir.path() / "big.txt", randomDraws(30000, 7, 1900001));
    ASSERT_EQ(runCli({"--data-dir", data.string(), "--settings-file", "/dev/null/none.ini",
                      "import", (dir.path() / "big.txt").string()})
                  .status,
              0);
    const auto partFiles = [&data] {
        std::vector<fs::path> parts;
        for (const auto& e : fs::directory_iterator(data))
            if (e.path().filename().string().starts_with(".quarvelTmp.mdb.")) parts.push_back(e);
        return parts;
    };
    bool caught = false;
    for (int attempt = 0; attempt < 20 && !caught; ++attempt) {
        const pid_t pid = spawnCli(data, {"compact"});
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (partFiles().empty() && std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (waitpid(pid, &status, WNOHANG) == pid) break;
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        ::kill(pid, SIGKILL);
        waitForExit(pid);
        caught = !partFiles().empty();
    }
    if (!caught) GTEST_SKIP() << "no compaction was caught writing its copy";

    // Leftovers of an ended process, and the same names of this running process.
    const pid_t ended = spawnCli(data, {"--help"});
    waitForExit(ended);
    const std::string dead = std::to_string(ended), alive = std::to_string(::getpid());
    fs::create_directories(data / "备份");
    for (const auto& pid : {dead, alive}) {
        writeFile(data / (".lsbf.txt.tmp" + pid + "-12"), "half");
        writeFile(data / "备份" / (".20250101-000000-trim-last.txt.tmp" + pid + "-3"), "half");
    }
    writeFile(data / ".quarvelTmp.mdb.mine.part", "the user's own");
    fs::create_symlink(data / "quarvel.mdb", data / (".link.tmp" + dead + "-1"));

    ASSERT_EQ(runCli({"--data-dir", data.string(), "--settings-file", "/dev/null/none.ini", "list"})
                  .status,
              0);
    for (const auto& p : partFiles())
        EXPECT_EQ(p.filename(), ".quarvelTmp.mdb.mine.part") << "left: " << p;
    EXPECT_FALSE(fs::exists(data / (".lsbf.txt.tmp" + dead + "-12")));
    EXPECT_FALSE(fs::exists(data / "备份" / (".20250101-000000-trim-last.txt.tmp" + dead + "-3")));
    EXPECT_TRUE(fs::exists(data / (".lsbf.txt.tmp" + alive + "-12")));
    EXPECT_TRUE(fs::exists(data / "备份" / (".20250101-000000-trim-last.txt.tmp" + alive + "-3")));
    EXPECT_TRUE(fs::is_symlink(data / (".link.tmp" + dead + "-1")));
}
