// The rendered body text of result pages, and finding draws in it by the fixed offsets.
#include <gtest/gtest.h>

#include "history_io/draw_locator.h"
#include "history_io/page_text.h"
#include "support/page_reader.h"
#include "support/test_support.h"

namespace quarvel::io {
namespace {

using testing::dataFile;
using testing::readFile;

TEST(PageText, TableCellsAreJoinedByTabsAndRowsByLineBreaks) {
    QUARVEL_NEEDS_PAGE_READER();
    const std::string html =
        "<html><body><table>\n"
        "  <tr>\n    <th> 期号 </th>\n    <th>平1</th>\n  </tr>\n"
        "  <tbody><tr><td>\n   2013001  </td><td><span><b>0</b>3</span></td></tr>\n"
        "  <tr><td>2013002</td><td>  <i>11</i> </td></tr></tbody>\n"
        "</table></body></html>";
    EXPECT_EQ(bodyInnerText(html), "期号\t平1\n2013001\t03\n2013002\t11");
}

TEST(PageText, WhitespaceRunsCollapseAndBlocksStandOnTheirOwnLines) {
    QUARVEL_NEEDS_PAGE_READER();
    EXPECT_EQ(bodyInnerText("<body>  a \n\t b   <span> c </span>d  </body>"), "a b c d");
    EXPECT_EQ(bodyInnerText("<body>one<div> two </div>three</body>"), "one\ntwo\nthree");
    EXPECT_EQ(bodyInnerText("<body><div><div>a</div></div><div>b</div></body>"), "a\nb");
    EXPECT_EQ(bodyInnerText("<body><p>a</p><p>b</p>c</body>"), "a\n\nb\n\nc");
    EXPECT_EQ(bodyInnerText("<body>a <br> b<br>c</body>"), "a\nb\nc");
    EXPECT_EQ(bodyInnerText("<body><pre>  x\n   y</pre></body>"), "  x\n   y");
    EXPECT_EQ(bodyInnerText("<body><ul><li>x</li><li>y</li></ul></body>"), "x\ny");
}

TEST(PageText, HiddenContentGivesNoText) {
    QUARVEL_NEEDS_PAGE_READER();
    const std::string html =
        "<html><head><title>标题 2013001</title><style>p{}</style></head><body>"
        "<script>var x = '2013001';</script>a<style>b{}</style>"
        "<noscript>no script</noscript><template><p>t</p></template>"
        "<div hidden>gone</div><textarea>typed</textarea>b</body></html>";
    EXPECT_EQ(bodyInnerText(html), "ab");
}

TEST(PageText, CharacterReferencesAreDecoded) {
    QUARVEL_NEEDS_PAGE_READER();
    EXPECT_EQ(bodyInnerText("<body>a&amp;b &lt;c&gt; &#x4E00;&#20108; &quot;</body>"),
              "a&b <c> 一二 \"");
    // A no-break space is a character of its own, not collapsible whitespace.
    EXPECT_EQ(bodyInnerText("<body>a&nbsp;&nbsp;b</body>"), "a\u00A0\u00A0b");
}

TEST(PageText, FixturePageKeepsTheDrawRowsIntact) {
    QUARVEL_NEEDS_PAGE_READER();
    const std::string text = bodyInnerText(readFile(dataFile("pages/2014.html")));
    EXPECT_EQ(text.rfind("首页 > 开奖 > 综合分布\n2014年\u00A0开奖号码综合分布图\n\n", 0), 0u)
        << text;
    EXPECT_NE(text.find("期号\t日期\t星期\t平1\t平2\t平3\t平4\t平5\t平6\t平7\t特码\n"
                        "2014001\t14-01-03\t周五\t12\t16\t20\t24\t28\t02\t06\t10\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("var span"), std::string::npos);
    EXPECT_EQ(text.find("请启用脚本"), std::string::npos);
}

// A row as the chart page renders it: key, date, weekday, then the eight numbers.
std::string row(int year, int serial, const std::array<int, 8>& n,
                const std::string& weekday = "周日") {
    char buf[128];
    std::snprintf(buf, sizeof buf, "%s\t13-05-26\t%s", issueKey(year, serial).c_str(),
                  weekday.c_str());
    std::string s = buf;
    for (int x : n) {
        std::snprintf(buf, sizeof buf, "\t%02d", x);
        s += buf;
    }
    return s + "\n";
}

const std::array<int, 8> kDraw{3, 11, 15, 22, 27, 29, 30, 8};

TEST(DrawLocator, OffsetsCountCharactersNotBytes) {
    // The weekday between key and numbers is two Chinese characters (six bytes in UTF-8).
    const PageDraws page("开奖号码 第一页\n" + row(2013, 20, kDraw));
    const auto found = page.find(2013, 20);
    ASSERT_EQ(found.status, PageDraws::Status::Found);
    EXPECT_EQ(found.numbers, kDraw);
    EXPECT_EQ(issueKey(2013, 7), "2013007");
}

TEST(DrawLocator, DrawsWithoutNumbersAreAbsent) {
    const PageDraws page(row(2013, 1, kDraw) + "2013002\t--\t--\t—\t—\t—\t—\t—\t—\t—\t—\n");
    EXPECT_EQ(page.find(2013, 2).status, PageDraws::Status::Absent);
    EXPECT_EQ(page.find(2013, 3).status, PageDraws::Status::Absent);
    EXPECT_EQ(page.find(2014, 1).status, PageDraws::Status::Absent);
    int rejected = -1;
    const auto draws = page.drawsFrom(2013, 1, &rejected);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].serial, 1);
    EXPECT_EQ(rejected, 0);
}

TEST(DrawLocator, AFalseEarlierOccurrenceDoesNotHideTheRow) {
    // The span in the heading holds the key of serial 1, and a digit stands 20 characters on.
    const std::string heading = "范围 2013001_2013365 共 150 期 2013-05-26 12:30:45 更新\n";
    // And a longer number that merely contains the key.
    const std::string counter = "访问 12013001000000000000000000000000000000000000\n";
    const PageDraws page(heading + counter + row(2013, 1, kDraw));
    const auto found = page.find(2013, 1);
    ASSERT_EQ(found.status, PageDraws::Status::Found);
    EXPECT_EQ(found.numbers, kDraw);
}

TEST(DrawLocator, UnsoundNumbersAreRejectedNotStored) {
    const PageDraws page(row(2013, 1, {3, 11, 15, 22, 27, 29, 31, 8}) +  // 31 is out of range
                         row(2013, 2, {0, 11, 15, 22, 27, 29, 30, 8}) +  // 00
                         row(2013, 3, {3, 3, 15, 22, 27, 29, 30, 8}) +   // repeated
                         "2013004\t13-05-26\t周日\t03\t11\t15\t22\t27\t29\t30\n" +  // only seven
                         row(2013, 5, kDraw));
    for (int s = 1; s <= 4; ++s)
        EXPECT_EQ(page.find(2013, s).status, PageDraws::Status::Rejected) << s;
    int rejected = 0;
    const auto draws = page.drawsFrom(2013, 1, &rejected);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].serial, 5);
    EXPECT_EQ(rejected, 4);
}

TEST(DrawLocator, ScanStartsAtTheGivenSerialAndStopsAt365) {
    std::string text;
    for (int s : {149, 150, 151, 365, 366}) text += row(2013, s, kDraw);
    const PageDraws page(text);
    std::vector<int> serials;
    for (const auto& d : page.drawsFrom(2013, 150)) serials.push_back(d.serial);
    EXPECT_EQ(serials, (std::vector<int>{150, 151, 365}));
}

TEST(DrawLocator, BrokenUtf8CountsOneCharacterPerBadByte) {
    const std::u32string d = decodeUtf8(
        "a\xE4\xB8\x80"
        "b\xFF\xE4\xB8"
        "c\xC0\xAF");
    EXPECT_EQ(d, std::u32string(U"a\u4E00b\uFFFD\uFFFD\uFFFDc\uFFFD\uFFFD"));
    // A bad byte between the key and the numbers is one character, like a Chinese one.
    std::string line = row(2013, 9, kDraw);
    line.replace(line.find("周"), 3, "\xFF");
    const PageDraws page(line);
    EXPECT_EQ(page.find(2013, 9).status, PageDraws::Status::Found);
}

}  // namespace
}  // namespace quarvel::io
