#include <gtest/gtest.h>

#include <fstream>

#include "store/engine.h"
#include "store/outcome.h"
#include "store/value.h"
#include "support/test_support.h"

using namespace quarvel::store;
using quarvel::testing::TempDir;

namespace {

Database scratch(const TempDir& dir) {
    Database db = Database::open(dir.path() / "t.db", Database::OpenMode::CreateIfMissing);
    db.executeNative(
        "CREATE TABLE T (RowSeq INTEGER PRIMARY KEY, k SMALLINT, txt TEXT, big INTEGER)");
    return db;
}

void addRow(Database& db, int k, const std::string& txt) {
    TableCursor t = db.openTable("t");
    t.addNew();
    t.set("K", std::int64_t{k});
    t.set("TXT", txt);
    t.update();
}

std::vector<std::int64_t> column(Database& db, const std::string& select, const char* name) {
    Snapshot s = db.snapshot(select);
    std::vector<std::int64_t> out;
    for (s.moveFirst(); !s.eof(); s.moveNext()) out.push_back(s.intField(name));
    return out;
}

}  // namespace

TEST(Engine, LikeWithStarSelectsExactlyTheRowsContainingThePattern) {
    TempDir dir;
    Database db = scratch(dir);
    addRow(db, 1, "1X05 1X12 ");
    addRow(db, 2, "1X12 2X05 ");  // 2X05 holds "X05" but not "1X05"
    addRow(db, 3, "1X051 ");
    addRow(db, 4, "1x05 ");  // case matters: tokens are written with an upper-case X
    addRow(db, 5, "");
    EXPECT_EQ(column(db, "SELECT * FROM [T] WHERE [txt] LIKE \"*1X05*\" ORDER BY [k]", "k"),
              (std::vector<std::int64_t>{1, 3}));
    EXPECT_EQ(db.execute("UPDATE [T] SET [big]=7 WHERE [txt] LIKE \"*1X05*\""), 2);
}

TEST(Engine, DoubleQuotedLiteralNeverComparesAColumnWithItself) {
    TempDir dir;
    Database db = scratch(dir);
    addRow(db, 1, "txt");
    addRow(db, 2, "other");
    // In SQLite "txt" would name the column, making the comparison true for every row.
    EXPECT_EQ(column(db, "SELECT * FROM T WHERE txt = \"txt\" ORDER BY k", "k"),
              (std::vector<std::int64_t>{1}));
    EXPECT_EQ(column(db, "SELECT * FROM T WHERE txt = \"k\" ORDER BY k", "k"),
              (std::vector<std::int64_t>{}));
}

TEST(Engine, ModLeftLenAndBooleansWork) {
    TempDir dir;
    Database db = scratch(dir);
    addRow(db, 7, "03 11 15 ");
    db.execute("UPDATE [T] SET [txt]= LEFT([txt],LEN([txt])-4)");
    db.execute("UPDATE [T] SET [big]= TRUE WHERE ([k] MOD 2) = 1");
    Snapshot s = db.snapshot("SELECT * FROM T");
    s.moveFirst();
    EXPECT_EQ(s.textField("txt"), "03 11");
    EXPECT_EQ(s.intField("big"), 1);
}

TEST(Engine, CursorNavigationFollowsBofAndEof) {
    TempDir dir;
    Database db = scratch(dir);
    Snapshot empty = db.snapshot("SELECT * FROM T");
    empty.moveLast();
    EXPECT_TRUE(empty.bof());
    EXPECT_EQ(empty.recordCount(), 0u);
    EXPECT_THROW(empty.field("k"), DbError);

    for (int k = 1; k <= 3; ++k) addRow(db, k, "x");
    Snapshot s = db.snapshot("SELECT * FROM T ORDER BY k");
    s.moveLast();
    EXPECT_EQ(s.recordCount(), 3u);
    EXPECT_EQ(s.intField("K"), 3);  // names match without regard to case
    s.moveNext();
    EXPECT_TRUE(s.eof());
    s.moveFirst();
    s.movePrevious();
    EXPECT_TRUE(s.bof());
    EXPECT_THROW(s.field("nosuch"), DbError);
}

TEST(Engine, SnapshotDoesNotSeeLaterChanges) {
    TempDir dir;
    Database db = scratch(dir);
    addRow(db, 1, "a");
    Snapshot s = db.snapshot("SELECT * FROM T");
    addRow(db, 2, "b");
    db.execute("UPDATE T SET txt = \"changed\"");
    EXPECT_EQ(s.recordCount(), 1u);
    s.moveFirst();
    EXPECT_EQ(s.textField("txt"), "a");
}

TEST(Engine, EqualKeysComeBackInInsertionOrder) {
    TempDir dir;
    Database db = scratch(dir);
    for (const char* t : {"first", "second", "third"}) addRow(db, 5, t);
    Snapshot s = db.snapshot("SELECT * FROM T ORDER BY k");
    std::vector<std::string> order;
    for (s.moveFirst(); !s.eof(); s.moveNext()) order.push_back(s.textField("txt"));
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "third"}));
}

