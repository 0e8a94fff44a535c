// Workbooks are read back with libfreexl (what a spreadsheet program sees) and walked record by
// record (what Excel relies on beyond the cells).
#include <gtest/gtest.h>

#include "history_io/atomic_file.h"
#include "history_io/xls_strings.h"
#include "history_io/xls_writer.h"
#include "store/numbering.h"
#include "support/test_support.h"
#include "xls_probe.h"

namespace quarvel {
namespace {

using store::TextGrid;
using testing::TempDir;

TextGrid gridOf(std::vector<std::vector<std::string>> cells) {
    TextGrid g;
    g.cells = std::move(cells);
    return g;
}

// Writes the grid, reads it back and expects every cell (a short row padded with blanks).
testing::WorkbookLayout expectRoundTrip(const TextGrid& grid, const TempDir& dir) {
    const auto file = dir.path() / "grid.xls";
    io::writeXlsFile(file, grid);
    std::size_t cols = 0;
    for (const auto& row : grid.cells) cols = std::max(cols, row.size());

    const auto sheet = testing::readWithFreexl(file);
    EXPECT_EQ(sheet.sheetNames, std::vector<std::string>{"Sheet1"});
    EXPECT_EQ(sheet.rows, grid.cells.size());
    EXPECT_EQ(sheet.cols, cols);
    std::size_t mismatches = 0;
    for (std::size_t r = 0; r < std::min<std::size_t>(sheet.rows, grid.cells.size()); ++r)
        for (std::size_t c = 0; c < std::min<std::size_t>(sheet.cols, cols); ++c) {
            const std::string want = c < grid.cells[r].size() ? grid.cells[r][c] : "";
            if (sheet.cells[r][c] != want && mismatches++ < 5)
                ADD_FAILURE() << "cell " << r << "," << c << ": " << sheet.cells[r][c].substr(0, 40)
                              << " != " << want.substr(0, 40);
        }
    EXPECT_EQ(mismatches, 0u);

    const auto compound = testing::readCompound(testing::readFile(file));
    const auto layout = testing::checkWorkbookLayout(compound.workbook);
    EXPECT_EQ(layout.dimRows, grid.cells.size());
    EXPECT_EQ(layout.dimCols, cols);
    return layout;
}

std::string repeat(std::string_view unit, std::size_t n) {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += unit;
    return s;
}

TEST(XlsWriter, HistoryListOfHundredDrawsGivesHeadingPlusHundredRows) {
    TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    testing::addDraws(db, testing::randomDraws(100, 7));
    const TextGrid grid = store::historyListGrid(db.reopenSort());
    ASSERT_EQ(grid.rows(), 101);
    ASSERT_EQ(grid.cols(), 9);

    expectRoundTrip(grid, dir);
    const auto sheet = testing::readWithFreexl(dir.path() / "grid.xls");
    EXPECT_EQ(sheet.cells.at(0).at(0), "期号");
}

TEST(XlsWriter, TextOfEveryKindSurvivesExactly) {
    TempDir dir;
    const TextGrid grid = gridOf({
        {"期号", "号码（分组）", "鼠", "", "plain"},
        {"", "", "", "", ""},  // a blank row inside the sheet
        {"café ü ÿ", "𝄞😀 pairs", "tab\tand\r\nbreaks", " lead",
         "0012"},                                                  // Latin-1, astral, controls
        {repeat("号码（分组）鼠", 500), repeat("x", 8000), "鼠"},  // long texts, a short row
        {"", "", "", "", "last"},
    });
    const auto layout = expectRoundTrip(grid, dir);
    EXPECT_EQ(layout.textCells, 13u) << "blank cells are left out";
    EXPECT_EQ(layout.strings.size(), 12u) << "equal texts share one string";
    EXPECT_GT(layout.continueRecords, 0u);
}

// A cell of the largest size spans several CONTINUE records. libfreexl only reads strings that
// end in the record after the one they start in, so these are checked by decoding the records.
TEST(XlsWriter, CellsOfTheLargestSizeAreStoredWhole) {
    TempDir dir;
    const std::vector<std::string> texts{repeat("x", 32767), repeat("号码（分组）鼠", 32767 / 7),
                                         repeat("😀", 16383)};
    io::writeXlsFile(dir.path() / "long.xls", gridOf({texts}));
    const auto compound = testing::readCompound(testing::readFile(dir.path() / "long.xls"));
    const auto layout = testing::checkWorkbookLayout(compound.workbook);
    ASSERT_EQ(layout.strings.size(), 3u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(layout.strings[i], io::utf8ToUtf16(texts[i])) << "string " << i;
    EXPECT_GE(layout.continueRecords, 8u + 3u);
}

TEST(XlsWriter, HeadingOnlyAndBlankGrids) {
    {
        TempDir dir;
        expectRoundTrip(gridOf({{"期号", "最小遗漏", "最大遗漏"}}), dir);
    }
    {
        TempDir dir;  // all blank: the sheet keeps the grid's size and has no strings
        const auto layout = expectRoundTrip(gridOf({{"", ""}, {"", ""}, {"", ""}}), dir);
        EXPECT_EQ(layout.textCells, 0u);
    }
    {
        TempDir dir;  // no rows at all still makes a valid workbook with an empty Sheet1
        expectRoundTrip(TextGrid{}, dir);
    }
}

// Strings that end just before an SST record boundary: the next string's header, its first
// character and a surrogate pair must each land whole in one record.
TEST(XlsWriter, StringsSplitCleanlyAtEveryRecordBoundaryOffset) {
    for (std::size_t left = 0; left < 12; ++left) {
        SCOPED_TRACE("bytes left in the SST record: " + std::to_string(left));
        TempDir dir;
        const std::string filler = repeat("a", 8224 - 8 - 3 - left);
        const TextGrid grid =
            gridOf({{filler, repeat("鼠😀", 1300), "é" + repeat("b", 7000), "鼠", "😀"}});
        const auto layout = expectRoundTrip(grid, dir);
        EXPECT_GE(layout.continueRecords, 2u);
    }
}

TEST(XlsWriter, FullHistoryListSizeNeedsContinueRecordsAndManyFatSectors) {
    TempDir dir;
    TextGrid grid;
    grid.cells.push_back(
        {"期号", "落1码", "落2码", "落3码", "落4码", "落5码", "落6码", "落7码", "特码"});
    for (int r = 1; r < 32767; ++r) {
        std::vector<std::string> row{std::to_string(2013000 + r)};
        for (int c = 1; c < 9; ++c) row.push_back(std::to_string((r * 7 + c * 13) % 30 + 1));
        grid.cells.push_back(std::move(row));
    }
    const auto layout = expectRoundTrip(grid, dir);
    EXPECT_GT(layout.continueRecords, 0u);
    const auto compound = testing::readCompound(testing::readFile(dir.path() / "grid.xls"));
    EXPECT_GT(compound.fatSectors, 1u);
}

TEST(XlsWriter, LargestSheetNeedsDifatSectors) {
    TempDir dir;
    TextGrid grid;
    for (int r = 0; r < io::kXlsMaxRows; ++r) {
        std::vector<std::string> row;
        for (int c = 0; c < 10; ++c)
            row.push_back("r" + std::to_string(r) + "c" + std::to_string(c));
        grid.cells.push_back(std::move(row));
    }
    expectRoundTrip(grid, dir);
    const auto compound = testing::readCompound(testing::readFile(dir.path() / "grid.xls"));
    EXPECT_GT(compound.fatSectors, 109u);
    EXPECT_GT(compound.difatSectors, 0u);
}

TEST(XlsWriter, GridsBeyondTheFormatAreRefusedWithoutTouchingTheFile) {
    TempDir dir;
    const auto file = dir.path() / "lishi.xls";
    io::writeXlsFile(file, gridOf({{"期号"}}));
    const std::string before = testing::readFile(file);

    TextGrid tall;
    tall.cells.assign(io::kXlsMaxRows + 1, {"x"});
    EXPECT_THROW(io::writeXlsFile(file, tall), io::XlsLimitError);
    EXPECT_THROW(io::writeXlsFile(file, gridOf({std::vector<std::string>(257, "x")})),
                 io::XlsLimitError);
    try {
        io::writeXlsFile(file, gridOf({{"a", "b"}, {"c", repeat("鼠", 32768)}}));
        ADD_FAILURE() << "an over-long cell was accepted";
    } catch (const io::XlsLimitError& e) {
        EXPECT_NE(std::string(e.what()).find("B2"), std::string::npos) << e.what();
    }
    const auto saved = io::saveXlsFile(file, tall);
    EXPECT_EQ(saved.kind, quarvel::store::OutcomeKind::Refused);
    EXPECT_EQ(saved.sentence, "列表太大，无法写入表格文件");
    EXPECT_FALSE(saved.detail.empty());
    EXPECT_EQ(testing::readFile(file), before);
}

TEST(XlsWriter, ExportingAgainReplacesTheFileAndAFailedWriteKeepsTheOldOne) {
    TempDir dir;
    const auto file = dir.path() / "Jieguo.xls";
    io::writeXlsFile(file, gridOf({{"first"}}));
    io::writeXlsFile(file, gridOf({{"second", "鼠"}}));
    EXPECT_EQ(testing::readWithFreexl(file).cells,
              (std::vector<std::vector<std::string>>{{"second", "鼠"}}));

    io::ScopedWriteFailure failure(io::WriteStep::Write);
    EXPECT_THROW(io::writeXlsFile(file, gridOf({{"third"}})), io::IoError);
    const auto saved = io::saveXlsFile(file, gridOf({{"third"}}));
    EXPECT_EQ(saved.kind, quarvel::store::OutcomeKind::Failed);
    EXPECT_EQ(saved.sentence, "磁盘已满，" + file.string() + " 没有保存。");
    EXPECT_EQ(testing::readWithFreexl(file).cells,
              (std::vector<std::vector<std::string>>{{"second", "鼠"}}));
}

TEST(Utf8ToUtf16, MalformedBytesBecomeReplacementCharacters) {
    const std::u16string fffd(1, u'\uFFFD');
    EXPECT_EQ(io::utf8ToUtf16("期号 é"), u"期号 é");
    EXPECT_EQ(io::utf8ToUtf16("😀"), u"\U0001F600");
    EXPECT_EQ(io::utf8ToUtf16("a\xE9"
                              "b"),
              u"a" + fffd + u"b");                             // a Latin-1 byte
    EXPECT_EQ(io::utf8ToUtf16("\xE9\xBC"), fffd);              // cut short
    EXPECT_EQ(io::utf8ToUtf16("\xED\xA0\x80x"), fffd + u"x");  // an encoded surrogate
    EXPECT_EQ(io::utf8ToUtf16("\xE0\x80\xAF"), fffd);          // overlong
    EXPECT_EQ(io::utf8ToUtf16("\xF4\x90\x80\x80"), fffd);      // beyond U+10FFFF
    EXPECT_EQ(io::utf8ToUtf16("\x80\xFF"), fffd + fffd);
}

TEST(XlsWriter, MalformedTextStillGivesAReadableWorkbook) {
    TempDir dir;
    io::writeXlsFile(dir.path() / "bad.xls", gridOf({{"ok\xED\xA0\x80", "\xFF鼠"}}));
    const auto sheet = testing::readWithFreexl(dir.path() / "bad.xls");
    EXPECT_EQ(sheet.cells, (std::vector<std::vector<std::string>>{{"ok\uFFFD", "\uFFFD鼠"}}));
}

}  // namespace
}  // namespace quarvel
