// quarvel-cli search and partial: arguments, output layout and refusals.

#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

using quarvel::testing::TempDir;

namespace {

struct CliSearch : ::testing::Test, quarvel::testing::CliSandbox {
    void SetUp() override {
        // 2013 zodiac year: 03, 15 and 27 are 兔 (code 4); 29 has digit sum 11
        addAll({
            {"2013020", "01", "02", "04", "06", "07", "08", "09", "10"},
            {"2013021", "03", "15", "01", "02", "04", "06", "07", "08"},
            {"2013022", "03", "01", "02", "04", "06", "07", "08", "09"},
            {"2013023", "01", "02", "04", "06", "07", "08", "09", "27"},
            {"2013024", "29", "11", "12", "13", "14", "16", "18", "20"},
        });
    }
    static std::vector<std::string> lines(const std::string& s) {
        std::vector<std::string> out;
        std::size_t from = 0;
        for (std::size_t nl; (nl = s.find('\n', from)) != std::string::npos; from = nl + 1)
            out.push_back(s.substr(from, nl - from));
        return out;
    }
};

}  // namespace

TEST_F(CliSearch, PrintsHitsThenSummary) {
    const auto r = cli({"search", "--type", "1", "--pos", "1=兔", "--pos", "5=04"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 5u) << r.out;
    EXPECT_EQ(l[0], "期号\t平1位\t平2位\t平3位\t平4位\t平5位\t平6位\t平7位\t特位\t遗漏次数\t序号");
    EXPECT_EQ(l[1].substr(0, 15), "2013021\t兔\t兔");
    EXPECT_EQ(l[2], "");
    EXPECT_EQ(l[3],
              "号码（分组）\t最小遗漏\t最大遗漏\t最后遗漏\t大后比\t出现次数\t平均遗漏\t欲出几率\t最"
              "大连出");
    EXPECT_EQ(l[4], "兔 04 \t2\t2\t4\t0.5\t1\t3.00\t1.50\t1");
}

TEST_F(CliSearch, ModesAndRange) {
    auto r = cli({"search", "--type", "4", "--fixed", "--pos", "1=11"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n2013024\t11\t"), std::string::npos);
    EXPECT_NE(r.out.find("\n11 \t5\t5\t1\t5\t1\t3.00\t0.00\t1\n"), std::string::npos);

    r = cli({"search", "--pos", "8=27"});
    EXPECT_NE(r.out.find("\n2013023\t"), std::string::npos);
    r = cli({"search", "--no-special", "--pos", "8=27"});
    EXPECT_EQ(r.out.find("\n2013023\t"), std::string::npos);

    r = cli({"search", "--range", "2013022:2013023", "--type", "1", "--pos", "2=4"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 6u) << r.out;
    EXPECT_EQ(l[1].substr(0, 7), "2013022");
    EXPECT_EQ(l[5], "4 \t1\t3\t2\t1.5\t2\t1.00\t-\t2");  // both draws of the range hit
}

TEST_F(CliSearch, PartialSearch) {
    const auto r = cli({"partial", "--fixed", "-k", "1", "--values", "03,15,30,30,30,30,30,30"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 6u) << r.out;
    EXPECT_EQ(l[1].substr(0, 7), "2013021");
    EXPECT_EQ(l[2].substr(0, 7), "2013022");
    EXPECT_EQ(l[5], "03 15 30 30 30 30 30 30 (1)\t1\t2\t3\t0.666666666666667\t2\t2.00\t2.00\t2");
}

// Arguments the table cannot read exit 2; values the analysis refuses exit 1; nothing is printed.
TEST_F(CliSearch, BadArgumentsAndRefusals) {
    struct Case {
        std::vector<std::string> args;
        int status;
    };
    for (const auto& [args, status] : std::vector<Case>{
             {{"search", "--range", "abc:2013024"}, 1},
             {{"search", "--range", "2013020"}, 2},
             {{"search", "--pos", "9=01"}, 2},
             {{"search", "--pos", "1=x"}, 2},
             {{"search", "--pos", "1=兔"}, 2},  // a zodiac name only for the zodiac type
             {{"search", "--type", "6"}, 2},
             {{"search", "--type"}, 2},
             {{"search", "--bogus"}, 2},
             {{"search", "extra"}, 2},
             {{"search", "--values", "1,2,3,4,5,6,7,8"}, 2},
             {{"partial", "-k", "7", "--values", "1,2,3,4,5,6,7,8"}, 1},
             {{"partial", "-k", "2", "--values", "1,2,3"}, 2},
             {{"partial", "-k", "2"}, 2},
             {{"partial", "--pos", "1=01", "--values", "1,2,3,4,5,6,7,8"}, 2},
         }) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, status) << args.back() << "\n" << r.out;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
}

TEST_F(CliSearch, XlsSearchWritesWorkbooksAndNothingOnRefusal) {
    const auto hits = dir.path() / "Jiansuo.xls";
    const auto summary = dir.path() / "Jieguo.xls";
    auto r = cli({"xls-search", "hits", hits.string(), "--type", "1", "--pos", "1=兔"});
    ASSERT_EQ(r.status, 0) << r.err;
    r = cli({"xls-search", "summary", summary.string(), "--partial", "-k", "1", "--values",
             "1,2,3,4,5,6,7,8"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const auto& f : {hits, summary})
        EXPECT_EQ(quarvel::testing::readFile(f).substr(0, 4), "\xD0\xCF\x11\xE0") << f;

    const auto refused = dir.path() / "refused.xls";
    EXPECT_EQ(cli({"xls-search", "hits", refused.string(), "--range", "x:y"}).status, 1);
    EXPECT_EQ(cli({"xls-search", "grid", refused.string()}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(refused));
}

TEST_F(CliSearch, TrendChart) {
    const auto r = cli({"trend", "--type", "2", "--no-special", "--range", "2013021:2013022"});
    ASSERT_EQ(r.status, 0) << r.err;
    // Head 1 showed at IDX 1 only as the special number, which does not count here; heads 2
    // and 3 never show and count from the history's start.
    EXPECT_EQ(r.out,
              "期号\t0\t1\t2\t3\n"
              "2013021\t0×6\t1\t2\t2\n"
              "2013022\t0×7\t1\t3\t3\n"
              "出现次数\t2\t1\t0\t0\n"
              "平均遗漏\t1.00\t1.50\t3.00\t3.00\n"
              "最大遗漏\t1\t2\t-\t-\n"
              "最后遗漏\t1\t2\t4\t4\n"
              "欲出几率\t-\t2.00\t1.50\t1.50\n"
              // Heads 0 … 3 have 9, 10, 10 and 1 numbers: E = 2·(1 − C(30 − n, 7)/C(30, 7)).
              "近30期次数\t2\t1\t0\t0\n"
              "理论次数\t1.89\t1.92\t1.92\t0.47\n"
              "冷热\t温\t冷\t冷\t温\n");
    EXPECT_EQ(lines(cli({"trend", "--hot", "1"}).out).at(1 + 5 + 5).rfind("近1期次数\t", 0), 0u);
    EXPECT_EQ(cli({"trend", "--hot", "0"}).status, 2);
    EXPECT_EQ(cli({"trend", "--fixed"}).status, 2);
    EXPECT_EQ(cli({"trend", "--range", "x:2013024"}).status, 1);
}

TEST_F(CliSearch, ShapesOfTheDrawsAndTheirDistribution) {
    const auto r = cli({"shape", "--range", "2013021:2013021"});
    ASSERT_EQ(r.status, 0) << r.err;
    // 01 02 03 04 06 07 15: pairs 1-2, 2-3, 3-4, 6-7; five of 2013020's numbers; 12 differences.
    EXPECT_EQ(r.out,
              "期号\t平1位\t平2位\t平3位\t平4位\t平5位\t平6位\t平7位\t和值\t跨度\t奇偶\t大小\t012路"
              "\t区间\t连号\t重号\tAC值\n"
              "2013021\t03\t15\t01\t02\t04\t06\t07\t38\t14\t4:3\t0:7\t3:3:1\t6:1:0\t4\t5\t6\n");
    const auto s = lines(cli({"shape", "--summary"}).out);
    ASSERT_FALSE(s.empty());
    EXPECT_EQ(s[0], "形态\t值\t出现次数\t理论次数\tp\t最后遗漏\t最大遗漏\t显著");
    EXPECT_EQ(s.back().rfind("结论\t在纯随机的开奖中", 0), 0u);
    EXPECT_EQ(s[1].rfind("和值\t20-29\t", 0), 0u);
    EXPECT_EQ(cli({"shape", "--range", "x:1"}).status, 1);
    EXPECT_EQ(cli({"shape", "--type", "1"}).status, 2);
}
