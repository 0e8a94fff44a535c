#pragma once
// Helpers shared by the tests: a temporary data folder and quick ways to fill a history.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "store/draw_record.h"
#include "store/history_db.h"

// Skips a test whose situation does not arise on Windows: links (they need privileges there),
// a file renamed or replaced while the history has it open (Windows refuses), POSIX tools.
#ifdef _WIN32
#define QUARVEL_SKIP_ON_WINDOWS(why) GTEST_SKIP() << (why)
#else
#define QUARVEL_SKIP_ON_WINDOWS(why) (void)0
#endif

namespace quarvel::testing {

// A fresh folder under the system temp dir, removed with everything in it on destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path path_;
};

struct Draw {
    std::int32_t issue;
    std::array<int, 8> numbers;
};

// Appends the draws (own issue as zodiac issue, start-up zodiac codes of `bases`) in one
// transaction, then renumbers IDX and reopens rsLishiSort.
void addDraws(store::HistoryDb& db, const std::vector<Draw>& draws, store::Bases bases = {});
// `count` random draws (seeded) starting at `firstIssue`, 150 serials per year.
// Damages the issue index the way a torn write can: it loses the entries from `issueFrom` on
// while the schema still calls it whole (PRAGMA quick_check passes). Reopens `db`.
void damageIssueIndex(store::HistoryDb& db, std::int32_t issueFrom);
std::vector<Draw> randomDraws(std::size_t count, unsigned seed, std::int32_t firstIssue = 2013001);

std::string readFile(const std::filesystem::path& p);
void writeFile(const std::filesystem::path& p, const std::string& content);
std::filesystem::path dataFile(const std::string& name);  // tests/data/<name>

// Runs the quarvel-cli program as a process of its own with arguments (shell-quoted here),
// stdin empty; captures stdout, stderr and status. For what needs another program: two at
// once, a lock held by another process. support/cli_sandbox.h runs it in this process.
struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};
CliResult runCli(const std::vector<std::string>& args);
// Runs any program (first word) with its arguments the same way.
CliResult runCommand(const std::vector<std::string>& command);

}  // namespace quarvel::testing
