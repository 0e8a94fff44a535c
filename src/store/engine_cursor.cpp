// Row cursors: rows addressed by rowid, read live, appended, edited and deleted.
#include <sqlite3.h>

#include <map>

#include "store/engine.h"
#include "store/engine_internal.h"

namespace quarvel::store {

using detail::equalsNoCase;
using detail::Statement;

// Prepared statements of one cursor, dropped when the connection changes.
struct RowCursor::Cache {
    sqlite3* handle = nullptr;
    std::map<std::string, std::unique_ptr<Statement>> statements;

    Statement& get(sqlite3* db, const std::string& sql) {
        if (db != handle) {
            statements.clear();
            handle = db;
        }
        auto& slot = statements[sql];
        if (!slot) slot = std::make_unique<Statement>(db, sql);
        sqlite3_reset(slot->raw());
        sqlite3_clear_bindings(slot->raw());
        return *slot;
    }
};

RowCursor::RowCursor(Database& db, std::string table, std::vector<std::int64_t> rowids)
    : db_(&db),
      table_(std::move(table)),
      rowids_(std::move(rowids)),
      cache_(std::make_unique<Cache>()) {
    Statement st(db.handle(), "SELECT name, upper(type) FROM pragma_table_info(?)");
    st.bind(1, table_);
    while (st.step()) {
        const std::string type = toText(st.column(1));
        int bits = 0;
        if (type == "SMALLINT")
            bits = 16;
        else if (type == "INTEGER" || type == "INT")
            bits = 32;
        columns_.push_back({toText(st.column(0)), bits});
    }
}

RowCursor::RowCursor(RowCursor&&) noexcept = default;
RowCursor& RowCursor::operator=(RowCursor&&) noexcept = default;
RowCursor::~RowCursor() = default;

std::size_t RowCursor::columnIndex(std::string_view name) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (equalsNoCase(columns_[i].name, name)) return i;
    throw DbError("no column " + std::string(name) + " in " + table_);
}

void RowCursor::readRowids() const {
    Statement st(db_->handle(), "SELECT rowid FROM [" + table_ + "] ORDER BY rowid");
    rowids_.clear();
    while (st.step()) rowids_.push_back(toInt(st.column(0)));
    unread_ = false;
}

void RowCursor::reload() {
    readRowids();
    onDeleted_ = false;
}

std::size_t RowCursor::rowCount() const {
    if (unread_) readRowids();
    return rowids_.size();
}

void TableCursor::moveFirst() {
    reload();
    Cursor::moveFirst();
}

void TableCursor::moveLast() {
    reload();
    Cursor::moveLast();
}

void RowCursor::moveNext() {
    // After a delete the slot already holds the following row.
    if (onDeleted_)
        onDeleted_ = false;
    else
        Cursor::moveNext();
}

void RowCursor::movePrevious() {
    onDeleted_ = false;
    Cursor::movePrevious();
}

Value RowCursor::field(std::string_view name) const {
    if (!onRow() || onDeleted_) throw DbError("no current record");
    const Column& c = columns_[columnIndex(name)];
    Statement& st =
        cache_->get(db_->handle(), "SELECT [" + c.name + "] FROM [" + table_ + "] WHERE rowid=?");
    st.bind(1, rowids_[static_cast<std::size_t>(pos_)]);
    if (!st.step()) throw DbError("the current record no longer exists");
    return st.column(0);
}

void RowCursor::addNew() {
    cancelUpdate();
    mode_ = Mode::Adding;
}

void RowCursor::edit() {
    if (!onRow() || onDeleted_) throw DbError("no current record to edit");
    cancelUpdate();
    mode_ = Mode::Editing;
}

void RowCursor::set(std::string_view name, Value value) {
    if (mode_ == Mode::None) throw DbError("set without addNew or edit");
    const std::size_t index = columnIndex(name);
    const Column& c = columns_[index];
    if (c.bits != 0) {
        if (!std::holds_alternative<std::int64_t>(value) && !isNull(value))
            throw DbError("column " + c.name + " takes whole numbers");
        if (auto i = std::get_if<std::int64_t>(&value)) {
            const std::int64_t lo = c.bits == 16 ? -32768 : INT32_MIN;
            const std::int64_t hi = c.bits == 16 ? 32767 : INT32_MAX;
            if (*i < lo || *i > hi)
                throw DbError("value " + std::to_string(*i) + " does not fit column " + c.name);
        }
    }
    if (pendingSlot_.size() != columns_.size()) pendingSlot_.assign(columns_.size(), -1);
    if (pendingSlot_[index] >= 0) {
        pending_[static_cast<std::size_t>(pendingSlot_[index])].second = std::move(value);
        return;
    }
    pendingSlot_[index] = static_cast<int>(pending_.size());
    pending_.emplace_back(index, std::move(value));
}

void RowCursor::cancelUpdate() {
    mode_ = Mode::None;
    for (const auto& p : pending_) pendingSlot_[p.first] = -1;
    pending_.clear();
}

void RowCursor::update() {
    if (mode_ == Mode::None) throw DbError("update without addNew or edit");
    std::string sql;
    if (mode_ == Mode::Adding) {
        if (pending_.empty()) {
            sql = "INSERT INTO [" + table_ + "] DEFAULT VALUES";
        } else {
            std::string names, marks;
            for (const auto& p : pending_) {
                names += (names.empty() ? "[" : ",[") + columns_[p.first].name + "]";
                marks += marks.empty() ? "?" : ",?";
            }
            sql = "INSERT INTO [" + table_ + "] (" + names + ") VALUES (" + marks + ")";
        }
    } else {
        if (pending_.empty()) {
            cancelUpdate();
            return;
        }
        std::string sets;
        for (const auto& p : pending_)
            sets += (sets.empty() ? "[" : ",[") + columns_[p.first].name + "]=?";
        sql = "UPDATE [" + table_ + "] SET " + sets + " WHERE rowid=?";
    }
    Statement& st = cache_->get(db_->handle(), sql);
    int i = 1;
    for (const auto& p : pending_) st.bind(i++, p.second);
    if (mode_ == Mode::Editing) st.bind(i, rowids_[static_cast<std::size_t>(pos_)]);
    st.step();
    // An unread cursor reads the new row with the others when first used.
    if (mode_ == Mode::Adding && !unread_)
        rowids_.push_back(sqlite3_last_insert_rowid(db_->handle()));
    cancelUpdate();
}

void RowCursor::deleteCurrent() {
    if (!onRow() || onDeleted_) throw DbError("no current record to delete");
    Statement& st = cache_->get(db_->handle(), "DELETE FROM [" + table_ + "] WHERE rowid=?");
    st.bind(1, rowids_[static_cast<std::size_t>(pos_)]);
    st.step();
    rowids_.erase(rowids_.begin() + pos_);
    onDeleted_ = true;
}

}  // namespace quarvel::store
