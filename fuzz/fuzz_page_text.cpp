// Any bytes a web server may send must give a page text and draws without a crash. Two kinds of
// input are run, chosen by the first byte:
// - raw bytes as HTML: the text must be valid UTF-8 with innerText's whitespace rules, and every
//   draw found must stand in that text at its offsets (two digits each, eight distinct 01..30);
// - a results chart built from the bytes (rows of issue, date, weekday and eight numbers, with
//   the markup varied the way pages vary it, hidden rows, scripts and Chinese text around it):
//   the draws found must be exactly the visible rows.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_bytes.h"
#include "history_io/draw_locator.h"
#include "history_io/page_text.h"

namespace {

namespace io = quarvel::io;

[[noreturn]] void fail(const char* what, const std::string& text) {
    std::fprintf(stderr, "page text invariant broken: %s\ntext: [%s]\n", what, text.c_str());
    std::abort();
}

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// Every draw found must be readable at its key's offsets in the text.
void checkDraws(const std::u32string& text, int year, const std::vector<io::LocatedDraw>& draws,
                const std::string& utf8) {
    int previous = 0;
    for (const auto& d : draws) {
        if (d.serial <= previous || d.serial > io::kLastSerial)
            fail("serials not ascending within 1..365", utf8);
        previous = d.serial;
        const std::string key8 = io::issueKey(year, d.serial);
        const std::u32string key(key8.begin(), key8.end());
        bool placed = false;
        for (std::size_t p = text.find(key); p != std::u32string::npos && !placed;
             p = text.find(key, p + 1)) {
            bool all = true;
            for (int j = 0; j < 8 && all; ++j) {
                const std::size_t at =
                    p + io::kFirstNumberOffset + static_cast<std::size_t>(io::kNumberPitch * j);
                all = at + 1 < text.size() && isDigit(text[at]) && isDigit(text[at + 1]) &&
                      static_cast<int>((text[at] - U'0') * 10 + (text[at + 1] - U'0')) ==
                          d.numbers[static_cast<std::size_t>(j)];
            }
            placed = all;
        }
        if (!placed) fail("a located draw does not stand at its offsets", utf8);
        bool seen[31] = {};
        for (int n : d.numbers) {
            if (n < 1 || n > 30 || seen[n])
                fail("a located draw is not eight distinct numbers 01..30", utf8);
            seen[n] = true;
        }
    }
}

bool hasTagOpening(std::string_view html, std::string_view name) {
    std::string lower(html);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower.find("<" + std::string(name)) != std::string::npos;
}

void runRawHtml(std::string_view html) {
    const std::string text = io::bodyInnerText(html);
    const std::u32string cps = io::decodeUtf8(text);
    // Valid UTF-8 out: a replacement character only where the text really holds one.
    std::size_t written = 0;
    for (std::size_t p = text.find("\xEF\xBF\xBD"); p != std::string::npos;
         p = text.find("\xEF\xBF\xBD", p + 3))
        ++written;
    if (static_cast<std::size_t>(std::count(cps.begin(), cps.end(), U'\uFFFD')) != written)
        fail("text is not UTF-8", text);
    if (text.find('\r') != std::string::npos) fail("a carriage return in the text", text);
    const bool preserving = hasTagOpening(html, "pre") || hasTagOpening(html, "listing") ||
                            hasTagOpening(html, "plaintext") || hasTagOpening(html, "xmp");
    if (!preserving) {
        for (std::string_view bad : {"  ", " \n", "\n ", " \t", "\t "})
            if (text.find(bad) != std::string::npos) fail("whitespace not collapsed", text);
        if (!text.empty() && (text.front() == ' ' || text.back() == ' '))
            fail("blank at the start or end", text);
    }

    // Years of every seven-digit run in the text (at most a few), and 2013.
    std::set<int> years = {2013};
    for (std::size_t i = 0; i < cps.size() && years.size() < 4;) {
        if (!isDigit(cps[i])) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < cps.size() && isDigit(cps[end])) ++end;
        if (end - i == 7) {
            int y = 0;
            for (std::size_t k = i; k < i + 4; ++k) y = y * 10 + static_cast<int>(cps[k] - U'0');
            years.insert(y);
        }
        i = end;
    }
    const io::PageDraws page(text);
    for (int y : years) checkDraws(cps, y, page.drawsFrom(y, 1), text);
}

