#include "store/engine.h"

#include <sqlite3.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <system_error>
#include <utility>

#include "store/engine_internal.h"
#include "store/sql_translate.h"
#include "store/system_calls.h"

namespace quarvel::store {

namespace detail {

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

DbFault faultOf(int code) {
    // The journal cannot be made beside the file: the folder is what cannot be written.
    if (code == SQLITE_READONLY_DIRECTORY) return DbFault::FolderNotWritable;
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DbFault::Busy;
        case SQLITE_NOTADB:
            return DbFault::NotADatabase;
        case SQLITE_CORRUPT:
            return DbFault::Damaged;
        case SQLITE_READONLY:
            return DbFault::ReadOnly;
        case SQLITE_FULL:
            return DbFault::Full;
        default:
            return DbFault::Other;
    }
}

void fail(sqlite3* db, const std::string& what) {
    const int code = db ? sqlite3_extended_errcode(db) : SQLITE_ERROR;
    std::string reason = db ? sqlite3_errmsg(db) : "no database";
    const DbFault fault = faultOf(code);
    if (fault == DbFault::Busy)
        reason = "the database is locked by another program (" + reason + ")";
    else if (fault == DbFault::NotADatabase)
        reason = "the file is not a database (" + reason + ")";
    else if (fault == DbFault::ReadOnly)
        reason = "the database cannot be written (" + reason + ")";
    else if (fault == DbFault::Full)
        reason = "the disk is full (" + reason + ")";
    throw DbError(what + ": " + reason, fault);
}

}  // namespace detail

using detail::equalsNoCase;

Prepared::Prepared(Database& db, const std::string& sql) : Prepared(db.handle(), sql) {}

Prepared::Prepared(sqlite3* db, const std::string& sql) : db_(db), sql_(sql) {
    if (!db) throw DbError("database not open");
    if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt_, nullptr) !=
        SQLITE_OK) {
        detail::fail(db, "cannot prepare \"" + sql + "\"");
    }
    if (!stmt_) throw DbError("empty statement \"" + sql + "\"");
}

Prepared::~Prepared() { sqlite3_finalize(stmt_); }

void Prepared::bind(int index, const Value& v) {
    int rc = SQLITE_OK;
    if (auto i = std::get_if<std::int64_t>(&v))
        rc = sqlite3_bind_int64(stmt_, index, *i);
    else if (auto d = std::get_if<double>(&v))
        rc = sqlite3_bind_double(stmt_, index, *d);
    else if (auto s = std::get_if<std::string>(&v))
        rc = sqlite3_bind_text(stmt_, index, s->data(), static_cast<int>(s->size()),
                               SQLITE_TRANSIENT);
    else
        rc = sqlite3_bind_null(stmt_, index);
    if (rc != SQLITE_OK) detail::fail(db_, "cannot bind a value");
}

bool Prepared::step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    // A statement of many rows is named by its start.
    constexpr std::size_t kShown = 120;
    detail::fail(
        db_, "\"" + (sql_.size() > kShown ? sql_.substr(0, kShown) + "..." : sql_) + "\" failed");
}

int Prepared::columnCount() const { return sqlite3_column_count(stmt_); }

std::string Prepared::columnName(int i) const {
    const char* n = sqlite3_column_name(stmt_, i);
    return n ? n : "";
}

Value Prepared::column(int i) const {
    switch (sqlite3_column_type(stmt_, i)) {
        case SQLITE_INTEGER:
            return static_cast<std::int64_t>(sqlite3_column_int64(stmt_, i));
        case SQLITE_FLOAT:
            return sqlite3_column_double(stmt_, i);
        case SQLITE_NULL:
            return std::monostate{};
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, i));
            return std::string(p ? p : "",
                               static_cast<std::size_t>(sqlite3_column_bytes(stmt_, i)));
        }
    }
}

void Prepared::bindInt(int index, std::int64_t v) {
    if (sqlite3_bind_int64(stmt_, index, v) != SQLITE_OK) detail::fail(db_, "cannot bind a value");
}

void Prepared::bindDouble(int index, double v) {
    if (sqlite3_bind_double(stmt_, index, v) != SQLITE_OK) detail::fail(db_, "cannot bind a value");
}

