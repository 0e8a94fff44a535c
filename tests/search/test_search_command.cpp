// The search on a real history: marking, selection, the hit grid and the statistics.

#include <gtest/gtest.h>

#include "search/search_command.h"
#include "store/history_db.h"
#include "support/test_support.h"

using namespace quarvel;
namespace qt = quarvel::testing;
using search::Criteria;

namespace {

// Zodiac year 2013 throughout (serials above its threshold 16): 03, 15 and 27 are 兔 (code 4),
// 29 has digit sum 11 and segment 10, 01..03 are segment 1.
const std::vector<qt::Draw> kDraws = {
    {2013020, {1, 2, 4, 6, 7, 8, 9, 10}},         // IDX 1
    {2013021, {3, 15, 1, 2, 4, 6, 7, 8}},         // IDX 2: 兔 twice
    {2013022, {3, 1, 2, 4, 6, 7, 8, 9}},          // IDX 3: 兔 once
    {2013023, {1, 2, 4, 6, 7, 8, 9, 27}},         // IDX 4: 兔 only as the special number
    {2013024, {29, 11, 12, 13, 14, 16, 18, 20}},  // IDX 5
    {2013025, {2, 4, 6, 7, 8, 9, 10, 11}},        // IDX 6
};

class SearchCommand : public ::testing::Test {
  protected:
    void SetUp() override {
        db.open();
        qt::addDraws(db, kDraws);
    }

    Criteria criteria(int type, std::vector<std::pair<int, int>> posValue, bool fixed = false,
                      bool special = true) {
        Criteria c;
        c.type = type;
        c.fixed = fixed;
        c.countSpecial = special;
        c.rangeStart = "2013020";
        c.rangeEnd = "2013025";
        for (auto [p, v] : posValue) {
            c.selected[p - 1] = true;
            c.values[p - 1] = v;
            c.texts[p - 1] = std::to_string(v);
        }
        return c;
    }

    std::vector<std::string> issues(const search::SearchResult& r) {
        std::vector<std::string> out;
        for (int row = 1; row < r.hits.rows(); ++row) out.push_back(r.hits.at(row, 0));
        return out;
    }

    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
};

using Issues = std::vector<std::string>;

}  // namespace

TEST_F(SearchCommand, StatisticsOfTheHitsAndTheGrids) {
    const auto r = search::runSearch(db, criteria(1, {{1, 4}}));
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(issues(r), (Issues{"2013021", "2013022", "2013023"}));
    // gaps 2, 1, 1; last omission 6 + 1 - 4
    EXPECT_EQ(r.hits.cells[1], (std::vector<std::string>{"2013021", "兔", "兔", "蛇", "龙", "虎",
                                                         "鼠", "猪", "狗", "2", "1"}));
    EXPECT_EQ(r.hits.at(3, 9), "1");
    EXPECT_EQ(r.hits.at(3, 10), "3");
    EXPECT_EQ(r.summary.cells,
              (std::vector<std::vector<std::string>>{
                  {"号码（分组）", "最小遗漏", "最大遗漏", "最后遗漏", "大后比", "出现次数",
                   "平均遗漏", "欲出几率", "最大连出"},
                  // k = 3 of N = 6 draws: average 7 / 4, due ratio (3 - 1) * 4 / 3, run IDX 2..4
                  {"4 ", "1", "2", "3", "0.666666666666667", "3", "1.75", "2.67", "3"}}));
    EXPECT_EQ(r.hits.cells[0],
              (std::vector<std::string>{"期号", "平1位", "平2位", "平3位", "平4位", "平5位",
                                        "平6位", "平7位", "特位", "遗漏次数", "序号"}));
    EXPECT_EQ(r.hits.colWidths,
              (std::vector<int>{1000, 800, 800, 800, 800, 800, 800, 800, 800, 800, 680}));
}

TEST_F(SearchCommand, NoHitLeavesHeaderAndStartingValues) {
    const auto r = search::runSearch(db, criteria(0, {{1, 30}}));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.hits.rows(), 1);
    EXPECT_EQ(r.summary.cells[1], (std::vector<std::string>{"30 ", "32767", "32767", "7", "4681",
                                                            "0", "7.00", "1.00", "0"}));
}

