// Hot/cold rows of the trend chart on a small history that crosses the 2012/2013 zodiac-year
// boundary (2013016 is the last draw of 2012): the chance of a zodiac follows each draw's year.

#include <gtest/gtest.h>

#include "chance/exact_chance.h"
#include "chance/hot_cold.h"
#include "store/history_db.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::chance;
namespace qt = quarvel::testing;

TEST(ExactChance, ShowChanceFromBinomials) {
    EXPECT_EQ(choose(30, 7), 2035800);
    EXPECT_EQ(choose(30, 8), 5852925);
    EXPECT_EQ(choose(5, 6), 0);
    // Two of thirty numbers among seven drawn: 1 − C(28, 7)/C(30, 7) = 1 − 1184040/2035800.
    EXPECT_NEAR(showChance(2, 7), 851760.0 / 2035800.0, 1e-12);
    EXPECT_NEAR(showChance(3, 8), 1.0 - 2220075.0 / 5852925.0, 1e-12);
}

TEST(HotCold, RowsAcrossAZodiacYear) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    // 蛇 has 12 and 24 in 2012, 01 13 25 in 2013; 猪 06 18 30 in 2012, 07 19 in 2013 (special
    // only).
    qt::addDraws(db, {{2013015, {12, 2, 3, 4, 5, 8, 9, 6}},
                      {2013016, {24, 2, 3, 4, 5, 8, 9, 10}},
                      {2013017, {1, 2, 3, 4, 5, 8, 9, 7}},
                      {2013018, {13, 2, 3, 4, 5, 8, 9, 10}}});
    search::TrendInput in;
    in.type = 1;
    in.rangeStart = 2013015;
    in.rangeEnd = 2013018;
    const auto codes = store::ZodiacCodes::startup(1);
    auto rows = [&](int window) {
        const store::TextGrid g = buildTrendWithHotCold(db.db(), in, codes, window)->toTextGrid();
        return std::vector<std::vector<std::string>>(g.cells.end() - 3, g.cells.end());
    };
    struct Case {
        bool special;
        int window;
        int column;                         // 1 + zodiac index
        std::vector<std::string> expected;  // count, expectation, heat
    };
    const Case cases[] = {
        // Seven numbers, four draws: E = 2·(1 − C(28,7)/C(30,7)) + 2·(1 − C(27,7)/C(30,7)) = 1.96.
        {false, 30, 1 + 5, {"4", "1.96", "热"}},
        {false, 30, 1 + 11, {"0", "1.96", "冷"}},
        // Eight numbers, the two 2013 draws: 猪 has two numbers, E = 2·(1 − C(28,8)/C(30,8)).
        {true, 2, 1 + 11, {"1", "0.94", "温"}},
    };
    for (const Case& c : cases) {
        in.countSpecial = c.special;
        const auto r = rows(c.window);
        EXPECT_EQ(r[0][0], "近" + std::to_string(c.window) + "期次数");
        EXPECT_EQ(r[1][0], "理论次数");
        EXPECT_EQ(r[2][0], "冷热");
        const auto col = static_cast<std::size_t>(c.column);
        EXPECT_EQ((std::vector<std::string>{r[0][col], r[1][col], r[2][col]}), c.expected)
            << c.column;
    }
    in.rangeStart = 2014001;  // no draw in the range
    in.rangeEnd = 2014100;
    const auto empty = rows(30);
    EXPECT_EQ(empty[0][1], "0");
    EXPECT_EQ(empty[1][1], "0.00");
    EXPECT_EQ(empty[2][1], "-");
}