void Prepared::bindTextView(int index, std::string_view text) {
    if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                          SQLITE_STATIC) != SQLITE_OK)
        detail::fail(db_, "cannot bind a value");
}

void Prepared::bindNull(int index) {
    if (sqlite3_bind_null(stmt_, index) != SQLITE_OK) detail::fail(db_, "cannot bind a value");
}

void Prepared::reset(bool clear) {
    sqlite3_reset(stmt_);
    if (clear) sqlite3_clear_bindings(stmt_);
}

bool Prepared::isInteger(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_INTEGER; }

bool Prepared::isNull(int i) const { return sqlite3_column_type(stmt_, i) == SQLITE_NULL; }

std::int64_t Prepared::integer(int i) const { return sqlite3_column_int64(stmt_, i); }

using detail::Statement;

namespace {

// How long a statement waits for another program's transaction before it reports "in use".
constexpr int kBusyWaitMs = 2000;
// Page cache of a connection, in KiB (SQLite's negative form): SQLite's default, and while a
// history is replaced one that holds a full history and the copy that replaces it.
constexpr int kPageCacheKib = 2000;
constexpr int kLargePageCacheKib = 32768;

void setPageCache(sqlite3* db, int kib) {
    // A refusal leaves the size as it was, which works too.
    sqlite3_exec(db, ("PRAGMA cache_size = -" + std::to_string(kib)).c_str(), nullptr, nullptr,
                 nullptr);
}

// Whether the file may be written: it has a write permission bit and the system allows it.
bool writableFile(const std::filesystem::path& path) {
    std::error_code ec;
    const auto perms = std::filesystem::status(path, ec).permissions();
    if (ec) return true;  // let SQLite report what it finds
    using P = std::filesystem::perms;
    if ((perms & (P::owner_write | P::group_write | P::others_write)) == P::none) return false;
    return systemAllowsWriting(path);
}

}  // namespace

std::string faultSentence(DbFault fault) {
    switch (fault) {
        case DbFault::Busy:
            return "历史数据库正被另一个程序使用，请稍后再试。";
        case DbFault::ReadOnly:
            return "历史数据库是只读的，无法保存。";
        case DbFault::Full:
            return "磁盘已满，历史数据库无法保存。";
        case DbFault::NotADatabase:
            return "历史数据库文件不是 quarvel 的历史数据库，未作任何改动。";
        case DbFault::Damaged:
            return "历史数据库文件已损坏。";
        case DbFault::Missing:
            return "历史数据库文件已被移走或删除。";
        case DbFault::FolderNotWritable:
            return "历史数据库所在的文件夹不能写入，数据库无法在那里建立日志文件，无法保存。";
        case DbFault::IsFolder:
            return "历史数据库 quarvel.mdb 是一个文件夹，不是数据库文件，无法打开。";
        case DbFault::Other:
            break;
    }
    return "历史数据库操作失败。";
}

std::string userText(const DbError& e) { return faultSentence(e.fault()) + "（" + e.what() + "）"; }

LargePageCache::LargePageCache(Database& db) : db_(db) {
    setPageCache(db_.handle(), kLargePageCacheKib);
}

LargePageCache::~LargePageCache() {
    if (db_.handle() != nullptr) setPageCache(db_.handle(), kPageCacheKib);
}

void throwLastError(sqlite3* db, const std::string& what) { detail::fail(db, what); }

std::string userText(const std::exception& e) {
    if (const auto* db = dynamic_cast<const DbError*>(&e)) return userText(*db);
    if (const auto* d = dynamic_cast<const DetailedError*>(&e))
        return d->detail().empty() ? d->what() : std::string(d->what()) + "（" + d->detail() + "）";
    return e.what();
}

// ---- Cursor ----------------------------------------------------------------------------------

void Cursor::moveFirst() { pos_ = 0; }
void Cursor::moveLast() { pos_ = static_cast<long>(rowCount()) - 1; }
void Cursor::moveNext() {
    if (pos_ < static_cast<long>(rowCount())) ++pos_;
}
void Cursor::movePrevious() {
    if (pos_ >= 0) --pos_;
}

// ---- Snapshot --------------------------------------------------------------------------------

