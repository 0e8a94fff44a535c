#include "store/history_db.h"

#include <sqlite3.h>

#include <atomic>
#include <random>
#include <system_error>

#include "store/engine_internal.h"
#include "store/system_calls.h"
#include "store/yl_schema.h"

namespace quarvel::store {

namespace fs = std::filesystem;

const std::vector<std::string>& lishiColumns() {
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> c = {"SQQH", "QQH", "IDX", "strQQH"};
        for (char letter : {'A', 'B', 'E', 'F', 'G', 'H'})
            for (int p = 1; p <= 8; ++p) c.push_back("L" + std::to_string(p) + letter);
        for (const char* t :
             {"txtHisLst", "txtHisLstHm", "txtHisLstSx", "txtHisLstTou", "txtHisLstWei",
              "txtHisLstHe", "txtHisLstDs", "intTh", "txtHisP6", "bolOk"})
            c.push_back(t);
        return c;
    }();
    return columns;
}

namespace {

std::string columnType(const std::string& name) {
    if (name == "SQQH" || name == "QQH") return "INTEGER";
    if (name == "strQQH" || name.rfind("txt", 0) == 0) return "TEXT";
    if (name == "bolOk") return "BOOLEAN";
    return "SMALLINT";
}

// RowSeq is an explicit key so that compaction keeps the insertion order that ties rely on.
std::string lishiSchema() {
    std::string sql = "CREATE TABLE Lishi (RowSeq INTEGER PRIMARY KEY";
    for (const auto& c : lishiColumns()) sql += ", " + c + " " + columnType(c);
    return sql + ")";
}

void createSchema(Database& db, bool lishi, bool yl) {
    Transaction tx(db);
    if (lishi) {
        db.executeNative(lishiSchema());
        db.executeNative("CREATE INDEX LishiBySqqh ON Lishi (SQQH)");
    }
    if (yl) db.executeNative(ylSchemaSql());
    tx.commit();
}

// Tables, views, indexes and triggers alike.
std::int64_t schemaObjectCount(Database& db) {
    Snapshot s = db.snapshot("SELECT count(*) AS n FROM sqlite_master");
    s.moveFirst();
    return s.intField("n");
}

// A name beside `tmp` that no other compaction uses: this process's id, a random number (a
// copy left by a crashed process of the same id) and a counter.
fs::path uniqueCopyPath(const fs::path& tmp) {
    static std::atomic<unsigned> counter{0};
    std::random_device rd;
    return tmp.parent_path() /
           ("." + tmp.filename().string() + "." + std::to_string(processId()) + "-" +
            std::to_string(rd() % 1000000) + "-" + std::to_string(counter++) + ".part");
}

}  // namespace

HistoryDb::HistoryDb(fs::path dataDir) : dataDir_(std::move(dataDir)) {}

Database& HistoryDb::db() {
    if (!db_.isOpen()) throw DbError("the history database is not open");
    return db_;
}

TableCursor& HistoryDb::rsLishi() {
    if (!db_.isOpen() || !rsLishi_) throw DbError("the history database is not open");
    return *rsLishi_;
}

void HistoryDb::open() {
    close();
    const fs::path path = dbPath();
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
    Database d = Database::open(
        path, existed ? Database::OpenMode::OpenExisting : Database::OpenMode::CreateIfMissing);
    // No whole-file check here: reads rely on SQLite's own corruption errors (said as damaged),
    // and the commands that remove or rewrite draws check the file before they do.
    const bool hasLishi = d.hasTable("Lishi");
    const bool hasYl = d.hasTable("YL");
    // Only a file that holds nothing at all (new, or an SQLite file without a schema) becomes a
    // new history; any other file without our Lishi is another program's and stays untouched.
    if (!hasLishi && schemaObjectCount(d) > 0)
        throw DbError("cannot open " + path.string() +
                          ": it is a database of another program (no table Lishi)",
                      DbFault::NotADatabase);
    if (hasLishi) {
        const auto cols = d.tableColumns("Lishi");
        for (const auto& need : lishiColumns()) {
            bool found = false;
            for (const auto& c : cols) found = found || detail::equalsNoCase(c, need);
            if (!found)
                throw DbError(
                    "cannot open " + path.string() + ": table Lishi has no column " + need,
                    DbFault::NotADatabase);
        }
    }
    // A read-only file is shown as it is: a missing YL or its later columns are left missing.
    if (!d.readOnly()) {
        if (!hasLishi || !hasYl) createSchema(d, !hasLishi, !hasYl);
        if (hasYl) addMissingYlColumns(d);
    }
    db_ = std::move(d);
    openedFile_ = fileIdOf(path);
    openCursors();
}

std::optional<HistoryDb::FileId> HistoryDb::fileIdOf(const fs::path& p) {
    const auto id = fileIdentity(p);
    if (!id) return std::nullopt;
    return FileId{id->first, id->second};
}

bool HistoryDb::replacedOnDisk() const { return isOpen() && fileIdOf(dbPath()) != openedFile_; }

