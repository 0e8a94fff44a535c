#include <gtest/gtest.h>

#include "support/test_support.h"

using quarvel::testing::runCli;
using quarvel::testing::TempDir;

namespace {

std::vector<std::string> withDataDir(const TempDir& dir, std::vector<std::string> args) {
    std::vector<std::string> all{"--data-dir", dir.path().string(), "--settings-file",
                                 (dir.path() / "settings.ini").string()};
    all.insert(all.end(), args.begin(), args.end());
    return all;
}

TEST(CliXls, ListWritesAWorkbookAndRefusesWhatItCannotWrite) {
    TempDir dir;
    ASSERT_EQ(
        runCli(withDataDir(dir, {"add", "2013001", "01", "02", "03", "04", "05", "06", "07", "08"}))
            .status,
        0);
    const auto file = (dir.path() / "lishi.xls").string();
    const auto r = runCli(withDataDir(dir, {"xls", "list", file}));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "wrote " + file + "\n");
    const std::string bytes = quarvel::testing::readFile(file);
    EXPECT_EQ(bytes.substr(0, 8), "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    EXPECT_EQ(bytes.size() % 512, 0u);

    const auto missing =
        runCli(withDataDir(dir, {"xls", "list", (dir.path() / "no" / "lishi.xls").string()}));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("does not exist"), std::string::npos) << missing.err;
    EXPECT_EQ(quarvel::testing::readFile(file), bytes);

    EXPECT_EQ(runCli(withDataDir(dir, {"xls", "hits"})).status, 2);
    EXPECT_EQ(runCli(withDataDir(dir, {"xls", "table", file})).status, 2);
}

}  // namespace