TEST_F(SearchCommand, RangeInsideTheHistoryStillMeasuresFromTheWholeHistory) {
    auto c = criteria(1, {{1, 4}});
    c.rangeStart = "2013022";
    auto r = search::runSearch(db, c);
    EXPECT_EQ(issues(r), (Issues{"2013022", "2013023"}));
    EXPECT_EQ(r.hits.at(1, 9), "3");  // measured from the first stored draw
    EXPECT_EQ(r.summary.cells[1],
              (std::vector<std::string>{"4 ", "1", "3", "3", "1", "2", "1.67", "3.00", "2"}));

    c.rangeStart = "2013020";
    c.rangeEnd = "2013022";
    r = search::runSearch(db, c);
    EXPECT_EQ(issues(r), (Issues{"2013021", "2013022"}));
    EXPECT_EQ(r.stats.last, 4);  // to the newest stored draw, past the range end
    EXPECT_EQ(r.summary.at(1, 4), "0.5");
}

TEST_F(SearchCommand, NewestDrawHitGivesLastOmissionOne) {
    const auto r = search::runSearch(db, criteria(0, {{1, 11}}));
    EXPECT_EQ(issues(r), (Issues{"2013024", "2013025"}));
    EXPECT_EQ(r.stats.last, 1);
    EXPECT_EQ(r.stats.minimum, 1);
    EXPECT_EQ(r.stats.maximum, 5);
}

TEST_F(SearchCommand, SpecialNumberCountsOnlyWhenAsked) {
    EXPECT_EQ(issues(search::runSearch(db, criteria(1, {{8, 4}}, false, true))),
              (Issues{"2013021", "2013022", "2013023"}));
    EXPECT_EQ(issues(search::runSearch(db, criteria(1, {{8, 4}}, false, false))),
              (Issues{"2013021", "2013022"}));
    EXPECT_EQ(issues(search::runSearch(db, criteria(0, {{8, 27}}, false, true))),
              (Issues{"2013023"}));
    EXPECT_EQ(issues(search::runSearch(db, criteria(0, {{8, 27}}, false, false))), Issues{});
    // the number string loses its last token and the space before it, the seventh still matches
    EXPECT_EQ(issues(search::runSearch(db, criteria(0, {{1, 18}}, false, false))),
              (Issues{"2013024"}));
}

TEST_F(SearchCommand, SameZodiacAtTwoPositionsNeedsTwoOccurrences) {
    EXPECT_EQ(issues(search::runSearch(db, criteria(1, {{1, 4}, {5, 4}}))), (Issues{"2013021"}));
    EXPECT_EQ(issues(search::runSearch(db, criteria(1, {{1, 4}, {5, 4}, {6, 4}}))), Issues{});
}

TEST_F(SearchCommand, FixedDigitSumComparesHeadPlusTail) {
    const auto r = search::runSearch(db, criteria(4, {{1, 11}}, true));
    EXPECT_EQ(issues(r), (Issues{"2013024"}));
    EXPECT_EQ(r.hits.at(1, 1), "11");
    EXPECT_EQ(r.summary.at(1, 0), "11 ");
    // fixed means the position: 11 as the second number has digit sum 2
    EXPECT_EQ(issues(search::runSearch(db, criteria(4, {{2, 11}}, true))), Issues{});
    EXPECT_EQ(issues(search::runSearch(db, criteria(0, {{1, 3}, {2, 15}}, true))),
              (Issues{"2013021"}));
}

TEST_F(SearchCommand, SegmentOneDoesNotMatchSegmentTen) {
    EXPECT_EQ(issues(search::runSearch(db, criteria(5, {{1, 1}}))),
              (Issues{"2013020", "2013021", "2013022", "2013023", "2013025"}));
    EXPECT_EQ(issues(search::runSearch(db, criteria(5, {{1, 10}}))), (Issues{"2013024"}));
    // the seventh token keeps its closing space when the special number's token is cut off
    EXPECT_EQ(issues(search::runSearch(db, criteria(5, {{1, 6}, {2, 6}}, false, false))),
              (Issues{"2013024"}));
}

