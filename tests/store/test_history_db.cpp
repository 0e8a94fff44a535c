#include <gtest/gtest.h>

#include "store/history_db.h"
#include "store/numbering.h"
#include "support/test_support.h"

using namespace quarvel::store;
using quarvel::testing::addDraws;
using quarvel::testing::Draw;
using quarvel::testing::TempDir;
namespace fs = std::filesystem;

namespace {

std::vector<std::pair<std::int64_t, std::int64_t>> issuesAndIdx(HistoryDb& db) {
    Snapshot& s = db.reopenSort();
    std::vector<std::pair<std::int64_t, std::int64_t>> out;
    for (s.moveFirst(); !s.eof(); s.moveNext())
        out.emplace_back(s.intField("SQQH"), s.intField("IDX"));
    return out;
}

std::vector<Draw> threeDraws() {
    return {{2013003, {1, 2, 3, 4, 5, 6, 7, 8}},
            {2013001, {9, 10, 11, 12, 13, 14, 15, 16}},
            {2013002, {17, 18, 19, 20, 21, 22, 23, 24}}};
}

}  // namespace

TEST(HistoryDb, MissingFileIsCreatedWithBothTables) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    EXPECT_TRUE(fs::exists(dir.path() / "quarvel.mdb"));
    EXPECT_TRUE(db.db().hasTable("Lishi"));
    EXPECT_TRUE(db.db().hasTable("yl"));
    EXPECT_EQ(db.rsLishiSort().recordCount(), 0u);
    const auto cols = db.db().tableColumns("Lishi");
    EXPECT_EQ(std::vector<std::string>(cols.begin() + 1, cols.end()), lishiColumns());
}

TEST(HistoryDb, UnusableFilesAreReportedAndNeverOverwritten) {
    TempDir dir;
    const fs::path mdb = dir.path() / "quarvel.mdb";
    quarvel::testing::writeFile(mdb, "Standard Jet DB, not an SQLite file at all........");
    const std::string before = quarvel::testing::readFile(mdb);
    HistoryDb db(dir.path());
    EXPECT_THROW(db.open(), DbError);
    EXPECT_FALSE(db.isOpen());
    EXPECT_THROW(db.rsLishi(), DbError);
    EXPECT_EQ(quarvel::testing::readFile(mdb), before);

    // An SQLite database of some other program is not taken over either.
    fs::remove(mdb);
    {
        Database other = Database::open(mdb, Database::OpenMode::CreateIfMissing);
        other.executeNative("CREATE TABLE Accounts (id INTEGER)");
    }
    EXPECT_THROW(db.open(), DbError);
    Database check = Database::open(mdb);
    EXPECT_FALSE(check.hasTable("Lishi"));
    check.close();

    // Nor is one that holds only a view, or a Lishi of another layout: each is left byte for byte.
    for (const char* schema :
         {"CREATE VIEW Totals AS SELECT 1 AS n", "CREATE TABLE Lishi (SQQH INTEGER)"}) {
        fs::remove(mdb);
        Database::open(mdb, Database::OpenMode::CreateIfMissing).executeNative(schema);
        const std::string foreign = quarvel::testing::readFile(mdb);
        try {
            db.open();
            ADD_FAILURE() << "opened a file of another program: " << schema;
        } catch (const DbError& e) {
            EXPECT_EQ(e.fault(), DbFault::NotADatabase) << e.what();
        }
        EXPECT_EQ(quarvel::testing::readFile(mdb), foreign) << schema;
    }
}

TEST(HistoryDb, RenumberFollowsIssueOrderWithDuplicatesInInsertionOrder) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    auto draws = threeDraws();
    draws.push_back({2013002, {25, 26, 27, 28, 29, 30, 1, 2}});
    addDraws(db, draws);
    EXPECT_EQ(issuesAndIdx(db), (std::vector<std::pair<std::int64_t, std::int64_t>>{
                                    {2013001, 1}, {2013002, 2}, {2013002, 3}, {2013003, 4}}));
    Snapshot& s = db.reopenSort();
    s.moveFirst();
    s.moveNext();
    EXPECT_EQ(s.intField("L1A"), 17);  // the earlier of the two 2013002 rows comes first
    s.moveNext();
    EXPECT_EQ(s.intField("L1A"), 25);
}

TEST(HistoryDb, DelrecEmptiesTheTableWhileTheSortedSnapshotKeepsOldRows) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    delrec(db.rsLishi());  // empty: nothing to do
    addDraws(db, threeDraws());
    delrec(db.rsLishi());
    EXPECT_EQ(db.drawCount(), 0u);
    EXPECT_EQ(db.rsLishiSort().recordCount(), 3u);
    EXPECT_EQ(db.reopenSort().recordCount(), 0u);
}

