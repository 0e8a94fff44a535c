#include <gtest/gtest.h>

#include "failing_reader.h"
#include "history_io/atomic_file.h"
#include "history_io/history_file.h"
#include "history_io/history_service.h"
#include "history_io/trimming.h"
#include "store/numbering.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
using qt::TempDir;

namespace {

struct TrimFixture : ::testing::Test {
    TempDir dir;
    store::HistoryDb db{dir.path()};
    io::ImportParams params;

    void SetUp() override { db.open(); }

    // 2013001..2013150 (150 draws).
    void fill150() { qt::addDraws(db, qt::randomDraws(150, 5)); }
    std::vector<std::int64_t> idxColumn() {
        store::Snapshot s = db.db().snapshot("SELECT IDX FROM lishi ORDER BY SQQH");
        std::vector<std::int64_t> out;
        for (s.moveFirst(); !s.eof(); s.moveNext()) out.push_back(s.intField("IDX"));
        return out;
    }
    void expectKept(const std::vector<io::HistoryDraw>& kept) {
        EXPECT_EQ(io::storedDraws(db), kept);
        std::vector<std::int64_t> oneToN;
        for (std::size_t i = 1; i <= kept.size(); ++i)
            oneToN.push_back(static_cast<std::int64_t>(i));
        EXPECT_EQ(idxColumn(), oneToN);
        // The backup holds exactly the kept draws in the export line format.
        std::string backup;
        for (const auto& d : kept) backup += io::historyLine(d.issue, d.numbers) + "\r\n";
        EXPECT_EQ(qt::readFile(dir.path() / "lsbf.txt"), backup);
    }
    std::vector<io::HistoryDraw> firstN(std::size_t n) {
        auto all = io::storedDraws(db);
        all.resize(n);
        return all;
    }
};

TEST_F(TrimFixture, KeepUpToAnIssue) {
    fill150();
    const auto kept = firstN(100);
    const io::TrimResult r = io::trimToIssue(db, 2013100, params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_TRUE(r.rebuilt && r.compacted);
    EXPECT_EQ(r.drawsKept, 100u);
    expectKept(kept);
    EXPECT_EQ(store::nextIssueAfter(store::lastIssueOf(db.rsLishiSort())), 2013101);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "quarvelTmp.mdb"));  // compacted
}

TEST_F(TrimFixture, KeepUpToAnUnstoredIssueKeepsEverythingBelowIt) {
    qt::addDraws(db, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {2013005, {1, 2, 3, 4, 5, 6, 7, 9}},
                      {2013009, {1, 2, 3, 4, 5, 6, 7, 10}}});
    const auto kept = firstN(2);
    ASSERT_TRUE(io::trimToIssue(db, 2013007, params).ok());
    expectKept(kept);

    ASSERT_TRUE(io::trimToIssue(db, 2099999, params).ok());  // at or above the last: all stay
    expectKept(kept);
    ASSERT_TRUE(io::trimToIssue(db, 2012001, params).ok());  // below the first: none stay
    expectKept({});
}

