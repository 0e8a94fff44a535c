// The reference draw of the history tab: which draw is picked, the end of the range, the values
// per search type, and every way of having no reference draw.

#include <gtest/gtest.h>

#include "search/reference_draw.h"
#include "support/test_support.h"

namespace {

using quarvel::search::findReferenceDraw;
using quarvel::testing::addDraws;
using quarvel::testing::TempDir;

class ReferenceDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        db.open();
        // 2013020 is the worked example: zodiac codes 4 8 4 9 4 2 1 11 with base 1.
        addDraws(db, {{2013010, {1, 2, 3, 4, 5, 6, 7, 8}},
                      {2013020, {3, 11, 15, 22, 27, 29, 30, 8}},
                      {2013030, {30, 29, 28, 27, 26, 25, 24, 23}}});
    }
    quarvel::store::HistoryDb& sorted() { return db; }

    TempDir dir;
    quarvel::store::HistoryDb db{dir.path()};
};

TEST_F(ReferenceDrawTest, PicksNewestDrawNotAfterTheReference) {
    // Exactly a stored issue, between two stored issues, and beyond the newest.
    auto exact = findReferenceDraw(sorted(), "2013020", false, 0, 1);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->issue, 2013020);
    EXPECT_EQ(exact->rangeEnd, 2013030);
    EXPECT_EQ(exact->values, (std::array<int, 8>{3, 11, 15, 22, 27, 29, 30, 8}));

    auto between = findReferenceDraw(sorted(), " 2013025 ", false, 0, 1);
    ASSERT_TRUE(between);
    EXPECT_EQ(between->issue, 2013020);

    auto beyond = findReferenceDraw(sorted(), "2099001", false, 0, 1);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->issue, 2013030);
    EXPECT_EQ(beyond->rangeEnd, 2013030);
}

TEST_F(ReferenceDrawTest, OnlyBeforeEndsTheRangeJustBeforeTheReferenceDraw) {
    auto exact = findReferenceDraw(sorted(), "2013020", true, 0, 1);
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->issue, 2013020);
    EXPECT_EQ(exact->rangeEnd, 2013019);

    // Between two issues the end follows the draw reached, not the typed issue.
    auto between = findReferenceDraw(sorted(), "2013025", true, 0, 1);
    ASSERT_TRUE(between);
    EXPECT_EQ(between->rangeEnd, 2013019);

    auto newest = findReferenceDraw(sorted(), "2013030", true, 0, 1);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->rangeEnd, 2013029);
}

TEST_F(ReferenceDrawTest, ValuesAndTextsFollowTheSearchType) {
    struct Case {
        int type;
        std::array<int, 8> values;
    };
    const Case cases[] = {
        {1, {4, 8, 4, 9, 4, 2, 1, 11}},   // zodiac codes
        {2, {0, 1, 1, 2, 2, 2, 3, 0}},    // heads
        {3, {3, 1, 5, 2, 7, 9, 0, 8}},    // tails
        {4, {3, 2, 6, 4, 9, 11, 3, 8}},   // digit sums, head + tail
        {5, {1, 4, 5, 8, 9, 10, 10, 3}},  // segments
        {7, {1, 1, 1, 0, 1, 1, 0, 0}},    // parity of the number
    };
    for (const auto& c : cases) {
        auto ref = findReferenceDraw(sorted(), "2013020", false, c.type, 1);
        ASSERT_TRUE(ref) << "type " << c.type;
        EXPECT_EQ(ref->values, c.values) << "type " << c.type;
        if (c.type != 1) EXPECT_EQ(ref->texts[5], std::to_string(c.values[5])) << "type " << c.type;
    }
}

TEST_F(ReferenceDrawTest, ZodiacTypeShowsNamesAndKeepsCodes) {
    auto ref = findReferenceDraw(sorted(), "2013020", false, 1, 1);
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->values[0], 4);
    EXPECT_EQ(ref->texts,
              (std::array<std::string, 8>{"兔", "羊", "兔", "猴", "兔", "牛", "鼠", "狗"}));
    // A base that does not match the stored codes shows what it can and leaves the rest blank:
    // number 6 of 2013010 (zodiac year 2012) has code 12, beyond the names of base 0.
    auto shifted = findReferenceDraw(sorted(), "2013015", false, 1, 0);
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->values[5], 12);
    EXPECT_EQ(shifted->texts[5], "");
    EXPECT_EQ(shifted->texts[4], "牛");  // number 5: code 1
}

TEST_F(ReferenceDrawTest, NoReferenceDrawIsRefusedNotGuessed) {
    for (const char* text : {"", "abc", "2013o20", "2013020x", "99999999999", "2.5"})
        EXPECT_FALSE(findReferenceDraw(sorted(), text, false, 0, 1)) << text;
    // Before every stored draw, with and without the flag.
    EXPECT_FALSE(findReferenceDraw(sorted(), "2013009", false, 0, 1));
    EXPECT_FALSE(findReferenceDraw(sorted(), "2013009", true, 0, 1));
    EXPECT_FALSE(findReferenceDraw(sorted(), "-5", true, 0, 1));
    // Types without a stored column or outside the table.
    EXPECT_FALSE(findReferenceDraw(sorted(), "2013020", false, 6, 1));
    EXPECT_FALSE(findReferenceDraw(sorted(), "2013020", false, 8, 1));
    EXPECT_FALSE(findReferenceDraw(sorted(), "2013020", false, -1, 1));
}

TEST(ReferenceDrawEmpty, EmptyHistoryHasNoReferenceDraw) {
    TempDir dir;
    quarvel::store::HistoryDb db{dir.path()};
    db.open();
    EXPECT_FALSE(findReferenceDraw(db, "2013001", false, 0, 1));
    EXPECT_FALSE(findReferenceDraw(db, "2013001", true, 0, 1));
}

}  // namespace
