// Several quarvel-cli processes on one data folder at once, started with random offsets: every
// outcome must be what running the commands that reported success one after the other gives,
// in some order, and the database must pass SQLite's integrity check every time.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <set>
#include <thread>

#include "crash/cli_process.h"
#include "support/http_test_server.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel::testing;

std::string integrity(const fs::path& dbFile) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(dbFile.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    std::string answer = "no answer";
    if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW)
        answer = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
    sqlite3_finalize(st);
    sqlite3_close(db);
    return answer;
}

class Race {
  public:
    Race(fs::path root, std::vector<std::vector<std::string>> commands)
        : root_(std::move(root)), commands_(std::move(commands)) {}

    // Called in the work folder before each round's commands start (the round's own set-up).
    std::function<void(const fs::path&)> beforeRound = [](const fs::path&) {};
    std::function<void()> afterRound = [] {};

    // Runs `rounds` rounds with start offsets up to `spreadUs`; returns how many rounds ended
    // with every command reporting success.
    int run(int rounds, long spreadUs, unsigned seed) {
        std::mt19937 rng(seed);
        std::uniform_int_distribution<long> offset(0, spreadUs);
        int allSucceeded = 0;
        for (int round = 0; round < rounds; ++round) {
            const fs::path work = root_ / "work";
            copyHistory(root_ / "pristine", work);
            beforeRound(work);
            std::vector<long> delays;
            for (std::size_t i = 0; i < commands_.size(); ++i) delays.push_back(offset(rng));
            std::vector<std::thread> threads;
            std::vector<int> status(commands_.size(), -2);
            for (std::size_t i = 0; i < commands_.size(); ++i) {
                threads.emplace_back([&, i] {
                    std::this_thread::sleep_for(std::chrono::microseconds(delays[i]));
                    status[i] = waitForExit(
                        spawnCli(work, commands_[i], root_ / ("out" + std::to_string(i))));
                });
            }
            for (auto& t : threads) t.join();

            std::vector<int> succeeded;
            for (std::size_t i = 0; i < commands_.size(); ++i) {
                const std::string out = readFile(root_ / ("out" + std::to_string(i)));
                // A command may say it could not run now (status 1), never crash or misreport.
                EXPECT_TRUE(status[i] == 0 || status[i] == 1)
                    << commands_[i][0] << " ended with " << status[i] << ": " << out;
                if (status[i] == 0) succeeded.push_back(static_cast<int>(i));
            }
            allSucceeded += succeeded.size() == commands_.size();
            EXPECT_EQ(integrity(work / quarvel::store::kDbFileName), "ok") << "round " << round;
            const std::string now = fingerprint(work);
            EXPECT_TRUE(serialOutcomes(succeeded).count(now))
                << "round " << round
                << ": the history is not what the commands that succeeded give in any order";
            afterRound();
        }
        return allSucceeded;
    }

  private:
    // The histories that running the commands one after the other gives, in every order.
    std::set<std::string> serialOutcomes(std::vector<int> subset) {
        std::set<std::string> out;
        std::sort(subset.begin(), subset.end());
        do {
            auto found = cache_.find(subset);
            if (found == cache_.end()) {
                const fs::path scratch = root_ / "serial";
                copyHistory(root_ / "pristine", scratch);
                for (int i : subset)
                    EXPECT_EQ(
                        waitForExit(spawnCli(scratch, commands_[static_cast<std::size_t>(i)])), 0);
                found = cache_.emplace(subset, fingerprint(scratch)).first;
            }
            out.insert(found->second);
        } while (std::next_permutation(subset.begin(), subset.end()));
        return out;
    }

    fs::path root_;
    std::vector<std::vector<std::string>> commands_;
    std::map<std::vector<int>, std::string> cache_;
};

struct Races : ::testing::Test {
    TempDir dir;
    fs::path file = dir.path() / "import.txt";

