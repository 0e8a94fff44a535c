// Kills quarvel-cli with SIGKILL at random moments while it rewrites the history, then checks
// that the database opens and holds either the whole old or the whole new history.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <random>
#include <set>
#include <thread>

#include "crash/cli_process.h"
#include "store/history_db.h"
#include "store/numbering.h"
#include "support/http_test_server.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;
using namespace quarvel::testing;
using Clock = std::chrono::steady_clock;

// Runs a command to its end; returns how long it took.
std::chrono::microseconds runToEnd(const fs::path& dataDir,
                                   const std::vector<std::string>& command) {
    const auto start = Clock::now();
    EXPECT_EQ(waitForExit(spawnCli(dataDir, command)), 0) << command.front();
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
}

struct Outcome {
    int kills = 0;
    int old = 0;
    int fresh = 0;
};

// For `kills` random moments within the command's usual run time: restore the old history,
// start the command, kill it, and check what the database holds.
Outcome killRepeatedly(const fs::path& pristine, const fs::path& work,
                       const std::vector<std::string>& command, int kills, unsigned seed) {
    const std::string before = fingerprint(pristine);
    copyHistory(pristine, work);
    const auto full = runToEnd(work, command);
    const std::string after = fingerprint(work);

    std::mt19937 rng(seed);
    std::uniform_int_distribution<long> moment(0, static_cast<long>(full.count() * 11 / 10));
    Outcome o;
    for (int i = 0; i < kills; ++i) {
        copyHistory(pristine, work);
        const pid_t pid = spawnCli(work, command);
        std::this_thread::sleep_for(std::chrono::microseconds(moment(rng)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ++o.kills;
        std::string now;
        EXPECT_NO_THROW(now = fingerprint(work)) << command.front() << " kill " << i;
        if (now == before)
            ++o.old;
        else if (now == after)
            ++o.fresh;
        else
            ADD_FAILURE() << command.front() << " kill " << i
                          << " left a history that is neither old nor new";
    }
    std::printf("%s: %d kills, %d left the old history, %d the new one\n", command.front().c_str(),
                o.kills, o.old, o.fresh);
    return o;
}

struct CrashSafety : ::testing::Test {
    TempDir dir;
    fs::path pristine = dir.path() / "pristine";
    fs::path work = dir.path() / "work";

    void SetUp() override {
        fs::create_directories(pristine);
        store::HistoryDb db(pristine);
        db.open();
        quarvel::testing::addDraws(db, quarvel::testing::randomDraws(400, 11));
    }
};

}  // namespace

TEST_F(CrashSafety, ImportIsAllOrNothing) {
    const fs::path file = dir.path() / "big.txt";
    writeHistoryFile(file, quarvel::testing::randomDraws(12000, 5, 2001001));
    const Outcome o = killRepeatedly(pristine, work, {"import", file.string()}, 20, 1);
    EXPECT_EQ(o.old + o.fresh, o.kills);
}

TEST_F(CrashSafety, TrimmingIsAllOrNothing) {
    const Outcome o = killRepeatedly(pristine, work, {"trim-last", "150"}, 20, 2);
    EXPECT_EQ(o.old + o.fresh, o.kills);
}

TEST_F(CrashSafety, CompactionNeverLosesTheHistory) {
    const Outcome o = killRepeatedly(pristine, work, {"compact"}, 15, 3);
    EXPECT_EQ(o.old + o.fresh, o.kills);  // old and new are the same rows here
}

TEST_F(CrashSafety, OnlineUpdateIsAllOrNothing) {
    // The stored history ends in 2015 (serial 100); the site holds the rest of 2015 and 2016.
    std::map<std::string, std::string> pages;
    for (int year : {2015, 2016}) pages[resultsPageTarget(year)] = resultsPage(year, 150);
    quarvel::testing::HttpTestServer server(quarvel::testing::HttpTestServer::pages(pages));
    const Outcome o = killRepeatedly(
        pristine, work, {"update", "--host", server.baseUrl(), "--year-now", "2016"}, 15, 4);
    EXPECT_EQ(o.old + o.fresh, o.kills);
}
