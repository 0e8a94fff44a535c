// quarvel-cli refuses the input the window refuses, with the window's sentence and status 2:
// a position value outside its type's range, a group size the boxes cannot fill.

#include <gtest/gtest.h>

#include "search/input_checks.h"
#include "support/cli_sandbox.h"

namespace {

struct CliInputChecks : ::testing::Test, quarvel::testing::CliSandbox {
    void SetUp() override {
        addAll({{"2013001", "01", "02", "03", "04", "05", "06", "07", "08"},
                {"2013002", "09", "10", "11", "12", "13", "14", "15", "16"}});
    }
};

TEST_F(CliInputChecks, RefusedWithTheWindowsSentence) {
    struct Case {
        std::vector<std::string> args;
        std::string said;
    };
    const Case cases[] = {
        {{"search", "--pos", "1=31"}, "平1位的号码 31 超出范围（号码的范围是 1～30）"},
        {{"search", "--type", "1", "--pos", "2=15"},
         "平2位的生肖 15 超出范围（生肖的范围是 1～12）"},
        {{"search", "--type", "2", "--fixed", "--pos", "8=4"},
         "特位的头数 4 超出范围（头数的范围是 0～3）"},
        {{"partial", "--values", "1,2,3,4,5,6,7,0"}, "特位的号码 0 超出范围"},
        {{"groups", "--size", "7", "--boxes", "1,2,3"},
         "组合位数 7 超出范围（组合位数的范围是 1～6）"},
        {{"groups", "--size", "4", "--boxes", "1,2,3"}, "只勾选了 3 个"},
    };
    for (const auto& c : cases) {
        const auto r = cli(c.args);
        EXPECT_EQ(r.status, 2) << c.args[0] << ": " << r.out;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;  // no header printed before the refusal
    }
    // Within range all run; 平码 leaves the eighth value out of play.
    EXPECT_EQ(cli({"search", "--pos", "1=30"}).status, 0);
    EXPECT_EQ(cli({"partial", "--pm", "--values", "1,2,3,4,5,6,7,0"}).status, 0);
    EXPECT_EQ(cli({"groups", "--size", "3", "--boxes", "1,2,3"}).status, 0);
}

}  // namespace

// The rule itself: the sentence names the box and the range; sound input passes.
TEST(InputChecks, PositionValuesTicksAndGroupSizes) {
    using namespace quarvel::search;
    Criteria c;
    c.selected[0] = true;
    c.texts[0] = "30";
    c.values[0] = 30;
    EXPECT_FALSE(checkSearchInput(c, true));
    c.texts[0] = "31";
    EXPECT_EQ(*checkSearchInput(c, true),
              "平1位的号码 31 超出范围（号码的范围是 1～30），请改正后再检索。");
    EXPECT_FALSE(checkSearchInput(c, false));  // not typed: the value (30) is what counts
    c.texts[0] = "30";
    c.texts[6] = "5";  // typed, not ticked
    EXPECT_NE(checkSearchInput(c, true)->find("平7位"), std::string::npos);
    EXPECT_FALSE(checkSearchInput(c, false));  // the history tab shows every position's value
    c.type = 5;
    c.dsBase = 0;
    c.texts[6].clear();
    c.texts[0] = "10";
    EXPECT_NE(checkSearchInput(c, true)->find("段数的范围是 0～9"), std::string::npos);
    EXPECT_FALSE(checkGroupSize(1, 1));
    EXPECT_FALSE(checkGroupSize(6, 30));
    EXPECT_TRUE(checkGroupSize(0, 30));
    EXPECT_TRUE(checkGroupSize(2, 1));
}
