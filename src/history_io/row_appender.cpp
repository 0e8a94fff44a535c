#include "history_io/row_appender.h"

#include <array>
#include <memory>
#include <string>

namespace quarvel::io {

namespace {

constexpr char kLetters[] = {'A', 'B', 'E', 'F', 'G', 'H'};
constexpr const char* kTexts[] = {"txtHisLst",    "txtHisLstHm", "txtHisLstSx", "txtHisLstTou",
                                  "txtHisLstWei", "txtHisLstHe", "txtHisLstDs"};
constexpr int kColumns = 3 + 6 * 8 + 7;
// Rows per statement of appendAll: each step's fixed cost (start, halt, reset) is shared by
// this many rows, within SQLite's limit of bound values.
constexpr std::size_t kRowsPerStatement = 32;

std::string insertSql(std::size_t rows) {
    std::string names = "SQQH, QQH, IDX";
    for (char letter : kLetters)
        for (int p = 1; p <= 8; ++p) names += ", L" + std::to_string(p) + letter;
    for (const char* t : kTexts) names += std::string(", ") + t;
    std::string oneRow = "(?";
    for (int i = 1; i < kColumns; ++i) oneRow += ",?";
    oneRow += ")";
    std::string sql = "INSERT INTO Lishi (" + names + ") VALUES " + oneRow;
    for (std::size_t r = 1; r < rows; ++r) sql += "," + oneRow;
    return sql;
}

std::unique_ptr<store::Prepared> prepare(store::Database& db, std::size_t rows) {
    return std::make_unique<store::Prepared>(db, insertSql(rows));
}

std::array<const std::array<int, 8>*, 6> perPosition(const store::DrawRow& row) {
    return {&row.a, &row.b, &row.e, &row.f, &row.g, &row.h};
}

// The attribute columns are 16-bit, as every other write of them checks.
void checkFits(const store::DrawRow& row, std::optional<int> idx) {
    for (const auto* values : perPosition(row))
        for (int v : *values)
            if (v < -32768 || v > 32767)
                throw store::DbError("draw " + std::to_string(row.sqqh) + ": value " +
                                     std::to_string(v) + " does not fit a 16-bit column");
    if (idx && (*idx < 1 || *idx > 32767))
        throw store::DbError("draw " + std::to_string(row.sqqh) + ": ordinal " +
                             std::to_string(*idx) + " does not fit IDX");
}

// Binds one row from parameter `i` on; the texts without a copy (they outlive the step).
void bindRow(store::Prepared& st, int i, const store::DrawRow& row, std::optional<int> idx) {
    st.bindInt(i++, row.sqqh);
    st.bindInt(i++, row.qqh);
    if (idx)
        st.bindInt(i++, *idx);
    else
        st.bindNull(i++);
    for (const auto* values : perPosition(row))
        for (int v : *values) st.bindInt(i++, v);
    for (const std::string* t :
         {&row.txtHisLst, &row.txtHisLstHm, &row.txtHisLstSx, &row.txtHisLstTou, &row.txtHisLstWei,
          &row.txtHisLstHe, &row.txtHisLstDs})
        st.bindTextView(i++, *t);
}

// Steps an insert. The bindings are cleared on a failure and by the caller once its rows are
// stored, before the rows they point into go away; a statement with stale text bindings is
// never stepped, as every parameter is bound again first.
void stepInsert(store::Prepared& st, const store::DrawRow& first) {
    try {
        st.step();  // the error is read before the reset, which would replace it
    } catch (const store::DbError& e) {
        st.reset(true);
        throw store::DbError("cannot append draw " + std::to_string(first.sqqh) + ": " + e.what(),
                             e.fault());
    }
    st.reset();
}

}  // namespace

RowAppender::RowAppender(store::Database& db) : db_(db), insert_(prepare(db, 1)) {}

RowAppender::~RowAppender() = default;

void RowAppender::append(const store::DrawRow& row, std::optional<int> idx) {
    checkFits(row, idx);
    bindRow(*insert_, 1, row, idx);
    stepInsert(*insert_, row);
    insert_->reset(true);
}

void RowAppender::appendAll(std::span<const store::DrawRow> rows, std::span<const int> idx) {
    if (idx.size() != rows.size()) throw store::DbError("appendAll: one IDX per row is needed");
    std::size_t r = 0;
    if (rows.size() >= kRowsPerStatement && !insertMany_)
        insertMany_ = prepare(db_, kRowsPerStatement);
    for (; r + kRowsPerStatement <= rows.size(); r += kRowsPerStatement) {
        for (std::size_t k = r; k < r + kRowsPerStatement; ++k) checkFits(rows[k], idx[k]);
        for (std::size_t k = 0; k < kRowsPerStatement; ++k)
            bindRow(*insertMany_, static_cast<int>(k) * kColumns + 1, rows[r + k], idx[r + k]);
        stepInsert(*insertMany_, rows[r]);
    }
    if (insertMany_) insertMany_->reset(true);
    for (; r < rows.size(); ++r) append(rows[r], idx[r]);
}

}  // namespace quarvel::io
