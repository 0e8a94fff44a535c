// quarvel-cli calibrate, kline and backtest on a four-draw history worked out by hand, and
// --as-of against a history that really ends there.

#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

namespace {

const std::vector<std::vector<std::string>> kDraws = {
    {"2013021", "30", "02", "03", "04", "05", "06", "07", "08"},
    {"2013022", "29", "02", "03", "04", "05", "06", "07", "08"},
    {"2013023", "01", "02", "03", "04", "05", "06", "07", "30"},
    {"2013024", "01", "29", "03", "04", "05", "06", "07", "08"},
};

// 30 shows at IDX 1 and 3 (the special number at 3), 29 at IDX 2 and 4.
struct CliChance : ::testing::Test, quarvel::testing::CliSandbox {
    void SetUp() override { addAll(kDraws); }
};

}  // namespace

TEST_F(CliChance, CalibrationAndKLineOfASearch) {
    // N 4, k 2, m 2/3: omissions 1 1 2 1 put IDX 1, 2, 4 below 0.5 and IDX 3 at 1.5.
    const auto cal = cli({"calibrate", "--pos", "1=30"});
    ASSERT_EQ(cal.status, 0) << cal.err;
    EXPECT_EQ(cal.out,
              "欲出几率\t试验次数\t命中次数\t命中率\t95%下限\t95%上限\t总体命中率\t偏差\n"
              "<0.5\t3\t1\t0.3333\t0.0615\t0.7923\t0.5000\t-0.58\n"
              "0.5-1\t0\t0\t-\t-\t-\t-\t-\n"
              "1-1.5\t0\t0\t-\t-\t-\t-\t-\n"
              "1.5-2\t1\t1\t1.0000\t0.2065\t1.0000\t0.5000\t1.00\n"
              "2-3\t0\t0\t-\t-\t-\t-\t-\n"
              ">=3\t0\t0\t-\t-\t-\t-\t-\n"
              "卡方\t1.33\t自由度\t1\tp\t0.2482\n");
    const auto k = cli({"kline", "--pos", "1=30"});
    ASSERT_EQ(k.status, 0) << k.err;
    EXPECT_EQ(k.out,
              "期号\t命中\tK\t下限\t上限\n"
              "2013021\t1\t1.000\t-2.000\t2.000\n"
              "2013022\t0\t0.000\t-2.828\t2.828\n"
              "2013023\t1\t1.000\t-3.464\t3.464\n"
              "2013024\t0\t0.000\t-4.000\t4.000\n");
    // A partial search of one position (k = 1) for 29 anywhere: hits at 2 and 4.
    const auto pk = cli({"kline", "--partial", "-k", "1", "--values", "29,29,29,29,29,29,29,29",
                         "--range", "2013022:2013024"});
    ASSERT_EQ(pk.status, 0) << pk.err;
    EXPECT_NE(pk.out.find("2013024\t1\t0.000\t"), std::string::npos) << pk.out;
}

TEST_F(CliChance, BacktestOfTheLastOmissionRanking) {
    // Before 22: 29 last 2, 30 last 1 -> 29; before 23: 1, 2 -> 30; before 24: 2, 1 -> 29. Each
    // pick shows, one of the two groups shows each time: e 0.5, v 0.25.
    const std::vector<std::string> args = {
        "backtest",        "--size", "1", "--boxes", "29,30", "--test",
        "2013022:2013024", "--by",   "3", "--pick",  "1"};
    const auto r = cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "期号\t选中\t命中\t随机期望\t累计命中\t累计期望\n"
              "2013022\t29\t1\t0.500\t1\t0.500\n"
              "2013023\t30\t1\t0.500\t2\t1.000\n"
              "2013024\t29\t1\t0.500\t3\t1.500\n"
              "合计\t3\t1.500\t0.866\t1.73\t0.0833\n");
    auto cut = args;
    cut.insert(cut.end(), {"--as-of", "2013023"});
    const auto asOf = cli(cut);
    ASSERT_EQ(asOf.status, 0) << asOf.err;
    EXPECT_NE(asOf.out.find("合计\t2\t1.000\t0.707\t1.41\t0.1573\n"), std::string::npos)
        << asOf.out;
    EXPECT_EQ(asOf.out.find("2013024"), std::string::npos);

    EXPECT_EQ(cli({"backtest", "--size", "1", "--boxes", "29"}).status, 2);  // no --test
    EXPECT_EQ(
        cli({"backtest", "--size", "1", "--boxes", "29", "--test", "1:2", "--by", "9"}).status, 2);
}

TEST_F(CliChance, AsOfIsTheHistoryEndingThere) {
    quarvel::testing::CliSandbox shorter;
    shorter.addAll({kDraws[0], kDraws[1]});
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"search", "--pos", "1=30"},
          {"partial", "-k", "1", "--values", "30,29,1,1,1,1,1,1"},
          {"groups", "--size", "1", "--boxes", "29,30,1"},
          {"trend", "--type", "3"},
          {"calibrate", "--pos", "1=29"},
          {"shape"},
          {"shape", "--summary"}}) {
        auto cut = command;
        cut.insert(cut.end(), {"--as-of", "2013022"});
        const auto r = cli(cut);
        ASSERT_EQ(r.status, 0) << command[0] << ": " << r.err;
        EXPECT_EQ(r.out, shorter.cli(command).out) << command[0];
    }
    const auto early = cli({"search", "--pos", "1=30", "--as-of", "2013020"});
    EXPECT_EQ(early.status, 1);
    EXPECT_NE(early.err.find("截止期 2013020 及以前没有历史号码"), std::string::npos) << early.err;
}
