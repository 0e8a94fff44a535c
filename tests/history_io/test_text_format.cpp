#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

#include "failing_reader.h"
#include "history_io/atomic_file.h"
#include "history_io/history_file.h"
#include "history_io/sample_history.h"
#include "history_io/text_format.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
using io::ParsedLine;

namespace {

using Numbers = std::array<int, 8>;
const Numbers kExample = {5, 12, 18, 21, 25, 28, 30, 9};

struct LineCase {
    const char* name;
    std::string line;
    std::int64_t previous;
    std::int64_t issue;
    bool hasIssueField;
    int count;
    Numbers numbers;  // checked only for the first `count` slots
    bool draw;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, GiveIssueAndNumbers) {
    const LineCase& c = GetParam();
    const ParsedLine p = io::parseHistoryLine(c.line, c.previous);
    EXPECT_EQ(p.issue, c.issue);
    EXPECT_EQ(p.hasIssueField, c.hasIssueField);
    EXPECT_EQ(p.count, c.count);
    for (int i = 0; i < c.count; ++i) EXPECT_EQ(p.numbers[i], c.numbers[i]) << "slot " << i + 1;
    for (int i = c.count; i < 8; ++i) EXPECT_EQ(p.numbers[i], 0) << "unfilled slot " << i + 1;
    EXPECT_EQ(p.yieldsDraw(), c.draw);
}

const Numbers k1to8 = {1, 2, 3, 4, 5, 6, 7, 8};

INSTANTIATE_TEST_SUITE_P(
    Import, LineRules,
    ::testing::Values(
        LineCase{"Blanks", "2013001 05 12 18 21 25 28 30 09", 7, 2013001, true, 8, kExample, true},
        LineCase{"TrailingBlank", "2013001 05 12 18 21 25 28 30 09 ", 7, 2013001, true, 8, kExample,
                 true},
        LineCase{"SurroundingBlanksAndTabs", " \t2013001\t05\t12\t18\t21\t25\t28\t30\t09 \t", 7,
                 2013001, true, 8, kExample, true},
        LineCase{"Commas", "2013001,05,12,18,21,25,28,30,09", 7, 2013001, true, 8, kExample, true},
        LineCase{"SixteenDigits", "2013001 0512182125283009", 7, 2013001, true, 8, kExample, true},
        LineCase{"EighthCharacterSkippedWhateverItIs", "2013001x05 12 18 21 25 28 30 09", 7,
                 2013001, true, 8, kExample, true},
        LineCase{"EighthCharacterDigitIsNotRead", "20130019 05 12 18 21 25 28 30 09", 7, 2013001,
                 true, 8, kExample, true},
        LineCase{"NoIssueTakesPreviousPlusOne", "05 12 18 21 25 28 30 09", 2013001, 2013002, false,
                 8, kExample, true},
        LineCase{"LoneDigitSkipped",
                 "2013001 5 12 18 21 25 28 30 09 11",
                 7,
                 2013001,
                 true,
                 8,
                 {12, 18, 21, 25, 28, 30, 9, 11},
                 true},
        LineCase{"TenNumbersFirstEight", "2013001 01 02 03 04 05 06 07 08 09 10", 7, 2013001, true,
                 8, k1to8, true},
        LineCase{"RunCutIntoPairsFromTheLeft",
                 "2013001 0512 182 125 28 30 09",
                 7,
                 2013001,
                 true,
                 7,
                 {5, 12, 18, 12, 28, 30, 9},
                 false},
        LineCase{"NumbersOutOfRangeGiveNoDraw",
                 "2013001 00 99 45 31 01 02 03 04",
                 7,
                 2013001,
                 true,
                 8,
                 {0, 99, 45, 31, 1, 2, 3, 4},
                 false},
        LineCase{"SevenZerosNoDraw", "0000000 01 02 03 04 05 06 07 08", 7, 0, true, 8, k1to8,
                 false},
        LineCase{"CarriedIssueBelowOneNoDraw", "01 02 03 04 05 06 07 08", -1, 0, false, 8, k1to8,
                 false},
        LineCase{"ShortLineGivesNoDraw", "2013003 01 02 03", 7, 2013003, true, 3, {1, 2, 3}, false},
        LineCase{"SixDigitIssueIsAMistypedIssue",
                 "201301 05 12 18 21 25 28 30 09",
                 2013000,
                 2013001,
                 false,
                 8,
                 {20, 13, 1, 5, 12, 18, 21, 25},
                 false},
        LineCase{"HeadingLine", "期号 落1码 落2码", 2013001, 2013002, false, 0, {}, false},
        LineCase{"BlankLineStillAdvances", "   ", 2013001, 2013002, false, 0, {}, false},
        LineCase{"IssueCarriedPastSevenDigitsNoDraw", "01 02 03 04 05 06 07 08", 9999999, 10000000,
                 false, 8, k1to8, false},
        LineCase{"IssueWhoseSuccessorOverflowsNoDraw", "01 02 03 04 05 06 07 08", 2147483646,
                 2147483647, false, 8, k1to8, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineParser, CarriesTheIssueOverSkippedLines) {
    io::LineParser parser(2013000);
    EXPECT_EQ(parser.parse("2013010 01 02 03 04 05 06 07 08").issue, 2013010);
    EXPECT_FALSE(parser.parse("short 01 02").yieldsDraw());  // 2013011, skipped
    EXPECT_TRUE(parser.parse("").blank);                     // 2013012, skipped
    EXPECT_EQ(parser.parse("01 02 03 04 05 06 07 08").issue, 2013013);
    // A short line never leaves numbers behind for the next one.
    const auto p = parser.parse("2013020 09 10");
    EXPECT_EQ(p.numbers, (Numbers{9, 10, 0, 0, 0, 0, 0, 0}));
}

TEST(HistoryLine, ExportFormatReadsBackUnchanged) {
    EXPECT_EQ(io::historyLine(2013001, kExample), "2013001 05 12 18 21 25 28 30 09 ");
    EXPECT_EQ(io::historyLine(2013001, kExample).size(), 32u);
    // Values outside the fields keep the printf forms (only writable lines are ever exported).
    EXPECT_EQ(io::historyLine(-5, {100, -1, 0, 1, 2, 3, 4, 5}),
              "-000005 100 -1 00 01 02 03 04 05 ");
    EXPECT_EQ(io::historyLine(12345678, kExample), "12345678 05 12 18 21 25 28 30 09 ");
    // Issues of fewer than seven digits are written so that they still fill the issue field.
    for (std::int64_t issue : {1LL, 12LL, 999999LL, 2013001LL, 9999999LL}) {
        const Numbers n = {1, 30, 0, 99, 7, 10, 11, 29};
        ASSERT_TRUE(io::writableAsHistoryLine(issue, n));
        const auto p = io::parseHistoryLine(io::historyLine(issue, n), 5000000);
        EXPECT_TRUE(p.hasIssueField) << issue;
        EXPECT_EQ(p.issue, issue);
        EXPECT_EQ(p.numbers, n);
    }
    EXPECT_FALSE(io::writableAsHistoryLine(10000000, kExample));
    EXPECT_FALSE(io::writableAsHistoryLine(0, kExample));
    EXPECT_FALSE(io::writableAsHistoryLine(2013001, {100, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_FALSE(io::writableAsHistoryLine(2013001, {-1, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(HistoryText, CountsDrawsSkippedAndBlankLinesAcrossLineEnds) {
    std::istringstream in(
        "\xEF\xBB\xBF"
        "2013001 01 02 03 04 05 06 07 08\r\n"
        "\r\n"
        "2013003 01\n"
        "09 10 11 12 13 14 15 16\n"
        "2013010 01 02 03 04 05 06 07 08");  // no line end at the very end
    const io::HistoryText t = io::readHistoryText(in, 1, 100);
    ASSERT_EQ(t.draws.size(), 3u);
    EXPECT_EQ(t.draws[0].issue, 2013001);  // the byte order mark does not hide the issue
    EXPECT_EQ(t.draws[1].issue, 2013004);
    EXPECT_EQ(t.draws[1].numbers, (Numbers{9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(t.draws[2].issue, 2013010);
    EXPECT_EQ(t.skippedLines, 1u);
    EXPECT_EQ(t.blankLines, 1u);
}

// The import reads the file's bytes in memory; the stream reader reads line by line. Both give
// the same draws and counts, whatever the line ends, blank lines, a byte order mark or a last
// line without its end.
TEST(HistoryText, TextInMemoryReadsAsTheStream) {
    const std::string draw = "2013001 01 02 03 04 05 06 07 08";
    const std::vector<std::string> texts = {
        "",
        "\r\n",
        "\xEF\xBB\xBF" + draw + "\r\n",
        draw + "\r\r\n\n" + draw,
        draw + "\n\r" + "junk\r\n" + "09 10 11 12 13 14 15 16",
        "\r" + draw + "\r",
        "x\ny\nz\nw\nv\nu\n" + draw + "\r\n\r\n",
    };
    for (const auto& text : texts) {
        std::istringstream in(text);
        const io::HistoryText byStream = io::readHistoryText(in, 2012100, 2);
        const io::HistoryText inMemory = io::readHistoryText(std::string_view(text), 2012100, 2);
        EXPECT_EQ(inMemory.draws, byStream.draws) << text;
        EXPECT_EQ(inMemory.drawLines, byStream.drawLines) << text;
        EXPECT_EQ(inMemory.skippedLines, byStream.skippedLines) << text;
        EXPECT_EQ(inMemory.firstSkippedLines, byStream.firstSkippedLines) << text;
        EXPECT_EQ(inMemory.blankLines, byStream.blankLines) << text;
    }
}

// The same four lines with every kind of line end: each gives the same draws.
class LineEnds : public ::testing::TestWithParam<std::pair<const char*, std::string>> {};

TEST_P(LineEnds, EndALineAtCrLfLfAndLoneCr) {
    const std::string& end = GetParam().second;
    std::istringstream in("2013001 01 02 03 04 05 06 07 08" + end + "09 10 11 12 13 14 15 16" +
                          end + end + "2013005 17 18 19 20 21 22 23 24" + end);
    const io::HistoryText t = io::readHistoryText(in, 1, 100);
    ASSERT_EQ(t.draws.size(), 3u);
    EXPECT_EQ(t.draws[1].issue, 2013002);
    EXPECT_EQ(t.draws[1].numbers, (Numbers{9, 10, 11, 12, 13, 14, 15, 16}));
    EXPECT_EQ(t.draws[2].issue, 2013005);
    EXPECT_EQ(t.blankLines, 1u);
    EXPECT_EQ(t.skippedLines, 0u);
}

INSTANTIATE_TEST_SUITE_P(HistoryText, LineEnds,
                         ::testing::Values(std::pair{"CrLf", std::string("\r\n")},
                                           std::pair{"Lf", std::string("\n")},
                                           std::pair{"LoneCr", std::string("\r")}),
                         [](const auto& info) { return std::string(info.param.first); });

TEST(HistoryText, AStrayCrInACrLfFileLosesNoDraw) {
    std::istringstream in(
        "2013001 01 02 03 04 05 06 07 08\r09 10 11 12 13 14 15 16\r\n"
        "17 18 19 20 21 22 23 24\r\r\n25 26 27 28 29 30 01 02\r\n");
    const io::HistoryText t = io::readHistoryText(in, 1, 100);
    ASSERT_EQ(t.draws.size(), 4u);
    EXPECT_EQ(t.draws[3].issue, 2013005);  // the CR CR LF holds one empty line
    EXPECT_EQ(t.blankLines, 1u);
}

// Lines that cannot be a draw: each is skipped, counted with its line number, and still
// advances the carried issue, so that the draw after it keeps its place.
struct ImpossibleLine {
    const char* name;
    std::string line;
};
void PrintTo(const ImpossibleLine& c, std::ostream* os) { *os << c.name; }

class ImpossibleLines : public ::testing::TestWithParam<ImpossibleLine> {};

TEST_P(ImpossibleLines, AreSkippedCountedAndAdvanceTheIssue) {
    std::istringstream in("2013001 01 02 03 04 05 06 07 08\r\n" + GetParam().line +
                          "\r\n09 10 11 12 13 14 15 16\r\n");
    const io::HistoryText t = io::readHistoryText(in, 1, 100);
    ASSERT_EQ(t.draws.size(), 2u);
    EXPECT_EQ(t.draws[1].issue, 2013003);
    EXPECT_EQ(t.skippedLines, 1u);
    EXPECT_EQ(t.firstSkippedLines, std::vector<std::size_t>{2});
}

INSTANTIATE_TEST_SUITE_P(
    HistoryText, ImpossibleLines,
    ::testing::Values(ImpossibleLine{"NumberZero", "2013002 00 02 03 04 05 06 07 08"},
                      ImpossibleLine{"NumberAboveThirty", "2013002 01 02 03 04 05 06 07 31"},
                      ImpossibleLine{"NumbersOfTheReport", "2013002 00 99 45 05 05 31 12 13"},
                      ImpossibleLine{"RepeatedNumber", "2013002 01 02 03 04 05 06 07 01"},
                      ImpossibleLine{"RepeatedWithoutIssue", "01 02 03 04 05 06 07 07"},
                      ImpossibleLine{"IssueWithADash", "2013-002 01 02 03 04 05 06 07 08"},
                      ImpossibleLine{"IssueWithAPoint",
                                     "2016.025 03 04 05 06 07 08"},  // else 20 16 02 03 .. 07
                      ImpossibleLine{"IssueSplitByABlank", "2013 002 01 02 03 04 05 06 07 08"},
                      ImpossibleLine{"IssueADigitShort", "201302 01 02 03 04 05 06 07 08"},
                      ImpossibleLine{"IssueWithALetter", "2O13002 01 02 03 04 05 06 07 08"},
                      ImpossibleLine{"ShortLine", "2013002 01 02 03"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(HistoryText, ListsTheFirstSkippedLinesAndCountsThemAll) {
    std::string text;
    for (int i = 1; i <= 8; ++i)
        text += (i % 2 ? "01 02 03 04 05 06 07 08\n" : "01 01 01 01 01 01 01 01\n");
    std::istringstream in(text);
    const io::HistoryText t = io::readHistoryText(in, 2013000, 100);
    EXPECT_EQ(t.draws.size(), 4u);
    EXPECT_EQ(t.skippedLines, 4u);
    EXPECT_EQ(t.firstSkippedLines, (std::vector<std::size_t>{2, 4, 6, 8}));
    std::istringstream many(text + text);
    EXPECT_EQ(io::readHistoryText(many, 2013000, 100).firstSkippedLines.size(),
              io::kSkippedLinesListed);
}

TEST(HistoryText, KeepsDrawsUpToTheLimitButCountsThemAll) {
    std::string text;
    for (int i = 0; i < 10; ++i) text += "01 02 03 04 05 06 07 08\r\n";
    std::istringstream in(text);
    const io::HistoryText t = io::readHistoryText(in, 2013000, 4);
    EXPECT_EQ(t.draws.size(), 4u);
    EXPECT_EQ(t.drawLines, 10u);
}

TEST(HistoryText, ReadErrorIsNotTakenForTheEnd) {
    const std::string text =
        "2013001 01 02 03 04 05 06 07 08\r\n2013002 01 02 03 04 05 06 07 08\r\n";
    qt::FailingStream in(text, text.size() / 2);
    EXPECT_THROW(io::readHistoryText(in, 1, 100), io::IoError);
}

TEST(HistoryText, UnreadableFilesAreRefusedWhenOpened) {
    qt::TempDir dir;
    std::filesystem::create_directory(dir.path() / "x.txt");
    EXPECT_THROW(io::openFileForReading(dir.path() / "x.txt"), io::IoError);
    EXPECT_THROW(io::openFileForReading(dir.path() / "missing.txt"), io::IoError);
}

TEST(SampleHistory, SixYearsOfValidDrawsThatImportWhole) {
    const auto draws = io::sampleHistory({});
    std::map<int, int> perYear;
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const auto& d = draws[i];
        const int year = d.issue / 1000;
        EXPECT_EQ(d.issue % 1000, ++perYear[year]) << "serials run from 001 without gaps";
        std::set<int> distinct(d.numbers.begin(), d.numbers.end());
        EXPECT_EQ(distinct.size(), 8u) << d.issue;
        EXPECT_GE(*distinct.begin(), 1);
        EXPECT_LE(*distinct.rbegin(), 30);
    }
    ASSERT_EQ(perYear.size(), 6u);
    for (const auto& [year, n] : perYear) {
        EXPECT_GE(n, 145) << year;
        EXPECT_LE(n, 155) << year;
    }

    const std::string text = io::sampleHistoryText({});
    EXPECT_EQ(text, io::sampleHistoryText({}));  // seeded: the shipped file never changes
    EXPECT_NE(text, io::sampleHistoryText({.seed = 7}));
    std::istringstream in(text);
    const auto back = io::readHistoryText(in, 1, 100000);
    EXPECT_EQ(back.draws, draws);
    EXPECT_EQ(back.skippedLines + back.blankLines, 0u);
}

}  // namespace
