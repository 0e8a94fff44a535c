#pragma once
// Finding the draws of one year in the text of a results page: the issue key (year and
// three-digit serial) followed, at fixed character offsets, by the eight two-digit numbers.
//
// Offsets count Unicode code points of the page text, not UTF-8 bytes, so that Chinese text
// before or between the cells shifts nothing: a browser counts characters the same way.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quarvel::io {

inline constexpr int kLastSerial = 365;
// Offsets from the key's first character: the first number stands 20 characters after it and
// the eight numbers follow at a pitch of three characters.
inline constexpr int kFirstNumberOffset = 20;
inline constexpr int kNumberPitch = 3;

// The issue key of (year, serial): the year followed by the serial in three digits, "2013001".
std::string issueKey(int year, int serial);

struct LocatedDraw {
    int serial = 0;
    std::array<int, 8> numbers{};
};

// The page text decoded to code points once; the draws of any serial are then looked up in it.
class PageDraws {
  public:
    explicit PageDraws(std::string_view utf8Text);

    enum class Status {
        Found,
        Absent,    // the key is not in the text, or no digit stands where the first number belongs
        Rejected,  // a digit is there, but the eight numbers are not eight distinct 01..30
    };
    struct Lookup {
        Status status = Status::Absent;
        std::array<int, 8> numbers{};
    };

    // Looks at each occurrence of the key that is not part of a longer digit run, from the start
    // of the text, and takes the first whose numbers are sound. A key that only occurs with no
    // digit at the first number's place is absent.
    Lookup find(int year, int serial) const;

    // The draws of serials first..kLastSerial that are found, in ascending serial order;
    // `rejected` (when given) counts the serials whose numbers were unsound.
    std::vector<LocatedDraw> drawsFrom(int year, int firstSerial, int* rejected = nullptr) const;

  private:
    std::u32string text_;
};

// Decodes UTF-8; a byte that does not start a valid sequence becomes U+FFFD.
std::u32string decodeUtf8(std::string_view s);

}  // namespace quarvel::io
