// Value codes of the boxes, member patterns, labels, the enumeration order and the whole-number
// reading of the size and range texts.

#include <gtest/gtest.h>

#include "group_test_util.h"
#include "groups/group_command.h"
#include "groups/group_eval.h"
#include "groups/group_values.h"
#include "search/marking.h"
#include "search/omission_scan.h"
#include "search/search_command.h"
#include "store/whole_number.h"

using namespace quarvel::groups;

namespace {

struct BoxCase {
    int type;
    int box;
    const char* pattern;
    const char* label;
    int base = 1;  // zodiac and segment base of the start-up numbering
};

class BoxCodes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(BoxCodes, PatternAndLabel) {
    const BoxCase c = GetParam();
    const BoxCoding coding{quarvel::store::ZodiacCodes::startup(c.base), c.base};
    EXPECT_EQ(memberPattern(c.type, c.box, coding), c.pattern);
    EXPECT_EQ(labelPart(c.type, c.box, coding), c.label);
}

// Zodiac box k finds the code of the zodiac its caption names (name index k mod 12); segment
// box k finds the k-th segment, captioned with its code.
INSTANTIATE_TEST_SUITE_P(
    EveryType, BoxCodes,
    ::testing::Values(BoxCase{0, 5, "*05*", "05"}, BoxCase{0, 17, "*17*", "17"},
                      BoxCase{1, 5, "*1X06*", "蛇"}, BoxCase{1, 1, "*1X02*", "牛"},
                      BoxCase{1, 12, "*1X01*", "鼠"}, BoxCase{1, 12, "*1X00*", "鼠", 0},
                      BoxCase{1, 11, "*1X11*", "猪", 0}, BoxCase{2, 1, "*1X0*", "0"},
                      BoxCase{2, 5, "*1X4*", "4"}, BoxCase{3, 10, "*1X9*", "9"},
                      BoxCase{4, 3, "*1X03*", "03"}, BoxCase{4, 11, "*1X11*", "11"},
                      // the closing space keeps segment 1 from matching segment 10
                      BoxCase{5, 1, "*1X1 *", "1"}, BoxCase{5, 10, "*1X10 *", "10"},
                      BoxCase{5, 1, "*1X0 *", "0", 0}, BoxCase{5, 10, "*1X9 *", "9", 0}));

TEST(BoxCodes, MenuFillingOfTheZodiacTable) {
    // After a zodiac-parameter menu choice the table in force gives the code.
    const BoxCoding coding{quarvel::store::ZodiacCodes::forMenuChoice(1, 2013), 1};
    EXPECT_EQ(memberPattern(1, 12, coding), "*1X06*");  // 鼠 in 2013: 1 + (41 mod 12)
    EXPECT_EQ(labelPart(1, 12, coding), "鼠");
}

TEST(GroupValues, ValueCountsAndColumns) {
    const int counts[] = {30, 12, 5, 10, 11, 10};
    const char* columns[] = {"txtHisLst",    "txtHisLstSx", "txtHisLstTou",
                             "txtHisLstWei", "txtHisLstHe", "txtHisLstDs"};
    for (int t = 0; t < 6; ++t) {
        EXPECT_EQ(valueCount(t), counts[t]);
        EXPECT_STREQ(attributeColumn(t), columns[t]);
    }
    EXPECT_EQ(valueCount(6), 0);
    EXPECT_EQ(valueCount(-1), 0);
}

TEST(GroupStatements, Texts) {
    EXPECT_EQ(quarvel::search::sql::copy("txtHisLstSx"),
              "UPDATE [Lishi] SET [txtHisP6]= [txtHisLstSx]");
    EXPECT_EQ(quarvel::search::sql::trim("txtHisLst"),
              "UPDATE [Lishi] SET [txtHisP6]= LEFT([txtHisLst],LEN([txtHisLst])-4)");
    EXPECT_EQ(quarvel::search::sql::freeOnScratch("*05*"),
              "UPDATE [Lishi] SET [intTh]=([intTh] +1) WHERE [txtHisP6] LIKE \"*05*\"");
    EXPECT_EQ(quarvel::search::singleSetSelection(2013001, 2013150, 3),
              "SELECT * FROM [lishi] WHERE [SQQH] >= 2013001 AND  [SQQH] <= 2013150 AND [intTh] = "
              "3 ORDER BY [IDX]");
}

std::vector<std::vector<int>> groupsOf(int count, int size) {
    std::vector<std::vector<int>> out;
    forEachGroup(count, size, [&](std::span<const int> g) {
        out.emplace_back(g.begin(), g.end());
        return true;
    });
    return out;
}

TEST(GroupEnumeration, LexicographicOrderAndCounts) {
    EXPECT_EQ(groupsOf(4, 2),
              (std::vector<std::vector<int>>{{0, 1}, {0, 2}, {0, 3}, {1, 2}, {1, 3}, {2, 3}}));
    EXPECT_EQ(groupsOf(3, 3),
              (std::vector<std::vector<int>>{{0, 1, 2}}));  // count equal to the size
    EXPECT_EQ(groupsOf(24, 4).size(), 10626u);
    EXPECT_EQ(groupsOf(30, 3).size(), 4060u);
    EXPECT_EQ(groupsOf(16, 6).size(), 8008u);
    EXPECT_TRUE(groupsOf(2, 3).empty());   // fewer values than the size
    EXPECT_TRUE(groupsOf(10, 0).empty());  // sizes outside 1..6 give no group
    EXPECT_TRUE(groupsOf(10, 7).empty());
    EXPECT_TRUE(groupsOf(0, 1).empty());

    const auto all = groupsOf(9, 5);
    EXPECT_TRUE(std::is_sorted(all.begin(), all.end()));
    EXPECT_EQ(all.back(), (std::vector<int>{4, 5, 6, 7, 8}));

    int seen = 0;
    forEachGroup(10, 2, [&](std::span<const int>) { return ++seen < 3; });
    EXPECT_EQ(seen, 3);  // the visitor stops the enumeration
}

TEST(GroupSizeLimits, BoundsAndMessages) {
    EXPECT_EQ(sizeLimitMessage(4), "4个分组请选择24个（含）以内的个数的号码");
    EXPECT_EQ(sizeLimitMessage(3), "3个分组请选择40个（含）以内的个数的号码");
    EXPECT_EQ(sizeLimitMessage(5), "5个分组请选择18个（含）以内的个数的号码");
    EXPECT_EQ(sizeLimitMessage(6), "6个分组请选择16个（含）以内的个数的号码");
    EXPECT_EQ(sizeBound(1), 0);
    EXPECT_EQ(sizeBound(2), 0);
    EXPECT_EQ(sizeBound(7), 0);
}

}  // namespace

