#include <gtest/gtest.h>

#include "failing_reader.h"
#include "history_io/history_file.h"
#include "history_io/import.h"
#include "history_io/row_appender.h"
#include "store/numbering.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
using qt::TempDir;

namespace {

using Numbers = std::array<int, 8>;

struct ImportFixture : ::testing::Test {
    TempDir dir;
    store::HistoryDb db{dir.path()};
    io::ImportParams params;

    void SetUp() override { db.open(); }

    std::filesystem::path write(const std::string& name, const std::string& text) {
        const auto p = dir.path() / name;
        qt::writeFile(p, text);
        return p;
    }
    // Issue and IDX of every row in IDX order.
    std::vector<std::pair<std::int64_t, std::int64_t>> issuesByIdx() {
        store::Snapshot s = db.db().snapshot("SELECT SQQH, IDX FROM lishi ORDER BY IDX");
        std::vector<std::pair<std::int64_t, std::int64_t>> out;
        for (s.moveFirst(); !s.eof(); s.moveNext())
            out.emplace_back(s.intField("SQQH"), s.intField("IDX"));
        return out;
    }
    void fillOldHistory() { qt::addDraws(db, qt::randomDraws(20, 3, 2012001)); }
    void expectOldHistory(const std::vector<io::HistoryDraw>& before) {
        EXPECT_EQ(io::storedDraws(db), before);
        EXPECT_EQ(store::lastIssueOf(db.rsLishiSort()), before.back().issue);
        EXPECT_EQ(issuesByIdx().back().second, static_cast<std::int64_t>(before.size()));
    }
};

TEST_F(ImportFixture, MixedFileReplacesTheHistoryInIssueOrder) {
    fillOldHistory();
    const io::ImportResult r = io::importHistoryFile(db, qt::dataFile("import/mixed.txt"), params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(r.drawsStored, 8u);
    EXPECT_EQ(r.linesSkipped, 2u);  // the seven zeros and the short line
    EXPECT_EQ(r.blankLines, 1u);

    const auto draws = io::storedDraws(db);
    const std::vector<std::int32_t> expectedIssues = {2013001, 2013002, 2013004, 2013004,
                                                      2013005, 2013006, 2013007, 2013008};
    ASSERT_EQ(draws.size(), 8u);
    for (std::size_t i = 0; i < expectedIssues.size(); ++i)
        EXPECT_EQ(draws[i].issue, expectedIssues[i]) << i;
    EXPECT_EQ(draws[0].numbers, (Numbers{12, 18, 21, 25, 28, 30, 9, 11}));  // lone 5 skipped
    EXPECT_EQ(draws[1].numbers, (Numbers{1, 2, 3, 4, 5, 6, 7, 8}));         // first eight of ten
    // The repeated issue is stored twice, in file order.
    EXPECT_EQ(draws[2].numbers, (Numbers{21, 22, 23, 24, 25, 26, 27, 28}));
    EXPECT_EQ(draws[3].numbers, (Numbers{29, 30, 1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(draws[4].numbers, (Numbers{5, 12, 18, 21, 25, 28, 30, 9}));
    for (int i : {5, 6})
        EXPECT_EQ(draws[i].numbers, (Numbers{1, 2, 3, 4, 5, 6, 7, 8}));  // commas, no separators
    EXPECT_EQ(draws[7].issue, 2013008);  // issue-less line after 2013007
    EXPECT_EQ(draws[7].numbers, (Numbers{11, 12, 13, 14, 15, 16, 17, 18}));

    const auto rows = issuesByIdx();
    ASSERT_EQ(rows.size(), 8u);
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].second, static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(rows[2].first, 2013004);
    EXPECT_EQ(rows[3].first, 2013004);
    EXPECT_EQ(store::lastIssueOf(db.rsLishiSort()), 2013008);  // the sorted cursor was reopened
}

TEST_F(ImportFixture, RowsCarryAttributesFromTheirOwnIssue) {
    params.rules = io::RowRules::fromBases({0, 0});
    ASSERT_TRUE(io::importHistoryFile(
                    db,
                    write("a.txt",
                          "2013016 01 02 03 04 05 06 07 30\r\n2013017 01 02 03 04 05 06 07 30\r\n"),
                    params)
                    .ok());
    store::Snapshot s = db.db().snapshot("SELECT * FROM lishi ORDER BY SQQH");
    s.moveFirst();
    EXPECT_EQ(s.intField("QQH"), 2013017);
    EXPECT_EQ(s.intField("L1B"), 4);  // 01 is 龙 in zodiac year 2012, base 0
    EXPECT_EQ(s.intField("L8H"), 9);  // segment base 0
    s.moveNext();
    EXPECT_EQ(s.intField("L1B"), 5);  // 蛇 in 2013
    EXPECT_EQ(s.textField("txtHisLst"), "01 02 03 04 05 06 07 30 ");
}

// Each draw stored three ways: through the cursor, by the appender one row at a time, and by
// the appender several rows per statement (40 rows: one statement of 32, then one by one).
TEST_F(ImportFixture, BulkRowsEqualTheRowsOfTheCursorAppend) {
    const auto codes = store::ZodiacCodes::forMenuChoice(0, 2013);
    std::vector<store::DrawRow> rows;
    std::vector<int> idx;
    for (const auto& d : qt::randomDraws(40, 21, 2012140)) {
        const auto row = store::buildDrawRow(d.issue, d.issue, d.numbers, codes, 0);
        store::appendDrawRow(db.rsLishi(), row);
        io::RowAppender(db.db()).append(row);
        rows.push_back(row);
        idx.push_back(static_cast<int>(rows.size()) * 10);
    }
    io::RowAppender(db.db()).appendAll(rows, idx);
    store::Snapshot s = db.db().snapshot("SELECT * FROM lishi ORDER BY RowSeq");
    ASSERT_EQ(s.recordCount(), 120u);
    std::vector<std::vector<store::Value>> stored;
    for (s.moveFirst(); !s.eof(); s.moveNext()) {
        stored.emplace_back();
        for (const auto& c : store::lishiColumns()) stored.back().push_back(s.field(c));
    }
    const auto& columns = store::lishiColumns();
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const auto& cursorRow = stored[2 * k];
        for (std::size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(stored[2 * k + 1][i], cursorRow[i]) << columns[i] << " of draw " << k;
            const store::Value expected =
                columns[i] == "IDX" ? store::Value{std::int64_t{idx[k]}} : cursorRow[i];
            EXPECT_EQ(stored[80 + k][i], expected) << columns[i] << " of draw " << k;
        }
    }
}

TEST_F(ImportFixture, FirstIssueLessLineFollowsTheNextIssue) {
    qt::addDraws(db, {{2013150, {1, 2, 3, 4, 5, 6, 7, 8}}});
    // The line before the first one stands for the next issue (2013151).
    ASSERT_TRUE(
        io::importHistoryFile(
            db, write("a.txt", "01 02 03 04 05 06 07 08\r\n11 12 13 14 15 16 17 18\r\n"), params)
            .ok());
    const auto draws = io::storedDraws(db);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].issue, 2013152);
    EXPECT_EQ(draws[1].issue, 2013153);
}

// The file's name says nothing: the layout is read from the content, whatever the name ends in.
TEST_F(ImportFixture, AnyFileNameImports) {
    fillOldHistory();
    const std::string text = "2013001 05 12 18 21 25 28 30 09\r\n";
    for (const char* name : {"h.txt", "H.TXT", "htxt", "h.csv", "h.txt.bak", "h.tx t", "历史"}) {
        const io::ImportResult r = io::importHistoryFile(db, write(name, text), params);
        EXPECT_TRUE(r.ok()) << name << ": " << r.outcome.text();
        EXPECT_EQ(io::storedDraws(db).size(), 1u) << name;
    }
    EXPECT_EQ(io::importHistoryFile(db, "", params).error, io::ImportError::Unreadable);
}

TEST_F(ImportFixture, UnreadableFileLeavesTheHistoryUnchanged) {
    fillOldHistory();
    const auto before = io::storedDraws(db);
    std::filesystem::create_directory(dir.path() / "x.txt");
    EXPECT_EQ(io::importHistoryFile(db, dir.path() / "x.txt", params).error,
              io::ImportError::Unreadable);
    EXPECT_EQ(io::importHistoryFile(db, dir.path() / "missing.txt", params).error,
              io::ImportError::Unreadable);
    expectOldHistory(before);

    params.open = qt::failHalfWay();
    const io::ImportResult r = io::importHistoryFile(db, qt::dataFile("import/mixed.txt"), params);
    EXPECT_EQ(r.error, io::ImportError::Unreadable);
    EXPECT_EQ(r.drawsStored, 0u);
    expectOldHistory(before);
}

TEST_F(ImportFixture, FileWithoutADrawDoesNotWipeTheHistory) {
    fillOldHistory();
    const auto draws = io::storedDraws(db);
    for (const char* text : {"", "\r\n\r\n", "期号 落1码 落2码\r\n2013001 01 02 03\r\n"}) {
        const io::ImportResult r = io::importHistoryFile(db, write("empty.txt", text), params);
        EXPECT_EQ(r.error, io::ImportError::NoDraws);
        expectOldHistory(draws);
    }
}

TEST_F(ImportFixture, StoreFailureHalfWayLeavesTheOldRowsWhole) {
    fillOldHistory();
    const auto before = io::storedDraws(db);
    qt::refuseIssue(db, 2013005);  // the first line of the file is stored, the fifth fails
    const io::ImportResult r = io::importHistoryFile(db, qt::dataFile("import/mixed.txt"), params);
    EXPECT_EQ(r.error, io::ImportError::StoreFailed);
    EXPECT_NE(r.outcome.text().find("injected store failure"), std::string::npos)
        << r.outcome.text();
    expectOldHistory(before);
    // The standing cursors still work afterwards.
    db.db().executeNative("DROP TRIGGER refuse_issue");
    EXPECT_TRUE(io::importHistoryFile(db, qt::dataFile("import/mixed.txt"), params).ok());
}

TEST_F(ImportFixture, MoreDrawsThanTheHistoryCanHoldAreRefused) {
    fillOldHistory();
    const auto before = io::storedDraws(db);
    std::string text = "2013001 01 02 03 04 05 06 07 08\r\n";
    for (int i = 1; i < store::kMaxDraws; ++i) text += "01 02 03 04 05 06 07 08\r\n";
    const auto atLimit = write("limit.txt", text);
    text += "01 02 03 04 05 06 07 08\r\n";
    const io::ImportResult over = io::importHistoryFile(db, write("over.txt", text), params);
    EXPECT_EQ(over.error, io::ImportError::TooManyDraws);
    EXPECT_NE(over.outcome.text().find("32767"), std::string::npos) << over.outcome.text();
    expectOldHistory(before);

    const io::ImportResult full = io::importHistoryFile(db, atLimit, params);
    ASSERT_TRUE(full.ok()) << full.outcome.text();
    EXPECT_EQ(full.drawsStored, static_cast<std::size_t>(store::kMaxDraws));
    EXPECT_EQ(issuesByIdx().back().second, store::kMaxDraws);
}

}  // namespace