Snapshot::Snapshot(std::vector<std::string> columns, std::vector<std::vector<Value>> rows)
    : columns_(std::move(columns)), rows_(std::move(rows)) {}

int Snapshot::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (equalsNoCase(columns_[i], name)) return static_cast<int>(i);
    return -1;
}

Value Snapshot::field(std::string_view name) const {
    if (!onRow()) throw DbError("no current record");
    const int c = columnIndex(name);
    if (c < 0) throw DbError("no column " + std::string(name));
    return rows_[static_cast<std::size_t>(pos_)][static_cast<std::size_t>(c)];
}

// ---- Database --------------------------------------------------------------------------------

Database::~Database() { close(); }

void Database::Closer::operator()(sqlite3* db) const { sqlite3_close_v2(db); }

Database Database::open(const std::filesystem::path& path, OpenMode mode) {
    std::error_code ec;
    const bool exists = std::filesystem::exists(path, ec);
    if (mode == OpenMode::OpenExisting && !exists)
        throw DbError("cannot open " + path.string() + ": the file does not exist",
                      DbFault::Missing);
    if (exists && std::filesystem::is_directory(path, ec))
        throw DbError("cannot open " + path.string() + ": it is a folder", DbFault::IsFolder);

    static std::atomic<std::uint64_t> openings{0};
    Database d;
    d.path_ = path;
    d.opening_ = ++openings;
    // A file without write permission is opened for reading only, also for a user (root) whom
    // the system would let write it anyway: the user made it read-only to keep it unchanged.
    d.readOnly_ = exists && !writableFile(path);
    // One connection per thread: the per-call mutexes of the serialized mode are not needed.
    int flags = (d.readOnly_ ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    if (mode == OpenMode::CreateIfMissing && !d.readOnly_) flags |= SQLITE_OPEN_CREATE;
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.string().c_str(), &raw, flags, nullptr);
    d.db_.reset(raw);
    if (rc != SQLITE_OK) {
        std::string msg = raw ? sqlite3_errmsg(raw) : "out of memory";
        d.db_.reset();
        throw DbError("cannot open " + path.string() + ": " + msg, detail::faultOf(rc));
    }
    sqlite3_extended_result_codes(raw, 1);
    sqlite3_busy_timeout(raw, kBusyWaitMs);
    setPageCache(raw, kPageCacheKib);
    try {
        // Reading the schema proves the file is a database and not locked exclusively.
        Statement probe(raw, "SELECT count(*) FROM sqlite_master");
        probe.step();
    } catch (const DbError& e) {
        throw DbError("cannot open " + path.string() + ": " + e.what(), e.fault());
    }
    return d;
}

Database::ContentStamp Database::contentStamp() {
    if (!isOpen()) return {};
    Statement version(handle(), "PRAGMA data_version");
    version.step();
    return {opening_, sqlite3_column_int64(version.raw(), 0)};
}

void Database::close() {
    db_.reset();
    txDepth_ = 0;
}

int Database::execute(const std::string& systemSql) {
    Statement st(handle(), translateSql(systemSql));
    while (st.step()) {
    }
    return sqlite3_changes(handle());
}

void Database::executeNative(const std::string& sql) {
    if (!db_) throw DbError("database not open");
    // The fault kind comes from the result code, so that a BEGIN IMMEDIATE that another
    // program's write lock keeps waiting says the history is in use, a COMMIT on a full disk
    // that the disk is full.
    if (sqlite3_exec(handle(), sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        detail::fail(handle(), "\"" + sql + "\" failed");
}

Snapshot Database::snapshotNative(const std::string& sql) {
    Statement st(handle(), sql);
    std::vector<std::string> columns;
    columns.reserve(static_cast<std::size_t>(st.columnCount()));
    for (int i = 0; i < st.columnCount(); ++i) columns.push_back(st.columnName(i));
    std::vector<std::vector<Value>> rows;
    while (st.step()) {
        std::vector<Value> row;
        row.reserve(columns.size());
        for (int i = 0; i < st.columnCount(); ++i) row.push_back(st.column(i));
        rows.push_back(std::move(row));
    }
    return Snapshot(std::move(columns), std::move(rows));
}

Snapshot Database::snapshot(const std::string& systemSelect) {
    return snapshotNative(translateSql(systemSelect));
}

namespace {
// The table name after FROM in a translated SELECT, and the text from FROM on.
std::pair<std::string, std::string> fromClause(const std::string& sql) {
    std::string upper(sql);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return std::toupper(c); });
    const std::size_t at = upper.find(" FROM ");
    if (at == std::string::npos) throw DbError("no FROM in \"" + sql + "\"");
    std::size_t i = at + 6;
    while (i < sql.size() && sql[i] == ' ') ++i;
    std::size_t j = i;
    if (j < sql.size() && sql[j] == '[') {
        j = sql.find(']', j);
        if (j == std::string::npos) throw DbError("bad table name in \"" + sql + "\"");
        return {sql.substr(i + 1, j - i - 1), sql.substr(at)};
    }
    while (j < sql.size() && (std::isalnum(static_cast<unsigned char>(sql[j])) || sql[j] == '_'))
        ++j;
    return {sql.substr(i, j - i), sql.substr(at)};
}
}  // namespace