// Every box the group command and the search read as a whole number gives the verdict of the
// one reader: the size box, either range box, the range of a listed group, the search range.
TEST(WholeNumberBoxes, ReadAsTheOneReader) {
    const GroupInput base = quarvel::groups::testing::input(0, "2", {1, 2}, "2013001", "2013030");
    for (const char* text : {"2", " 2 ", "+2", "-2", "007", "2147483647", "", " ", "2x", "2.0",
                             "+-2", "二", "2147483648", "1 2"}) {
        const bool whole = quarvel::store::readWholeNumber32(text).has_value();
        GroupInput size = base, start = base, end = base;
        size.sizeText = text;
        start.rangeStart = text;
        end.rangeEnd = text;
        EXPECT_EQ(makePlan(size).ok(), whole) << '"' << text << '"';
        EXPECT_EQ(makePlan(start).ok(), whole) << '"' << text << '"';
        EXPECT_EQ(makePlan(end).ok(), whole) << '"' << text << '"';
        EXPECT_EQ(labelPlan(start, "01").ok(), whole) << '"' << text << '"';
        quarvel::search::Criteria c;
        c.rangeStart = "2013001";
        c.rangeEnd = text;
        EXPECT_EQ(quarvel::search::readRange(c).ok(), whole) << '"' << text << '"';
    }
}
