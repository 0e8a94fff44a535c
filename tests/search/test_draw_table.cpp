// The draw table: rows read in the table's order and placed by IDX, the fallback order when
// another program left IDX otherwise, and the two matchers against counts worked out here from
// the draws themselves.

#include <gtest/gtest.h>

#include <algorithm>

#include "search/draw_table.h"
#include "store/draw_record.h"
#include "support/test_support.h"

using namespace quarvel;
namespace qt = quarvel::testing;

namespace {

class DrawTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.open();
        // Stored newest first, so that the table's own order is the reverse of IDX order.
        draws = qt::randomDraws(130, 5);
        std::reverse(draws.begin(), draws.end());
        qt::addDraws(db, draws);
        std::reverse(draws.begin(), draws.end());
    }
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    std::vector<qt::Draw> draws;  // in issue order
};

TEST_F(DrawTableTest, RowsArePlacedByIdx) {
    const search::DrawTable table(db.db(), "AB");
    ASSERT_EQ(table.size(), draws.size());
    EXPECT_TRUE(table.has('A'));
    EXPECT_TRUE(table.has('B'));
    EXPECT_FALSE(table.has('E'));  // not asked for
    EXPECT_TRUE(table.column('E', 1).empty());
    for (std::size_t r = 0; r < draws.size(); ++r) {
        EXPECT_EQ(table.idx(r), static_cast<int>(r + 1));
        EXPECT_EQ(table.issue(r), draws[r].issue);
        for (int p = 1; p <= 8; ++p)
            EXPECT_EQ(table.column('A', p)[r], draws[r].numbers[static_cast<std::size_t>(p - 1)]);
    }
    const auto range = table.inRange(draws[10].issue, draws[19].issue);
    EXPECT_EQ(range.count(), 10u);
    EXPECT_EQ(range.members().front(), 10u);
    EXPECT_EQ(table.inRange(draws[19].issue, draws[10].issue).count(), 0u);
}

TEST_F(DrawTableTest, IdxLeftOtherwiseGivesTheOrderOfIdx) {
    // Two rows share an ordinal and one has none: NULL first, then by IDX, ties as stored.
    db.db().executeNative("UPDATE Lishi SET IDX = 5 WHERE IDX = 6");
    db.db().executeNative("UPDATE Lishi SET IDX = NULL WHERE IDX = 100");
    const search::DrawTable table(db.db(), "A");
    std::vector<std::int32_t> expected;
    store::Snapshot s = db.db().snapshot("SELECT SQQH FROM Lishi ORDER BY IDX, RowSeq");
    for (s.moveFirst(); !s.eof(); s.moveNext())
        expected.push_back(static_cast<std::int32_t>(s.intField("SQQH")));
    ASSERT_EQ(table.size(), expected.size());
    for (std::size_t r = 0; r < expected.size(); ++r) EXPECT_EQ(table.issue(r), expected[r]) << r;
    EXPECT_EQ(table.idx(0), 0);  // the row without an ordinal
}

TEST_F(DrawTableTest, MatchersCountOccurrences) {
    const search::DrawTable table(db.db(), "AF");
    struct Case {
        char letter;
        int positions, value, count;
    };
    for (const Case c :
         {Case{'A', 8, 7, 1}, Case{'A', 7, 7, 1}, Case{'A', 8, 7, 2}, Case{'F', 8, 3, 1},
          Case{'F', 8, 3, 2}, Case{'F', 7, 0, 3}, Case{'F', 8, 3, 0}, Case{'A', 8, 99, 1}}) {
        const auto rows = table.countAtLeast(c.letter, c.positions, c.value, c.count);
        for (std::size_t r = 0; r < draws.size(); ++r) {
            int seen = 0;
            for (int p = 0; p < c.positions; ++p) {
                const int n = draws[r].numbers[static_cast<std::size_t>(p)];
                seen += (c.letter == 'A' ? n : n % 10) == c.value;
            }
            EXPECT_EQ(rows.test(r), c.count >= 1 && seen >= c.count)
                << c.letter << " value " << c.value << " x" << c.count << " over " << c.positions
                << " row " << r;
        }
    }
    const auto third = table.equals('F', 3, 4);
    for (std::size_t r = 0; r < draws.size(); ++r)
        EXPECT_EQ(third.test(r), draws[r].numbers[2] % 10 == 4);
}

TEST(RowSet, AndOrCountAndOrder) {
    search::RowSet a(130, false), b(130, true);
    for (std::size_t r : {0u, 63u, 64u, 129u}) a.set(r);
    EXPECT_EQ(b.count(), 130u);  // the last word holds only the rows that exist
    search::RowSet both = a;
    both &= b;
    EXPECT_EQ(both.members(), (std::vector<std::size_t>{0, 63, 64, 129}));
    search::RowSet none(130, false);
    none |= a;
    EXPECT_EQ(none.count(), 4u);
}

}  // namespace
