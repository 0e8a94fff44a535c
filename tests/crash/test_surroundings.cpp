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
    // The backup the import wrote of the history it was about to replace stays, as a backup.
    for (const auto& e : fs::directory_iterator(data))
        EXPECT_TRUE(e.path().filename() == "quarvel.mdb" || e.path().filename() == "filler" ||
                    e.path().filename() == "quarvelTmp.mdb" || e.path().filename() == "备份")
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
    const fs::path file = dir.path() / "more.txt";
    quarvel::testing::writeFile(file, "2099001 01 02 03 04 05 06 07 08\r\n");
    // The sentence of the in-use kind, whatever SQLite's own words are.
    const std::string inUse =
        store::userText(store::DbError("", store::DbFault::Busy)).substr(0, 30);
    store::Database other = store::Database::open(dir.path() / "quarvel.mdb");
    {
        store::Transaction holding(other);
        other.execute("UPDATE Lishi SET intTh = 1");
        const std::vector<std::vector<std::string>> commands = {
            {"add", "2099001", "01", "02", "03", "04", "05", "06", "07", "08"},
            {"delete-last"},
            {"clear"},
            {"import", file.string()},
            {"trim-last", "2"},
            {"trim-to", "2013010"},
            {"groups", "--size", "1", "--boxes", "1,2"}};
        for (const auto& command : commands) {
            const auto r = cli(dir.path(), command);
            EXPECT_EQ(r.status, 1) << command[0];
            EXPECT_NE(r.err.find(inUse), std::string::npos) << command[0] << ": " << r.err;
        }
    }
    EXPECT_EQ(listing(dir.path()), before);
}

// A folder whose name is not valid UTF-8 is that very folder: the draw is stored there and
// listed from there, and no folder of a similar name appears beside it.
TEST(Surroundings, AFolderNameOfAnyBytesIsUsedExactly) {
    TempDir dir;
    const fs::path data = dir.path() / std::string("data\xff");
    const auto a = cli(data, {"add", "2099001", "01", "02", "03", "04", "05", "06", "07", "08"});
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_TRUE(fs::exists(data / "quarvel.mdb"));
    EXPECT_NE(listing(data).find("2099001"), std::string::npos);
    std::vector<fs::path> inside;
    for (const auto& e : fs::directory_iterator(dir.path())) inside.push_back(e.path());
    EXPECT_EQ(inside, std::vector<fs::path>{data});
}

// Another program's SQLite file is listed as refused and left byte for byte; a settings file
// that is the history (or links to it) is refused and the history stays as it was.
TEST(Surroundings, ForeignFilesAndASettingsFileOnTheHistoryAreLeftAlone) {
    TempDir dir;
    store::Database::open(dir.path() / "quarvel.mdb", store::Database::OpenMode::CreateIfMissing)
        .executeNative("CREATE VIEW Totals AS SELECT 1 AS n");
    const std::string foreign = readFile(dir.path() / "quarvel.mdb");
    const auto r = cli(dir.path(), {"list"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("不是 quarvel 的历史数据库"), std::string::npos) << r.err;
    EXPECT_EQ(readFile(dir.path() / "quarvel.mdb"), foreign);

    fs::remove(dir.path() / "quarvel.mdb");
    makeHistory(dir.path(), 20);
    fs::create_symlink(dir.path() / "quarvel.mdb", dir.path() / "link.ini");
    const std::string history = readFile(dir.path() / "quarvel.mdb");
    for (const char* settings : {"quarvel.mdb", "link.ini"}) {
        const auto s =
            quarvel::testing::runCli({"--data-dir", dir.path().string(), "--settings-file",
                                      (dir.path() / settings).string(), "--sx-base", "0", "list"});
        EXPECT_EQ(s.status, 0) << s.err;
        EXPECT_NE(s.err.find("设置文件"), std::string::npos) << s.err;
        EXPECT_EQ(readFile(dir.path() / "quarvel.mdb"), history) << settings;
    }
}
