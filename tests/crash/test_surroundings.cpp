// Faults of the surroundings: a full disk, a read-only data folder, a damaged or foreign
// database file, a database locked by another program. Each is refused with a clear message
// and leaves every file as it was.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <fstream>

#include "store/history_db.h"
#include "store/numbering.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace quarvel;
using quarvel::testing::readFile;
using quarvel::testing::TempDir;

// A small tmpfs of its own; the tests that need one are skipped where mounting is not allowed.
class SmallDisk {
  public:
    SmallDisk(const fs::path& at, const char* size) : at_(at) {
        fs::create_directories(at);
        mounted_ =
            ::mount("tmpfs", at.c_str(), "tmpfs", 0, (std::string("size=") + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }
    bool makeReadOnly() {
        return ::mount("tmpfs", at_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

  private:
    fs::path at_;
    bool mounted_ = false;
};

quarvel::testing::CliResult cli(const fs::path& dataDir, std::vector<std::string> args) {
    std::vector<std::string> all = {"--data-dir", dataDir.string(), "--settings-file",
                                    "/dev/null/none.ini"};
    all.insert(all.end(), args.begin(), args.end());
    return quarvel::testing::runCli(all);
}

std::string listing(const fs::path& dataDir) { return cli(dataDir, {"list"}).out; }

void makeHistory(const fs::path& dataDir, std::size_t draws) {
    store::HistoryDb db(dataDir);
    db.open();
    quarvel::testing::addDraws(db, quarvel::testing::randomDraws(draws, 21));
}

fs::path bigImportFile(const fs::path& dir) {
    const fs::path file = dir / "big.txt";
    std::ofstream out(file, std::ios::binary);
    for (const auto& d : quarvel::testing::randomDraws(8000, 9, 2001001)) {
        out << d.issue;
        for (int n : d.numbers) out << (n < 10 ? " 0" : " ") << n;
        out << "\r\n";
    }
    return file;
}

}  // namespace

TEST(Surroundings, FullDiskRefusesTheWriteAndKeepsTheHistory) {
    TempDir dir;
    const fs::path data = dir.path() / "disk";
    SmallDisk disk(data, "400k");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    makeHistory(data, 60);
    const std::string before = listing(data);
    const std::string dbBytes = readFile(data / "quarvel.mdb");

    const auto imported = cli(data, {"import", bigImportFile(dir.path()).string()});
    EXPECT_EQ(imported.status, 1);
    EXPECT_NE(imported.err.find("full"), std::string::npos) << imported.err;
    EXPECT_EQ(listing(data), before);

    // Fill what is left, then an export and a compaction must fail without leaving debris.
    {
        std::ofstream filler(data / "filler", std::ios::binary);
        filler << std::string(2 << 20, 'x');
    }
    const auto exported = cli(data, {"export"});
    EXPECT_EQ(exported.status, 1);
    const auto compacted = cli(data, {"compact"});
    EXPECT_EQ(compacted.status, 1);
    EXPECT_EQ(listing(data), before);
    EXPECT_EQ(readFile(data / "quarvel.mdb"), dbBytes);
    for (const auto& e : fs::directory_iterator(data))
        EXPECT_TRUE(e.path().filename() == "quarvel.mdb" || e.path().filename() == "filler" ||
                    e.path().filename() == "quarvelTmp.mdb")
            << "left behind: " << e.path();
}

TEST(Surroundings, ReadOnlyFolderStillListsButRefusesChanges) {
    TempDir dir;
    const fs::path data = dir.path() / "ro";
    SmallDisk disk(data, "4m");
    if (!disk.mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    makeHistory(data, 30);
    const std::string before = listing(data);
    ASSERT_TRUE(disk.makeReadOnly());

    EXPECT_EQ(listing(data), before);
    for (const std::vector<std::string>& change :
         {std::vector<std::string>{"add", "2099001", "01", "02", "03", "04", "05", "06", "07",
                                   "08"},
          {"delete-last"},
          {"clear"},
          {"trim-last", "3"},
          {"export"},
          {"compact"}}) {
        const auto r = cli(data, change);
        EXPECT_EQ(r.status, 1) << change.front() << ": " << r.out;
        EXPECT_FALSE(r.err.empty()) << change.front();
    }
    EXPECT_EQ(listing(data), before);
}

TEST(Surroundings, DamagedOrForeignFilesAreRefusedAndLeftAlone) {
    TempDir dir;
    makeHistory(dir.path(), 200);
    const std::string whole = readFile(dir.path() / "quarvel.mdb");

    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"not a database", "this is a text file, not a history database\r\n"},
        {"cut short", whole.substr(0, whole.size() / 2)},
        {"empty header page", std::string(4096, '\0')},
    };
    for (const auto& c : cases) {
        quarvel::testing::writeFile(dir.path() / "quarvel.mdb", c.bytes);
        const auto r = cli(dir.path(), {"list"});
        EXPECT_EQ(r.status, 1) << c.name;
        EXPECT_FALSE(r.err.empty()) << c.name;
        const auto a =
            cli(dir.path(), {"add", "2099001", "01", "02", "03", "04", "05", "06", "07", "08"});
        EXPECT_EQ(a.status, 1) << c.name;
        EXPECT_EQ(readFile(dir.path() / "quarvel.mdb"), c.bytes) << c.name;
    }
}

TEST(Surroundings, LockedDatabaseIsReportedAndNothingIsWritten) {
    TempDir dir;
    makeHistory(dir.path(), 20);
    const std::string before = listing(dir.path());
    store::Database other = store::Database::open(dir.path() / "quarvel.mdb");
    {
        store::Transaction holding(other);
        other.execute("UPDATE Lishi SET intTh = 1");
        const auto r =
            cli(dir.path(), {"add", "2099001", "01", "02", "03", "04", "05", "06", "07", "08"});
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("locked"), std::string::npos) << r.err;
    }
    EXPECT_EQ(listing(dir.path()), before);
}
