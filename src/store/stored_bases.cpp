#include "store/stored_bases.h"

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

// Whether some row has all eight codes of `letter` stored and their `op` (min or max) `cmp`
// `bound`: the scan stops at the first such row (the codes of the newer base usually show in
// the first draws), and a row with a NULL code counts for neither end.
std::string anyRow(char letter, const char* op, const char* cmp, int bound) {
    return "EXISTS (SELECT 1 FROM Lishi WHERE " + positions(letter, op) + " " + cmp + " " +
           std::to_string(bound) + ")";
}

// The base told by whether the lowest code (only under base 0) or the highest code (only under
// base 1) is stored.
int toldBase(const Value& low, const Value& high, int assumed) {
    const bool base0 = toInt(low) != 0;
    const bool base1 = toInt(high) != 0;
    if (base0 == base1) return assumed;
    return base0 ? 0 : 1;
}

// storedBases, throwing DbError when the rows cannot be read.
Bases readStoredBases(Database& db, Bases assumed) {
    Snapshot s =
        db.snapshot("SELECT " + anyRow('B', "MIN", "<=", 0) + " AS zlo, " +
                    anyRow('B', "MAX", ">=", 12) + " AS zhi, " + anyRow('H', "MIN", "<=", 0) +
                    " AS dlo, " + anyRow('H', "MAX", ">=", 10) + " AS dhi");
    s.moveFirst();
    if (!s.onRow()) return assumed;
    return {toldBase(s.field("zlo"), s.field("zhi"), assumed.sx),
            toldBase(s.field("dlo"), s.field("dhi"), assumed.ds)};
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
