// Every command reads its arguments through its one option table: --help prints the table, a
// bad argument is told in Chinese with the same usage line and exits 2.
#include <gtest/gtest.h>

#include "cli/command.h"
#include "support/cli_sandbox.h"

namespace {

struct CliOptions : ::testing::Test, quarvel::testing::CliSandbox {};

TEST_F(CliOptions, EveryCommandPrintsItsTableAndRefusesAnUnknownOption) {
    using quarvel::cli::commandRegistry;
    ASSERT_GE(commandRegistry().size(), 20u);
    for (const auto& [name, info] : commandRegistry()) {
        const std::string usage = "quarvel-cli " + quarvel::cli::usageLine(name, info.form);
        const auto help = cli({name, "--help"});
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_EQ(help.out.rfind("用法：" + usage + "\n", 0), 0u) << help.out;
        for (const auto& o : info.form.options)
            EXPECT_NE(help.out.find("\n  " + o.name), std::string::npos) << name << " " << o.name;

        const auto bad = cli({name, "--bogus"});
        EXPECT_EQ(bad.status, 2) << name;
        EXPECT_EQ(bad.err, "quarvel-cli " + name + ": 不认识的选项 --bogus（用法：" + usage +
                               "；--help 显示帮助）\n");
        EXPECT_EQ(bad.out, "");
    }
}

TEST_F(CliOptions, ValuesAreCheckedByTheTable) {
    addAll({{"2013001", "01", "02", "03", "04", "05", "06", "07", "08"}});
    const auto plain = cli({"search", "--type", "1", "--pos", "1=兔", "--pos", "2=3"});
    ASSERT_EQ(plain.status, 0) << plain.err;
    // --name=value is the same option; a repeatable option keeps every value.
    EXPECT_EQ(cli({"search", "--type=1", "--pos=1=兔", "--pos", "2=3"}).out, plain.out);

    struct Case {
        std::vector<std::string> args;
        const char* told;
    };
    for (const auto& [args, told] : std::vector<Case>{
             {{"search", "--type", "9"}, "--type 须是 0 到 5 之间的整数，不是“9”"},
             {{"trend", "--hot"}, "--hot 后面需要一个值（W）"},
             {{"search", "--fixed=1"}, "--fixed 后面不带值"},
             {{"groups", "--size", "2"}, "缺少选项 --boxes"},
             {{"add", "2013002"}, "缺少参数 ISSUE N1 N2 N3 N4 N5 N6 N7 N8"},
             {{"row", "1", "2"}, "多余的参数 2"},
             {{"list", "x"}, "不认识的参数 x"},
             {{"search", "--range", "2013001"}, "--range 须写成 起:止，不是“2013001”"},
             // The commands that read their own words before.
             {{"check", "x"}, "不认识的参数 x"},
             {{"new-year-table", "--year"}, "不认识的选项 --year"},
             {{"tickets"}, "缺少参数 FILE"},
             {{"tickets", "a.txt", "b.txt"}, "多余的参数 b.txt"},
             {{"tickets", "a.txt", "--as-of", "x"}, "--as-of 须是期号，不是“x”"},
             {{"tickets", "a.txt", "--range", "2013001"}, "--range 须写成 起:止，不是“2013001”"},
             {{"prizes", "--floating"}, "--floating 后面需要一个值（ISSUE:A,B,C;...）"},
             {{"prizes", "--fixed", "200,50", "--fixed", "1,1,1,1"},
              "固定奖金应为四等奖至七等奖的四个金额，用逗号分开，例如 200,50,10,5。"},
             {{"filter", "--include", "31"}, "胆码中的“31”不是 01 到 30 之间的号码。"},
             {{"filter", "--out"}, "--out 后面需要一个值（FILE）"},
             {{"filter", "--as-of", "2013001", "--as-of"}, "--as-of 后面需要一个值（X）"},
         }) {
        const auto r = cli(args);
        EXPECT_EQ(r.status, 2) << told;
        EXPECT_NE(r.err.find(": " + std::string(told) + "（用法："), std::string::npos) << r.err;
    }
}

}  // namespace
