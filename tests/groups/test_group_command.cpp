// The group computation on real histories: statistics of a group, the YL rows, the size limits
// and refusals that change nothing, the listing and its re-sort.

#include <gtest/gtest.h>

#include "group_test_util.h"
#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::groups;
using namespace quarvel::groups::testing;
namespace qt = quarvel::testing;

namespace {

class GroupCommand : public ::testing::Test {
  protected:
    void SetUp() override { db.open(); }

    // 20 draws, issues 2013020..2013039 (IDX 1..20). 29 and 30 are drawn together at IDX 3, 4,
    // 9 and 17; 30 alone at IDX 5, 29 alone at IDX 12, 30 only as the special number at IDX 14.
    void workedHistory() {
        std::vector<qt::Draw> draws;
        for (int i = 1; i <= 20; ++i) {
            std::array<int, 8> n = {1, 2, 3, 4, 5, 6, 7, 8};
            if (i == 3 || i == 4 || i == 9 || i == 17) n = {29, 2, 3, 30, 5, 6, 7, 8};
            if (i == 5) n = {30, 2, 3, 4, 5, 6, 7, 8};
            if (i == 12) n = {1, 2, 29, 4, 5, 6, 7, 8};
            if (i == 14) n = {1, 2, 3, 4, 5, 6, 7, 30};
            draws.push_back({2013019 + i, n});
        }
        qt::addDraws(db, draws);
    }

    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
};

TEST_F(GroupCommand, WorkedExampleStatistics) {
    workedHistory();
    const GroupResult r = runGroupComputation(db, input(0, "2", {29, 30}, "2013020", "2013039"));
    ASSERT_TRUE(r.outcome.ok()) << r.outcome.text();
    EXPECT_EQ(r.groups, 1);
    // Gaps 3, 1, 5, 8; last omission 20 + 1 - 17.
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"29 30", 1, 8, 4, 2.0}}));
    ASSERT_EQ(r.listing.rows(), 2);
    EXPECT_EQ(r.listing.cells[0],
              (std::vector<std::string>{"号码（分组）", "最小遗漏", "最大遗漏", "最后遗漏",
                                        "大后比", "出现次数", "平均遗漏", "欲出几率", "最大连出"}));
    // k = 4 of N = 20: average 21 / 5, due ratio 3 * 5 / 16, run IDX 3..4
    EXPECT_EQ(r.listing.cells[1],
              (std::vector<std::string>{"29 30", "1", "8", "4", "2", "4", "4.20", "0.94", "2"}));
}

TEST_F(GroupCommand, RangeInsideTheHistoryStillMeasuresFromTheWholeHistory) {
    workedHistory();
    // Starting at IDX 4: the first gap is 4, counted from the first stored draw.
    runGroupComputation(db, input(0, "2", {29, 30}, "2013023", "2013039"));
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"29 30", 4, 8, 4, 2.0}}));
    // Ending at IDX 10: the last omission still counts up to the newest draw (21 - 9).
    runGroupComputation(db, input(0, "2", {29, 30}, "2013020", "2013029"));
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"29 30", 1, 5, 12, single(5.0 / 12)}}));
}

TEST_F(GroupCommand, SpecialNumberCountsOnlyWhenTicked) {
    workedHistory();
    runGroupComputation(db, input(0, "1", {30}, "2013020", "2013039", true));
    // Hits 3, 4, 5, 9, 14, 17.
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"30", 1, 5, 4, 1.25}}));
    runGroupComputation(db, input(0, "1", {30}, "2013020", "2013039", false));
    // IDX 14 has 30 only as the special number: gaps 3, 1, 1, 4, 8.
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"30", 1, 8, 4, 2.0}}));
}

TEST_F(GroupCommand, GroupsInEnumerationOrderAndNoHitGroup) {
    workedHistory();
    const GroupResult r = runGroupComputation(db, input(0, "2", {3, 8, 11}, "2013020", "2013039"));
    EXPECT_EQ(r.groups, 3);
    const auto rows = ylRows(db);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].content, "03 08");
    EXPECT_EQ(rows[1].content, "03 11");
    EXPECT_EQ(rows[2].content, "08 11");
    // 11 is never drawn: starting values, last omission top + 1.
    EXPECT_EQ(rows[1], (YlRow{"03 11", 32767, 32767, 21, single(32767.0 / 21)}));
    EXPECT_EQ(rows[2], (YlRow{"08 11", 32767, 32767, 21, single(32767.0 / 21)}));
    // 03 and 08 together everywhere but IDX 12 and 14 (no 03 / 08 as special, counted).
    EXPECT_EQ(rows[0].min, 1);
    EXPECT_EQ(rows[0].last, 1);
    // The listing by last omission shows the ratio as the search grid does (YL keeps a single).
    EXPECT_EQ(r.listing.cells[1][0], "03 08");
    EXPECT_EQ(r.listing.cells[2][4], "1560.33333333333");
}

