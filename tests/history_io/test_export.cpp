#include <gtest/gtest.h>

#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/history_file.h"
#include "history_io/import.h"
#include "support/test_support.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
using qt::TempDir;

namespace {

struct ExportFixture : ::testing::Test {
    TempDir dir;
    store::HistoryDb db{dir.path()};
    void SetUp() override { db.open(); }
};

TEST_F(ExportFixture, ThreeDrawsGiveThreeLinesOf32Characters) {
    qt::addDraws(db, {{2013001, {5, 12, 18, 21, 25, 28, 30, 9}},
                      {2013003, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {2013002, {30, 29, 28, 27, 26, 25, 24, 23}}});
    const auto path = io::exportHistory(db);
    EXPECT_EQ(path, dir.path() / io::utf8Path("更新至2013003期历史号码.txt"));
    EXPECT_EQ(qt::readFile(path),
              "2013001 05 12 18 21 25 28 30 09 \r\n"
              "2013002 30 29 28 27 26 25 24 23 \r\n"
              "2013003 01 02 03 04 05 06 07 08 \r\n");
}

TEST_F(ExportFixture, EmptyHistoryGivesAnEmptyFileWithoutIssue) {
    const auto path = io::exportHistory(db);
    EXPECT_EQ(path.filename(), io::utf8Path("更新至期历史号码.txt"));
    EXPECT_EQ(qt::readFile(path), "");
}

TEST_F(ExportFixture, ExportThenImportGivesTheSameHistory) {
    auto draws = qt::randomDraws(400, 11);
    draws.push_back({draws[17].issue, {30, 1, 29, 2, 28, 3, 27, 4}});  // a repeated issue
    std::swap(draws[3], draws[250]);                                   // stored out of issue order
    qt::addDraws(db, draws);
    const auto before = io::storedDraws(db);
    const auto path = io::exportHistory(db);

    TempDir other;
    store::HistoryDb copy(other.path());
    copy.open();
    const io::ImportResult r = io::importHistoryFile(copy, path, {});
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(r.linesSkipped + r.blankLines, 0u);
    EXPECT_EQ(io::storedDraws(copy), before);
    auto idxOrder = [](store::HistoryDb& h) {
        store::Snapshot s = h.db().snapshot("SELECT SQQH, IDX, L1A FROM lishi ORDER BY IDX");
        std::vector<std::string> out;
        for (s.moveFirst(); !s.eof(); s.moveNext())
            out.push_back(s.textField("IDX") + ":" + s.textField("SQQH") + ":" +
                          s.textField("L1A"));
        return out;
    };
    EXPECT_EQ(idxOrder(copy), idxOrder(db));
}

TEST_F(ExportFixture, DrawsThatWouldReadBackAsOthersStopTheExport) {
    qt::addDraws(db,
                 {{2013001, {5, 12, 18, 21, 25, 28, 30, 9}}, {10000000, {1, 2, 3, 4, 5, 6, 7, 8}}});
    EXPECT_THROW(io::exportHistory(db), io::IoError);
    EXPECT_FALSE(
        std::filesystem::exists(dir.path() / io::utf8Path("更新至10000000期历史号码.txt")));
}

TEST_F(ExportFixture, FailedWriteKeepsTheEarlierFile) {
    qt::addDraws(db, {{2013001, {5, 12, 18, 21, 25, 28, 30, 9}}});
    const auto path = io::exportHistory(db);
    const std::string first = qt::readFile(path);
    // Same last issue, different contents: a failed rewrite must not touch the file.
    qt::addDraws(db, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    {
        io::ScopedWriteFailure fail(io::WriteStep::Write);
        EXPECT_THROW(io::exportHistory(db), io::IoError);
    }
    EXPECT_EQ(qt::readFile(path), first);
}

}  // namespace