TEST(HistoryDb, CompactionKeepsEveryRowAndLeavesTheTemporaryCopy) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    addDraws(db, quarvel::testing::randomDraws(300, 7));
    db.db().execute("DELETE FROM Lishi WHERE SQQH < 2013050");
    const std::string before = historyListGrid(db.reopenSort()).toTsv();
    db.compact();
    EXPECT_TRUE(fs::exists(dir.path() / "quarvelTmp.mdb"));
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(historyListGrid(db.rsLishiSort()).toTsv(), before);
    EXPECT_NO_THROW(db.rsLishi().moveLast());
    addDraws(db, {{2019001, {1, 2, 3, 4, 5, 6, 7, 8}}});  // both cursors work again
    EXPECT_EQ(db.lastIssue(), 2019001);
}

TEST(HistoryDb, FailedCompactionLeavesTheDatabaseIntact) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    addDraws(db, threeDraws());
    // The temporary name is taken by a non-empty folder, so the copy cannot be written.
    fs::create_directories(dir.path() / "quarvelTmp.mdb" / "blocker");
    EXPECT_THROW(db.compact(), DbError);
    EXPECT_TRUE(db.isOpen());
    EXPECT_EQ(db.drawCount(), 3u);
    HistoryDb again(dir.path());
    again.open();
    EXPECT_EQ(again.drawCount(), 3u);
}

TEST(HistoryDb, RenumberingPastTheOrdinalLimitChangesNothing) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    {
        Transaction tx(db.db());
        db.db().executeNative(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i < 32768) "
            "INSERT INTO Lishi (SQQH, IDX) SELECT 2000000 + i, 5 FROM n");
        tx.commit();
    }
    EXPECT_THROW(db.renumberIdx(), DbError);
    Snapshot s = db.db().snapshot("SELECT count(*) AS n FROM Lishi WHERE IDX <> 5");
    s.moveFirst();
    EXPECT_EQ(s.intField("n"), 0);
}

TEST(Numbering, HistoryListGridShowsPlainNumbersAndScrollsBeyond39Draws) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    TextGrid empty = historyListGrid(db.reopenSort());
    EXPECT_EQ(empty.rows(), 1);
    EXPECT_EQ(lastIssueOf(db.rsLishiSort()), 0);
    EXPECT_EQ(nextIssueAfter(0), 1);

    addDraws(db, quarvel::testing::randomDraws(39, 3));
    TextGrid g = historyListGrid(db.reopenSort());
    EXPECT_EQ(g.cells[0], (std::vector<std::string>{"期号", "落1码", "落2码", "落3码", "落4码",
                                                    "落5码", "落6码", "落7码", "特码"}));
    EXPECT_EQ(g.colWidths, (std::vector<int>{820, 600, 600, 600, 600, 600, 600, 600, 600}));
    EXPECT_EQ(g.rows(), 40);
    EXPECT_EQ(g.topRow, 1);
    for (int r = 1; r < g.rows(); ++r)
        for (int c = 1; c <= 8; ++c) EXPECT_NE(g.at(r, c).front(), '0');

    addDraws(db, {{2013153, {1, 2, 3, 4, 5, 6, 7, 8}}});
    g = historyListGrid(db.reopenSort());
    EXPECT_EQ(g.topRow, 40);
    EXPECT_EQ(g.cells.back()[1], "1");
    EXPECT_EQ(nextIssueAfter(lastIssueOf(db.rsLishiSort())), 2013154);  // no year rollover
}

// The list read in table order and put in issue order is the list of the sorted snapshot:
// issues stored out of order, equal issues (kept in the order stored), a number that is not a
// whole number, and an SQQH stored as text (whose place SQLite's ORDER BY gives).
TEST(HistoryDb, HistoryListReadStraightIsTheSortedSnapshotsList) {
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"in issue order", ""},
        {"out of order, equal issues",
         "INSERT INTO Lishi (SQQH, L1A, L8A) VALUES (2013002, 9, 9), (2012001, 1, 1), "
         "(2013002, 7, 7)"},
        {"a number that is not whole", "UPDATE Lishi SET L3A = 2.5 WHERE SQQH = 2013004"},
        {"an issue stored as text", "INSERT INTO Lishi (SQQH, L1A) VALUES ('x', 3)"},
        {"an issue that is NULL", "INSERT INTO Lishi (L1A) VALUES (4)"},
    };
    for (const auto& [name, change] : cases) {
        TempDir dir;
        HistoryDb db(dir.path());
        db.open();
        addDraws(db, quarvel::testing::randomDraws(60, 3));
        if (!change.empty()) db.db().executeNative(change);
        Value newest;
        const TextGrid straight = historyListGrid(db.db(), &newest);
        Snapshot sorted = db.reopenSort();
        EXPECT_EQ(straight.toTsv(), historyListGrid(sorted).toTsv()) << name;
        EXPECT_EQ(straight.topRow, historyListGrid(sorted).topRow) << name;
        sorted.moveLast();
        EXPECT_EQ(toText(newest), toText(sorted.field("SQQH"))) << name;
    }
}
