#include "store/text_grid.h"

namespace quarvel::store {

std::string TextGrid::toTsv() const {
    std::string out;
    for (const auto& row : cells) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c) out += '\t';
            out += row[c];
        }
        out += '\n';
    }
    return out;
}

}  // namespace quarvel::store