TableCursor Database::openTable(const std::string& table) {
    if (!hasTable(table)) throw DbError("no table " + table);
    TableCursor c(*this, table, {});
    c.reloadWhenNeeded();
    return c;
}

UpdatableCursor Database::openUpdatable(const std::string& systemSelect) {
    const auto [table, rest] = fromClause(translateSql(systemSelect));
    Statement st(handle(), "SELECT [" + table + "].rowid" + rest);
    std::vector<std::int64_t> rowids;
    while (st.step()) rowids.push_back(toInt(st.column(0)));
    return UpdatableCursor(*this, table, std::move(rowids));
}

bool Database::hasTable(const std::string& table) {
    Statement st(handle(),
                 "SELECT 1 FROM sqlite_master WHERE type='table' AND lower(name)=lower(?)");
    st.bind(1, table);
    return st.step();
}

std::vector<std::string> Database::tableColumns(const std::string& table) {
    Statement st(handle(), "SELECT name FROM pragma_table_info(?)");
    st.bind(1, table);
    std::vector<std::string> names;
    while (st.step()) names.push_back(toText(st.column(0)));
    return names;
}

void Database::compactInto(const std::filesystem::path& destination) {
    Statement st(handle(), "VACUUM INTO ?");
    st.bind(1, destination.string());
    st.step();
}

void Database::compactInPlace(int waitMs) {
    if (!db_) throw DbError("database not open");
    if (readOnly_)
        throw DbError("cannot compact " + path_.string() + ": the file is read-only",
                      DbFault::ReadOnly);
    sqlite3_busy_timeout(handle(), waitMs);
    try {
        Statement st(handle(), "VACUUM");
        st.step();
    } catch (...) {
        sqlite3_busy_timeout(handle(), kBusyWaitMs);
        throw;
    }
    sqlite3_busy_timeout(handle(), kBusyWaitMs);
}

// ---- Transaction -----------------------------------------------------------------------------

Transaction::Transaction(Database& db) : db_(db) {
    if (db_.txDepth_ == 0) {
        db_.executeNative("BEGIN IMMEDIATE");
    } else {
        name_ = "sp" + std::to_string(++db_.savepointSeq_);
        db_.executeNative("SAVEPOINT " + name_);
    }
    ++db_.txDepth_;
}

Transaction::~Transaction() {
    if (open_) {
        try {
            rollback();
        } catch (...) {
            // A failed rollback leaves SQLite to undo the transaction on close.
        }
    }
}

void Transaction::commit() {
    if (!open_) return;
    db_.executeNative(name_.empty() ? "COMMIT" : "RELEASE " + name_);
    open_ = false;
    --db_.txDepth_;
}

void Transaction::rollback() {
    if (!open_) return;
    open_ = false;
    --db_.txDepth_;
    if (!db_.isOpen()) return;
    if (name_.empty()) {
        // A failed statement may already have ended the transaction.
        if (sqlite3_get_autocommit(db_.handle())) return;
        db_.executeNative("ROLLBACK");
    } else {
        db_.executeNative("ROLLBACK TO " + name_);
        db_.executeNative("RELEASE " + name_);
    }
}

}  // namespace quarvel::store
