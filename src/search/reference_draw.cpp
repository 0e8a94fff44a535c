#include "search/reference_draw.h"

#include "store/draw_record.h"
#include "store/whole_number.h"

namespace quarvel::search {

std::optional<int> positionAttribute(const store::Cursor& row, int p, int type) {
    if (type < 0 || type >= static_cast<int>(store::kAttributeLetters.size()) || p < 1 || p > 8)
        return std::nullopt;
    const std::string prefix = "L" + std::to_string(p);
    try {
        if (type == 4)
            return static_cast<int>(row.intField(prefix + "E") + row.intField(prefix + "F"));
        if (type == 7) return static_cast<int>(row.intField(prefix + "A") % 2);
        return static_cast<int>(row.intField(prefix + store::kAttributeLetters[type]));
    } catch (const store::DbError&) {
        return std::nullopt;  // no such column (type 6 has none) or no current row
    }
}

store::Outcome noReferenceDraw(const std::string& referenceText) {
    return store::Outcome::refused("参考期“" + referenceText +
                                   "”没有对应的历史号码，各位的值保持不变");
}

namespace {

store::Checked<ReferenceDraw> readReferenceDraw(store::HistoryDb& db,
                                                const std::string& referenceText, bool onlyBefore,
                                                int type, int sxBase) {
    const auto refused = noReferenceDraw(referenceText);
    const auto reference = store::readWholeNumber32(referenceText);
    if (!reference) return refused;
    store::Snapshot draw = db.drawAtOrBefore(*reference);
    draw.moveFirst();
    // No row: the history is empty or the reference lies before every stored draw.
    if (!draw.onRow()) return refused;
    const auto newest = db.lastIssue();
    if (!newest) return refused;

    ReferenceDraw out;
    out.issue = static_cast<std::int32_t>(draw.intField("SQQH"));
    out.rangeEnd = onlyBefore ? out.issue - 1 : *newest;
    for (int p = 1; p <= 8; ++p) {
        const auto v = positionAttribute(draw, p, type);
        if (!v) return refused;
        out.values[p - 1] = *v;
        out.texts[p - 1] = type == 1 ? store::zodiacName(*v, sxBase) : std::to_string(*v);
    }
    return out;
}

}  // namespace

store::Checked<ReferenceDraw> findReferenceDraw(store::HistoryDb& db,
                                                const std::string& referenceText, bool onlyBefore,
                                                int type, int sxBase) {
    return store::attempt(
        [&] { return readReferenceDraw(db, referenceText, onlyBefore, type, sxBase); });
}

}  // namespace quarvel::search
