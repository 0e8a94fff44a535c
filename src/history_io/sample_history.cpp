#include "history_io/sample_history.h"

#include <array>
#include <utility>

#include "history_io/atomic_file.h"
#include "history_io/text_format.h"

namespace quarvel::io {

namespace {

// splitmix64: fully defined, unlike the standard distributions, so the file never changes.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

  private:
    std::uint64_t state_;
};

}  // namespace

std::vector<HistoryDraw> sampleHistory(const SampleHistoryOptions& options) {
    Rng rng(options.seed);
    std::vector<HistoryDraw> out;
    for (int y = 0; y < options.years; ++y) {
        const int year = options.firstYear + y;
        const int draws = 145 + rng.below(11);
        for (int serial = 1; serial <= draws; ++serial) {
            std::array<int, 30> pool{};
            for (int n = 0; n < 30; ++n) pool[static_cast<std::size_t>(n)] = n + 1;
            HistoryDraw d;
            d.issue = year * 1000 + serial;
            for (int p = 0; p < kNumbersPerDraw;
                 ++p) {  // partial Fisher-Yates: eight distinct numbers
                const int j = p + rng.below(30 - p);
                std::swap(pool[static_cast<std::size_t>(p)], pool[static_cast<std::size_t>(j)]);
                d.numbers[static_cast<std::size_t>(p)] = pool[static_cast<std::size_t>(p)];
            }
            out.push_back(d);
        }
    }
    return out;
}

std::string sampleHistoryText(const SampleHistoryOptions& options) {
    std::vector<std::string> lines;
    for (const auto& d : sampleHistory(options)) lines.push_back(historyLine(d.issue, d.numbers));
    return crlfLines(lines);
}

}  // namespace quarvel::io