TEST_F(TrimFixture, DeleteTheLastDraws) {
    auto draws = qt::randomDraws(150, 9);  // 2013001 .. 2013150
    for (std::int32_t issue : {2013151, 2014001, 2014002})
        draws.push_back({issue, {1, 2, 3, 4, 5, 6, 7, 8}});
    qt::addDraws(db, draws);
    const auto kept = firstN(150);
    const io::TrimResult r = io::trimLastDraws(db, 3, params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    expectKept(kept);
    EXPECT_EQ(store::lastIssueOf(db.rsLishiSort()), 2013150);

    ASSERT_TRUE(io::trimLastDraws(db, 151, params).ok());  // more than the history
    expectKept({});
    EXPECT_EQ(store::nextIssueAfter(store::lastIssueOf(db.rsLishiSort())), 1);
}

TEST_F(TrimFixture, RepeatedAndShortIssuesSurviveTheRebuild) {
    // Issues of fewer than seven digits and repeated issues must come back exactly.
    qt::addDraws(db, {{5, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {12, {12, 13, 14, 15, 16, 17, 18, 19}},
                      {12, {20, 21, 22, 23, 24, 25, 26, 27}},
                      {2013001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    const auto kept = firstN(3);
    ASSERT_TRUE(io::trimLastDraws(db, 1, params).ok());
    expectKept(kept);
}

TEST_F(TrimFixture, DrawThatCannotBeWrittenIsRefusedBeforeAnythingChanges) {
    qt::addDraws(db, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {12345678, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {12345679, {1, 2, 3, 4, 5, 6, 7, 8}}});
    const auto before = io::storedDraws(db);
    const io::TrimResult r = io::trimLastDraws(db, 1, params);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.rebuilt);
    EXPECT_EQ(io::storedDraws(db), before);
}

TEST_F(TrimFixture, NonPositiveCountsChangeNothing) {
    fill150();
    const auto before = io::storedDraws(db);
    for (std::int32_t n : {0, -3}) {
        EXPECT_FALSE(io::trimLastDraws(db, n, params).rebuilt);
        EXPECT_FALSE(io::trimToIssue(db, n, params).rebuilt);
    }
    EXPECT_EQ(io::storedDraws(db), before);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "lsbf.txt"));
}

TEST_F(TrimFixture, FailedBackupWriteLeavesTheHistoryUnchanged) {
    fill150();
    const auto before = io::storedDraws(db);
    for (auto step : {io::WriteStep::Create, io::WriteStep::Write, io::WriteStep::Rename}) {
        io::ScopedWriteFailure fail(step);
        const io::TrimResult r = io::trimToIssue(db, 2013100, params);
        EXPECT_FALSE(r.ok());
        EXPECT_FALSE(r.rebuilt);
    }
    EXPECT_EQ(io::storedDraws(db), before);
}

TEST_F(TrimFixture, FailedRebuildLeavesTheOldRowsWhole) {
    fill150();
    const auto before = io::storedDraws(db);

    // The backup cannot be read to its end.
    params.open = qt::failHalfWay();
    io::TrimResult r = io::trimToIssue(db, 2013100, params);
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.rebuilt);
    EXPECT_EQ(io::storedDraws(db), before);
    EXPECT_EQ(io::rebuildFromBackup(db, params).error, io::ImportError::Unreadable);
    EXPECT_EQ(io::storedDraws(db), before);

    // The database refuses a row half way through the reload.
    params.open = io::openFileForReading;
    qt::refuseIssue(db, 2013050);
    r = io::trimToIssue(db, 2013100, params);
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.outcome.text().find("injected store failure"), std::string::npos)
        << r.outcome.text();
    EXPECT_EQ(io::storedDraws(db), before);
    EXPECT_EQ(idxColumn().back(), 150);
}

TEST_F(TrimFixture, RebuildFromAMissingOrFolderBackupChangesNothing) {
    fill150();
    const auto before = io::storedDraws(db);
    EXPECT_EQ(io::rebuildFromBackup(db, params).error, io::ImportError::Unreadable);
    std::filesystem::create_directory(dir.path() / "lsbf.txt");
    EXPECT_EQ(io::rebuildFromBackup(db, params).error, io::ImportError::Unreadable);
    EXPECT_EQ(io::storedDraws(db), before);
}

