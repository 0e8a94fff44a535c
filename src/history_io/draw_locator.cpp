#include "history_io/draw_locator.h"

#include <algorithm>
#include <cstdio>

#include "store/draw_record.h"

namespace quarvel::io {
namespace {

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The eight numbers after the key at `p` (0-based), when all are sound: each two digits, 01..30,
// no number twice, and no digit run longer than two (which would mean the layout is not ours).
std::optional<std::array<int, 8>> numbersAt(const std::u32string& t, std::size_t p) {
    std::array<int, 8> out{};
    for (int j = 0; j < 8; ++j) {
        const std::size_t at = p + kFirstNumberOffset + static_cast<std::size_t>(kNumberPitch * j);
        if (at + 1 >= t.size() || !isDigit(t[at]) || !isDigit(t[at + 1])) return std::nullopt;
        if (at + 2 < t.size() && isDigit(t[at + 2])) return std::nullopt;
        if (isDigit(t[at - 1])) return std::nullopt;
        out[static_cast<std::size_t>(j)] =
            static_cast<int>(t[at] - U'0') * 10 + static_cast<int>(t[at + 1] - U'0');
    }
    if (!store::isPossibleDraw(out)) return std::nullopt;
    return out;
}

}  // namespace

std::string issueKey(int year, int serial) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d%03d", year, serial);
    return buf;
}

std::u32string decodeUtf8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        int len = 0;
        char32_t cp = 0;
        if (b < 0x80) {
            len = 1;
            cp = b;
        } else if (b >= 0xC2 && b <= 0xDF) {
            len = 2;
            cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            len = 3;
            cp = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            len = 4;
            cp = b & 0x07;
        }
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= s.size();
        for (int k = 1; ok && k < len; ++k) {
            const auto c = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
            if ((c & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF are not characters.
        if (ok && ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
                   (cp >= 0xD800 && cp <= 0xDFFF)))
            ok = false;
        if (!ok) {
            out += U'\uFFFD';
            ++i;
            continue;
        }
        out += cp;
        i += static_cast<std::size_t>(len);
    }
    return out;
}

PageDraws::PageDraws(std::string_view utf8Text) : text_(decodeUtf8(utf8Text)) {}

PageDraws::Lookup PageDraws::find(int year, int serial) const {
    const std::string key8 = issueKey(year, serial);
    const std::u32string key(key8.begin(), key8.end());
    Lookup result;
    for (std::size_t p = text_.find(key); p != std::u32string::npos; p = text_.find(key, p + 1)) {
        // 2013001 inside 12013001 or 20130012 is another number.
        if (p > 0 && isDigit(text_[p - 1])) continue;
        if (p + key.size() < text_.size() && isDigit(text_[p + key.size()])) continue;
        const std::size_t first = p + kFirstNumberOffset;
        if (first >= text_.size() || !isDigit(text_[first])) continue;
        if (auto numbers = numbersAt(text_, p)) {
            result.status = Status::Found;
            result.numbers = *numbers;
            return result;
        }
        result.status = Status::Rejected;
    }
    return result;
}

std::vector<LocatedDraw> PageDraws::drawsFrom(int year, int firstSerial, int* rejected) const {
    std::vector<LocatedDraw> out;
    if (rejected) *rejected = 0;
    for (int k = std::max(firstSerial, 1); k <= kLastSerial; ++k) {
        const Lookup l = find(year, k);
        if (l.status == Status::Found)
            out.push_back({k, l.numbers});
        else if (l.status == Status::Rejected && rejected)
            ++*rejected;
    }
    return out;
}

}  // namespace quarvel::io
