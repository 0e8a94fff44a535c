#pragma once
// The inputs of one analysis as a value: search type, mode, the eight positions with their
// values and value-box texts, the issue range as typed, and the attribute bases. The window
// reads its controls into it, the command line fills it from arguments.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace quarvel::search {

inline constexpr int kPositions = 8;
inline constexpr int kSearchTypes = 8;  // 0..5 offered, 6 and 7 only through a stored type

struct Criteria {
    int type = 0;  // 0 号码, 1 生肖, 2 头数, 3 尾数, 4 合数, 5 段数 (6, 7 stored only)
    bool fixed = false;        // fixed position (固定位) instead of free position (自由位)
    bool countSpecial = true;  // free position: the special number is among the searched ones
    std::array<bool, kPositions> selected{};      // position flags 平1位 … 平7位, 特位
    std::array<int, kPositions> values{};         // position values v[1..8]
    std::array<std::string, kPositions> texts{};  // value-box texts, used for the label
    std::string rangeStart;                       // range boxes "起" and "止" as typed
    std::string rangeEnd;
    int sxBase = 1;  // zodiac base SxIni
    int dsBase = 1;  // segment base DsIni
};

struct ValueRange {
    int low = 0;
    int high = 0;
    bool contains(int v) const { return v >= low && v <= high; }
};

// Values a condition of the type can meet (number 1..30, zodiac 12 codes from the base, head
// 0..3, tail 0..9, digit sum 1..11, segment 10 classes from the base, parity 0..1); nullopt for
// type 6, which has no per-position column, and for types outside 0..7.
std::optional<ValueRange> valueRange(int type, int sxBase, int dsBase);
// Values the free-position occurrence counters of the type cover (head counters run 0..4);
// nullopt for the types matched without counts (number, 6, 7).
std::optional<ValueRange> counterRange(int type, int sxBase, int dsBase);

// Free-position attribute column of the type: the token strings of types 1..5, the number
// string for every other type.
const char* freeColumn(int type);
// The per-position letter whose values the free column's tokens hold: 'B', 'E', 'F', 'G', 'H'
// for types 1..5, the number 'A' for every other type.
char freeLetter(int type);
// Per-position column letter of the type ("A", "B", "E", "F", "G", "H", "C", "D"); 'A' outside
// 0..7.
char attributeLetter(int type);

// An integer as at least two digits, sign first (5 -> "05", -5 -> "-05", 123 -> "123").
std::string twoDigits(int v);

}  // namespace quarvel::search
