#include "history_io/text_decoding.h"

#include <algorithm>
#include <cstdint>

namespace quarvel::io {

namespace {

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::string fromUtf16(std::string_view b, bool bigEndian) {
    std::string out;
    out.reserve(b.size() / 2);
    auto unit = [&](std::size_t i) -> char16_t {
        const auto hi = static_cast<unsigned char>(b[bigEndian ? i : i + 1]);
        const auto lo = static_cast<unsigned char>(b[bigEndian ? i + 1 : i]);
        return static_cast<char16_t>(hi << 8 | lo);
    };
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < b.size()) {
            const char16_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(out, c);
    }
    return out;
}

// A UTF-16 file written without a byte order mark: ASCII text in it has a NUL in every other
// byte, all on one side.
int utf16WithoutMark(std::string_view b) {
    const std::size_t n = std::min<std::size_t>(b.size() & ~std::size_t{1}, 400);
    if (n < 8) return 0;
    std::size_t evenNul = 0, oddNul = 0;
    for (std::size_t i = 0; i < n; i += 2) {
        evenNul += b[i] == '\0';
        oddNul += b[i + 1] == '\0';
    }
    const std::size_t half = n / 2;
    if (oddNul * 10 >= half * 7 && evenNul == 0) return 1;  // little endian
    if (evenNul * 10 >= half * 7 && oddNul == 0) return 2;  // big endian
    return 0;
}

bool validUtf8(std::string_view s, bool& ascii) {
    ascii = true;
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        ascii = false;
        const int len = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 && c < 0xE0 ? 2 : 0;
        if (len == 0 || (len == 3 && c >= 0xF0) || i + static_cast<std::size_t>(len) > s.size())
            return false;
        for (int k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(len);
    }
    return true;
}

// GBK: a lead byte 0x81..0xFE and a trail byte. The full-width blank (A1 A1) and comma (A3 AC)
// become ASCII; a trail byte in the ASCII range is moved out of it, so that it is never taken
// for a separator or a digit.
std::string fromGbk(std::string_view b) {
    std::string out;
    out.reserve(b.size());
    for (std::size_t i = 0; i < b.size(); ++i) {
        const auto c = static_cast<unsigned char>(b[i]);
        if (c < 0x81 || c == 0xFF || i + 1 >= b.size()) {
            out += static_cast<char>(c);
            continue;
        }
        const auto t = static_cast<unsigned char>(b[i + 1]);
        ++i;
        if (c == 0xA1 && t == 0xA1) {
            out += ' ';
        } else if (c == 0xA3 && t == 0xAC) {
            out += ',';
        } else {
            out += static_cast<char>(c);
            out += static_cast<char>(t < 0x80 ? 0x80 | t : t);
        }
    }
    return out;
}

}  // namespace

DecodedText decodeHistoryBytes(std::string_view b) {
    if (b.starts_with("\xEF\xBB\xBF")) return {std::string(b.substr(3)), "UTF-8（带 BOM）"};
    if (b.starts_with("\xFF\xFE")) return {fromUtf16(b.substr(2), false), "UTF-16"};
    if (b.starts_with("\xFE\xFF")) return {fromUtf16(b.substr(2), true), "UTF-16"};
    if (const int u = utf16WithoutMark(b)) return {fromUtf16(b, u == 2), "UTF-16"};
    bool ascii = true;
    if (validUtf8(b, ascii)) return {std::string(b), ascii ? "" : "UTF-8"};
    return {fromGbk(b), "GBK"};
}

}  // namespace quarvel::io
