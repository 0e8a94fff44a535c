// 出现次数, 平均遗漏, 欲出几率 and 最大连出 of the search on random histories, worked out from the
// hit grid and by counting the draws of the range; and the figures of hand-made hit lists.

#include <gtest/gtest.h>

#include "search/omission_stats.h"
#include "search/search_command.h"
#include "store/history_db.h"
#include "support/figures_reference.h"

using namespace quarvel;
namespace qt = quarvel::testing;

TEST(ResultFigures, HandMadeHitLists) {
    using search::summarize;
    using V = std::vector<int>;
    auto texts = [](const V& hits, int n, int newest) {
        const auto a = search::moreFigureTexts(summarize(hits, n, newest));
        return V{std::stoi(a[0]), std::stoi(a[3])};
    };
    EXPECT_EQ(texts({}, 10, 10), (V{0, 0}));
    EXPECT_EQ(texts({4}, 10, 10), (V{1, 1}));
    EXPECT_EQ(texts({2, 3, 5, 6, 7, 9}, 10, 10), (V{6, 3}));
    const auto s = summarize(V{3, 4, 9, 17}, 20, 20);
    EXPECT_DOUBLE_EQ(s.averageOmission(), 21.0 / 5);
    EXPECT_DOUBLE_EQ(*s.dueRatio(), 3.0 * 5 / 16);
    EXPECT_FALSE(summarize(V{1, 2, 3}, 3, 3).dueRatio());  // every draw a hit: "-"
    EXPECT_EQ(search::moreFigureTexts(summarize(V{1, 2, 3}, 3, 3))[2], "-");
    EXPECT_EQ(search::formatTwoDecimals(41.0 / 12), "3.42");
}

class SearchFigures : public ::testing::TestWithParam<unsigned> {};

TEST_P(SearchFigures, FromTheHitGrid) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws = qt::randomDraws(160, GetParam());
    qt::addDraws(db, draws);
    const std::vector<std::pair<std::size_t, std::size_t>> ranges = {
        {0, 159}, {25, 110}, {70, 70}, {140, 159}};
    for (auto [from, to] : ranges) {
        search::Criteria c;
        c.rangeStart = std::to_string(draws[from].issue);
        c.rangeEnd = std::to_string(draws[to].issue);
        // Some patterns: one free number, a fixed head, a free zodiac without the special number,
        // nothing ticked (every draw of the range a hit) and a value no draw shows.
        std::vector<search::Criteria> patterns;
        c.type = 0;
        c.selected[0] = true;
        c.values[0] = static_cast<int>(GetParam() % 30) + 1;
        patterns.push_back(c);
        c.type = 2;
        c.fixed = true;
        c.values[0] = 1;
        patterns.push_back(c);
        c.type = 1;
        c.fixed = false;
        c.countSpecial = false;
        c.values[0] = 5;
        patterns.push_back(c);
        c.selected[0] = false;
        patterns.push_back(c);
        c.selected[0] = true;
        c.type = 0;
        c.values[0] = 31;
        patterns.push_back(c);
        for (const auto& p : patterns) {
            const auto r = search::runSearch(db, p);
            ASSERT_TRUE(r.ok()) << r.outcome.text();
            qt::expectFiguresOfHitGrid(r.hits, r.summary, draws, draws[from].issue,
                                       draws[to].issue);
        }
        // The every-draw case says "-" and runs the whole range.
        const auto all = search::runSearch(db, patterns[3]);
        EXPECT_EQ(all.summary.at(1, 7), "-");
        EXPECT_EQ(all.summary.at(1, 8), std::to_string(to - from + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(RandomHistories, SearchFigures, ::testing::Values(3u, 11u, 29u));
