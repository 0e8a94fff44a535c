#include "store/numbering.h"

#include <sqlite3.h>

#include <algorithm>
#include <numeric>

#include "store/engine_internal.h"
#include "store/history_db.h"
#include "store/sql_translate.h"

namespace quarvel::store {

namespace {

// The list's header and widths, no rows yet.
TextGrid emptyHistoryList() {
    TextGrid g;
    std::vector<std::string> header = {"期号"};
    for (int c = 1; c <= 7; ++c) header.push_back("落" + std::to_string(c) + "码");
    header.push_back("特码");
    g.cells.push_back(std::move(header));
    g.colWidths = {820, 600, 600, 600, 600, 600, 600, 600, 600};
    return g;
}

// Beyond 39 draws the newest row is brought into view.
void scrollToNewest(TextGrid& g) { g.topRow = g.rows() > 40 ? g.rows() - 1 : 1; }

}  // namespace

std::int32_t lastIssueOf(Snapshot& sorted) {
    sorted.moveLast();
    if (!sorted.onRow()) return 0;
    return static_cast<std::int32_t>(sorted.intField("SQQH"));
}

TextGrid historyListGrid(Snapshot& sorted) {
    TextGrid g = emptyHistoryList();
    // Columns are looked up once; a missing one reads as an error, as a field read by name would.
    std::vector<std::size_t> columns;
    for (const char* name : {"SQQH", "L1A", "L2A", "L3A", "L4A", "L5A", "L6A", "L7A", "L8A"}) {
        const int c = sorted.columnIndex(name);
        if (c < 0 && sorted.recordCount() > 0)
            throw DbError(std::string("no column ") + name + " in the history list");
        columns.push_back(static_cast<std::size_t>(c));
    }
    g.cells.reserve(sorted.recordCount() + 1);
    for (std::size_t r = 0; r < sorted.recordCount(); ++r) {
        const auto& values = sorted.row(r);
        std::vector<std::string> row;
        row.reserve(columns.size());
        for (std::size_t c : columns) row.push_back(toText(values[c]));
        g.cells.push_back(std::move(row));
    }
    sorted.moveLast();  // left past the last row, as after a forward pass
    sorted.moveNext();
    scrollToNewest(g);
    return g;
}

namespace {

// The list's rows in the table's own order (the order they were stored), each with its SQQH;
// false as soon as an SQQH is not a whole number, whose place only SQLite's ORDER BY tells.
bool listInTableOrder(Database& db, TextGrid& g, std::vector<std::int64_t>& issues) {
    detail::Statement st(db,
                         "SELECT SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A FROM Lishi NOT "
                         "INDEXED ORDER BY rowid");
    sqlite3_stmt* raw = st.raw();
    while (st.step()) {
        if (sqlite3_column_type(raw, 0) != SQLITE_INTEGER) return false;
        issues.push_back(sqlite3_column_int64(raw, 0));
        std::vector<std::string> row;
        row.reserve(9);
        // A whole number is written as toText writes it; any other value goes through toText.
        for (int c = 0; c < 9; ++c)
            row.push_back(sqlite3_column_type(raw, c) == SQLITE_INTEGER
                              ? std::to_string(sqlite3_column_int64(raw, c))
                              : toText(st.column(c)));
        g.cells.push_back(std::move(row));
    }
    return true;
}

}  // namespace

TextGrid historyListGrid(Database& db, Value* newest) {
    // The table is read in its own order and put in issue order here: the issue index would
    // cost a look-up of every row. Equal issues keep the order they were stored in, as ORDER BY
    // SQQH gives them (through the index on SQQH, rowid).
    TextGrid g = emptyHistoryList();
    std::vector<std::int64_t> issues;
    if (listInTableOrder(db, g, issues)) {
        if (!std::is_sorted(issues.begin(), issues.end())) {
            std::vector<std::size_t> order(issues.size());
            std::iota(order.begin(), order.end(), std::size_t{0});
            std::stable_sort(order.begin(), order.end(), [&issues](std::size_t a, std::size_t b) {
                return issues[a] < issues[b];
            });
            std::vector<std::vector<std::string>> rows;
            rows.reserve(order.size() + 1);
            rows.push_back(std::move(g.cells[0]));
            for (std::size_t k : order) rows.push_back(std::move(g.cells[k + 1]));
            g.cells = std::move(rows);
        }
        if (newest && !issues.empty())
            *newest = Value{*std::max_element(issues.begin(), issues.end())};
        scrollToNewest(g);
        return g;
    }
    Snapshot sorted = db.snapshot(kHistoryListSql);
    g = historyListGrid(sorted);
    if (newest) {
        sorted.moveLast();
        *newest = sorted.onRow() ? sorted.field("SQQH") : Value{};
    }
    return g;
}

}  // namespace quarvel::store