TEST_F(GroupCommand, RatioStoredInSinglePrecision) {
    std::vector<qt::Draw> draws;
    for (int i = 1; i <= 9; ++i)
        draws.push_back({2013020 + i, {1, 2, 3, 4, 5, 6, 7, i == 7 ? 30 : 8}});
    qt::addDraws(db, draws);
    const GroupResult r = runGroupComputation(db, input(0, "1", {30}, "2013021", "2013029"));
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"30", 7, 7, 3, single(7.0 / 3)}}));
    EXPECT_EQ(r.listing.cells[1][4], "2.33333333333333");
}

TEST_F(GroupCommand, SizeLimitRefusesAndChangesNothing) {
    qt::addDraws(db, qt::randomDraws(60, 7));
    runGroupComputation(db, input(0, "2", {1, 2, 3}, "2013001", "2013060"));
    const auto before = ylRows(db);
    ASSERT_EQ(before.size(), 3u);

    GroupInput in = input(0, "4", {}, "2013001", "2013060");
    for (int b = 1; b <= 25; ++b) in.ticked[b] = true;
    const GroupResult r = runGroupComputation(db, in);
    EXPECT_EQ(r.outcome.text(), "4个分组请选择24个（含）以内的个数的号码");
    EXPECT_EQ(r.outcome.title, "数据溢出");
    EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused);
    EXPECT_EQ(r.groups, 0);
    EXPECT_EQ(ylRows(db), before);
    EXPECT_EQ(r.listing.rows(), 4);  // the old rows are still listed

    in.ticked[25] = false;
    const GroupResult ok = runGroupComputation(db, in);
    EXPECT_TRUE(ok.outcome.ok());
    EXPECT_EQ(ok.groups, 10626);
    EXPECT_EQ(ylRows(db).size(), 10626u);
    EXPECT_EQ(ok.listing.rows(), 10627);

    // Size 3 with all thirty numbers is allowed.
    for (int b = 25; b <= 30; ++b) in.ticked[b] = true;
    in.sizeText = "3";
    EXPECT_EQ(runGroupComputation(db, in).groups, 4060);
}

TEST_F(GroupCommand, NoGroupsEmptyTheTableAndListTheHeaderAlone) {
    qt::addDraws(db, qt::randomDraws(30, 3));
    for (const char* size : {"3", "7", "0"}) {
        runGroupComputation(db, input(0, "2", {1, 2, 3}, "2013001", "2013030"));
        const GroupResult r = runGroupComputation(db, input(0, size, {4, 9}, "2013001", "2013030"));
        EXPECT_TRUE(r.outcome.ok()) << size;
        EXPECT_EQ(r.groups, 0);
        EXPECT_TRUE(ylRows(db).empty()) << size;
        EXPECT_EQ(r.listing.rows(), 1);
    }
    EXPECT_EQ(listYl(db, 2).rows(), 1);  // a re-sort of an empty table
}

TEST_F(GroupCommand, InputThatIsNotAWholeNumberIsRefused) {
    qt::addDraws(db, qt::randomDraws(30, 3));
    runGroupComputation(db, input(0, "2", {1, 2, 3}, "2013001", "2013030"));
    const auto before = ylRows(db);
    const GroupInput bad[] = {
        input(0, "2x", {1, 2}, "2013001", "2013030"), input(0, "", {1, 2}, "2013001", "2013030"),
        input(0, "2", {1, 2}, "2013001", "2013O30"), input(0, "2", {1, 2}, "", "2013030"),
        input(9, "2", {1, 2}, "2013001", "2013030")};
    for (const auto& in : bad) {
        const GroupResult r = runGroupComputation(db, in);
        EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused);
        EXPECT_FALSE(r.outcome.sentence.empty());
        EXPECT_FALSE(r.outcome.title.empty());
        EXPECT_EQ(r.groups, 0);
        EXPECT_EQ(ylRows(db), before);
    }
    // Blanks around a number are not a fault.
    EXPECT_EQ(runGroupComputation(db, input(0, " 2 ", {1, 2}, " 2013001", "2013030 ")).groups, 1);
}

TEST_F(GroupCommand, BoxesAboveTheValueCountAreIgnored) {
    qt::addDraws(db, qt::randomDraws(40, 11));
    const GroupResult r =
        runGroupComputation(db, input(1, "1", {1, 12, 13, 20, 30}, "2013001", "2013040"));
    EXPECT_EQ(r.groups, 2);
    const auto rows = ylRows(db);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].content, "牛");
    EXPECT_EQ(rows[1].content, "鼠");

    // Head type: five boxes, labels are box - 1.
    runGroupComputation(db, input(2, "2", {1, 5, 6, 30}, "2013001", "2013040"));
    const auto heads = ylRows(db);
    ASSERT_EQ(heads.size(), 1u);
    EXPECT_EQ(heads[0].content, "0 4");
}

