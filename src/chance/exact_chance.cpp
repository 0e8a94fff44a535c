#include "chance/exact_chance.h"

namespace quarvel::chance {

std::int64_t choose(int n, int k) {
    if (k < 0 || n < 0 || k > n) return 0;
    if (k > n - k) k = n - k;
    std::int64_t c = 1;
    // Each partial product is itself a binomial coefficient, so the division is exact.
    for (int i = 1; i <= k; ++i) c = c * (n - k + i) / i;
    return c;
}

double showChance(int members, int drawn) {
    return 1.0 - static_cast<double>(choose(kNumbers - members, drawn)) /
                     static_cast<double>(choose(kNumbers, drawn));
}

std::array<int, kNumbers + 1> numberAttributes(int type, std::int32_t issue,
                                               const store::ZodiacCodes& codes, int dsBase) {
    // The row builder is the one rule for a number's attributes: the thirty numbers go through
    // it eight at a time (the last row padded with numbers already seen).
    std::array<int, kNumbers + 1> out{};
    for (int first = 1; first <= kNumbers; first += 8) {
        std::array<int, 8> numbers{};
        for (int p = 0; p < 8; ++p)
            numbers[static_cast<std::size_t>(p)] = first + p <= kNumbers ? first + p : 1;
        const store::DrawRow row = store::buildDrawRow(issue, issue, numbers, codes, dsBase);
        const std::array<int, 8>* column = &row.a;
        switch (type) {
            case 1:
                column = &row.b;
                break;
            case 2:
                column = &row.e;
                break;
            case 3:
                column = &row.f;
                break;
            case 4:
                column = &row.g;
                break;
            case 5:
                column = &row.h;
                break;
            default:
                break;
        }
        for (int p = 0; p < 8 && first + p <= kNumbers; ++p)
            out[static_cast<std::size_t>(first + p)] = (*column)[static_cast<std::size_t>(p)];
    }
    return out;
}

}  // namespace quarvel::chance
