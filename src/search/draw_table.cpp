#include "search/draw_table.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "store/engine.h"

namespace quarvel::search {

RowSet::RowSet(std::size_t rows, bool all)
    : rows_(rows), words_((rows + 63) / 64, all ? ~std::uint64_t{0} : 0) {
    if (all && rows % 64 != 0) words_.back() = (std::uint64_t{1} << (rows % 64)) - 1;
}

std::size_t RowSet::count() const {
    std::size_t n = 0;
    for (std::uint64_t w : words_) n += static_cast<std::size_t>(std::popcount(w));
    return n;
}

RowSet& RowSet::operator&=(const RowSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] &= other.words_[w];
    return *this;
}

RowSet& RowSet::operator|=(const RowSet& other) {
    for (std::size_t w = 0; w < words_.size(); ++w) words_[w] |= other.words_[w];
    return *this;
}

std::vector<std::size_t> RowSet::members() const {
    std::vector<std::size_t> out;
    out.reserve(count());
    forEach([&out](std::size_t row) { out.push_back(row); });
    return out;
}

namespace {

std::int32_t readInt(const store::Prepared& s, int col) {
    const std::int64_t v = s.integer(col);
    // NULL reads as 0: only then is the type worth asking for.
    if (v == 0 && s.isNull(col)) return DrawTable::kNull;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN + 1, INT32_MAX));
}

}  // namespace

int DrawTable::slot(char letter) {
    const auto at = kLetters.find(letter);
    return at == std::string_view::npos ? -1 : static_cast<int>(at);
}

bool DrawTable::has(char letter) const {
    const int s = slot(letter);
    return s >= 0 && read_[static_cast<std::size_t>(s)];
}

DrawTable::DrawTable(store::Database& db, std::string_view letters) {
    std::vector<int> slots;
    std::string sql = "SELECT IDX, SQQH";
    for (char letter : letters) {
        const int s = slot(letter);
        if (s < 0 || read_[static_cast<std::size_t>(s)]) continue;
        read_[static_cast<std::size_t>(s)] = true;
        slots.push_back(s);
        for (int p = 1; p <= 8; ++p) sql += ", L" + std::to_string(p) + letter;
    }
    // The table's own order: IDX places each row, no sort is needed.
    sql += " FROM Lishi";
    store::Prepared s(db, sql);
    std::vector<int> idx;
    std::vector<std::int32_t> issue;
    std::vector<std::vector<std::int32_t>> values(slots.size());
    while (s.step()) {
        const std::int32_t i = readInt(s, 0);
        idx.push_back(i == kNull ? 0 : i);
        issue.push_back(readInt(s, 1));
        int col = 2;
        for (auto& v : values)
            for (int p = 0; p < 8; ++p) v.push_back(readInt(s, col++));
    }
    const std::size_t n = idx.size();
    // Where row r of the read goes. IDX is 1..n after every write; should another program
    // have left it otherwise, the rows go in IDX order (NULL first, ties as read), as an
    // ORDER BY [IDX] would list them.
    std::vector<std::size_t> place(n);
    std::vector<bool> taken(n, false);
    bool permutation = true;
    for (std::size_t r = 0; r < n && permutation; ++r) {
        const int i = idx[r];
        permutation =
            i >= 1 && static_cast<std::size_t>(i) <= n && !taken[static_cast<std::size_t>(i - 1)];
        if (permutation) {
            taken[static_cast<std::size_t>(i - 1)] = true;
            place[r] = static_cast<std::size_t>(i - 1);
        }
    }
    if (!permutation) {
        std::vector<std::size_t> order(n);
        std::iota(order.begin(), order.end(), std::size_t{0});
        std::stable_sort(order.begin(), order.end(),
                         [&idx](std::size_t a, std::size_t b) { return idx[a] < idx[b]; });
        for (std::size_t k = 0; k < n; ++k) place[order[k]] = k;
    }
    idx_.resize(n);
    issue_.resize(n);
    for (std::size_t r = 0; r < n; ++r) {
        idx_[place[r]] = idx[r];
        issue_[place[r]] = issue[r];
    }
    for (std::size_t k = 0; k < slots.size(); ++k) {
        auto& out = columns_[static_cast<std::size_t>(slots[k])];
        out.resize(8 * n);
        for (std::size_t r = 0; r < n; ++r)
            for (std::size_t p = 0; p < 8; ++p) out[p * n + place[r]] = values[k][r * 8 + p];
    }
}

std::span<const std::int32_t> DrawTable::column(char letter, int position) const {
    const int s = slot(letter);
    if (s < 0 || !read_[static_cast<std::size_t>(s)] || position < 1 || position > 8) return {};
    return std::span<const std::int32_t>(columns_[static_cast<std::size_t>(s)])
        .subspan(static_cast<std::size_t>(position - 1) * size(), size());
}

RowSet DrawTable::inRange(std::int32_t start, std::int32_t end) const {
    RowSet out(size(), false);
    for (std::size_t r = 0; r < size(); ++r)
        if (issue_[r] != kNull && issue_[r] >= start && issue_[r] <= end) out.set(r);
    return out;
}

RowSet DrawTable::countAtLeast(char letter, int positions, int value, int count) const {
    RowSet out(size(), false);
    if (!has(letter) || value == kNull || count < 1) return out;
    std::vector<std::uint8_t> seen(size(), 0);
    for (int p = 1; p <= std::min(positions, 8); ++p) {
        const auto col = column(letter, p);
        for (std::size_t r = 0; r < size(); ++r) seen[r] += col[r] == value;
    }
    for (std::size_t r = 0; r < size(); ++r)
        if (seen[r] >= count) out.set(r);
    return out;
}

RowSet DrawTable::equals(char letter, int position, int value) const {
    RowSet out(size(), false);
    const auto col = column(letter, position);
    if (col.empty() || value == kNull) return out;
    for (std::size_t r = 0; r < size(); ++r)
        if (col[r] == value) out.set(r);
    return out;
}

}  // namespace quarvel::search
