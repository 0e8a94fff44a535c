#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

using quarvel::testing::TempDir;

namespace {

struct CliFixture : ::testing::Test, quarvel::testing::CliSandbox {};

}  // namespace

TEST_F(CliFixture, WorkedExampleHoldsThroughAddAndRow) {
    ASSERT_EQ(cli({"add", "2013020", "03", "11", "15", "22", "27", "29", "30", "08"}).status, 0);
    const auto r = cli({"row", "2013020"});
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* line : {"SQQH=2013020\n", "QQH=2013021\n", "IDX=1\n", "L1B=4\n", "L8B=11\n",
                             "L6G=11\n", "L7H=10\n", "txtHisLst=03 11 15 22 27 29 30 08 \n",
                             "txtHisLstHm=1X03 1X11 1X15 1X22 1X27 1X29 1X30 1X08 \n",
                             "txtHisLstSx=1X04 1X08 2X04 1X09 3X04 1X02 1X01 1X11 \n",
                             "txtHisLstTou=1X0 1X1 2X1 1X2 2X2 3X2 1X3 2X0 \n",
                             "txtHisLstWei=1X3 1X1 1X5 1X2 1X7 1X9 1X0 1X8 \n",
                             "txtHisLstHe=1X03 1X02 1X06 1X04 1X09 1X11 2X03 1X08 \n",
                             "txtHisLstDs=1X1 1X4 1X5 1X8 1X9 1X10 2X10 1X3 \n"})
        EXPECT_NE(r.out.find(line), std::string::npos) << line;
    EXPECT_EQ(r.out.rfind("SQQH=", 0), 0u);  // columns in table order, issue first
}

TEST_F(CliFixture, BasesComeFromOptionsOrTheSavedSettings) {
    ASSERT_EQ(cli({"--sx-base", "0", "--ds-base", "0", "add", "2013020", "01", "02", "03", "04",
                   "05", "06", "07", "30"})
                  .status,
              0);
    const auto r = cli({"row", "2013020"});
    EXPECT_NE(r.out.find("L8H=9\n"), std::string::npos);
    EXPECT_NE(r.out.find("L1B=5\n"), std::string::npos);  // 01 is 蛇 (index 5) in 2013, base 0

    quarvel::testing::writeFile(dir.path() / "settings.ini", "[IniSetting]\nDsIni=0\nSxIni=0\n");
    ASSERT_EQ(cli({"add", "2013021", "01", "02", "03", "04", "05", "06", "07", "30"}).status, 0);
    EXPECT_NE(cli({"row", "2013021"}).out.find("L8H=9\n"), std::string::npos);
}

TEST_F(CliFixture, ListDeleteLastClearAndCompact) {
    for (const char* issue : {"2013001", "2013002", "2013003"})
        ASSERT_EQ(cli({"add", issue, "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    auto list = cli({"list"});
    EXPECT_EQ(list.out.substr(0, list.out.find('\n')),
              "期号\t落1码\t落2码\t落3码\t落4码\t落5码\t落6码\t落7码\t特码");
    EXPECT_NE(list.out.find("2013003\t1\t2\t3\t4\t5\t6\t7\t8\n"), std::string::npos);

    EXPECT_EQ(cli({"delete-last"}).status, 0);
    EXPECT_EQ(cli({"delete-last"}).status, 0);
    list = cli({"list"});
    EXPECT_EQ(list.out.find("2013002"), std::string::npos);
    EXPECT_NE(list.out.find("2013001"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(dir.path() / "quarvelTmp.mdb"));

    EXPECT_EQ(cli({"clear"}).status, 0);
    EXPECT_EQ(cli({"list"}).out, "期号\t落1码\t落2码\t落3码\t落4码\t落5码\t落6码\t落7码\t特码\n");
    EXPECT_EQ(cli({"compact"}).status, 0);
}

// Arguments the command cannot read exit 2 with the usage; a draw the core refuses exits 1 with
// the window's sentence; so does a failure of the store.
TEST_F(CliFixture, BadArgumentsExit2RefusalsAndStoreFailures1) {
    EXPECT_EQ(cli({"add", "2013001", "01", "02"}).status, 2);
    EXPECT_EQ(cli({"add", "2013001", "01", "02", "03", "04", "05", "06", "07", "31"}).status, 1);
    EXPECT_EQ(cli({"add", "2013001", "01", "01", "03", "04", "05", "06", "07", "08"}).status, 1);
    EXPECT_EQ(cli({"add", "x", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 2);
    EXPECT_EQ(cli({"nosuch"}).status, 2);
    EXPECT_EQ(cli({"--sx-base", "2", "list"}).status, 2);
    const auto bad = cli({"list", "extra"});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(std::count(bad.err.begin(), bad.err.end(), '\n'), 1);  // one line

    quarvel::testing::writeFile(dir.path() / "quarvel.mdb", "not a database");
    const auto broken = cli({"list"});
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.err.find("not a database"), std::string::npos);
    EXPECT_EQ(quarvel::testing::readFile(dir.path() / "quarvel.mdb"), "not a database");
}
