#include "store/whole_number.h"

#include <limits>

namespace quarvel::store {

std::optional<std::int64_t> readWholeNumber(std::string_view text) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    // Accumulated as a negative value, so that the most negative 64-bit value also reads.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        const int d = c - '0';
        if (v < (kMin + d) / 10) return std::nullopt;
        v = v * 10 - d;
    }
    if (negative) return v;
    if (v == kMin) return std::nullopt;
    return -v;
}

std::optional<std::int32_t> readWholeNumber32(std::string_view text) {
    const auto v = readWholeNumber(text);
    if (!v || *v < std::numeric_limits<std::int32_t>::min() ||
        *v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

}  // namespace quarvel::store
