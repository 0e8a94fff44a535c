#include <gtest/gtest.h>

#include "support/cli_sandbox.h"

namespace {

struct CliXls : ::testing::Test, quarvel::testing::CliSandbox {};

TEST_F(CliXls, ListWritesAWorkbookAndRefusesWhatItCannotWrite) {
    ASSERT_EQ(cli({"add", "2013001", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    const auto file = (dir.path() / "lishi.xls").string();
    const auto r = cli({"xls", "list", file});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "列表已导出到 " + file + "\n");
    const std::string bytes = quarvel::testing::readFile(file);
    EXPECT_EQ(bytes.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(bytes.size() % 512, 0u);

    const auto missing = cli({"xls", "list", (dir.path() / "no" / "lishi.xls").string()});
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
    EXPECT_EQ(quarvel::testing::readFile(file), bytes);

    EXPECT_EQ(cli({"xls", "hits"}).status, 2);
    EXPECT_EQ(cli({"xls", "table", file}).status, 2);
}

}  // namespace
