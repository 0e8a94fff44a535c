#pragma once
// The draw record: from an issue number and eight numbers, every column of a Lishi row
// (zodiac code, head, tail, digit sum and segment per position, and the seven token strings).

#include <array>
#include <cstdint>
#include <string>

namespace quarvel::store {

class RowCursor;

inline constexpr std::array<const char*, 12> kZodiacNames = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                                                             "马", "羊", "猴", "鸡", "狗", "猪"};
// Attribute letter per search type 0..7.
inline constexpr std::array<char, 8> kAttributeLetters = {'A', 'B', 'E', 'F', 'G', 'H', 'C', 'D'};

// Base number list m: the two-digit numbers 01..49 with (n - 1) mod 12 == m, joined by 、.
std::string baseNumberList(int m);
// New-year threshold of a year in the table in force (new_year_table.h; 0 for a year it does
// not hold): serials up to it belong to the previous zodiac year.
int newYearThreshold(int year);
// ZodiacYear: the zodiac year of an issue number.
int zodiacYear(std::int32_t issue);
// Zodiac name index k (0..11) of a number in zodiac year y; numbers in no list give 11.
int zodiacIndex(int zodiacYear, int number);

// The zodiac code table: the value stored for a number of zodiac name index k.
struct ZodiacCodes {
    std::array<int, 12> code{};
    // Start-up filling: base + k.
    static ZodiacCodes startup(int sxBase);
    // Filling after a zodiac-parameter menu choice: base + ((y - 1972 - k) mod 12).
    static ZodiacCodes forMenuChoice(int sxBase, int currentZodiacYear);
};

struct Bases {
    int sx = 1;  // zodiac base SxIni, 0 or 1
    int ds = 1;  // segment base DsIni, 0 or 1
};

struct DrawRow {
    std::int32_t sqqh = 0;
    std::int32_t qqh = 0;
    // Per position 0..7 (positions 1..8): number, zodiac code, head, tail, digit sum, segment.
    std::array<int, 8> a{}, b{}, e{}, f{}, g{}, h{};
    std::string txtHisLst, txtHisLstHm, txtHisLstSx, txtHisLstTou, txtHisLstWei, txtHisLstHe,
        txtHisLstDs;
};

// True when the eight numbers can be a draw: each from 1 to 30, no number twice. Every way a
// draw comes in (typed, read from a file, fetched from a page) holds to this one rule.
bool isPossibleDraw(const std::array<int, 8>& numbers);
// Why they are not one, for the user (Chinese; the first number at fault); empty when they are.
std::string drawRefusal(const std::array<int, 8>& numbers);

// BuildDrawRow (computing part): the issue is stored, the zodiac year comes from zodiacIssue.
DrawRow buildDrawRow(std::int32_t issue, std::int32_t zodiacIssue,
                     const std::array<int, 8>& numbers, const ZodiacCodes& codes, int dsBase);
// Appends the row through a cursor on Lishi (add, set every column, update).
void appendDrawRow(RowCursor& rsLishi, const DrawRow& row);

// The stored zodiac code shown as a name: names[code - sxBase], "" when out of range.
std::string zodiacName(int code, int sxBase);

}  // namespace quarvel::store
