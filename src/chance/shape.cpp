#include "chance/shape.h"

#include <algorithm>
#include <bitset>

#include "chance/exact_chance.h"

namespace quarvel::chance {

namespace {

int packed(int a, int b, int c) { return a * 64 + b * 8 + c; }

// Largest group index + 1 per shape.
constexpr std::array<int, kShapeKinds> kClasses = {19, 30, 8, 8, 512, 512, 7, 8, 16};

std::string ratio(int a, int b) { return std::to_string(a) + ":" + std::to_string(b); }

// The AC value of every set, by enumeration: no closed count is known. The differences are
// kept as a bit set while the set grows, so each set costs one step per member.
void countAc(std::vector<std::int64_t>& out) {
    std::array<int, kRegular> chosen{};
    std::array<std::uint32_t, kRegular + 1> diffs{};
    auto grow = [&](auto& self, int depth, int from) -> void {
        if (depth == kRegular) {
            ++out[static_cast<std::size_t>(std::bitset<32>(diffs[kRegular]).count() - 6)];
            return;
        }
        for (int n = from; n <= kNumbers - (kRegular - 1 - depth); ++n) {
            std::uint32_t d = diffs[static_cast<std::size_t>(depth)];
            for (int i = 0; i < depth; ++i)
                d |= std::uint32_t{1} << (n - chosen[static_cast<std::size_t>(i)]);
            chosen[static_cast<std::size_t>(depth)] = n;
            diffs[static_cast<std::size_t>(depth + 1)] = d;
            self(self, depth + 1, n + 1);
        }
    };
    grow(grow, 0, 1);
}

}  // namespace

ShapeOdds countShapeOdds() {
    ShapeOdds o;
    o.total = choose(kNumbers, kRegular);
    for (int k = 0; k < kShapeKinds; ++k)
        o.sets[static_cast<std::size_t>(k)].assign(kClasses[static_cast<std::size_t>(k)], 0);
    auto at = [&](int kind, int cls) -> std::int64_t& {
        return o.sets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(cls)];
    };
    // 和值: sets of k numbers of 1 … n with sum s, number by number.
    std::vector<std::vector<std::int64_t>> sums(kRegular + 1, std::vector<std::int64_t>(200, 0));
    sums[0][0] = 1;
    for (int n = 1; n <= kNumbers; ++n)
        for (int k = kRegular; k >= 1; --k)
            for (int s = 199; s >= n; --s)
                sums[static_cast<std::size_t>(k)][static_cast<std::size_t>(s)] +=
                    sums[static_cast<std::size_t>(k - 1)][static_cast<std::size_t>(s - n)];
    // Seven numbers of 1 … 30 sum to at most 189, the last class "180-189".
    for (int s = 0; s < kClasses[kSum] * 10; ++s)
        at(kSum, s / 10) += sums[kRegular][static_cast<std::size_t>(s)];
    // 跨度 s: the smallest m, the largest m + s, five of the s − 1 numbers between.
    for (int s = 0; s < kNumbers; ++s) at(kSpan, s) = (kNumbers - s) * choose(s - 1, kRegular - 2);
    // 奇偶 and 大小: fifteen numbers on each side.
    for (int a = 0; a <= kRegular; ++a) {
        at(kOddEven, a) = choose(15, a) * choose(15, kRegular - a);
        at(kBigSmall, a) = at(kOddEven, a);
    }
    // 012路 and 区间: ten numbers in each of three classes.
    for (int a = 0; a <= kRegular; ++a)
        for (int b = 0; a + b <= kRegular; ++b) {
            const int c = kRegular - a - b;
            at(kRoad, packed(a, b, c)) = choose(10, a) * choose(10, b) * choose(10, c);
            at(kZone, packed(a, b, c)) = at(kRoad, packed(a, b, c));
        }
    // 连号: seven numbers in k runs leave 7 − k pairs; the runs' lengths are a composition of 7
    // into k parts, C(6, k − 1), and the runs take k of the 24 gaps around the 23 others.
    for (int runs = 1; runs <= kRegular; ++runs)
        at(kConsecutive, kRegular - runs) =
            choose(kRegular - 1, runs - 1) * choose(kNumbers - kRegular + 1, runs);
    // 重号 j: j of the previous seven, 7 − j of the other 23.
    for (int j = 0; j <= kRegular; ++j)
        at(kRepeat, j) = choose(kRegular, j) * choose(kNumbers - kRegular, kRegular - j);
    countAc(o.sets[kAc]);
    return o;
}

ShapeValues shapeOf(const RegularNumbers& numbers, const RegularNumbers* previous) {
    RegularNumbers n = numbers;
    std::sort(n.begin(), n.end());
    ShapeValues v{};
    int odd = 0, big = 0;
    std::array<int, 3> road{}, zone{};
    for (const int x : n) {
        v[kSum] += x;
        odd += x % 2 != 0;
        big += x >= 16;
        ++road[static_cast<std::size_t>(((x % 3) + 3) % 3)];
        ++zone[static_cast<std::size_t>(x <= 10 ? 0 : x <= 20 ? 1 : 2)];
    }
    v[kSpan] = n.back() - n.front();
    v[kOddEven] = odd;
    v[kBigSmall] = big;
    v[kRoad] = packed(road[0], road[1], road[2]);
    v[kZone] = packed(zone[0], zone[1], zone[2]);
    for (std::size_t i = 1; i < n.size(); ++i) v[kConsecutive] += n[i] == n[i - 1] + 1;
    v[kRepeat] = -1;
    if (previous) {
        v[kRepeat] = 0;
        for (const int x : n)
            v[kRepeat] += std::find(previous->begin(), previous->end(), x) != previous->end();
    }
    std::vector<int> diffs;
    for (std::size_t i = 0; i < n.size(); ++i)
        for (std::size_t j = i + 1; j < n.size(); ++j)
            if (n[j] > n[i]) diffs.push_back(n[j] - n[i]);
    std::sort(diffs.begin(), diffs.end());
    v[kAc] = static_cast<int>(std::unique(diffs.begin(), diffs.end()) - diffs.begin()) - 6;
    return v;
}

std::string shapeText(int kind, int value) {
    switch (kind) {
        case kOddEven:
        case kBigSmall:
            return ratio(value, kRegular - value);
        case kRoad:
        case kZone:
            return std::to_string(value / 64) + ":" + std::to_string(value / 8 % 8) + ":" +
                   std::to_string(value % 8);
        case kRepeat:
            return value < 0 ? "-" : std::to_string(value);
        default:
            return std::to_string(value);
    }
}

int shapeClass(int kind, int value) {
    if (kind < 0 || kind >= kShapeKinds) return -1;
    const int cls = kind == kSum ? (value < 0 ? -1 : value / 10) : value;
    if (cls < 0 || cls >= kClasses[static_cast<std::size_t>(kind)]) return -1;
    return shapeOdds().sets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(cls)] > 0 ? cls
                                                                                               : -1;
}

std::string classText(int kind, int cls) {
    if (kind == kSum) return std::to_string(cls * 10) + "-" + std::to_string(cls * 10 + 9);
    return shapeText(kind, cls);
}

double ShapeOdds::probability(int kind, int cls) const {
    return static_cast<double>(
               sets[static_cast<std::size_t>(kind)][static_cast<std::size_t>(cls)]) /
           static_cast<double>(total);
}

const ShapeOdds& shapeOdds() {
    static const ShapeOdds odds = countShapeOdds();
    return odds;
}

}  // namespace quarvel::chance
