// The yardstick for the analysis commands: a program that reads quarvel.mdb the minimal way,
// one SELECT of the integer columns, and prints what quarvel-cli prints for the same command.
// It shares no code with quarvel on purpose, so that its output is also an independent check
// of the figures. bench/compare_commands.sh runs it side by side with quarvel-cli.
//
//   yardstick DB search     (as: search --type 0 --pos 1=05 --pos 2=12)
//   yardstick DB partial0   (as: partial --type 0 -k 4 --values 03,07,11,15,19,23,27,30)
//   yardstick DB partial1   (as: partial --type 1 -k 4 --values 1,2,3,4,5,6,7,8)
//   yardstick DB groups     (as: groups --type 0 --size 4 --boxes 1,...,24)
#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Draw {
    int idx = 0;
    int issue = 0;
    std::array<int, 8> number{}, zodiac{};
};

// IDX, SQQH and the eight numbers, or the eight zodiac codes.
std::vector<Draw> readDraws(const char* path, bool zodiac) {
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return {};
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       zodiac
                           ? "SELECT IDX, SQQH, L1B, L2B, L3B, L4B, L5B, L6B, L7B, L8B FROM Lishi"
                           : "SELECT IDX, SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A FROM Lishi",
                       -1, &s, nullptr);
    std::vector<Draw> read;
    while (sqlite3_step(s) == SQLITE_ROW) {
        Draw d;
        d.idx = sqlite3_column_int(s, 0);
        d.issue = sqlite3_column_int(s, 1);
        for (int p = 0; p < 8; ++p)
            (zodiac ? d.zodiac : d.number)[p] = sqlite3_column_int(s, 2 + p);
        read.push_back(d);
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    std::vector<Draw> byIdx(read.size());
    for (const Draw& d : read) byIdx[static_cast<std::size_t>(d.idx - 1)] = d;
    return byIdx;
}

struct Figures {
    int minimum = 32767, maximum = 0, last = 0, previous = 0, hits = 0, run = 0, longest = 0;
    void hit(int idx) {
        const int gap = idx - previous;
        maximum = std::max(maximum, gap);
        minimum = std::min(minimum, gap);
        run = hits > 0 && gap == 1 ? run + 1 : 1;
        longest = std::max(longest, run);
        previous = idx;
        ++hits;
    }
    void close(int draws) {
        if (hits == 0) maximum = 32767;
        last = draws + 1 - previous;
    }
};

