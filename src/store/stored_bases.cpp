#include "store/stored_bases.h"

#include <optional>
#include <string>

#include "store/engine.h"

namespace quarvel::store {

namespace {

std::string positions(char letter, const char* op) {
    std::string s = std::string(op) + "(";
    for (int p = 1; p <= 8; ++p)
        s += (p > 1 ? "," : "") + std::string("L") + std::to_string(p) + letter;
    return s + ")";
}

// The rows read first: the oldest and the newest stored draws by issue (through its index), so
// that the answer does not cost a pass over the whole history. Where these rows tell nothing,
// the whole table is read.
constexpr int kEndRows = 100;

std::string endRows() {
    std::string columns;
    for (char letter : {'B', 'H'})
        for (int p = 1; p <= 8; ++p)
            columns +=
                (columns.empty() ? "" : ", ") + std::string("L") + std::to_string(p) + letter;
    const auto end = [&](const char* order) {
        return "SELECT * FROM (SELECT " + columns + " FROM Lishi ORDER BY SQQH " + order +
               " LIMIT " + std::to_string(kEndRows) + ")";
    };
    return "(" + end("ASC") + " UNION ALL " + end("DESC") + ")";
}

// Whether some row of `rows` has all eight codes of `letter` stored and their `op` (min or max)
// `cmp` `bound`: the scan stops at the first such row, and a row with a NULL code counts for
// neither end.
std::string anyRow(const std::string& rows, char letter, const char* op, const char* cmp,
                   int bound) {
    return "EXISTS (SELECT 1 FROM " + rows + " WHERE " + positions(letter, op) + " " + cmp + " " +
           std::to_string(bound) + ")";
}

// Whether the lowest code (only under base 0) and the highest code (only under base 1) of each
// kind are stored in `rows`.
struct EndCodes {
    bool zodiacLow = false, zodiacHigh = false, segmentLow = false, segmentHigh = false;
};

EndCodes readEndCodes(Database& db, const std::string& rows) {
    Prepared st(db, "SELECT " + anyRow(rows, 'B', "MIN", "<=", 0) + ", " +
                        anyRow(rows, 'B', "MAX", ">=", 12) + ", " +
                        anyRow(rows, 'H', "MIN", "<=", 0) + ", " +
                        anyRow(rows, 'H', "MAX", ">=", 10));
    if (!st.step()) return {};
    return {st.integer(0) != 0, st.integer(1) != 0, st.integer(2) != 0, st.integer(3) != 0};
}

// The base told by whether the lowest or the highest code is stored: none when neither is,
// the assumed one when both are (rows of two bases).
std::optional<int> toldBase(bool low, bool high, int assumed) {
    if (!low && !high) return std::nullopt;
    if (low && high) return assumed;
    return low ? 0 : 1;
}

// storedBases, throwing DbError when the rows cannot be read.
Bases readStoredBases(Database& db, Bases assumed) {
    EndCodes ends = readEndCodes(db, endRows());
    std::optional<int> sx = toldBase(ends.zodiacLow, ends.zodiacHigh, assumed.sx);
    std::optional<int> ds = toldBase(ends.segmentLow, ends.segmentHigh, assumed.ds);
    if (!sx || !ds) {
        const EndCodes all = readEndCodes(db, "Lishi");
        if (!sx) sx = toldBase(all.zodiacLow, all.zodiacHigh, assumed.sx);
        if (!ds) ds = toldBase(all.segmentLow, all.segmentHigh, assumed.ds);
    }
    return {sx.value_or(assumed.sx), ds.value_or(assumed.ds)};
}

}  // namespace

Bases storedBases(Database& db, Bases assumed) {
    try {
        return readStoredBases(db, assumed);
    } catch (const std::exception&) {
        return assumed;
    }
}

Bases StoredBasesCache::get(HistoryDb& db, Bases assumed) {
    try {
        const Key key{db.db().contentStamp(), db.historyGeneration(), assumed.sx, assumed.ds};
        if (key_ != key) {
            key_.reset();
            bases_ = readStoredBases(db.db(), assumed);
            key_ = key;
        }
        return bases_;
    } catch (const std::exception&) {
        // Nothing kept from a failed read: the next call reads again.
        return assumed;
    }
}

}  // namespace quarvel::store
