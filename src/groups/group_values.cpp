#include "groups/group_values.h"

#include <array>
#include <cstdio>

#include "search/criteria.h"

namespace quarvel::groups {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// The code of box `box` as written in the tokens of the type's column.
std::string tokenCode(int type, int box, const BoxCoding& coding) {
    const int value = boxValue(type, box, coding);
    // Zodiac, digit sum and number are written with two digits, head, tail and segment plain.
    return type == 2 || type == 3 || type == 5 ? std::to_string(value) : twoDigits(value);
}

}  // namespace

int boxValue(int type, int box, const BoxCoding& coding) {
    switch (type) {
        case 1:
            return coding.zodiac
                .code[static_cast<std::size_t>(box % 12)];  // the zodiac the caption names
        case 2:                                             // head = box - 1
        case 3:
            return box - 1;  // tail = box - 1
        case 5:
            return box - 1 + coding.dsBase;  // the k-th segment's code
        default:
            return box;  // number, digit sum
    }
}

bool isGroupType(int type) { return type >= 0 && type <= 5; }

int valueCount(int type) {
    static constexpr std::array<int, 6> counts = {30, 12, 5, 10, 11, 10};
    return isGroupType(type) ? counts[type] : 0;
}

const char* attributeColumn(int type) { return search::freeColumn(type); }

std::string memberPattern(int type, int box, const BoxCoding& coding) {
    if (type == 0) return "*" + tokenCode(type, box, coding) + "*";
    // Members of a group are distinct values, so each asks for the first occurrence.
    std::string pattern = "*1X" + tokenCode(type, box, coding);
    if (type == 5) pattern += ' ';
    return pattern + "*";
}

std::string labelPart(int type, int box, const BoxCoding& coding) {
    if (type == 1) return store::kZodiacNames[static_cast<std::size_t>(box % 12)];
    return tokenCode(type, box, coding);
}

}  // namespace quarvel::groups
