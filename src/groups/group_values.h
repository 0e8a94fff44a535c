#pragma once
// What a value check box stands for in the group computation: the attribute column that the
// groups are matched against, how many boxes a search type uses, and each box's code as it
// appears in a member pattern and in a group label.

#include <string>

#include "store/draw_record.h"

namespace quarvel::groups {

inline constexpr int kMaxBoxes = 30;

// The numbering in force, which decides the code a zodiac or segment box stands for: box k of
// the zodiac type is captioned with the zodiac of name index k mod 12 and finds that zodiac's
// code ZodiacCode[k mod 12]; box k of the segment type finds the k-th segment (numbers
// 3k - 2 .. 3k), code k - 1 + DsIni, and is captioned with that code.
struct BoxCoding {
    store::ZodiacCodes zodiac = store::ZodiacCodes::startup(1);
    int dsBase = 1;
};

// Search types offered by the panel: 0 number, 1 zodiac, 2 head, 3 tail, 4 digit sum, 5 segment.
bool isGroupType(int type);
// Number of value boxes in use: 30, 12, 5, 10, 11, 10 for types 0..5; 0 for any other type.
int valueCount(int type);
// The token string column of the type: txtHisLst, txtHisLstSx, ... (txtHisLst for any other).
const char* attributeColumn(int type);

// The attribute value box `box` stands for: the number, the zodiac code the caption names,
// head and tail box - 1, the digit sum, the segment code box - 1 + DsIni.
int boxValue(int type, int box, const BoxCoding& coding);
// The LIKE pattern of box `box` as a group member, stars included: "*05*" (number 5),
// "*1X05*" (zodiac code 5), "*1X0*" (head, box 1), "*1X9*" (tail, box 10), "*1X11*" (digit
// sum). Segment codes are plain decimal and 10 has two digits, so the segment pattern carries
// the space that ends every token: "*1X1 *" finds segment 1 and not segment 10.
std::string memberPattern(int type, int box, const BoxCoding& coding);
// The caption of box `box`, which is also its part of a group label: "05", the zodiac name of
// index box mod 12, head and tail box - 1, digit sum as two digits, the segment code in plain
// decimal.
std::string labelPart(int type, int box, const BoxCoding& coding);

}  // namespace quarvel::groups
