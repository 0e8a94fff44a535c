#include "history_io/xls_strings.h"

#include <algorithm>
#include <stdexcept>

#include "history_io/biff_records.h"

namespace quarvel::io {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }

}  // namespace

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    while (i < n) {
        const unsigned char b = byte(i);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            ++i;
            continue;
        }
        std::size_t len = 0;
        char32_t cp = 0, min = 0;
        if (b >= 0xC2 && b <= 0xDF)
            len = 2, cp = b & 0x1F, min = 0x80;
        else if (b >= 0xE0 && b <= 0xEF)
            len = 3, cp = b & 0x0F, min = 0x800;
        else if (b >= 0xF0 && b <= 0xF4)
            len = 4, cp = b & 0x07, min = 0x10000;
        std::size_t k = 1;
        for (; len && k < len && i + k < n && (byte(i + k) & 0xC0) == 0x80; ++k)
            cp = (cp << 6) | (byte(i + k) & 0x3F);
        if (len == 0 || k < len || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out += kReplacement;
            i += std::max<std::size_t>(k, 1);  // skip the lead byte and the continuation bytes seen
            continue;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

namespace biff {

std::uint32_t SharedStrings::add(const std::u16string& text) {
    if (text.size() > kMaxCellChars)
        throw std::length_error("a shared string holds at most 32767 characters");
    ++references_;
    auto [it, inserted] = index_.try_emplace(text, static_cast<std::uint32_t>(order_.size()));
    if (inserted) order_.push_back(&it->first);
    return it->second;
}

std::string SharedStrings::records(std::size_t streamPos) const {
    std::string out;
    std::string body;
    add32(body, references_);
    add32(body, unique());
    std::uint16_t type = kSst;
    auto flush = [&] {
        addRecord(out, type, body);
        body.clear();
        type = kContinue;
    };

    // EXTSST: the position of every dsst-th string, at most 128 buckets.
    const std::size_t perBucket = std::max<std::size_t>(8, order_.size() / 128 + 1);
    std::string ext;
    add16(ext, static_cast<std::uint16_t>(perBucket));

    for (std::size_t k = 0; k < order_.size(); ++k) {
        const std::u16string& s = *order_[k];
        const bool wide = std::any_of(s.begin(), s.end(), [](char16_t c) { return c > 0xFF; });
        const std::size_t unit = wide ? 2 : 1;
        // The string's header and its first character (pair) never part.
        const std::size_t firstChars = s.empty() ? 0 : (wide && isHighSurrogate(s[0]) ? 2 : 1);
        if (kMaxRecordBody - body.size() < 3 + firstChars * unit) flush();
        if (k % perBucket == 0) {
            const std::size_t inRecord = 4 + body.size();
            add32(ext, static_cast<std::uint32_t>(streamPos + out.size() + inRecord));
            add16(ext, static_cast<std::uint16_t>(inRecord));
            add16(ext, 0);
        }
        add16(body, static_cast<std::uint16_t>(s.size()));
        add8(body, wide ? 1 : 0);
        std::size_t i = 0;
        for (;;) {
            std::size_t take = std::min((kMaxRecordBody - body.size()) / unit, s.size() - i);
            // A surrogate pair is one character: it is never split across records.
            if (wide && take > 0 && i + take < s.size() && isHighSurrogate(s[i + take - 1])) --take;
            for (std::size_t c = i; c < i + take; ++c) {
                if (wide)
                    add16(body, s[c]);
                else
                    add8(body, static_cast<std::uint8_t>(s[c]));
            }
            i += take;
            if (i == s.size()) break;
            // The characters go on in a CONTINUE record that starts with the string's option byte.
            flush();
            add8(body, wide ? 1 : 0);
        }
    }
    if (type == kSst || !body.empty()) flush();
    addRecord(out, kExtSst, ext);
    return out;
}

}  // namespace biff
}  // namespace quarvel::io
