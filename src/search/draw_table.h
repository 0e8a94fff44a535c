#pragma once
// The draw table every analysis works on: the integer columns of Lishi read once, unsorted,
// and placed by IDX in flat arrays (row r is the draw with IDX r + 1), with the bit-set type
// that names a set of its rows. Only the attribute letters an analysis asks for are read.

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace quarvel::store {
class Database;
}

namespace quarvel::search {

// A set of rows of a DrawTable, by row index.
class RowSet {
  public:
    RowSet() = default;
    RowSet(std::size_t rows, bool all);
    std::size_t size() const { return rows_; }
    void set(std::size_t row) { words_[row / 64] |= std::uint64_t{1} << (row % 64); }
    bool test(std::size_t row) const { return (words_[row / 64] >> (row % 64)) & 1U; }
    std::size_t count() const;
    RowSet& operator&=(const RowSet& other);
    RowSet& operator|=(const RowSet& other);
    // Calls f(row) for every row of the set, ascending.
    template <class F>
    void forEach(F&& f) const {
        for (std::size_t w = 0; w < words_.size(); ++w)
            for (std::uint64_t word = words_[w]; word != 0; word &= word - 1)
                f(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
    }
    // The rows of the set, ascending.
    std::vector<std::size_t> members() const;
    // Calls f(row) for every row in all of the sets (of one size), ascending, without building
    // their intersection.
    template <class F>
    static void forEachInAll(std::span<const RowSet* const> sets, F&& f) {
        if (sets.empty()) return;
        // The words are taken through plain pointers held in locals: the callback may write
        // anywhere, and the set's vector would otherwise be looked up again for every word.
        const std::uint64_t* first = sets[0]->words_.data();
        const std::size_t words = sets[0]->words_.size();
        const std::uint64_t* second = sets.size() > 1 ? sets[1]->words_.data() : nullptr;
        for (std::size_t w = 0; w < words; ++w) {
            std::uint64_t word = first[w];
            if (second != nullptr) word &= second[w];
            for (std::size_t s = 2; s < sets.size() && word != 0; ++s) word &= sets[s]->words_[w];
            for (; word != 0; word &= word - 1)
                f(w * 64 + static_cast<std::size_t>(std::countr_zero(word)));
        }
    }

  private:
    std::size_t rows_ = 0;
    std::vector<std::uint64_t> words_;
};

class DrawTable {
  public:
    // A NULL field, or one the table did not read.
    static constexpr std::int32_t kNull = INT32_MIN;
    // The attribute letters of the per-position columns L<p><letter>: number, zodiac code,
    // head, tail, digit sum, segment.
    static constexpr std::string_view kLetters = "ABEFGH";

    DrawTable() = default;
    // Reads IDX, SQQH and the columns L1x … L8x of each letter of `letters` (letters outside
    // kLetters are not read: has() tells). DbError when the read fails.
    DrawTable(store::Database& db, std::string_view letters);

    std::size_t size() const { return idx_.size(); }
    int idx(std::size_t row) const { return idx_[row]; }
    std::int32_t issue(std::size_t row) const { return issue_[row]; }
    bool has(char letter) const;
    // The attribute of `letter` at position 1..8, one value per row (kNull where NULL).
    std::span<const std::int32_t> column(char letter, int position) const;

    // Rows whose issue lies in start..end, both ends included.
    RowSet inRange(std::int32_t start, std::int32_t end) const;
    // Rows where `value` stands at least `count` times among positions 1..positions of
    // `letter` (the LIKE "*<count>X<value>*" meaning of the token strings; count 1 for the
    // number string's "*<value>*").
    RowSet countAtLeast(char letter, int positions, int value, int count) const;
    // Rows whose attribute at `position` equals `value`.
    RowSet equals(char letter, int position, int value) const;

  private:
    static int slot(char letter);
    std::vector<int> idx_;
    std::vector<std::int32_t> issue_;
    // Per letter slot, the eight positions one after the other, each size() values long.
    std::array<std::vector<std::int32_t>, 6> columns_;
    std::array<bool, 6> read_{};
};

}  // namespace quarvel::search
