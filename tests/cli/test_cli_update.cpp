// quarvel-cli update against a results site on 127.0.0.1 serving the fixture pages.
#include <gtest/gtest.h>

#include "support/http_test_server.h"
#include "support/test_support.h"

namespace {

using quarvel::testing::HttpTestServer;
using quarvel::testing::readFile;
using quarvel::testing::runCli;
using quarvel::testing::TempDir;

std::string target(int year) {
    const std::string y = std::to_string(year);
    return "/kaijiang/xw?lotId=220028&chartType=zhfb&spanType=3&span=" + y + "001_" + y + "365";
}

struct CliUpdate : ::testing::Test, quarvel::testing::CliSandbox {
    HttpTestServer site{HttpTestServer::pages({
        {target(2013), readFile(quarvel::testing::dataFile("pages/2013.html"))},
        {target(2014), readFile(quarvel::testing::dataFile("pages/2014.html"))},
    })};
};

TEST_F(CliUpdate, AddsTheMissingDrawsOfEachYear) {
    ASSERT_EQ(cli({"add", "2013145", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    const auto r = cli({"update", "--host", site.baseUrl(), "--year-now", "2014"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2013\t7\tfrom 146\n2014\t3\tfrom 1\nadded 10\n");
    EXPECT_EQ(site.requests(), (std::vector<std::string>{target(2013), target(2014)}));

    const auto row = cli({"row", "2014003"});
    ASSERT_EQ(row.status, 0) << row.err;
    EXPECT_NE(row.out.find("txtHisLst=26 30 04 08 12 16 20 24 \n"), std::string::npos) << row.out;
    EXPECT_NE(row.out.find("IDX=11\n"), std::string::npos);
    const auto kept = cli({"row", "2013145"});
    EXPECT_NE(kept.out.find("txtHisLst=01 02 03 04 05 06 07 08 \n"), std::string::npos);
}

TEST_F(CliUpdate, HostComesFromTheSavedSetting) {
    quarvel::testing::writeFile(dir.path() / "settings.ini", "[IniSetting]\nResultsHost=" + site.baseUrl() + "\nIniSerchDay=2\n");
    // Empty history, two kept years: 2012 (not served), 2013 and 2014.
    const auto r = cli({"update", "--year-now", "2014"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("2012\tfailed\t", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("2013\t13\tfrom 1\n2014\t3\tfrom 1\nadded 16\n"), std::string::npos) << r.out;
}

TEST_F(CliUpdate, NothingReadableIsAFailureThatChangesNothing) {
    ASSERT_EQ(cli({"add", "2005001", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    // The draw of 2005 is too old for 2030, but no page of 2024..2030 is served.
    auto r = cli({"update", "--host", site.baseUrl(), "--year-now", "2030"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("restored"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("no page could be read"), std::string::npos) << r.err;
    EXPECT_EQ(cli({"row", "2005001"}).status, 0);

    r = cli({"update", "--year-now", "2030"});  // no host saved
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ResultsHost"), std::string::npos) << r.err;
    EXPECT_EQ(cli({"update", "--host", site.baseUrl(), "--year-now", "20x"}).status, 2);
    EXPECT_EQ(cli({"update", "--bogus", "1"}).status, 2);
}

}  // namespace
