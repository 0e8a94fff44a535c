// quarvel.mdb as a file other programs have open too: compaction in place, links, read-only
// files, a file replaced under an open history.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>

#include "store/history_db.h"
#include "store/numbering.h"
#include "store/system_calls.h"
#include "support/test_support.h"

using namespace quarvel::store;
using quarvel::testing::addDraws;
using quarvel::testing::randomDraws;
using quarvel::testing::readFile;
using quarvel::testing::TempDir;
namespace fs = std::filesystem;

namespace {

auto inodeOf(const fs::path& p) { return fileIdentity(p); }

}  // namespace

TEST(SharedFile, CompactionWorksInPlaceBesideAnotherConnection) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    addDraws(db, randomDraws(300, 3));
    const auto before = inodeOf(db.dbPath());

    // Another program keeps the file open, in WAL mode, and writes after the compaction.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.dbPath().string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr), SQLITE_OK);
    db.db().execute("DELETE FROM Lishi WHERE SQQH < 2013100");
    db.compact();
    EXPECT_EQ(inodeOf(db.dbPath()), before) << "the database file was replaced";
    EXPECT_TRUE(fs::exists(db.tmpPath()));
    ASSERT_EQ(
        sqlite3_exec(other, "DELETE FROM Lishi WHERE SQQH = 2013100", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(other);

    EXPECT_EQ(db.drawCount(), 300u - 100u);
    addDraws(db, {{2099001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    HistoryDb again(dir.path());
    again.open();
    EXPECT_EQ(again.drawCount(), 201u);
    EXPECT_EQ(again.lastIssue(), 2099001);
}

TEST(SharedFile, ALinkedDatabaseStaysALinkAndItsTargetGetsEveryChange) {
    QUARVEL_SKIP_ON_WINDOWS("links");
    TempDir dir;
    const fs::path real = dir.path() / "elsewhere";
    const fs::path data = dir.path() / "data";
    fs::create_directories(real);
    fs::create_directories(data);
    {
        HistoryDb target(real);
        target.open();
    }
    fs::create_symlink(real / kDbFileName, data / kDbFileName);
    HistoryDb db(data);
    db.open();
    addDraws(db, randomDraws(50, 4));
    db.compact();
    addDraws(db, {{2099001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    EXPECT_TRUE(fs::is_symlink(data / kDbFileName));
    HistoryDb target(real);
    target.open();
    EXPECT_EQ(target.drawCount(), 51u);
}

TEST(SharedFile, AReadOnlyDatabaseIsReadButNeverChanged) {
    TempDir dir;
    {
        HistoryDb db(dir.path());
        db.open();
        addDraws(db, randomDraws(20, 5));
        // YL as the first files had it, before its four later columns.
        db.db().executeNative("DROP TABLE YL");
        db.db().executeNative(
            "CREATE TABLE YL (content TEXT, intMinYL SMALLINT, intMaxYL SMALLINT, "
            "intLstYl SMALLINT, sglLlr REAL)");
    }
    const fs::path file = dir.path() / kDbFileName;
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const std::string bytes = readFile(file);

    HistoryDb db(dir.path());
    db.open();
    EXPECT_EQ(db.drawCount(), 20u);
    try {
        db.compact();
        ADD_FAILURE() << "a read-only file was compacted";
    } catch (const DbError& e) {
        EXPECT_EQ(e.fault(), DbFault::ReadOnly);
        EXPECT_NE(userText(e).find("历史数据库是只读的，无法保存。"), std::string::npos);
    }
    EXPECT_FALSE(fs::exists(dir.path() / kDbTmpFileName));  // refused before any copy is written
    EXPECT_THROW(db.db().execute("DELETE FROM Lishi"), DbError);
    EXPECT_EQ(db.db().tableColumns("YL").size(), 5u);
    db.close();
    EXPECT_EQ(readFile(file), bytes);
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::owner_write, fs::perms::none);
}

TEST(SharedFile, CompactionWaitsABoundedTimeForAnotherWriterThenSaysTheHistoryIsInUse) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    addDraws(db, randomDraws(20, 6));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(db.dbPath().string().c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM Lishi WHERE SQQH = 2013001",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    try {
        db.compact();
        ADD_FAILURE() << "compacted while another program was writing";
    } catch (const DbError& e) {
        EXPECT_EQ(e.fault(), DbFault::Busy);
        EXPECT_EQ(userText(e).rfind("历史数据库正被另一个程序使用，请稍后再试。", 0), 0u);
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(db.drawCount(), 19u);
    EXPECT_NO_THROW(db.compact());
}

TEST(SharedFile, AFileReplacedUnderTheHistoryIsReopenedAndAMissingOneIsNotRecreated) {
    QUARVEL_SKIP_ON_WINDOWS("renames the open history");
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    addDraws(db, randomDraws(10, 7));
    EXPECT_FALSE(db.replacedOnDisk());

    // Another program puts a different history in place under the same name.
    const fs::path other = dir.path() / "other";
    fs::create_directories(other);
    {
        HistoryDb replacement(other);
        replacement.open();
        addDraws(replacement, randomDraws(4, 8));
    }
    fs::rename(other / kDbFileName, db.dbPath());
    EXPECT_TRUE(db.replacedOnDisk());
    db.reopenIfReplaced();
    EXPECT_EQ(db.drawCount(), 4u);

    fs::rename(db.dbPath(), dir.path() / "moved.mdb");
    try {
        db.reopenIfReplaced();
        ADD_FAILURE() << "a moved history went unnoticed";
    } catch (const DbError& e) {
        EXPECT_EQ(e.fault(), DbFault::Missing);
    }
    EXPECT_FALSE(fs::exists(db.dbPath()));
}
