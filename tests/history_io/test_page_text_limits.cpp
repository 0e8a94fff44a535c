// Pages no results site sends but a broken or hostile server may: deeply nested unclosed tags
// and pages made of little but tags. They must give their text (or none) without exhausting
// memory or the stack.
#include <gtest/gtest.h>

#include <string>

#include "history_io/draw_locator.h"
#include "history_io/page_text.h"
#include "support/page_reader.h"

namespace quarvel::io {
namespace {

std::string repeated(const std::string& s, int n) {
    std::string out;
    out.reserve(s.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

const std::string kRow = "2013001\t13-01-01\t周二\t01\t02\t03\t04\t05\t06\t07\t08";
const std::string kRowHtml =
    "<table><tr><td>2013001</td><td>13-01-01</td><td>周二</td><td>01</td><td>02</td><td>03</"
    "td><td>04</td>"
    "<td>05</td><td>06</td><td>07</td><td>08</td></tr></table>";

TEST(PageTextLimits, NestingThatBrowsersShowStillGivesItsText) {
    QUARVEL_NEEDS_PAGE_READER();
    // Twenty thousand unclosed elements: the parser once kept a copy of the open elements for
    // each of them (gigabytes); the text before the deep part is read, the deep part dropped.
    const std::string html = "<body>" + kRowHtml + repeated("<span>", 20000) + "deep";
    const std::string text = bodyInnerText(html);
    EXPECT_EQ(text, kRow);
    EXPECT_EQ(PageDraws(text).find(2013, 1).status, PageDraws::Status::Found);

    // A few hundred levels, as far as a browser nests, are read in full.
    EXPECT_EQ(
        bodyInnerText("<body>" + repeated("<span>", 500) + "x" + repeated("</span>", 500) + "y"),
        "xy");
}

TEST(PageTextLimits, NestingDeeperThanTheStackAllowsGivesNoDeepText) {
    QUARVEL_NEEDS_PAGE_READER();
    // A hundred thousand levels overflowed the walk over the tree.
    const std::string html =
        "<body>a" + repeated("<i>", 1000) + repeated("<span>", 98000) + kRowHtml;
    EXPECT_EQ(bodyInnerText(html), "a");
}

TEST(PageTextLimits, APageOfMoreTagsThanAnyChartGivesNoText) {
    QUARVEL_NEEDS_PAGE_READER();
    const std::string over = "<body>" + kRowHtml + repeated("<br>", 100000);
    EXPECT_EQ(bodyInnerText(over), "");
    // Within the limit the same page is read; '<' not followed by a letter is not a tag.
    const std::string under =
        "<body>" + kRowHtml + repeated("<br>", 1000) + repeated("a < b ", 200000);
    EXPECT_EQ(bodyInnerText(under).rfind(kRow + "\n", 0), 0u);
}

}  // namespace
}  // namespace quarvel::io