std::string text(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// Label, the four figures (the ratio as `ratio` writes it) and the four further ones.
std::string figureRow(const std::string& label, const Figures& f, const std::string& ratio,
                      int draws) {
    const std::string due =
        draws <= f.hits
            ? "-"
            : text("%.2f", double(f.last - 1) * double(f.hits + 1) / double(draws - f.hits));
    return label + "\t" + std::to_string(f.minimum) + "\t" + std::to_string(f.maximum) + "\t" +
           std::to_string(f.last) + "\t" + ratio + "\t" + std::to_string(f.hits) + "\t" +
           text("%.2f", double(draws + 1) / double(f.hits + 1)) + "\t" + due + "\t" +
           std::to_string(f.longest) + "\n";
}

const char* const kSummaryHeader =
    "号码（分组）\t最小遗漏\t最大遗漏\t最后遗漏\t大后比\t出现次数\t平均遗漏\t欲出几率\t最大连出\n";
const char* const kNames[] = {"鼠", "牛", "虎", "兔", "龙", "蛇",
                              "马", "羊", "猴", "鸡", "狗", "猪"};

// The hit grid and the summary of the draws `shows` accepts; zodiac names when `zodiac`.
template <class Shows>
void hitsAndSummary(const std::vector<Draw>& draws, Shows shows, bool zodiac,
                    const std::string& label) {
    std::string out =
        "期号\t平1位\t平2位\t平3位\t平4位\t平5位\t平6位\t平7位\t特位\t遗漏次数\t序号\n";
    Figures f;
    for (const Draw& d : draws) {
        if (!shows(d)) continue;
        out += std::to_string(d.issue);
        for (int p = 0; p < 8; ++p) {
            out += '\t';
            out += zodiac ? kNames[d.zodiac[p] - 1] : std::to_string(d.number[p]);
        }
        const int gap = d.idx - f.previous;
        f.hit(d.idx);
        out += "\t" + std::to_string(gap) + "\t" + std::to_string(f.hits) + "\n";
    }
    const int n = static_cast<int>(draws.size());
    f.close(n);
    out += "\n";
    out += kSummaryHeader;
    out += figureRow(label, f, text("%.15g", double(f.maximum) / f.last), n);
    std::fwrite(out.data(), 1, out.size(), stdout);
}

int present(const std::array<int, 8>& values, const std::vector<int>& wanted) {
    int k = 0;
    for (int w : wanted) k += std::find(values.begin(), values.end(), w) != values.end();
    return k;
}

void groups(const std::vector<Draw>& draws) {
    const int n = static_cast<int>(draws.size());
    // One bit per draw and value, 64 draws a word.
    const std::size_t words = (draws.size() + 63) / 64;
    std::array<std::vector<std::uint64_t>, 31> shows;
    for (int v = 1; v <= 24; ++v) {
        shows[v].assign(words, 0);
        for (std::size_t i = 0; i < draws.size(); ++i)
            if (std::find(draws[i].number.begin(), draws[i].number.end(), v) !=
                draws[i].number.end())
                shows[v][i / 64] |= std::uint64_t{1} << (i % 64);
    }
    struct Row {
        std::string line;
        int last;
    };
    std::vector<Row> rows;
    for (int a = 1; a <= 21; ++a)
        for (int b = a + 1; b <= 22; ++b)
            for (int c = b + 1; c <= 23; ++c)
                for (int d = c + 1; d <= 24; ++d) {
                    Figures f;
                    for (std::size_t w = 0; w < words; ++w)
                        for (std::uint64_t bits =
                                 shows[a][w] & shows[b][w] & shows[c][w] & shows[d][w];
                             bits != 0; bits &= bits - 1)
                            f.hit(draws[w * 64 + static_cast<std::size_t>(std::countr_zero(bits))]
                                      .idx);
                    f.close(n);
                    char label[16];
                    std::snprintf(label, sizeof label, "%02d %02d %02d %02d", a, b, c, d);
                    // 大后比 in the search summary's form (15 significant digits).
                    const double ratio = f.last == 0 ? 0.0 : double(f.maximum) / f.last;
                    rows.push_back({figureRow(label, f, text("%.15g", ratio), n), f.last});
                }
    std::stable_sort(rows.begin(), rows.end(),
                     [](const Row& x, const Row& y) { return x.last < y.last; });
    std::string out = kSummaryHeader;
    for (const Row& r : rows) out += r.line;
    std::fwrite(out.data(), 1, out.size(), stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: yardstick DB search|partial0|partial1|groups\n");
        return 2;
    }
    const std::string what = argv[2];
    const std::vector<Draw> draws = readDraws(argv[1], what == "partial1");
    if (what == "search") {
        hitsAndSummary(
            draws,
            [](const Draw& d) {
                return present(d.number, {5, 12}) == 2;
            },
            false, "05 12 ");
    } else if (what == "partial0") {
        const std::vector<int> values = {3, 7, 11, 15, 19, 23, 27, 30};
        hitsAndSummary(
            draws, [&](const Draw& d) { return present(d.number, values) >= 4; }, false,
            "03 07 11 15 19 23 27 30 (4)");
    } else if (what == "partial1") {
        const std::vector<int> values = {1, 2, 3, 4, 5, 6, 7, 8};
        hitsAndSummary(
            draws, [&](const Draw& d) { return present(d.zodiac, values) >= 4; }, true,
            "1 2 3 4 5 6 7 8 (4)");
    } else if (what == "groups") {
        groups(draws);
    } else {
        return 2;
    }
    return 0;
}
