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
    sorted.moveFirst();
    while (!sorted.eof()) {
        std::vector<std::string> row = {sorted.textField("SQQH")};
        for (int p = 1; p <= 8; ++p) row.push_back(sorted.textField("L" + std::to_string(p) + "A"));
        g.cells.push_back(std::move(row));
        sorted.moveNext();
    }
    // Beyond 39 draws the newest row is brought into view.
    g.topRow = g.rows() > 40 ? g.rows() - 1 : 1;
    return g;
}

}  // namespace quarvel::store