TEST_F(GroupCommand, SegmentOneDoesNotFindSegmentTen) {
    // Segment base 1: 01..03 are segment 1, 28..30 segment 10.
    qt::addDraws(db, {{2013021, {28, 4, 5, 6, 7, 8, 9, 10}},
                      {2013022, {1, 4, 5, 6, 7, 8, 9, 10}},
                      {2013023, {4, 5, 6, 7, 8, 9, 10, 29}}});
    runGroupComputation(db, input(5, "1", {1, 10}, "2013021", "2013023"));
    EXPECT_EQ(ylRows(db), (std::vector<YlRow>{{"1", 2, 2, 2, 1.0}, {"10", 1, 2, 1, 2.0}}));
    runGroupComputation(db, input(5, "1", {1, 10}, "2013021", "2013023", false));
    EXPECT_EQ(ylRows(db),
              (std::vector<YlRow>{{"1", 2, 2, 2, 1.0}, {"10", 1, 1, 3, single(1.0 / 3)}}));
}

TEST_F(GroupCommand, ResortByEveryColumn) {
    qt::addDraws(db, qt::randomDraws(120, 5));
    runGroupComputation(db, input(0, "2", {1, 4, 9, 16, 25, 30, 12}, "2013001", "2013120"));
    const auto stored = ylRows(db);
    ASSERT_EQ(stored.size(), 21u);
    for (int col = 1; col <= 8; ++col) {
        const store::TextGrid g = listYl(db, col);
        ASSERT_EQ(g.rows(), 22);
        for (int r = 2; r < g.rows(); ++r) {
            if (g.at(r, col) == "-") continue;  // "-" comes after every number
            ASSERT_NE(g.at(r - 1, col), "-") << "column " << col << " row " << r;
            EXPECT_LE(std::stod(g.at(r - 1, col)), std::stod(g.at(r, col)))
                << "column " << col << " row " << r;
        }
    }
    // The label column lists the groups in the order they were computed.
    const store::TextGrid byLabel = listYl(db, 0);
    for (std::size_t i = 0; i < stored.size(); ++i)
        EXPECT_EQ(byLabel.at(static_cast<int>(i) + 1, 0), stored[i].content);
    // The default listing is by last omission.
    const store::TextGrid byLast = listYl(db);
    EXPECT_EQ(byLast.cells, listYl(db, 3).cells);
}

TEST_F(GroupCommand, DatabaseFailureLeavesTheOldRows) {
    qt::addDraws(db, qt::randomDraws(30, 3));
    runGroupComputation(db, input(0, "2", {1, 2, 3}, "2013001", "2013030"));
    const auto before = ylRows(db);
    // The third row of the next run cannot be stored.
    db.db().executeNative(
        "CREATE TRIGGER yl_full BEFORE INSERT ON YL WHEN (SELECT count(*) FROM YL) >= 2 "
        "BEGIN SELECT RAISE(ABORT, 'YL is full'); END");
    const GroupResult r = runGroupComputation(db, input(0, "2", {4, 5, 6}, "2013001", "2013030"));
    EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Failed);
    EXPECT_EQ(r.outcome.text().rfind("分组计算失败，结果表未改动：", 0), 0u) << r.outcome.text();
    EXPECT_EQ(r.outcome.title, "分组计算");
    EXPECT_EQ(ylRows(db), before);
    EXPECT_EQ(r.listing.rows(), 4);
}

}  // namespace

TEST(GroupTable, AnOlderTableGetsTheNewColumnsWhenOpenedAndKeepsItsRows) {
    qt::TempDir dir;
    {
        store::HistoryDb db(dir.path());
        db.open();
        db.db().executeNative("DROP TABLE YL");
        db.db().executeNative(
            "CREATE TABLE YL (RowSeq INTEGER PRIMARY KEY, content TEXT, intMinYL SMALLINT, "
            "intMaxYL SMALLINT, "
            "intLstYl SMALLINT, sglLlr REAL)");
        db.db().executeNative(
            "INSERT INTO YL (content, intMinYL, intMaxYL, intLstYl, sglLlr) VALUES ('05', 2, 9, 3, "
            "3)");
    }
    store::HistoryDb db(dir.path());
    db.open();
    const auto cols = db.db().tableColumns("YL");
    EXPECT_EQ(std::vector<std::string>(cols.end() - 4, cols.end()),
              (std::vector<std::string>{"intHitCount", "dblAvgYl", "dblDueRatio", "intMaxRun"}));
    // The old row lists with its figures and empty new cells, and sorts after every number.
    db.db().executeNative(
        "INSERT INTO YL (content, intMinYL, intMaxYL, intLstYl, sglLlr, intHitCount, dblAvgYl, "
        "dblDueRatio, intMaxRun) "
        "VALUES ('07', 1, 4, 2, 2, 5, 3.5, NULL, 2)");
    const store::TextGrid byDue = listYl(db, 5);  // by 出现次数
    ASSERT_EQ(byDue.rows(), 3);
    EXPECT_EQ(byDue.cells[1],
              (std::vector<std::string>{"07", "1", "4", "2", "2", "5", "3.50", "-", "2"}));
    EXPECT_EQ(byDue.cells[2], (std::vector<std::string>{"05", "2", "9", "3", "3", "", "", "", ""}));
    db.close();
    db.open();  // a second opening finds nothing to add
    EXPECT_EQ(db.db().tableColumns("YL").size(), cols.size());
}
