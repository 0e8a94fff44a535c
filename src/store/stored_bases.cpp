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

// The base told by whether the lowest code (only under base 0) or the highest code (only under
// base 1) is stored.
int toldBase(const Value& low, const Value& high, int lowest, int highest, int assumed) {
    if (isNull(low) || isNull(high)) return assumed;
    const bool base0 = toInt(low) <= lowest;
    const bool base1 = toInt(high) >= highest;
    if (base0 == base1) return assumed;
    return base0 ? 0 : 1;
}

}  // namespace

Bases storedBases(Database& db, Bases assumed) {
    try {
        Snapshot s = db.snapshot("SELECT MIN(" + positions('B', "MIN") + ") AS zlo, MAX(" +
                                 positions('B', "MAX") + ") AS zhi, MIN(" + positions('H', "MIN") +
                                 ") AS dlo, MAX(" + positions('H', "MAX") + ") AS dhi FROM Lishi");
        s.moveFirst();
        if (!s.onRow()) return assumed;
        return {toldBase(s.field("zlo"), s.field("zhi"), 0, 12, assumed.sx),
                toldBase(s.field("dlo"), s.field("dhi"), 0, 10, assumed.ds)};
    } catch (const std::exception&) {
        return assumed;
    }
}

}  // namespace quarvel::store
