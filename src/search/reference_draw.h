#pragma once
// The reference draw of the history tab: the newest stored draw whose issue is not greater
// than the reference issue, the end of the searched range that goes with it, and the draw's
// eight attributes of the search type as position values and as the texts shown beside them.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "store/history_db.h"
#include "store/outcome.h"

namespace quarvel::search {

struct ReferenceDraw {
    std::int32_t issue = 0;     // issue of the reference draw
    std::int32_t rangeEnd = 0;  // the end box: newest issue, or the reference issue - 1
    std::array<int, 8> values{};
    std::array<std::string, 8> texts;  // zodiac names for the zodiac type, else decimal
};

// Value of position p (1..8) of the cursor's current row for a search type: digit sum as
// head + tail (type 4), parity of the number (type 7), otherwise column L<p><letter>.
// nullopt for a type outside 0..7 or one whose column is not stored (type 6).
std::optional<int> positionAttribute(const store::Cursor& row, int p, int type);

// The refusal when no stored draw answers the reference text: the position values stay.
store::Outcome noReferenceDraw(const std::string& referenceText);

// YSJS over the stored history: the reference draw and the newest issue are read as they are
// now, one draw each. Refused (noReferenceDraw) when the reference text is not a 32-bit
// integer, lies before every stored draw, the history is empty or the type has no readable
// attribute; the failure of the store when it cannot be read. Nothing is half-computed then.
store::Checked<ReferenceDraw> findReferenceDraw(store::HistoryDb& db,
                                                const std::string& referenceText, bool onlyBefore,
                                                int type, int sxBase);

}  // namespace quarvel::search
