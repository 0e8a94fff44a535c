#pragma once
// Condition sets evaluated in memory. The draws are read once, in IDX order, with only the
// columns one analysis needs: IDX, SQQH, the values its conditions compare (the scratch text of
// free position, the fixed operands) and the attributes its hit grid shows. Each condition then
// becomes the set of rows that its statement would count, with the statement's meaning: a free
// condition LIKE "*text*" holds where the scratch text contains the text, a fixed one where its
// operand equals the value. A condition set is the AND of its conditions, the partial search's
// union the OR of its sets. Nothing is written to the database.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "search/criteria.h"
#include "search/marking.h"
#include "store/engine.h"

namespace quarvel::search {

// A set of rows of a DrawTable, by row index.
class RowSet {
  public:
    RowSet() = default;
    RowSet(std::size_t rows, bool all);
    void set(std::size_t row) { words_[row / 64] |= std::uint64_t{1} << (row % 64); }
    RowSet& operator&=(const RowSet& other);
    RowSet& operator|=(const RowSet& other);
    // The rows of the set, ascending.
    std::vector<std::size_t> members() const;

  private:
    std::vector<std::uint64_t> words_;
};

class DrawTable {
  public:
    // Reads the draws with the columns the criteria's conditions and hit grid need.
    DrawTable(store::Database& db, const Criteria& criteria);

    // The rows read: IDX, SQQH, the hit grid's L<p><letter> columns and the condition values.
    const store::Snapshot& rows() const { return rows_; }
    std::size_t size() const { return rows_.recordCount(); }

    // Rows whose issue lies in start..end, both ends included.
    RowSet inRange(std::int32_t start, std::int32_t end) const;
    // Rows meeting every condition of one set: the given positions (1..8) with the criteria's
    // values, free patterns counted as `counting` says. A position whose condition cannot be
    // stated (an uncountable value, a fixed column the table does not have) leaves the set
    // empty, as its statement way never reaches the required count; the fixed ones are the
    // statements the engine refuses and are added to `refused`.
    RowSet matchAll(const std::vector<int>& positions, Counting counting, int& refused) const;

  private:
    const RowSet& freeMatch(const std::string& pattern) const;
    const RowSet& fixedMatch(int position, int value) const;

    Criteria criteria_;
    store::Snapshot rows_;
    int sqqhCol_ = -1;
    int scratchCol_ = -1;
    std::array<int, kPositions> operandCol_{};     // -1 where the operand's column is not stored
    mutable std::map<std::string, RowSet> cache_;  // one set per distinct condition
};

}  // namespace quarvel::search
