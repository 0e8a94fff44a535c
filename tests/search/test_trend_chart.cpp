// The trend chart: a small hand-made history worked out by hand (sub-range, a value that never
// shows, repeated values, with and without the special number), the value columns of every
// type, and the statistic rows against a free search for one value over the whole history.

#include <gtest/gtest.h>

#include "search/search_command.h"
#include "search/trend_chart.h"
#include "store/history_db.h"
#include "support/test_support.h"

using namespace quarvel;
using namespace quarvel::search;
namespace qt = quarvel::testing;

namespace {

// Heads of the eight positions (the last is the special number), IDX 1..5.
const std::vector<TrendDraw> kHeads = {
    {1, 2013001, {0, 0, 1, 1, 1, 1, 1, 3}},  // 0 twice, 3 only as the special number
    {2, 2013002, {1, 1, 1, 1, 1, 1, 1, 0}},  // 0 only as the special number
    {3, 2013003, {0, 1, 1, 1, 1, 1, 1, 1}}, {4, 2013004, {1, 1, 1, 1, 1, 1, 1, 1}},
    {5, 2013005, {3, 1, 1, 1, 1, 1, 1, 0}},
};

std::vector<std::vector<std::string>> body(const TrendChart& t) {
    auto g = t.toTextGrid();
    return {g.cells.begin() + 1, g.cells.end()};
}

TrendInput heads(bool special) {
    TrendInput in;
    in.type = 2;
    in.countSpecial = special;
    in.rangeStart = 2013002;
    in.rangeEnd = 2013004;
    return in;
}

}  // namespace

TEST(TrendChart, SubRangeWithTheSpecialNumber) {
    const TrendChart t(kHeads, heads(true));
    EXPECT_EQ(t.header(), (std::vector<std::string>{"期号", "0", "1", "2", "3"}));
    // Head 2 never shows (0); head 3 showed at IDX 1 by the special number.
    EXPECT_EQ(body(t), (std::vector<std::vector<std::string>>{
                           {"2013002", "0", "1×7", "0", "1"},
                           {"2013003", "0", "1×7", "0", "2"},
                           {"2013004", "1", "1×8", "0", "3"},
                           {"出现次数", "2", "3", "0", "0"},
                           {"平均遗漏", "1.33", "1.00", "4.00", "4.00"},
                           {"最大遗漏", "1", "1", "-", "-"},
                           {"最后遗漏", "2", "1", "5", "4"},
                           {"欲出几率", "3.00", "-", "1.33", "1.00"},
                       }));
    EXPECT_EQ(t.mark(0, 0), TrendMark::ShownBySpecial);
    EXPECT_EQ(t.mark(1, 0), TrendMark::Shown);
    EXPECT_EQ(t.mark(2, 0), TrendMark::Omission);
    EXPECT_EQ(t.mark(0, 1), TrendMark::Shown);  // the special number adds to a regular showing
}

TEST(TrendChart, SubRangeWithoutTheSpecialNumber) {
    const TrendChart t(kHeads, heads(false));
    EXPECT_EQ(body(t), (std::vector<std::vector<std::string>>{
                           {"2013002", "1", "1×7", "0", "0"},
                           {"2013003", "0", "1×6", "0", "0"},
                           {"2013004", "1", "1×7", "0", "0"},
                           {"出现次数", "1", "3", "0", "0"},
                           {"平均遗漏", "2.00", "1.00", "4.00", "4.00"},
                           {"最大遗漏", "2", "1", "-", "-"},
                           {"最后遗漏", "2", "1", "5", "5"},
                           {"欲出几率", "1.00", "-", "1.33", "1.33"},
                       }));
}

TEST(TrendChart, ValueColumnsOfEveryType) {
    std::vector<std::string> captions;
    EXPECT_EQ(trendValues(0, 1, 1, captions).size(), 30u);
    EXPECT_EQ(captions.front(), "01");
    EXPECT_EQ(trendValues(1, 0, 1, captions).front(), 0);
    EXPECT_EQ(captions.front(), "鼠");
    EXPECT_EQ(trendValues(1, 1, 1, captions).back(), 12);
    EXPECT_EQ(captions.back(), "猪");
    EXPECT_EQ(trendValues(2, 1, 1, captions), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(trendValues(3, 1, 1, captions).size(), 10u);
    EXPECT_EQ(trendValues(4, 1, 1, captions).back(), 11);
    EXPECT_EQ(trendValues(5, 1, 0, captions), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_EQ(captions.back(), "9");
}

TEST(TrendChart, WholeHistoryStatisticsEqualAFreeSearchForOneValue) {
    qt::TempDir dir;
    store::HistoryDb db(dir.path());
    db.open();
    const auto draws = qt::randomDraws(140, 17);
    qt::addDraws(db, draws);
    for (int type : {0, 1, 5}) {
        for (bool special : {true, false}) {
            TrendInput in;
            in.type = type;
            in.countSpecial = special;
            in.rangeStart = draws.front().issue;
            in.rangeEnd = draws.back().issue;
            const TrendChart t = buildTrend(db.db(), in);
            ASSERT_EQ(t.drawRows(), 140);
            std::vector<std::string> captions;
            const auto values = trendValues(type, 1, 1, captions);
            for (int c = 0; c < t.valueColumns(); ++c) {
                Criteria cr;
                cr.type = type;
                cr.countSpecial = special;
                cr.selected[0] = true;
                cr.values[0] = values[static_cast<std::size_t>(c)];
                cr.rangeStart = std::to_string(in.rangeStart);
                cr.rangeEnd = std::to_string(in.rangeEnd);
                const auto s = runSearch(db, cr);
                ASSERT_TRUE(s.ok());
                // 出现次数, 平均遗漏, 最大遗漏, 最后遗漏, 欲出几率 against the summary's columns
                const auto& row = s.summary.cells[1];
                const std::string maxText = s.stats.hits == 0 ? "-" : row[2];
                EXPECT_EQ(
                    (std::vector<std::string>{t.statText(0, c), t.statText(1, c), t.statText(2, c),
                                              t.statText(3, c), t.statText(4, c)}),
                    (std::vector<std::string>{row[5], row[6], maxText, row[3], row[7]}))
                    << "type " << type << " column " << captions[static_cast<std::size_t>(c)];
            }
        }
    }
}