TEST_F(TrimFixture, RebuildReadsABackupWithTheImportRules) {
    qt::addDraws(db, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    qt::writeFile(dir.path() / "lsbf.txt",
                  "2013010 01 02 03 04 05 06 07 08\r\n09 10 11 12 13 14 15 16\r\nshort 01\r\n");
    const io::ImportResult r = io::rebuildFromBackup(db, params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(r.drawsStored, 2u);
    EXPECT_EQ(r.linesSkipped, 1u);
    const auto draws = io::storedDraws(db);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[1].issue, 2013011);
}

TEST(TrimInput, WholeNumbersOnly) {
    EXPECT_EQ(io::parseTrimInput("2013100"), 2013100);
    EXPECT_EQ(io::parseTrimInput(" 3 "), 3);
    EXPECT_EQ(io::parseTrimInput("+7"), 7);
    EXPECT_EQ(io::parseTrimInput("2147483647"), 2147483647);
    for (const char* bad :
         {"", "  ", "0", "-3", "abc", "12abc", "3.5", "2147483648", "99999999999999"})
        EXPECT_FALSE(io::parseTrimInput(bad).has_value()) << bad;
}

// A trim that keeps nothing: the one rule the window asks by before trimming. Checked against
// what the trim then really leaves, on a history of 2013001..2013010.
TEST_F(TrimFixture, ATrimKeepsNothingExactlyWhenTheRuleSaysSo) {
    using io::TrimKind;
    const struct {
        TrimKind kind;
        std::int32_t value;
        bool keepsNothing;
    } cases[] = {
        {TrimKind::ToIssue, 2012999, true},     {TrimKind::ToIssue, 2013000, true},
        {TrimKind::ToIssue, 2013001, false},    {TrimKind::ToIssue, 2013010, false},
        {TrimKind::ToIssue, 2099999, false},    {TrimKind::ToIssue, 1, true},
        {TrimKind::LastDraws, 1, false},        {TrimKind::LastDraws, 9, false},
        {TrimKind::LastDraws, 10, true},        {TrimKind::LastDraws, 11, true},
        {TrimKind::LastDraws, INT32_MAX, true},
    };
    io::HistoryService service(db);
    for (const auto& c : cases) {
        db.close();
        std::filesystem::remove(dir.path() / "quarvel.mdb");
        db.open();
        qt::addDraws(db, qt::randomDraws(10, 8));
        EXPECT_EQ(io::trimKeepsNothing(c.kind, c.value, 2013001, 10), c.keepsNothing) << c.value;
        const auto preview = service.previewTrim(c.kind, c.value);
        ASSERT_TRUE(preview.ok()) << preview.outcome.text();
        EXPECT_EQ(preview->stored, 10u);
        EXPECT_EQ(preview->keepsNothing, c.keepsNothing) << c.value;
        const io::TrimResult r = c.kind == TrimKind::ToIssue
                                     ? service.trimToIssue(c.value, params)
                                     : service.trimLastDraws(c.value, params);
        ASSERT_TRUE(r.ok()) << r.outcome.text();
        EXPECT_EQ(r.drawsKept == 0, c.keepsNothing) << c.value;
    }
    // An empty history has nothing to lose; a value below 1 is refused and changes nothing.
    EXPECT_FALSE(io::trimKeepsNothing(TrimKind::ToIssue, 1, std::nullopt, 0));
    EXPECT_FALSE(io::trimKeepsNothing(TrimKind::LastDraws, 5, std::nullopt, 0));
    for (std::int32_t bad : {0, -3}) {
        EXPECT_EQ(io::trimToIssue(db, bad, params).outcome.kind, store::OutcomeKind::Refused);
        EXPECT_EQ(io::trimLastDraws(db, bad, params).outcome.kind, store::OutcomeKind::Refused);
    }
    EXPECT_EQ(io::trimInputRefusal(" 2.5 "), "“2.5”不是大于 0 的期数，历史号码未改变。");
}

TEST(KeptYears, TwoToSixteen) {
    EXPECT_EQ(io::parseKeptYears("2"), 2);
    EXPECT_EQ(io::parseKeptYears("16"), 16);
    EXPECT_EQ(io::parseKeptYears(" 6 "), 6);
    for (const char* bad : {"1", "17", "0", "-5", "abc", "6年", "70000"})
        EXPECT_FALSE(io::parseKeptYears(bad).has_value()) << bad;
}

}  // namespace