TEST_F(SearchCommand, NoPositionSelectedHitsEveryDrawOfTheRange) {
    auto c = criteria(0, {});
    c.rangeStart = "2013021";
    const auto r = search::runSearch(db, c);
    EXPECT_EQ(r.hits.rows(), 6);
    EXPECT_EQ(r.summary.at(1, 0), "");
    EXPECT_EQ(r.stats.minimum, 1);
    EXPECT_EQ(r.stats.maximum, 2);
}

TEST_F(SearchCommand, ValuesOutsideTheirRangeFindNothing) {
    EXPECT_EQ(issues(search::runSearch(db, criteria(2, {{1, 9}}))), Issues{});
    EXPECT_EQ(issues(search::runSearch(db, criteria(1, {{1, 4}, {2, 400}}))), Issues{});
    EXPECT_EQ(issues(search::runSearch(db, criteria(0, {{1, -1}}, true))), Issues{});
}

TEST_F(SearchCommand, BadRangeIsRefusedAndMarksNothing) {
    db.db().executeNative("UPDATE Lishi SET intTh = 99");
    for (auto [start, end] :
         {std::pair{"abc", "2013025"}, {"2013020", ""}, {"2013020", "2013.5"}}) {
        auto c = criteria(0, {{1, 3}});
        c.rangeStart = start;
        c.rangeEnd = end;
        const auto r = search::runSearch(db, c);
        EXPECT_FALSE(r.ok()) << start << ".." << end;
        EXPECT_EQ(r.hits.rows(), 0);
    }
    auto c = criteria(0, {});
    c.type = 8;
    EXPECT_FALSE(search::runSearch(db, c).ok());
    auto s = db.db().snapshot("SELECT count(*) AS n FROM Lishi WHERE intTh = 99");
    s.moveFirst();
    EXPECT_EQ(s.intField("n"), 6);
}

TEST_F(SearchCommand, TypeWithoutColumnReportsItsRefusedStatements) {
    const auto r = search::runSearch(db, criteria(6, {{1, 3}}, true));
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.failedStatements, 1);
    EXPECT_EQ(r.hits.rows(), 1);
    // parity is derived from the number column
    const auto parity = search::runSearch(db, criteria(7, {{1, 1}, {2, 1}}, true));
    EXPECT_EQ(issues(parity), (Issues{"2013021", "2013022", "2013024"}));
    EXPECT_EQ(parity.hits.at(1, 3), "1");
    EXPECT_EQ(parity.hits.at(1, 4), "0");
}

TEST(SearchEmptyHistory, NoDrawsNoHits) {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    db.open();
    Criteria c;
    c.rangeStart = "0";
    c.rangeEnd = "9999999";
    const auto r = search::runSearch(db, c);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.hits.rows(), 1);
    EXPECT_EQ(r.summary.cells[1], (std::vector<std::string>{"", "32767", "32767", "1", "32767", "0",
                                                            "1.00", "-", "0"}));
}

TEST(SearchWorkedExample, GapsThreeOneFiveEight) {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    db.open();
    std::vector<qt::Draw> draws;
    for (int idx = 1; idx <= 20; ++idx) {
        const bool hit = idx == 3 || idx == 4 || idx == 9 || idx == 17;
        draws.push_back({2013020 + idx, {1, 2, 4, 6, 7, 8, 9, hit ? 30 : 10}});
    }
    qt::addDraws(db, draws);
    Criteria c;
    c.selected[0] = true;
    c.values[0] = 30;
    c.texts[0] = "30";
    c.rangeStart = "2013021";
    c.rangeEnd = "2013040";
    const auto r = search::runSearch(db, c);
    ASSERT_EQ(r.hits.rows(), 5);
    EXPECT_EQ(r.hits.at(4, 9), "8");
    EXPECT_EQ(r.summary.cells[1],
              (std::vector<std::string>{"30 ", "1", "8", "4", "2", "4", "4.20", "0.94", "2"}));
}
