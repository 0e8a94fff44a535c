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

const std::string kPast = "冷/热与欲出几率只描述已开出的各期，不会改变下一期开出的机会\n";

TEST_F(CliChance, CalibrationAndKLineOfASearch) {
    // 30 shows with chance 8/30 in every draw (special number counted): 11/4 misses expected
    // between hits, so omissions 1 1 2 1 all fall below 0.5. E = 32/30 hits, too few for χ²:
    // the exact p of 2 of 4.
    const auto cal = cli({"calibrate", "--pos", "1=30"});
    ASSERT_EQ(cal.status, 0) << cal.err;
    EXPECT_EQ(cal.out,
              "欲出几率\t试验次数\t命中次数\t命中率\t本段95%下限\t本段95%上限\t理论次数\t偏差\n"
              "<0.5\t4\t2\t0.5000\t0.1500\t0.8500\t1.07\t1.06\n"
              "0.5-1\t0\t0\t-\t-\t-\t-\t-\n"
              "1-1.5\t0\t0\t-\t-\t-\t-\t-\n"
              "1.5-2\t0\t0\t-\t-\t-\t-\t-\n"
              "2-3\t0\t0\t-\t-\t-\t-\t-\n"
              ">=3\t0\t0\t-\t-\t-\t-\t-\n"
              "卡方\t1.11\t自由度\t1\tp\t0.2901\n" +
                  kPast +
                  "结论\t在纯随机的开奖中，这样的差别每 3 次会出现一次。命中 2 次，理论 1.1 "
                  "次；期望太少，p 按命中次数的精确分布；本历史已试 1 种设置，显著需 p < "
                  "0.0500（原始 p = 0.2901）：各段命中与随机无显著差别\n");
    const auto k = cli({"kline", "--pos", "1=30"});
    ASSERT_EQ(k.status, 0) << k.err;
    EXPECT_EQ(k.out.rfind("期号\t命中\t理论机会\tK\t下限\t上限\n2013021\t1\t0.2667\t0.733\t", 0),
              0u)
        << k.out;
    EXPECT_NE(k.out.find("\n2013024\t0\t0.2667\t0.933\t"), std::string::npos) << k.out;
    EXPECT_NE(k.out.find(kPast + "结论\t在纯随机的开奖中"), std::string::npos) << k.out;
    // A partial search of one position (k = 1) for 29 anywhere: hits at 2 and 4.
    const auto pk = cli({"kline", "--partial", "-k", "1", "--values", "29,29,29,29,29,29,29,29",
                         "--range", "2013022:2013024"});
    ASSERT_EQ(pk.status, 0) << pk.err;
    EXPECT_NE(pk.out.find("2013024\t1\t0.2667\t"), std::string::npos) << pk.out;
}

TEST_F(CliChance, BacktestOfTheLastOmissionRanking) {
    // Before 22: 29 last 2, 30 last 1 -> 29; before 23: 1, 2 -> 30; before 24: 2, 1 -> 29. Each
    // pick shows; each number shows with chance 8/30, while one of the two groups shows each
    // time (a random pick of one expects 0.5).
    const std::vector<std::string> args = {
        "backtest",        "--size", "1", "--boxes", "29,30", "--test",
        "2013022:2013024", "--by",   "3", "--pick",  "1"};
    const auto r = cli(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find(kPast)),
              "期号\t选中\t命中\t理论期望\t随机选取期望\t累计命中\t累计期望\n"
              "2013022\t29\t1\t0.267\t0.500\t1\t0.267\n"
              "2013023\t30\t1\t0.267\t0.500\t2\t0.533\n"
              "2013024\t29\t1\t0.267\t0.500\t3\t0.800\n"
              "合计\t3\t0.800\t1.500\t0.766\t2.87\t0.0041\n");
    EXPECT_NE(r.out.find("结论\t在纯随机的开奖中，这样的差别每 245 次会出现一次"),
              std::string::npos)
        << r.out;
    auto cut = args;
    cut.insert(cut.end(), {"--as-of", "2013023"});
    const auto asOf = cli(cut);
    ASSERT_EQ(asOf.status, 0) << asOf.err;
    EXPECT_NE(asOf.out.find("合计\t2\t0.533\t1.000\t0.625\t2.35\t0.0190\n"), std::string::npos)
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