// A cell's content with the markup varied: blanks and line breaks around it, an inline element
// around it, a comment inside, digits written as character references.
std::string cell(std::string_view content, unsigned style) {
    std::string inner;
    if (style & 8) {
        for (char c : content)
            inner += (c >= '0' && c <= '9') ? "&#" + std::to_string(static_cast<int>(c)) + ";"
                                            : std::string(1, c);
    } else {
        inner = content;
    }
    if (style & 16) inner = "<!-- " + std::string(content) + " -->" + inner;
    switch (style & 3) {
        case 1:
            inner = "<span>" + inner + "</span>";
            break;
        case 2:
            inner = "<b class=\"ball\">" + inner + "</b>";
            break;
        case 3:
            inner = "<span><em>" + inner + "</em></span>";
            break;
        default:
            break;
    }
    const char* pad = (style & 4) ? "\n      " : (style & 32) ? " " : "";
    return std::string("<td>") + pad + inner + pad + "</td>" + ((style & 64) ? "\n    " : "");
}

void runChart(Bytes& in) {
    static const char* kWeekdays[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日", "Mo"};
    static const char* kNoise[] = {"<p>数据仅供参考，以官方公布为准。</p>",
                                   "<div>开奖&nbsp;中心</div>",
                                   "<script>var k = \"\";</script>",
                                   "<h2>综合 分布</h2>",
                                   "<br>",
                                   "<style>td{}</style>"};
    const int year = 2000 + static_cast<int>(in.next() % 30);
    std::string html = "<!DOCTYPE html><html><head><title>开奖</title></head><body>";
    if (in.next() & 1) html += "<div class=\"nav\"><a href=\"/\">首页</a> &gt; 综合分布</div>\n";
    html += "<table class=\"chart\">";
    if (in.next() & 1)
        html +=
            "<thead><tr><th>期号</th><th>日期</th><th>星期</th><th>平1</th><th>特码</th></tr></"
            "thead>";
    html += "<tbody>\n";

    std::map<int, std::array<int, 8>> expected;  // serial -> numbers of its first visible row
    int rows = 0;
    while (in.more() && rows < 60) {
        ++rows;
        const unsigned flags = in.next();
        const int serial = 1 + static_cast<int>((in.next() << 8 | in.next()) % io::kLastSerial);
        std::array<int, 30> pool{};
        for (int i = 0; i < 30; ++i) pool[static_cast<std::size_t>(i)] = i + 1;
        std::array<int, 8> numbers{};
        for (int j = 0; j < 8; ++j) {
            const int pick = j + static_cast<int>(in.next() % static_cast<unsigned>(30 - j));
            std::swap(pool[static_cast<std::size_t>(j)], pool[static_cast<std::size_t>(pick)]);
            numbers[static_cast<std::size_t>(j)] = pool[static_cast<std::size_t>(j)];
        }
        const unsigned style = in.next();
        const bool hidden = (flags & 0x0F) == 0x0F;
        if (flags & 0x10) html += kNoise[(flags >> 5) % 6];
        char date[16];
        std::snprintf(date, sizeof date, "%02d-%02d-%02d", year % 100, 1 + serial % 12,
                      1 + serial % 28);
        html += hidden ? "<tr hidden>" : "<tr>";
        html += cell(io::issueKey(year, serial), style);
        html += cell(date, style >> 1);
        html += cell(kWeekdays[flags % 8], style >> 2);
        for (int j = 0; j < 8; ++j) {
            char two[4];
            std::snprintf(two, sizeof two, "%02d", numbers[static_cast<std::size_t>(j)]);
            html += cell(two, (style + static_cast<unsigned>(j)) & 0x7F);
        }
        html += "</tr>\n";
        if (!hidden) expected.emplace(serial, numbers);
    }
    html += "</tbody></table>";
    if (rows % 2) html += "<p>共 " + std::to_string(rows) + " 期</p>";
    html += "</body></html>";

    const std::string text = io::bodyInnerText(html);
    const io::PageDraws page(text);
    const std::vector<io::LocatedDraw> found = page.drawsFrom(year, 1);
    checkDraws(io::decodeUtf8(text), year, found, text);
    if (found.size() != expected.size())
        fail("the chart's rows and the draws found differ in number", text);
    std::size_t k = 0;
    for (const auto& [serial, numbers] : expected) {
        if (found[k].serial != serial || found[k].numbers != numbers)
            fail("a chart row was read wrongly", text);
        ++k;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 0 && data[0] == 0xC3) {
        Bytes in(data + 1, size - 1);
        runChart(in);
    } else {
        runRawHtml(std::string_view(reinterpret_cast<const char*>(data), size));
    }
    return 0;
}
