#pragma once
// The conditions of a criteria evaluated on the draw table, with the meaning of their
// statements: a free condition holds where its value stands at least as often as it asks for
// among the positions in play (the LIKE "*text*" meaning on the token strings), a fixed one
// where its operand equals the value. A condition set is the AND of its conditions. Nothing is
// written to the database.

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "search/criteria.h"
#include "search/draw_table.h"
#include "search/marking.h"

namespace quarvel::search {

class Conditions {
  public:
    Conditions(const DrawTable& table, const Criteria& criteria);

    // The attribute letters a table must hold for the criteria: the free letter, or the fixed
    // operand's, and the letter the hit grid shows.
    static std::string lettersFor(const Criteria& criteria);

    // Rows meeting every condition of one set: the given positions (1..8) with the criteria's
    // values, free terms counted as `counting` says. A position whose condition cannot be
    // stated (an uncountable value, a fixed column the table does not have) leaves the set
    // empty, as its statement way never reaches the required count; the fixed ones are the
    // statements the engine refuses and are added to `refused`.
    RowSet matchAll(const std::vector<int>& positions, Counting counting, int& refused) const;

  private:
    const RowSet& freeMatch(const FreeTerm& term) const;
    const RowSet& fixedMatch(int position, int value) const;
    bool fixedStateable() const;

    const DrawTable& table_;
    Criteria criteria_;
    mutable std::map<std::tuple<bool, int, int>, RowSet> cache_;  // one set per distinct condition
};

}  // namespace quarvel::search
