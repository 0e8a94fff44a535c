#pragma once
// The one combination enumerator: every choice of k out of n entries, in lexicographic order.

#include <array>
#include <span>

namespace quarvel::search {

// The most members a combination may have (the largest group and section sizes).
inline constexpr int kMaxCombination = 8;

// Calls `visit` with the entries (0-based, ascending) of every k-combination of 0..n-1 in
// lexicographic order until it returns false. Nothing is visited when k is outside
// 1..min(n, kMaxCombination).
template <class Visit>
void forEachCombination(int n, int k, Visit&& visit) {
    if (k < 1 || k > n || k > kMaxCombination) return;
    std::array<int, kMaxCombination> c{};
    for (int i = 0; i < k; ++i) c[static_cast<std::size_t>(i)] = i;
    const std::span<const int> members(c.data(), static_cast<std::size_t>(k));
    for (;;) {
        if (!visit(members)) return;
        // Advance the rightmost member that can still move (member i runs up to n - k + i),
        // then reset the ones after it.
        int i = k - 1;
        while (i >= 0 && c[static_cast<std::size_t>(i)] == n - k + i) --i;
        if (i < 0) return;
        ++c[static_cast<std::size_t>(i)];
        for (int j = i + 1; j < k; ++j)
            c[static_cast<std::size_t>(j)] = c[static_cast<std::size_t>(j - 1)] + 1;
    }
}

}  // namespace quarvel::search