void HistoryDb::reopenIfReplaced() {
    if (!replacedOnDisk()) return;
    close();
    if (!fileIdOf(dbPath()))
        throw DbError("cannot use " + dbPath().string() +
                          ": the file was moved or deleted by another program",
                      DbFault::Missing);
    open();
}

void HistoryDb::close() {
    rsLishi_.reset();
    rsLishiSort_ = Snapshot();
    sortRead_ = false;
    db_.close();
    openedFile_.reset();
}

void HistoryDb::openCursors() {
    rsLishi_.emplace(db_.openTable("Lishi"));
    historyChanged();
}

void HistoryDb::historyChanged() {
    rsLishiSort_ = Snapshot();
    sortRead_ = false;
    ++generation_;
}

Snapshot& HistoryDb::rsLishiSort() {
    if (!sortRead_ && db_.isOpen()) reopenSort();
    return rsLishiSort_;
}

Snapshot& HistoryDb::reopenSort() {
    rsLishiSort_ = db().snapshot(kSortedHistorySql);
    sortRead_ = true;
    return rsLishiSort_;
}

namespace {

// The one value of a one-row, one-column query; null when it gives no row.
Value singleValue(Database& db, const std::string& sql) {
    Snapshot s = db.snapshot(sql);
    s.moveFirst();
    return s.onRow() ? s.row(0).at(0) : Value{};
}

std::optional<std::int32_t> optionalIssue(const Value& v) {
    if (isNull(v)) return std::nullopt;
    return static_cast<std::int32_t>(toInt(v));
}

// The rowid of the last row in issue order among the rows that `where` admits: the greatest
// issue, and of equal issues the one stored last (ORDER BY SQQH breaks ties by insertion).
std::string lastInIssueOrder(const std::string& where) {
    return "SELECT max(rowid) FROM lishi WHERE SQQH = (SELECT max(SQQH) FROM lishi" + where + ")";
}

}  // namespace

std::optional<std::int32_t> HistoryDb::firstIssue() {
    return optionalIssue(singleValue(db(), "SELECT min(SQQH) FROM lishi"));
}

std::optional<std::int32_t> HistoryDb::lastIssue() {
    return optionalIssue(singleValue(db(), "SELECT max(SQQH) FROM lishi"));
}

int HistoryDb::newestIdx() {
    const Value v =
        singleValue(db(), "SELECT IDX FROM lishi WHERE rowid = (" + lastInIssueOrder("") + ")");
    return static_cast<int>(toInt(v));
}

Snapshot HistoryDb::drawAtOrBefore(std::int64_t issue) {
    return db().snapshot("SELECT * FROM lishi WHERE rowid = (" +
                         lastInIssueOrder(" WHERE SQQH <= " + std::to_string(issue)) + ")");
}

Snapshot HistoryDb::drawsOfIssue(std::int64_t issue) {
    return db().snapshot("SELECT * FROM lishi WHERE SQQH = " + std::to_string(issue) +
                         " ORDER BY RowSeq");
}

Snapshot HistoryDb::historyList() { return db().snapshot(kHistoryListSql); }

std::size_t HistoryDb::drawCount() {
    Snapshot s = db().snapshot("SELECT count(*) AS n FROM lishi");
    s.moveFirst();
    return static_cast<std::size_t>(s.intField("n"));
}

void HistoryDb::renumberIdx() {
    Database& d = db();
    if (drawCount() > 32767)
        throw DbError("the history holds more draws than a 16-bit ordinal can number");
    // One pass in SQLite: IDX = the row's place in SQQH order, equal issues in insertion order.
    Transaction tx(d);
    d.executeNative(
        "UPDATE Lishi SET IDX = n.rn FROM (SELECT rowid AS r, row_number() OVER (ORDER BY SQQH, "
        "rowid) AS rn "
        "FROM Lishi) AS n WHERE Lishi.rowid = n.r");
    tx.commit();
}

void HistoryDb::compact() {
    Database& d = db();
    if (d.readOnly())
        throw DbError("cannot compact " + dbPath().string() + ": the file is read-only",
                      DbFault::ReadOnly);
    // The copy is a consistent picture of the history even while others write (VACUUM INTO
    // reads in one transaction). It is written under a name of its own and then renamed to
    // quarvelTmp.mdb, so that two programs compacting at once never write the same file.
    const fs::path tmp = tmpPath();
    const fs::path copy = uniqueCopyPath(tmp);
    std::error_code ec;
    try {
        d.compactInto(copy);
    } catch (...) {
        fs::remove(copy, ec);
        throw;
    }
    fs::rename(copy, tmp, ec);
    if (ec) {
        fs::remove(copy, ec);
        throw DbError("cannot put the compacted copy in place as " + tmp.string() + ": " +
                      ec.message());
    }
    d.compactInPlace(kCompactWaitMs);
    openCursors();
}

void delrec(RowCursor& cursor) {
    cursor.moveLast();
    while (!cursor.bof()) {
        cursor.deleteCurrent();
        cursor.movePrevious();
    }
}

}  // namespace quarvel::store
