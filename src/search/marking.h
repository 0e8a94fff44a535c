#pragma once
// Condition marking: the SQL statements that mark, inside Lishi, the draws showing a pattern.
// [intTh] counts the conditions a row meets, [txtHisP6] is the scratch copy of an attribute
// string, [bolOk] flags the union of several condition sets. The builders are pure and return
// statement texts in the system's dialect; runMarking executes them on the database.

#include <optional>
#include <string>
#include <vector>

#include "search/criteria.h"

namespace quarvel::store {
class Database;
}

namespace quarvel::search {

// Expressions shared by the statements and by the in-memory evaluation, which selects them.
// The scratch copy's source: the column, or without the special number's token (the last four
// characters cut off).
std::string trimmedColumn(const std::string& column);
std::string scratchSource(const std::string& column, bool countSpecial);
// The left side of a fixed-position condition of position 1..8: ([LpE] + [LpF]) for the digit
// sum, ([LpA] MOD 2) for parity, [Lp<letter>] otherwise.
std::string fixedOperand(int type, int position);

// The statement texts, one function per form.
namespace sql {
std::string reset();
// Scratch copy without the special number's token (the last four characters cut off).
std::string trim(const std::string& column);
std::string copy(const std::string& column);
std::string freeOnColumn(const std::string& column, const std::string& pattern);
std::string freeOnScratch(const std::string& pattern);
std::string fixedDigitSum(int position, int value);
std::string fixedParity(int position, int value);
std::string fixedPlain(int position, char letter, int value);
std::string clearUnion();
std::string addToUnion(int required);
}  // namespace sql

// The occurrence counters of one attribute, one entry per value of its counter range. A value
// outside the range cannot be counted: increment and count give nullopt and touch nothing.
class OccurrenceCounters {
  public:
    OccurrenceCounters(int type, int sxBase, int dsBase);
    // False for the types matched without counts (number and the stored-only types).
    bool counted() const { return range_.has_value(); }
    void clear();
    std::optional<int> increment(int value);
    std::optional<int> count(int value) const;

  private:
    std::optional<ValueRange> range_;
    std::vector<int> counts_;
};

// Free-position LIKE pattern for a value and its occurrence count: *1X05* for zodiac and digit
// sum (two digits), *1X2* for head and tail (plain decimal), *05* for the number types (count
// unused). Segments are matched with their closing space (*1X1 *), so that segment 1 does not
// also match a token of segment 10.
std::string freePattern(int type, int value, int count);
// Fixed-position condition of a position (1..8): digit-sum, parity or plain form by the letter.
std::string fixedCondition(int type, int position, int value);

// A marking sequence: its statements in order, the required count N and the pattern label.
struct ConditionSet {
    std::vector<std::string> statements;
    int required = 0;
    std::string label;
};

// How free-position conditions get their counts: the search counts as it goes (the first
// condition on a value asks for occurrence 1, the second for 2); the partial search counts the
// whole set first and asks every member for the final count.
enum class Counting { Running, WholeSet };

// One free-position condition: the value and the occurrence it asks for (0 for the types
// matched without counts, where any occurrence will do).
struct FreeTerm {
    int value = 0;
    int count = 0;
};

// Free-position conditions for the values of one set, in order, with their counts; nullopt
// for a value its counters cannot count (no condition is issued for it).
std::vector<std::optional<FreeTerm>> freeTerms(int type, const std::vector<int>& values,
                                               Counting counting, int sxBase, int dsBase);
// The same as LIKE patterns (freePattern of each term).
std::vector<std::optional<std::string>> freePatterns(int type, const std::vector<int>& values,
                                                     Counting counting, int sxBase, int dsBase);

// Free-position conditions for the values of one set, in order, on the scratch copy or on the
// column itself. A value its counters cannot count gets no statement (the set then matches no
// row, as its required count still includes it).
std::vector<std::string> freeConditions(int type, const std::vector<int>& values, Counting counting,
                                        bool onScratch, const std::string& column, int sxBase,
                                        int dsBase);

// The search's pattern label: free, the value-box texts; fixed, two-digit values; each selected
// position followed by a space.
std::string searchLabel(const Criteria& criteria);

// The search's sequence for one condition set: reset, then the free conditions (on the column
// when the special number counts, else trim and conditions on the scratch copy) or the fixed
// conditions of the selected positions. Label: free, the value-box texts; fixed, two-digit values;
// each followed by a space.
ConditionSet markSingle(const Criteria& criteria);

// The union sequence over member sets (each a list of positions 1..8, in order) taking their
// values from the criteria: clear union, the scratch fill (free position), then per set the reset,
// its conditions and add-to-union with the set's size. required is the size of the last set;
// label stays empty (the caller builds it).
ConditionSet markUnion(const Criteria& criteria, const std::vector<std::vector<int>>& sets,
                       Counting counting);

struct MarkingReport {
    int executed = 0;
    int failed = 0;  // statements the engine refused; each is skipped and the sequence goes on
};

// Runs a marking sequence inside one transaction.
MarkingReport runMarking(store::Database& db, const std::vector<std::string>& statements);

}  // namespace quarvel::search
