#include "store/numbering.h"

namespace quarvel::store {

std::int32_t lastIssueOf(Snapshot& sorted) {
    sorted.moveLast();
    if (!sorted.onRow()) return 0;
    return static_cast<std::int32_t>(sorted.intField("SQQH"));
}

TextGrid historyListGrid(Snapshot& sorted) {
    TextGrid g;
    std::vector<std::string> header = {"期号"};
    for (int c = 1; c <= 7; ++c) header.push_back("落" + std::to_string(c) + "码");
    header.push_back("特码");
    g.cells.push_back(std::move(header));
    g.colWidths = {820, 600, 600, 600, 600, 600, 600, 600, 600};
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
    // Beyond 39 draws the newest row is brought into view.
    g.topRow = g.rows() > 40 ? g.rows() - 1 : 1;
    return g;
}

}  // namespace quarvel::store
