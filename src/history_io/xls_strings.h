#pragma once
// The shared string table of a BIFF8 workbook: every text cell refers to its string by index;
// the table is written as an SST record, continued in CONTINUE records past 8224 bytes, with
// the EXTSST index after it.

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quarvel::io {

// UTF-8 to UTF-16. A byte sequence that is not well-formed UTF-8 becomes U+FFFD, one per
// offending sequence, so that a damaged text still exports readably.
std::u16string utf8ToUtf16(std::string_view text);

namespace biff {

// The most characters (UTF-16 code units) a worksheet cell can hold.
inline constexpr std::size_t kMaxCellChars = 32767;

class SharedStrings {
  public:
    // The index of `text` in the table, added on first use; counts one reference.
    std::uint32_t add(const std::u16string& text);
    std::uint32_t references() const { return references_; }
    std::uint32_t unique() const { return static_cast<std::uint32_t>(order_.size()); }

    // SST (+ CONTINUE) and EXTSST records; `streamPos` is the stream position of the SST record,
    // which the EXTSST entries are counted from.
    std::string records(std::size_t streamPos) const;

  private:
    std::unordered_map<std::u16string, std::uint32_t> index_;
    std::vector<const std::u16string*> order_;  // keys of index_ in table order
    std::uint32_t references_ = 0;
};

}  // namespace biff
}  // namespace quarvel::io
