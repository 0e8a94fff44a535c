#pragma once
// The database engine layer over SQLite: one owner of the connection, snapshots, table and
// updatable cursors, transactions and compaction. Every failure is a DbError.

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace quarvel::store {

// What kind of failure a DbError is, so that the user can be told in words of the history.
enum class DbFault {
    Other,
    Busy,
    ReadOnly,
    Full,
    NotADatabase,
    Damaged,
    Missing,
    FolderNotWritable,  // the file may be written, but not its folder (SQLite's journal)
    IsFolder,           // a folder stands where the file should be
};

class DbError : public std::runtime_error {
  public:
    explicit DbError(const std::string& what, DbFault fault = DbFault::Other)
        : std::runtime_error(what), fault_(fault) {}
    DbFault fault() const { return fault_; }

  private:
    DbFault fault_;
};

// A failure told in a sentence the user reads (what(), Chinese) with its technical detail
// (file names, the system's reason) kept apart, for a "详细信息" button or a log.
class DetailedError : public std::runtime_error {
  public:
    explicit DetailedError(const std::string& sentence, std::string detail = {})
        : std::runtime_error(sentence), detail_(std::move(detail)) {}
    const std::string& detail() const { return detail_; }

  private:
    std::string detail_;
};

// The sentence a user reads for a store failure of this kind (Chinese).
std::string faultSentence(DbFault fault);
// The sentence a user reads for a failure of the store, the technical detail after it.
std::string userText(const DbError& e);
// The same for any exception: a DbError as above, anything else as its own text.
std::string userText(const std::exception& e);

// Throws the DbError of the connection's last failure: `what`, SQLite's reason, and the fault
// kind of its result code. For code that steps its own prepared statements.
[[noreturn]] void throwLastError(sqlite3* db, const std::string& what);

class Database;

// A prepared statement of the connection, for code that binds and steps its own SQL (bulk
// reads and writes): no file outside the store sees SQLite. Every failure is a DbError naming
// the statement.
class Prepared {
  public:
    Prepared(Database& db, const std::string& sql);
    Prepared(sqlite3* db, const std::string& sql);  // the engine's own connections
    ~Prepared();
    Prepared(const Prepared&) = delete;
    Prepared& operator=(const Prepared&) = delete;

    void bind(int index, const Value& v);  // 1-based, as SQLite counts parameters
    void bindInt(int index, std::int64_t v);
    void bindDouble(int index, double v);
    // The text must outlive the next step (it is not copied).
    void bindTextView(int index, std::string_view text);
    void bindNull(int index);
    // Steps once: true when a row is available, false when done.
    bool step();
    // Ready to run again with new values; `clear` sets every parameter to NULL as well.
    void reset(bool clear = false);
    int columnCount() const;
    std::string columnName(int i) const;
    Value column(int i) const;
    bool isInteger(int i) const;
    bool isNull(int i) const;
    std::int64_t integer(int i) const;           // 0 for NULL
    sqlite3_stmt* raw() const { return stmt_; }  // for the engine's own files

  private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    std::string sql_;
};

// Navigation shared by every cursor: the rows are fixed when the cursor opens.
class Cursor {
  public:
    virtual ~Cursor() = default;
    virtual void moveFirst();
    virtual void moveLast();
    virtual void moveNext();
    virtual void movePrevious();
    bool bof() const { return pos_ < 0; }
    bool eof() const { return pos_ >= static_cast<long>(rowCount()); }
    bool onRow() const { return !bof() && !eof(); }
    std::size_t recordCount() const { return rowCount(); }
    long position() const { return pos_; }

    // Field of the current row by case-insensitive column name; DbError when there is no
    // current row or no such column.
    virtual Value field(std::string_view name) const = 0;
    std::int64_t intField(std::string_view name) const { return toInt(field(name)); }
    std::string textField(std::string_view name) const { return toText(field(name)); }

  protected:
    virtual std::size_t rowCount() const = 0;
    long pos_ = -1;
};

// A read-only, materialised copy of a SELECT: later changes to the tables are not seen.
class Snapshot : public Cursor {
  public:
    Snapshot() = default;
    Snapshot(std::vector<std::string> columns, std::vector<std::vector<Value>> rows);
    Value field(std::string_view name) const override;
    const std::vector<std::string>& columns() const { return columns_; }
    const std::vector<Value>& row(std::size_t i) const { return rows_.at(i); }
    int columnIndex(std::string_view name) const;  // -1 when absent

  protected:
    std::size_t rowCount() const override { return rows_.size(); }

  private:
    std::vector<std::string> columns_;
    std::vector<std::vector<Value>> rows_;
};

// Rows addressed by rowid: read live, edited and deleted in place, appended to one table.
class RowCursor : public Cursor {
  public:
    RowCursor(RowCursor&&) noexcept;
    RowCursor& operator=(RowCursor&&) noexcept;
    ~RowCursor() override;
    Value field(std::string_view name) const override;
    void moveNext() override;
    void movePrevious() override;

    // Append: addNew(), set(...) for each column, update(). Edit: edit(), set(...), update().
    void addNew();
    void edit();
    void set(std::string_view name, Value value);
    void update();
    void cancelUpdate();
    // Deletes the current row; the cursor stays on the deleted slot (move to leave it).
    void deleteCurrent();
    const std::string& table() const { return table_; }

  protected:
    RowCursor(Database& db, std::string table, std::vector<std::int64_t> rowids);
    std::size_t rowCount() const override;
    // Re-reads the rowids of the whole table in insertion order.
    void reload();
    // The rowids are read when the cursor is first moved or counted, not now: a command that
    // never walks the table does not pay for reading every rowid of a large history.
    void reloadWhenNeeded() { unread_ = true; }

  private:
    friend class Database;
    struct Column {
        std::string name;
        int bits;  // 16 or 32 for integer columns, 0 otherwise
    };
    struct Cache;
    std::size_t columnIndex(std::string_view name) const;
    Database* db_;
    std::string table_;
    std::vector<Column> columns_;
    void readRowids() const;
    mutable std::vector<std::int64_t> rowids_;
    mutable bool unread_ = false;  // rowids_ is to be read before its first use
    bool onDeleted_ = false;       // the current slot's row was just deleted
    enum class Mode { None, Adding, Editing } mode_ = Mode::None;
    std::vector<std::pair<std::size_t, Value>> pending_;  // column index, value
    std::vector<int> pendingSlot_;                        // per column: index in pending_, or -1
    std::unique_ptr<Cache> cache_;
};

// A table opened for direct access, rows in insertion order; moving to the first or last row
// sees rows added meanwhile.
class TableCursor : public RowCursor {
  public:
    void moveFirst() override;
    void moveLast() override;

  private:
    friend class Database;
    using RowCursor::RowCursor;
};

// The rows of a SELECT over one table, updatable through their rowids.
class UpdatableCursor : public RowCursor {
    friend class Database;
    using RowCursor::RowCursor;
};

class Transaction;

class Database {
  public:
    enum class OpenMode { OpenExisting, CreateIfMissing };

    Database() = default;
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;
    Database(Database&&) noexcept = default;
    Database& operator=(Database&&) noexcept = default;

    // Opens a database file. An existing file must be an SQLite database; a file that is not
    // one, cannot be read or is locked gives DbError and is left as it is.
    static Database open(const std::filesystem::path& path, OpenMode mode = OpenMode::OpenExisting);
    void close();
    bool isOpen() const { return db_ != nullptr; }
    const std::filesystem::path& path() const { return path_; }
    // True when the file was opened for reading only (it has no write permission).
    bool readOnly() const { return readOnly_; }

    // Runs one of the system's statement texts (translated to SQLite); returns rows changed.
    int execute(const std::string& systemSql);
    // Runs SQLite's own dialect, untranslated (schema, internal work).
    void executeNative(const std::string& sql);

    Snapshot snapshot(const std::string& systemSelect);
    TableCursor openTable(const std::string& table);
    UpdatableCursor openUpdatable(const std::string& systemSelect);

    // Case-insensitive check of a table's existence and of its columns (declared order).
    bool hasTable(const std::string& table);
    std::vector<std::string> tableColumns(const std::string& table);

    // Writes a compacted copy of the whole database to `destination` (VACUUM INTO).
    void compactInto(const std::filesystem::path& destination);
    // Compacts the database file in place (VACUUM) under SQLite's own locking, so that other
    // connections to the same file stay valid. Waits at most `waitMs` for the other
    // connections' transactions to end, then fails with DbFault::Busy and changes nothing.
    void compactInPlace(int waitMs);

    int transactionDepth() const { return txDepth_; }

    // A value that differs after another connection committed a change to the file or the
    // file was opened anew. This connection's own writes leave it as it is: their writer knows
    // of them (HistoryDb::historyChanged).
    struct ContentStamp {
        std::uint64_t opening = 0;
        std::int64_t dataVersion = 0;
        bool operator==(const ContentStamp&) const = default;
    };
    ContentStamp contentStamp();

  private:
    // The connection itself, only for the engine's own classes.
    friend class Prepared;
    friend class RowCursor;
    friend class Transaction;
    friend class LargePageCache;
    sqlite3* handle() const { return db_.get(); }
    Snapshot snapshotNative(const std::string& sql);
    struct Closer {
        void operator()(sqlite3* db) const;
    };
    // Owned, so that a moved-from Database holds nothing and every member moves with it.
    std::unique_ptr<sqlite3, Closer> db_;
    std::filesystem::path path_;
    int txDepth_ = 0;
    int savepointSeq_ = 0;
    bool readOnly_ = false;
    std::uint64_t opening_ = 0;  // a number of its own for every opening in this process
};

// While it lives, the connection keeps up to a whole history's pages in memory: for a command
// that reads the history and then replaces it, so that the replacement writes no page before its
// commit (each early write costs a journal sync). Other commands keep SQLite's small default,
// which reuses its pages instead of taking fresh memory for every page of a whole-table read.
class LargePageCache {
  public:
    explicit LargePageCache(Database& db);
    ~LargePageCache();
    LargePageCache(const LargePageCache&) = delete;
    LargePageCache& operator=(const LargePageCache&) = delete;

  private:
    Database& db_;
};

// RAII transaction: commits on commit(), rolls back when destroyed uncommitted. Nested guards
// become savepoints, so an inner failure undoes only the inner work.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();
    void rollback();

  private:
    Database& db_;
    std::string name_;
    bool open_ = true;
};

}  // namespace quarvel::store
