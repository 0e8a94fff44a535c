// The files users bring, written here in every layout, order and encoding: each must read as the
// same draws, and say what it was read as.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "history_io/layout_reader.h"
#include "history_io/xls_writer.h"
#include "support/test_support.h"

namespace io = quarvel::io;
namespace qt = quarvel::testing;

namespace {

std::vector<io::HistoryDraw> baseDraws() {
    std::vector<io::HistoryDraw> out;
    for (const auto& d : qt::randomDraws(12, 11, 2007145))  // 2007145..2007150, 2008001..2008006
        out.push_back({d.issue, d.numbers});
    return out;
}

std::string two(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }
std::string numbers(const io::HistoryDraw& d, const std::string& sep, int upTo = 8) {
    std::string s;
    for (int i = 0; i < upTo; ++i) s += (i ? sep : "") + two(d.numbers[i]);
    return s;
}
std::string dateOf(const io::HistoryDraw& d) {
    return std::to_string(d.issue / 1000) + "-03-" + two(d.issue % 1000 % 28 + 1);
}
std::string shortIssue(const io::HistoryDraw& d) {
    const std::string s = std::to_string(d.issue);
    return s.substr(2);
}

std::string utf16(const std::string& ascii, bool bigEndian) {
    std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char c : ascii) {
        if (bigEndian) out += '\0';
        out += c;
        if (!bigEndian) out += '\0';
    }
    return out;
}

struct Layout {
    const char* name;
    std::string header;  // with its line end, or empty
    std::function<std::string(const io::HistoryDraw&)> line;
    std::string says;  // what the description must hold (before the order and the encoding)
    std::function<std::string(const std::string&)> encode = [](const std::string& s) { return s; };
    std::string between = "\r\n", footer = "\r\n";
};

std::string render(const Layout& l, bool newestFirst) {
    auto draws = baseDraws();
    if (newestFirst) std::reverse(draws.begin(), draws.end());
    std::string text = l.header;
    for (std::size_t i = 0; i < draws.size(); ++i) text += (i ? l.between : "") + l.line(draws[i]);
    return l.encode(text + l.footer);
}

const std::string kGbkHeader =
    "\xC6\xDA\xBA\xC5\t\xC8\xD5\xC6\xDA\t\xD0\xC7\xC6\xDA\t\xBA\xC5\xC2\xEB\r\n";
const std::string kGbkWednesday = "\xD0\xC7\xC6\xDA\xC8\xFD";

std::vector<Layout> layouts() {
    return {
        {"public CSV",
         "draw_id,draw_date,draw_day,red_1,red_2,red_3,red_4,red_5,red_6,red_7,special_1\r\n",
         [](const io::HistoryDraw& d) {
             return shortIssue(d) + "," + dateOf(d) + ",Wed," + numbers(d, ",");
         },
         "CSV（有表头、日期列、星期列、五位期号、特码单列"},
        {"public CSV in UTF-16 (Notepad's Unicode)",
         "draw_id,draw_date,red_1,red_2,red_3,red_4,red_5,red_6,red_7,special_1\r\n",
         [](const io::HistoryDraw& d) {
             return shortIssue(d) + "," + dateOf(d) + "," + numbers(d, ",");
         },
         "CSV（有表头、日期列、五位期号、特码单列",
         [](const std::string& s) { return utf16(s, false); }},
        {"text list with a date, UTF-16 big endian", "",
         [](const io::HistoryDraw& d) {
             return std::to_string(d.issue) + " " + dateOf(d) + " " + numbers(d, " ");
         },
         "文本（日期列", [](const std::string& s) { return utf16(s, true); }},
        {"TSV with a GBK header and weekday", kGbkHeader,
         [](const io::HistoryDraw& d) {
             return std::to_string(d.issue) + "\t" + dateOf(d) + "\t" + kGbkWednesday + "\t" +
                    numbers(d, " ");
         },
         "TSV（有表头、日期列、星期列"},
        {"semicolons with a UTF-8 mark", "",
         [](const io::HistoryDraw& d) { return std::to_string(d.issue) + ";" + numbers(d, ";"); },
         "", [](const std::string& s) { return "\xEF\xBB\xBF" + s; }},
        {"full-width blanks", "",
         [](const io::HistoryDraw& d) {
             return std::to_string(d.issue) + "\xE3\x80\x80" + numbers(d, "\xE3\x80\x80");
         },
         ""},
        {"seven and the special number apart", "",
         [](const io::HistoryDraw& d) {
             return std::to_string(d.issue) + " " + numbers(d, " ", 7) + " + " + two(d.numbers[7]);
         },
         ""},
        {"a weekday as a number, no header", "",
         [](const io::HistoryDraw& d) {
             return std::to_string(d.issue) + "," + dateOf(d) + "," +
                    std::to_string(d.issue % 7 + 1) + "," + numbers(d, ",");
         },
         "CSV（日期列、星期列"},
        {"JSON objects", "[",
         [](const io::HistoryDraw& d) {
             std::string red;
             for (int i = 0; i < 7; ++i) red += (i ? ",\"" : "\"") + two(d.numbers[i]) + "\"";
             return "{\"issue\": \"" + std::to_string(d.issue) + "\", \"date\": \"" + dateOf(d) +
                    "\", \"red\": [" + red + "], \"special\": \"" + two(d.numbers[7]) + "\"}";
         },
         "JSON（日期列、特码单列", [](const std::string& s) { return s; }, ",\r\n", "]"},
    };
}

