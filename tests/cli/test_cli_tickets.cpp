// quarvel-cli tickets, prizes and filter on a four-draw history worked out by hand; the sets a
// filter writes are read back as tickets.

#include <gtest/gtest.h>

#include <sstream>

#include "support/cli_sandbox.h"

namespace {

const std::vector<std::vector<std::string>> kDraws = {
    {"2013021", "30", "02", "03", "04", "05", "06", "07", "08"},
    {"2013022", "29", "02", "03", "04", "05", "06", "07", "08"},
    {"2013023", "01", "02", "03", "04", "05", "06", "07", "30"},
    {"2013024", "01", "29", "03", "04", "05", "06", "07", "08"},
};

struct CliTickets : ::testing::Test, quarvel::testing::CliSandbox {
    void SetUp() override { addAll(kDraws); }
    std::string file(const std::string& name, const std::string& text) const {
        const auto path = dir.path() / name;
        quarvel::testing::writeFile(path, text);
        return path.string();
    }
};

const char* kHeader =
    "期号\t注数\t一等奖\t二等奖\t三等奖\t四等奖\t五等奖\t六等奖\t七等奖\t固定奖金\n";

}  // namespace

TEST_F(CliTickets, LevelsPerDrawWithTheSavedPrizeTable) {
    // Against 2013021 and 2013022: 6 regular (三等奖), 5 regular (五等奖), 4 + special 08 (六等奖).
    const std::string bets = file("bets.txt",
                                  "# 三注\n02 03 04 05 06 07 09\n02 03 04 05 06 10 11\n"
                                  "02 03 04 05 08 10 11\n");
    const auto r = cli({"tickets", bets, "--range", "2013021:2013022"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, std::string(kHeader) +
                         "2013021\t3\t0\t0\t1\t0\t1\t1\t0\t60\n"
                         "2013022\t3\t0\t0\t1\t0\t1\t1\t0\t60\n"
                         "合计\t6\t0\t0\t2\t0\t2\t2\t0\t120\n"
                         "花费\t12\t固定奖金\t120\t返还率\t1000.00%\n");
    // Amounts changed and a floating 三等奖 entered for one draw; --as-of ends the range.
    ASSERT_EQ(cli({"prizes", "--fixed", "300,100,10,5", "--floating", "2013021:0,0,1800"}).status,
              0);
    const auto changed = cli({"tickets", bets, "--as-of", "2013021"});
    ASSERT_EQ(changed.status, 0) << changed.err;
    EXPECT_EQ(changed.out, std::string(kHeader) +
                               "2013021\t3\t0\t0\t1\t0\t1\t1\t0\t110\n"
                               "合计\t3\t0\t0\t1\t0\t1\t1\t0\t110\n"
                               "花费\t6\t固定奖金\t110\t返还率\t1833.33%\n"
                               "浮动奖金\t1800\t总返还率\t31833.33%\n");
    EXPECT_EQ(cli({"prizes"}).out, "四等奖至七等奖\t300,100,10,5\n浮动奖金\t2013021:0,0,1800\n");
}

TEST_F(CliTickets, ABadLineRefusesTheFileWithItsNumber) {
    // A file that cannot be read is refused (1); a value the command cannot take is a bad
    // argument (2).
    const auto r = cli({"tickets", file("bad.txt", "01 02 03 04 05 06 07\n胆 01 拖 02 03\n")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("投注文件第 2 行：1 个胆码至少要 6 个拖码"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_EQ(cli({"prizes", "--fixed", "200,50"}).status, 2);
    EXPECT_EQ(cli({"filter", "--shape", "奇偶=8:0"}).status, 2);
}

TEST_F(CliTickets, FilterRecordAndItsSetsReadAsTickets) {
    // 01 in, 30 out, four odd: three more odd and three even of 02 … 29, C(14, 3)² sets.
    const std::string out = (dir.path() / "kept.txt").string();
    const auto r = cli({"filter", "--shape", "奇偶=4:3", "--include", "1", "--exclude", "30",
                        "--range", "2013021:2013024", "--out", out});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string line;
    std::vector<std::string> got;
    while (std::getline(lines, line)) got.push_back(line);
    ASSERT_EQ(got.size(), 6u) << r.out;
    EXPECT_EQ(got[0], "保留\t132496\t共\t2035800\t占比\t6.5083%");
    EXPECT_EQ(got[1], "条件\t奇偶=4:3\t历史通过\t2\t历史期数\t4\t误杀率\t50.00%");
    EXPECT_EQ(got[2], "条件\t胆=01\t历史通过\t2\t历史期数\t4\t误杀率\t50.00%");
    EXPECT_EQ(got[3], "条件\t杀=30\t历史通过\t3\t历史期数\t4\t误杀率\t25.00%");
    EXPECT_EQ(got[4], "条件\t全部条件\t历史通过\t1\t历史期数\t4\t误杀率\t75.00%");
    EXPECT_NE(got[5].find("结论\t"), std::string::npos);
    EXPECT_NE(got[5].find("132496/2035800"), std::string::npos);

    const auto t = cli({"tickets", out, "--range", "2013024:2013024"});
    ASSERT_EQ(t.status, 0) << t.err;
    EXPECT_NE(t.out.find("\n合计\t132496\t"), std::string::npos);
    EXPECT_NE(t.out.find("花费\t264992\t"), std::string::npos);
}
