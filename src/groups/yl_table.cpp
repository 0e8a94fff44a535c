#include "groups/yl_table.h"

#include <sqlite3.h>

#include <cstdint>

namespace quarvel::groups {

void appendYlRow(store::RowCursor& yl, const std::string& label, const search::OmissionStats& stats) {
    // The ratio is kept in single precision, as the table's column type says.
    const float ratio = static_cast<float>(stats.ratio());
    yl.addNew();
    yl.set("content", label);
    yl.set("intMaxYL", static_cast<std::int64_t>(stats.maximum));
    yl.set("intMinYL", static_cast<std::int64_t>(stats.minimum));
    yl.set("intLstYl", static_cast<std::int64_t>(stats.last));
    yl.set("sglLlr", static_cast<double>(ratio));
    yl.update();
}

YlAppender::YlAppender(store::Database& db) : db_(db.handle()) {
    if (db_ == nullptr) throw store::DbError("the database is not open");
    const char* sql = "INSERT INTO YL (content, intMaxYL, intMinYL, intLstYl, sglLlr) VALUES (?, ?, ?, ?, ?)";
    if (sqlite3_prepare_v2(db_, sql, -1, &insert_, nullptr) != SQLITE_OK)
        throw store::DbError(std::string("cannot add to YL: ") + sqlite3_errmsg(db_));
}

YlAppender::~YlAppender() { sqlite3_finalize(insert_); }

void YlAppender::append(const std::string& label, const search::OmissionStats& stats) {
    const float ratio = static_cast<float>(stats.ratio());
    sqlite3_reset(insert_);
    sqlite3_bind_text(insert_, 1, label.data(), static_cast<int>(label.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert_, 2, stats.maximum);
    sqlite3_bind_int(insert_, 3, stats.minimum);
    sqlite3_bind_int(insert_, 4, stats.last);
    sqlite3_bind_double(insert_, 5, static_cast<double>(ratio));
    if (sqlite3_step(insert_) != SQLITE_DONE) {
        const std::string message = sqlite3_errmsg(db_);
        sqlite3_reset(insert_);
        throw store::DbError("cannot add to YL: " + message);
    }
}

std::string ylOrderColumn(int gridColumn) {
    switch (gridColumn) {
        case 1: return "intMinYL";
        case 2: return "intMaxYL";
        case 3: return "intLstYl";
        case 4: return "sglLlr";
        default: return "rowid";
    }
}

store::TextGrid ylHeaderGrid() {
    store::TextGrid grid;
    grid.cells.push_back({"号码（分组）", "最小遗漏", "最大遗漏", "最后遗漏", "大后比"});
    grid.colWidths = {1880, 880, 880, 880, 880};
    return grid;
}

store::TextGrid ylGrid(store::Database& db, const std::string& select) {
    store::TextGrid grid = ylHeaderGrid();
    const store::Snapshot rows = db.snapshot(select);
    const int content = rows.columnIndex("content");
    const int minimum = rows.columnIndex("intMinYL");
    const int maximum = rows.columnIndex("intMaxYL");
    const int last = rows.columnIndex("intLstYl");
    const int ratio = rows.columnIndex("sglLlr");
    if (content < 0 || minimum < 0 || maximum < 0 || last < 0 || ratio < 0)
        throw store::DbError("YL lacks one of its columns");
    grid.cells.reserve(rows.recordCount() + 1);
    for (std::size_t i = 0; i < rows.recordCount(); ++i) {
        const auto& row = rows.row(i);
        const float r = static_cast<float>(store::toDouble(row[static_cast<std::size_t>(ratio)]));
        grid.cells.push_back({store::toText(row[static_cast<std::size_t>(content)]),
                              store::toText(row[static_cast<std::size_t>(minimum)]),
                              store::toText(row[static_cast<std::size_t>(maximum)]),
                              store::toText(row[static_cast<std::size_t>(last)]), search::formatSingle(r)});
    }
    return grid;
}

store::TextGrid listYl(store::HistoryDb& db) { return ylGrid(db.db(), kYlListingSql); }

store::TextGrid listYl(store::HistoryDb& db, int gridColumn) {
    return ylGrid(db.db(), "SELECT * FROM YL ORDER BY " + ylOrderColumn(gridColumn));
}

}  // namespace quarvel::groups
