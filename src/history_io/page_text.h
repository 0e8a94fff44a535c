#pragma once
// The rendered text of a web page's body, as a browser's innerText gives it: what the online
// update reads the draws from.

#include <string>
#include <string_view>

namespace quarvel::io {

// The text of <body> of an HTML document (UTF-8 in, UTF-8 out) with innerText rules:
// - script, style, head, template, noscript, title, textarea, iframe and elements carrying the
//   `hidden` attribute give no text;
// - runs of whitespace collapse to one space, and whitespace at the start and end of a line,
//   a block or a table cell is dropped (inside pre, listing and plaintext it is kept as is);
// - block elements (div, p, h1..h6, li, table, ...) stand on lines of their own (a p is set
//   off by a blank line), <br> is a line break;
// - the cells of a table row are joined by one tab, the rows of a table by one line break;
// - character references are decoded by the parser.
// A document without a body element (which the parser always makes) would give "".
// Limits no results page comes near: a page of more than 100,000 start tags gives "", and
// content nested more than 1,024 elements deep gives no text.
std::string bodyInnerText(std::string_view html);

// Whether this build has the HTML parser. A Windows build made where the archive did not serve
// gumbo's source has none: it reads no page, and the online update is refused with
// kNoPageReader before any page is asked for.
#ifdef QUARVEL_WITHOUT_GUMBO
inline constexpr bool kPageReaderBuilt = false;
#else
inline constexpr bool kPageReaderBuilt = true;
#endif
inline constexpr const char* kNoPageReader =
    "本程序构建时没有带网页解析库，读不出开奖结果网站的网页，不能在线更新；历史号码未改变，"
    "请从历史号码文件导入。";

}  // namespace quarvel::io
