#pragma once
// A grid as text: row 0 is the header; fixed rows/columns, column widths in twips and the top
// visible row travel with it. Views show it; text and spreadsheet export read it.

#include <string>
#include <vector>

namespace quarvel::store {

struct TextGrid {
    std::vector<std::vector<std::string>> cells;  // cells[row][col]
    std::vector<int> colWidths;                   // twips, one per column
    int fixedRows = 1;
    int fixedCols = 1;
    int topRow = 1;  // first visible scrolling row

    int rows() const { return static_cast<int>(cells.size()); }
    int cols() const { return cells.empty() ? 0 : static_cast<int>(cells.front().size()); }
    const std::string& at(int r, int c) const { return cells.at(r).at(c); }
    // Tab-separated lines, header row first, each ending with "\n".
    std::string toTsv() const;
};

}  // namespace quarvel::store