TEST(LayoutReader, EveryLayoutOrderAndEncodingReadsAsTheSameDraws) {
    const auto expected = baseDraws();
    for (const auto& l : layouts()) {
        for (bool newest : {false, true}) {
            const std::string text = render(l, newest);
            const io::RecognisedHistory r = io::readAnyHistory(text, "any.name", 0, 1000);
            const std::string what = std::string(l.name) + (newest ? ", newest first" : "");
            EXPECT_FALSE(r.notText) << what;
            EXPECT_EQ(r.text.draws, expected) << what << ": " << io::layoutDescription(r);
            EXPECT_EQ(r.text.skippedLines, 0u) << what;
            const std::string said = io::recognitionSentence(r);
            EXPECT_NE(said.find(l.says), std::string::npos) << what << ": " << said;
            EXPECT_EQ(said.find("新的在前") != std::string::npos, newest) << what << ": " << said;
            EXPECT_NE(said.find("，12 期，2007145–2008006"), std::string::npos)
                << what << ": " << said;
        }
    }
}

TEST(LayoutReader, EncodingsAreNamedAndTheProgramsOwnTextKeepsItsRules) {
    const std::string own = "2013001 05 12 18 21 25 28 30 09\r\n 11 12 13 14 15 16 17 18\r\n";
    auto r = io::readAnyHistory(own, "h", 0, 10);
    EXPECT_EQ(r.kind, io::FileKind::OwnText);
    ASSERT_EQ(r.text.draws.size(), 2u);  // the issue-less line takes the previous issue plus one
    EXPECT_EQ(r.text.draws[1].issue, 2013002);
    EXPECT_EQ(io::layoutDescription(r), "本程序的历史号码文本");
    r = io::readAnyHistory(utf16(own, false), "h", 0, 10);
    EXPECT_EQ(io::layoutDescription(r), "本程序的历史号码文本（UTF-16）");
    EXPECT_EQ(r.text.draws.size(), 2u);
    // GBK: full-width blanks (A1 A1) separate, the other characters are words.
    r = io::readAnyHistory(
        "2013001\xA1\xA1"
        "05 12 18 21 25 28 30 09 \xB1\xB8\xD7\xA2\r\n",
        "h", 0, 10);
    EXPECT_EQ(io::layoutDescription(r), "本程序的历史号码文本（GBK）");
    EXPECT_EQ(r.text.draws.size(), 1u);
    // A JSON list under a member, numbers as numbers, the issue last.
    r = io::readAnyHistory(
        R"({"code": 0, "data": [{"red": [5, 12, 18, 21, 25, 28, 30], "blue": 9, "expect": 2013001}]})",
        "h", 0, 10);
    EXPECT_EQ(r.kind, io::FileKind::Json);
    ASSERT_EQ(r.text.draws.size(), 1u);
    EXPECT_EQ(r.text.draws[0], (io::HistoryDraw{2013001, {5, 12, 18, 21, 25, 28, 30, 9}}));
}

TEST(LayoutReader, AWorkbookReadsLikeItsColumns) {
    qt::TempDir dir;
    quarvel::store::TextGrid grid;
    grid.cells.push_back(
        {"期号", "开奖日期", "平1", "平2", "平3", "平4", "平5", "平6", "平7", "特码"});
    auto draws = baseDraws();
    std::reverse(draws.begin(), draws.end());
    for (const auto& d : draws) {
        std::vector<std::string> row = {std::to_string(d.issue), dateOf(d)};
        for (int n : d.numbers) row.push_back(two(n));
        grid.cells.push_back(row);
    }
    const auto file = dir.path() / "开奖结果.xls";
    io::writeXlsFile(file, grid);
    const auto r = io::readAnyHistory(qt::readFile(file), file, 0, 1000);
    EXPECT_EQ(r.text.draws, baseDraws());
    EXPECT_EQ(io::layoutDescription(r), "Excel 表格（.xls）（有表头、日期列、特码单列、新的在前）");
}

TEST(LayoutReader, WhatIsNoListOfDrawsIsRefusedAsSuch) {
    qt::TempDir dir;
    const std::string binary("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    EXPECT_TRUE(io::readAnyHistory(binary, "p.txt", 0, 10).notText);
    const std::string fakeWorkbook = std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + "junk";
    qt::writeFile(dir.path() / "f.xls", fakeWorkbook);
    EXPECT_TRUE(io::readAnyHistory(fakeWorkbook, dir.path() / "f.xls", 0, 10).notText);
    // Words and numbers that are no draws read as no draws (the import then refuses them).
    const auto notes = io::readAnyHistory("日期,金额\r\n2026-01-02,35\r\n", "n.csv", 0, 10);
    EXPECT_TRUE(notes.text.draws.empty());
}

}  // namespace