TEST(Engine, TableCursorDeletesFromTheEndAndSeesNewRows) {
    TempDir dir;
    Database db = scratch(dir);
    TableCursor t = db.openTable("T");
    for (int k = 1; k <= 3; ++k) {
        t.addNew();
        t.set("k", std::int64_t{k});
        t.update();
    }
    addRow(db, 4, "added elsewhere");
    t.moveLast();
    EXPECT_EQ(t.intField("k"), 4);
    t.deleteCurrent();
    EXPECT_THROW(t.field("k"), DbError);
    t.movePrevious();
    EXPECT_EQ(t.intField("k"), 3);
    EXPECT_EQ(column(db, "SELECT * FROM T ORDER BY k", "k"), (std::vector<std::int64_t>{1, 2, 3}));
}

TEST(Engine, UpdatableCursorEditsRowsInSelectOrder) {
    TempDir dir;
    Database db = scratch(dir);
    addRow(db, 3, "c");
    addRow(db, 1, "a");
    UpdatableCursor u = db.openUpdatable("SELECT * FROM T ORDER BY k");
    u.moveFirst();
    u.edit();
    u.set("txt", std::string("edited"));
    u.update();
    EXPECT_EQ(u.textField("txt"), "edited");
    EXPECT_EQ(u.intField("k"), 1);
}

TEST(Engine, ValuesThatDoNotFitTheirColumnAreRefused) {
    TempDir dir;
    Database db = scratch(dir);
    TableCursor t = db.openTable("T");
    t.addNew();
    EXPECT_THROW(t.set("k", std::int64_t{32768}), DbError);
    EXPECT_THROW(t.set("k", std::string("x")), DbError);
    EXPECT_THROW(t.set("big", std::int64_t{1} << 40), DbError);
    EXPECT_NO_THROW(t.set("k", std::int64_t{-32768}));
    EXPECT_THROW(t.set("nosuch", std::int64_t{1}), DbError);
}

TEST(Engine, TransactionRollsBackUnlessCommittedAndNestsAsSavepoints) {
    TempDir dir;
    Database db = scratch(dir);
    {
        Transaction outer(db);
        addRow(db, 1, "kept");
        {
            Transaction inner(db);
            addRow(db, 2, "undone");
        }
        outer.commit();
    }
    {
        Transaction dropped(db);
        addRow(db, 3, "undone");
    }
    EXPECT_EQ(column(db, "SELECT * FROM T ORDER BY k", "k"), (std::vector<std::int64_t>{1}));
    EXPECT_EQ(db.transactionDepth(), 0);
}

TEST(Engine, FilesThatAreNotDatabasesAreRefusedAndLeftAlone) {
    TempDir dir;
    const auto path = dir.path() / "x.mdb";
    quarvel::testing::writeFile(path, std::string(4096, 'J'));
    EXPECT_THROW(Database::open(path), DbError);
    EXPECT_EQ(quarvel::testing::readFile(path), std::string(4096, 'J'));
    EXPECT_THROW(Database::open(dir.path() / "missing.mdb"), DbError);
    EXPECT_THROW(Database::open(dir.path()), DbError);
}

TEST(Engine, LockedDatabaseIsReportedNotHung) {
    TempDir dir;
    Database a = scratch(dir);
    Database b = Database::open(dir.path() / "t.db");
    Transaction holding(a);
    addRow(a, 1, "x");
    // Told by its kind, so that the user reads that the history is in use.
    try {
        Transaction t(b);
        ADD_FAILURE() << "a second write transaction began";
    } catch (const DbError& e) {
        EXPECT_EQ(e.fault(), DbFault::Busy) << e.what();
    }
}

// The outcome of a caught failure reads as the store's own sentence for it, detail after.
TEST(Outcome, FailureKeepsTheFaultSentenceAndDetail) {
    using quarvel::store::Outcome;
    const Outcome busy = Outcome::failed(
        quarvel::store::DbError("database is locked", quarvel::store::DbFault::Busy));
    EXPECT_EQ(busy.kind, quarvel::store::OutcomeKind::Failed);
    EXPECT_EQ(busy.fault, quarvel::store::DbFault::Busy);
    EXPECT_EQ(busy.text(), "历史数据库正被另一个程序使用，请稍后再试。（database is locked）");
    EXPECT_EQ(Outcome::failed(std::runtime_error("磁盘已满")).text(), "磁盘已满");
    EXPECT_FALSE(Outcome::refused("不对").ok());
    EXPECT_TRUE(Outcome::done().ok());
}

// Figures are written with a decimal point whatever locale the program runs in, digit for digit
// as printf writes them in the C locale.
TEST(RealText, FixedAndGeneralFormsAsPrintfInTheCLocale) {
    struct Case {
        double value;
        int precision;
        const char* fixed;
        const char* general;
    };
    const Case cases[] = {
        {2.675, 2, "2.67", "2.7"},   // 2.675 is stored just below it
        {0.125, 2, "0.12", "0.12"},  // ties go to even, as printf's
        {1.5, 0, "2", "2"},
        {10.0 / 3.0, 4, "3.3333", "3.333"},
        {123456.0, 2, "123456.00", "1.2e+05"},
        {2.0 / 3.0, 15, "0.666666666666667", "0.666666666666667"},
        {-0.004, 2, "-0.00", "-0.004"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(quarvel::store::fixedText(c.value, c.precision), c.fixed) << c.value;
        EXPECT_EQ(quarvel::store::generalText(c.value, c.precision), c.general) << c.value;
    }
}
