#include "history_io/row_appender.h"

#include <sqlite3.h>

#include <array>
#include <string>

namespace quarvel::io {

namespace {

constexpr char kLetters[] = {'A', 'B', 'E', 'F', 'G', 'H'};
constexpr const char* kTexts[] = {"txtHisLst",    "txtHisLstHm", "txtHisLstSx", "txtHisLstTou",
                                  "txtHisLstWei", "txtHisLstHe", "txtHisLstDs"};

std::string insertSql() {
    std::string names = "SQQH, QQH, IDX";
    int count = 3;
    for (char letter : kLetters)
        for (int p = 1; p <= 8; ++p, ++count) names += ", L" + std::to_string(p) + letter;
    for (const char* t : kTexts) {
        names += std::string(", ") + t;
        ++count;
    }
    std::string marks = "?";
    for (int i = 1; i < count; ++i) marks += ",?";
    return "INSERT INTO Lishi (" + names + ") VALUES (" + marks + ")";
}

}  // namespace

RowAppender::RowAppender(store::Database& db) : db_(db) {
    const std::string sql = insertSql();
    if (sqlite3_prepare_v2(db.handle(), sql.c_str(), -1, &insert_, nullptr) != SQLITE_OK) {
        sqlite3_finalize(insert_);
        insert_ = nullptr;
        store::throwLastError(db.handle(), "cannot prepare the insert into Lishi");
    }
}

RowAppender::~RowAppender() { sqlite3_finalize(insert_); }

void RowAppender::append(const store::DrawRow& row, std::optional<int> idx) {
    const std::array<const std::array<int, 8>*, 6> perPosition = {&row.a, &row.b, &row.e,
                                                                  &row.f, &row.g, &row.h};
    // The attribute columns are 16-bit, as every other write of them checks.
    for (const auto* values : perPosition)
        for (int v : *values)
            if (v < -32768 || v > 32767)
                throw store::DbError("draw " + std::to_string(row.sqqh) + ": value " +
                                     std::to_string(v) + " does not fit a 16-bit column");
    if (idx && (*idx < 1 || *idx > 32767))
        throw store::DbError("draw " + std::to_string(row.sqqh) + ": ordinal " +
                             std::to_string(*idx) + " does not fit IDX");
    sqlite3_reset(insert_);
    int i = 1;
    sqlite3_bind_int64(insert_, i++, row.sqqh);
    sqlite3_bind_int64(insert_, i++, row.qqh);
    if (idx)
        sqlite3_bind_int(insert_, i++, *idx);
    else
        sqlite3_bind_null(insert_, i++);
    for (const auto* values : perPosition)
        for (int v : *values) sqlite3_bind_int64(insert_, i++, v);
    for (const std::string* t :
         {&row.txtHisLst, &row.txtHisLstHm, &row.txtHisLstSx, &row.txtHisLstTou, &row.txtHisLstWei,
          &row.txtHisLstHe, &row.txtHisLstDs})
        sqlite3_bind_text(insert_, i++, t->data(), static_cast<int>(t->size()), SQLITE_STATIC);
    // The texts are bound without a copy: they live until the step is done, and the bindings
    // are cleared before the row goes away.
    if (sqlite3_step(insert_) != SQLITE_DONE) {
        // The error is read before the reset, which would replace it in newer SQLite versions.
        try {
            store::throwLastError(db_.handle(), "cannot append draw " + std::to_string(row.sqqh));
        } catch (...) {
            sqlite3_reset(insert_);
            sqlite3_clear_bindings(insert_);
            throw;
        }
    }
    sqlite3_clear_bindings(insert_);
}

}  // namespace quarvel::io
