#include "groups/yl_table.h"

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
    store::Snapshot rows = db.snapshot(select);
    grid.cells.reserve(rows.recordCount() + 1);
    for (rows.moveFirst(); !rows.eof(); rows.moveNext()) {
        const float ratio = static_cast<float>(store::toDouble(rows.field("sglLlr")));
        grid.cells.push_back({rows.textField("content"), rows.textField("intMinYL"),
                              rows.textField("intMaxYL"), rows.textField("intLstYl"),
                              search::formatSingle(ratio)});
    }
    return grid;
}

store::TextGrid listYl(store::HistoryDb& db) { return ylGrid(db.db(), kYlListingSql); }

store::TextGrid listYl(store::HistoryDb& db, int gridColumn) {
    return ylGrid(db.db(), "SELECT * FROM YL ORDER BY " + ylOrderColumn(gridColumn));
}

}  // namespace quarvel::groups
