#include "search/criteria.h"

#include <cstdlib>

#include "store/draw_record.h"
#include "store/whole_number.h"

namespace quarvel::search {

std::optional<ValueRange> valueRange(int type, int sxBase, int dsBase) {
    switch (type) {
        case 0:
            return ValueRange{1, 30};
        case 1:
            return ValueRange{sxBase, sxBase + 11};
        case 2:
            return ValueRange{0, 3};
        case 3:
            return ValueRange{0, 9};
        case 4:
            return ValueRange{1, 11};
        case 5:
            return ValueRange{dsBase, dsBase + 9};
        case 7:
            return ValueRange{0, 1};
        default:
            return std::nullopt;
    }
}

std::optional<ValueRange> counterRange(int type, int sxBase, int dsBase) {
    if (type < 1 || type > 5) return std::nullopt;
    ValueRange r = *valueRange(type, sxBase, dsBase);
    if (type == 2) r.high = 4;  // the head counters run one past the heads a number can have
    return r;
}

const char* freeColumn(int type) {
    switch (type) {
        case 1:
            return "txtHisLstSx";
        case 2:
            return "txtHisLstTou";
        case 3:
            return "txtHisLstWei";
        case 4:
            return "txtHisLstHe";
        case 5:
            return "txtHisLstDs";
        default:
            return "txtHisLst";
    }
}

char freeLetter(int type) { return type >= 1 && type <= 5 ? attributeLetter(type) : 'A'; }

char attributeLetter(int type) {
    if (type < 0 || type >= kSearchTypes) return 'A';
    return store::kAttributeLetters[static_cast<std::size_t>(type)];
}

std::string twoDigits(int v) {
    const long long magnitude = std::llabs(static_cast<long long>(v));
    std::string digits = std::to_string(magnitude);
    if (digits.size() < 2) digits.insert(0, 2 - digits.size(), '0');
    return v < 0 ? "-" + digits : digits;
}

}  // namespace quarvel::search
