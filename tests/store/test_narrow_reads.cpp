// The narrow reads of the history agree with the whole sorted copy they replace: equal issues
// in insertion order, the newest draw, the draw at or before an issue, an empty history.

#include <gtest/gtest.h>

#include "store/history_db.h"
#include "store/numbering.h"
#include "support/test_support.h"

using namespace quarvel::store;
using quarvel::testing::addDraws;
using quarvel::testing::TempDir;

namespace {

TEST(NarrowReads, AgreeWithTheSortedCopy) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    // Stored out of order, the newest issue twice: the one stored later is the newest draw.
    addDraws(db, {{2013005, {1, 2, 3, 4, 5, 6, 7, 8}},
                  {2013001, {9, 10, 11, 12, 13, 14, 15, 16}},
                  {2013009, {17, 18, 19, 20, 21, 22, 23, 24}},
                  {2013009, {25, 26, 27, 28, 29, 30, 1, 2}},
                  {2013003, {3, 4, 5, 6, 7, 8, 9, 10}}});
    Snapshot& sorted = db.reopenSort();
    EXPECT_EQ(db.firstIssue(), 2013001);
    EXPECT_EQ(db.lastIssue(), lastIssueOf(sorted));
    sorted.moveLast();
    EXPECT_EQ(db.newestIdx(), sorted.intField("IDX"));
    EXPECT_EQ(db.newestIdx(), 5);

    Snapshot list = db.historyList();
    EXPECT_EQ(list.columns(), (std::vector<std::string>{"SQQH", "L1A", "L2A", "L3A", "L4A", "L5A",
                                                        "L6A", "L7A", "L8A"}));
    EXPECT_EQ(historyListGrid(list).toTsv(), historyListGrid(sorted).toTsv());

    const auto drawAt = [&](std::int64_t issue) -> std::pair<std::int64_t, std::int64_t> {
        Snapshot s = db.drawAtOrBefore(issue);
        if (s.recordCount() == 0) return {0, 0};
        EXPECT_EQ(s.recordCount(), 1u);
        s.moveFirst();
        return {s.intField("SQQH"), s.intField("L1A")};
    };
    EXPECT_EQ(drawAt(2013005),
              std::make_pair(std::int64_t{2013005}, std::int64_t{1}));  // exactly stored
    EXPECT_EQ(drawAt(2013004),
              std::make_pair(std::int64_t{2013003}, std::int64_t{3}));  // between two
    EXPECT_EQ(drawAt(2013009),
              std::make_pair(std::int64_t{2013009}, std::int64_t{25}));  // later of equal issues
    EXPECT_EQ(drawAt(2099001),
              std::make_pair(std::int64_t{2013009}, std::int64_t{25}));  // beyond the newest
    EXPECT_EQ(drawAt(2013000),
              std::make_pair(std::int64_t{0}, std::int64_t{0}));  // before every draw
}

TEST(NarrowReads, EmptyHistory) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    EXPECT_FALSE(db.firstIssue());
    EXPECT_FALSE(db.lastIssue());
    EXPECT_EQ(db.newestIdx(), 0);
    EXPECT_EQ(db.drawAtOrBefore(2013001).recordCount(), 0u);
    EXPECT_EQ(db.historyList().recordCount(), 0u);
}

TEST(NarrowReads, SortedCopyIsReadWhenFirstAskedForNotAtOpening) {
    TempDir dir;
    HistoryDb db(dir.path());
    db.open();
    {
        HistoryDb other(dir.path());  // a second program writing after this one opened
        other.open();
        addDraws(other, {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    }
    EXPECT_EQ(db.rsLishiSort().recordCount(), 1u);
    EXPECT_EQ(db.lastIssue(), 2013001);
}

}  // namespace
