#include "store/draw_record.h"

#include <cstdio>

#include "store/engine.h"
#include "store/new_year_table.h"

namespace quarvel::store {

namespace {

// Remainder in 0..m-1 for any sign of a.
int floorMod(int a, int m) {
    const int r = a % m;
    return r < 0 ? r + m : r;
}

// "00" format: at least two digits, a sign before them.
std::string twoDigits(int v) {
    if (v >= 0 && v < 100)
        return std::string{static_cast<char>('0' + v / 10), static_cast<char>('0' + v % 10)};
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// A token string as it is written: eight tokens of a few characters each, in one buffer.
class TokenText {
  public:
    void put(char c) {
        if (len_ < sizeof buf_) buf_[len_++] = c;
    }
    // v in decimal, with at least two digits when asked (as twoDigits writes it). Kept small
    // enough to be inlined: a full history writes 3.6 million of these.
    void decimal(int v, bool twoDigit) {
        if (v >= 0 && v < 100) [[likely]] {
            if (v >= 10 || twoDigit) put(static_cast<char>('0' + v / 10));
            put(static_cast<char>('0' + v % 10));
        } else {
            wide(v, twoDigit);
        }
    }
    std::string str() const { return std::string(buf_, len_); }

  private:
    [[gnu::noinline]] void wide(int v, bool twoDigit) {
        for (char c : twoDigit ? twoDigits(v) : std::to_string(v)) put(c);
    }
    char buf_[128];  // 8 tokens of at most 1 + 1 + 11 + 1 characters
    std::size_t len_ = 0;
};

}  // namespace

std::string baseNumberList(int m) {
    std::string out;
    for (int n = 1; n <= 49; ++n) {
        if ((n - 1) % 12 != m) continue;
        if (!out.empty()) out += "、";
        out += twoDigits(n);
    }
    return out;
}

int newYearThreshold(int year) { return newYearThresholdInForce(year); }

int zodiacYear(std::int32_t issue) {
    int y = issue / 1000;
    const int s = issue % 1000;
    if (s <= newYearThreshold(y)) --y;
    return y;
}

int zodiacIndex(int zodiacYear, int number) {
    // Equivalent to searching the year's rotated base lists for the two-digit number: the
    // lists cover 1..49, anything else falls through to the last zodiac.
    if (number < 1 || number > 49) return 11;
    return floorMod(zodiacYear - 1972 - (number - 1), 12);
}

ZodiacCodes ZodiacCodes::startup(int sxBase) {
    ZodiacCodes z;
    for (int k = 0; k < 12; ++k) z.code[k] = sxBase + k;
    return z;
}

ZodiacCodes ZodiacCodes::forMenuChoice(int sxBase, int currentZodiacYear) {
    ZodiacCodes z;
    for (int k = 0; k < 12; ++k) z.code[k] = sxBase + floorMod(currentZodiacYear - 1972 - k, 12);
    return z;
}

DrawRow buildDrawRow(std::int32_t issue, std::int32_t zodiacIssue,
                     const std::array<int, 8>& numbers, const ZodiacCodes& codes, int dsBase) {
    DrawRow r;
    r.sqqh = issue;
    r.qqh = issue + 1;
    const int year = zodiacYear(zodiacIssue);
    // The count of a value is 1 + the earlier positions holding it: counting by comparison,
    // no counter array that an unexpected value could fall outside of. Tokens are written in
    // place: count, X, the value (two digits or plain), one space.
    std::array<TokenText, 7> text;  // txtHisLst, Hm, Sx, Tou, Wei, He, Ds
    auto counted = [](TokenText& to, const std::array<int, 8>& values, int i, bool twoDigit) {
        int count = 1;
        for (int j = 0; j < i; ++j) count += values[j] == values[i];
        to.decimal(count, false);
        to.put('X');
        to.decimal(values[i], twoDigit);
        to.put(' ');
    };
    for (int i = 0; i < 8; ++i) {
        const int n = numbers[i];
        r.a[i] = n;
        r.b[i] = codes.code[zodiacIndex(year, n)];
        r.e[i] = n / 10;
        r.f[i] = n % 10;
        r.g[i] = r.e[i] + r.f[i];
        r.h[i] = (n - 1) / 3 + dsBase;
        text[0].decimal(n, true);
        text[0].put(' ');
        counted(text[1], r.a, i, true);
        counted(text[2], r.b, i, true);
        counted(text[3], r.e, i, false);
        counted(text[4], r.f, i, false);
        counted(text[5], r.g, i, true);
        counted(text[6], r.h, i, false);
    }
    r.txtHisLst = text[0].str();
    r.txtHisLstHm = text[1].str();
    r.txtHisLstSx = text[2].str();
    r.txtHisLstTou = text[3].str();
    r.txtHisLstWei = text[4].str();
    r.txtHisLstHe = text[5].str();
    r.txtHisLstDs = text[6].str();
    return r;
}

std::string drawRefusal(const std::array<int, 8>& numbers) {
    bool seen[31] = {};
    for (std::size_t k = 0; k < numbers.size(); ++k) {
        const int n = numbers[k];
        if (n >= 1 && n <= 30 && !seen[n]) {
            seen[n] = true;
            continue;
        }
        const std::string place = k == 7 ? "特码" : "第" + std::to_string(k + 1) + "个号码";
        const std::string shown = (n >= 0 && n < 10 ? "0" : "") + std::to_string(n);
        std::string why = place;
        why += ' ';
        why += shown;
        why += n < 1 || n > 30 ? " 不在 01 到 30 之间。" : " 与前面的号码重复。";
        return why;
    }
    return {};
}

bool isPossibleDraw(const std::array<int, 8>& numbers) { return drawRefusal(numbers).empty(); }

void appendDrawRow(RowCursor& rsLishi, const DrawRow& row) {
    rsLishi.addNew();
    rsLishi.set("SQQH", std::int64_t{row.sqqh});
    rsLishi.set("QQH", std::int64_t{row.qqh});
    const std::pair<char, const std::array<int, 8>*> perPosition[] = {
        {'A', &row.a}, {'B', &row.b}, {'E', &row.e}, {'F', &row.f}, {'G', &row.g}, {'H', &row.h}};
    for (const auto& [letter, values] : perPosition) {
        for (int p = 0; p < 8; ++p) {
            const std::string name = "L" + std::to_string(p + 1) + letter;
            rsLishi.set(name, std::int64_t{(*values)[p]});
        }
    }
    rsLishi.set("txtHisLst", row.txtHisLst);
    rsLishi.set("txtHisLstHm", row.txtHisLstHm);
    rsLishi.set("txtHisLstSx", row.txtHisLstSx);
    rsLishi.set("txtHisLstTou", row.txtHisLstTou);
    rsLishi.set("txtHisLstWei", row.txtHisLstWei);
    rsLishi.set("txtHisLstHe", row.txtHisLstHe);
    rsLishi.set("txtHisLstDs", row.txtHisLstDs);
    rsLishi.update();
}

std::string zodiacName(int code, int sxBase) {
    const int k = code - sxBase;
    if (k < 0 || k >= 12) return {};
    return kZodiacNames[static_cast<std::size_t>(k)];
}

}  // namespace quarvel::store
