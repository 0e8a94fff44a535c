// quarvel-cli groups: arguments, the listing as tab-separated lines, refusals and their status.

#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

using quarvel::testing::TempDir;

namespace {

const char* kHeader =
    "号码（分组）\t最小遗漏\t最大遗漏\t最后遗漏\t大后比\t出现次数\t平均遗漏\t欲出几率\t最大连出";

struct CliGroups : ::testing::Test, quarvel::testing::CliSandbox {
    void SetUp() override {
        // 30 is drawn at IDX 1 and 3 (as the special number at 3), 29 at IDX 2 and 4.
        addAll({
            {"2013021", "30", "02", "03", "04", "05", "06", "07", "08"},
            {"2013022", "29", "02", "03", "04", "05", "06", "07", "08"},
            {"2013023", "01", "02", "03", "04", "05", "06", "07", "30"},
            {"2013024", "01", "29", "03", "04", "05", "06", "07", "08"},
        });
    }
};

TEST_F(CliGroups, ListsTheGroupsByLastOmission) {
    const auto r = cli({"groups", "--size", "1", "--boxes", "30,29,11"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kHeader) +
                         "\n"
                         "29\t2\t2\t1\t2\t2\t1.67\t0.00\t1\n"
                         "30\t1\t2\t2\t1\t2\t1.67\t1.50\t1\n"
                         "11\t32767\t32767\t5\t6553.4\t0\t5.00\t1.00\t0\n");
}

TEST_F(CliGroups, SpecialNumberRangeAndSort) {
    const auto r = cli({"groups", "--no-special", "--size", "1", "--boxes", "29,30", "--range",
                        "2013021:2013022", "--sort", "0"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Computation order; 30 counts only at IDX 1, 29 only at IDX 2 inside the range.
    EXPECT_EQ(r.out, std::string(kHeader) +
                         "\n"
                         "29\t2\t2\t3\t0.666666666666667\t1\t1.50\t4.00\t1\n"
                         "30\t1\t1\t4\t0.25\t1\t1.50\t6.00\t1\n");
}

TEST_F(CliGroups, SizeLimitExitsOneAndKeepsTheTable) {
    ASSERT_EQ(cli({"groups", "--size", "2", "--boxes", "1,2,3"}).status, 0);
    std::string boxes;
    for (int b = 1; b <= 25; ++b) boxes += (b > 1 ? "," : "") + std::to_string(b);
    const auto r = cli({"groups", "--size", "4", "--boxes", boxes});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("数据溢出：4个分组请选择24个（含）以内的个数的号码"), std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    // The rows of the earlier run are still there.
    const auto listed = cli({"groups", "--size", "2", "--boxes", "1,2,3", "--sort", "1"});
    EXPECT_EQ(std::count(listed.out.begin(), listed.out.end(), '\n'), 4);
}

TEST_F(CliGroups, BadArgumentsExit2AndRefusals1) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    const std::vector<Case> bad = {
        {{"groups", "--boxes", "1,2"}, 2},                  // no size
        {{"groups", "--size", "2"}, 2},                     // no boxes
        {{"groups", "--size", "2", "--boxes", "1,31"}, 2},  // box out of range
        {{"groups", "--size", "2", "--boxes", "1,,2"}, 2},
        {{"groups", "--size", "2", "--boxes", "1,2", "--type", "6"}, 2},
        {{"groups", "--size", "2", "--boxes", "1,2", "--range", "2013021"}, 2},
        {{"groups", "--size", "2", "--boxes", "1,2", "--range", "x:2013024"}, 1},
        {{"groups", "--size", "two", "--boxes", "1,2"}, 1},
        {{"groups", "--size", "2", "--boxes", "1,2", "--sort", "9"}, 2},
        {{"groups", "--size", "2", "--boxes", "1,2", "--colour"}, 2},
    };
    for (const auto& [args, status] : bad) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, status) << args.back();
        EXPECT_FALSE(r.err.empty());
    }
}

}  // namespace