    void SetUp() override {
        fs::create_directories(dir.path() / "pristine");
        quarvel::store::HistoryDb db(dir.path() / "pristine");
        db.open();
        addDraws(db, randomDraws(400, 21));  // 2013001 .. 2015100
        writeHistoryFile(file, randomDraws(6000, 22, 2001001));
    }
};

}  // namespace

TEST_F(Races, ImportAgainstCompaction) {
    Race race(dir.path(), {{"import", file.string()}, {"compact"}});
    const int both = race.run(12, 300'000, 1);
    std::printf("import and compact: %d of 12 rounds with both succeeding\n", both);
}

TEST_F(Races, ImportAgainstTrimming) {
    Race race(dir.path(), {{"import", file.string()}, {"trim-last", "1"}});
    const int both = race.run(12, 300'000, 2);
    std::printf("import and trim-last: %d of 12 rounds with both succeeding\n", both);
    EXPECT_GT(both, 0);
}

TEST_F(Races, UpdateWaitingForPagesAgainstCompaction) {
    // The history ends at 2015100; the site holds the rest of 2015 and 2016 and answers slowly.
    std::map<std::string, std::string> pages;
    for (int year : {2015, 2016}) pages[resultsPageTarget(year)] = resultsPage(year, 150);
    HttpTestServer server([&](const std::string& target) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        return HttpTestServer::pages(pages)(target);
    });
    Race race(dir.path(), {{"update", "--host", server.baseUrl(), "--year-now", "2016"},
                           {"compact"},
                           {"add", "2016151", "01", "02", "03", "04", "05", "06", "07", "08"}});
    const int all = race.run(8, 500'000, 3);
    std::printf("update, compact and add: %d of 8 rounds with all succeeding\n", all);
}

TEST_F(Races, AddAndDeleteWhileAnotherConnectionKeepsTheFileOpenInWal) {
    sqlite3* other = nullptr;
    Race race(dir.path(), {{"add", "2030001", "01", "02", "03", "04", "05", "06", "07", "08"},
                           {"delete-last"},
                           {"delete-last"}});
    race.beforeRound = [&](const fs::path& work) {
        ASSERT_EQ(sqlite3_open((work / quarvel::store::kDbFileName).c_str(), &other), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(other, "PRAGMA journal_mode=WAL; SELECT count(*) FROM Lishi",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
    };
    race.afterRound = [&] {
        // The other program's connection still reads a whole history.
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(other, "SELECT count(*) FROM Lishi", -1, &st, nullptr),
                  SQLITE_OK);
        EXPECT_EQ(sqlite3_step(st), SQLITE_ROW);
        sqlite3_finalize(st);
        sqlite3_close(other);
        other = nullptr;
    };
    const int all = race.run(10, 200'000, 4);
    std::printf(
        "add and two delete-last beside a WAL connection: %d of 10 rounds with all succeeding\n",
        all);
    EXPECT_GT(all, 0);
}

// Two compactions at once: each writes its copy under a name of its own, so both succeed, or
// the one kept waiting says the history is in use; never an I/O error.
TEST_F(Races, TwoCompactionsAtOnce) {
    Race race(dir.path(), {{"compact"}, {"compact"}});
    const std::string inUse =
        quarvel::store::userText(quarvel::store::DbError("", quarvel::store::DbFault::Busy));
    race.afterRound = [&] {
        for (const char* out : {"out0", "out1"}) {
            const std::string text = readFile(dir.path() / out);
            EXPECT_TRUE(text.rfind("数据库已压缩：", 0) == 0 ||
                        text.find(inUse.substr(0, 30)) != std::string::npos)
                << text;
        }
        EXPECT_TRUE(fs::exists(dir.path() / "work" / quarvel::store::kDbTmpFileName));
        for (const auto& e : fs::directory_iterator(dir.path() / "work"))
            EXPECT_NE(e.path().extension(), ".part") << "a copy was left behind: " << e.path();
    };
    const int both = race.run(40, 20'000, 3);
    std::printf("two compactions: %d of 40 rounds with both succeeding\n", both);
}
