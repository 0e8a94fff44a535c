// quarvel-cli update against a results site on 127.0.0.1 serving the fixture pages.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <mutex>
#include <sstream>

#include "support/chart_page.h"
#include "support/cli_sandbox.h"
#include "support/http_test_server.h"
#include "support/page_reader.h"

namespace {

using quarvel::testing::chartPage;
using quarvel::testing::HttpTestServer;
using quarvel::testing::readFile;
using quarvel::testing::serials;
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
    QUARVEL_NEEDS_PAGE_READER();
    ASSERT_EQ(cli({"add", "2013145", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    const auto r = cli({"update", "--host", site.baseUrl(), "--year-now", "2014"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(
        r.out,
        "2013\t新增 7 期\t从第 146 期查起\n2014\t新增 3 期\t从第 1 期查起\n在线更新：新增 10 期\n");
    EXPECT_EQ(site.requests(), (std::vector<std::string>{target(2013), target(2014)}));

    const auto row = cli({"row", "2014003"});
    ASSERT_EQ(row.status, 0) << row.err;
    EXPECT_NE(row.out.find("txtHisLst=26 30 04 08 12 16 20 24 \n"), std::string::npos) << row.out;
    EXPECT_NE(row.out.find("IDX=11\n"), std::string::npos);
    const auto kept = cli({"row", "2013145"});
    EXPECT_NE(kept.out.find("txtHisLst=01 02 03 04 05 06 07 08 \n"), std::string::npos);
}

TEST_F(CliUpdate, HostComesFromTheSavedSetting) {
    QUARVEL_NEEDS_PAGE_READER();
    quarvel::testing::writeFile(
        dir.path() / "settings.ini",
        "[IniSetting]\nResultsHost=" + site.baseUrl() + "\nIniSerchDay=2\n");
    // Empty history, two kept years: 2012 is not served, so nothing after it is stored.
    const auto r = cli({"update", "--year-now", "2014"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.rfind("2012\t没有读到\t", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("在线更新：新增 0 期\n2012 年的页面没有读到（"), std::string::npos)
        << r.out;
    EXPECT_EQ(site.requests(), std::vector<std::string>{target(2012)});
    EXPECT_EQ(cli({"list"}).out.find("2013"), std::string::npos);
}

TEST_F(CliUpdate, NothingReadableIsAFailureThatChangesNothing) {
    QUARVEL_NEEDS_PAGE_READER();
    ASSERT_EQ(cli({"add", "2005001", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    // The draw of 2005 is too old for 2030, but no page of 2024..2030 is served.
    auto r = cli({"update", "--host", site.baseUrl(), "--year-now", "2030"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("原有历史号码保持不变"), std::string::npos) << r.out;
    EXPECT_EQ(site.requests().size(), 1u);  // the first failed year ends the update
    EXPECT_NE(r.err.find("没有读到任何页面"), std::string::npos) << r.err;
    EXPECT_EQ(cli({"row", "2005001"}).status, 0);

    r = cli({"update", "--year-now", "2030"});  // no host saved
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ResultsHost"), std::string::npos) << r.err;
    EXPECT_EQ(cli({"update", "--host", site.baseUrl(), "--year-now", "20x"}).status, 2);
    EXPECT_EQ(cli({"update", "--bogus", "1"}).status, 2);
}

// A build without the page reader refuses the update at once, in Chinese only, asks for no page
// and keeps the history.
TEST_F(CliUpdate, WithoutThePageReaderTheUpdateIsRefusedAtOnce) {
    if (quarvel::io::kPageReaderBuilt) GTEST_SKIP() << "this build has the page reader";
    ASSERT_EQ(cli({"add", "2013145", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
    const std::string before = cli({"list"}).out;
    const auto r = cli({"update", "--host", site.baseUrl(), "--year-now", "2014"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "quarvel-cli update: " + std::string(quarvel::io::kNoPageReader) + "\n");
    EXPECT_EQ(std::string(quarvel::io::kNoPageReader)
                  .find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"),
              std::string::npos);
    EXPECT_TRUE(site.requests().empty());
    EXPECT_EQ(cli({"list"}).out, before);
}

// A results site whose pages the test changes between runs.
struct ChangingSite {
    std::mutex mutex;
    std::map<int, std::string> pages;    // by year; others are 404
    std::function<void()> beforeAnswer;  // runs on the server's thread while the client waits
    HttpTestServer server{[this](const std::string& t) {
        if (beforeAnswer) beforeAnswer();
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& [year, html] : pages)
            if (t == target(year))
                return quarvel::testing::HttpResponse{200, "OK", "text/html; charset=utf-8", html};
        return HttpTestServer::notFound();
    }};
    void set(int year, std::string html) {
        std::lock_guard<std::mutex> lock(mutex);
        pages[year] = std::move(html);
    }
};

struct CliUpdateHoles : ::testing::Test, quarvel::testing::CliSandbox {
    ChangingSite site;
    void SetUp() override { QUARVEL_NEEDS_PAGE_READER(); }
    quarvel::testing::CliResult update(const char* yearNow = "2014") {
        return cli({"update", "--host", site.server.baseUrl(), "--year-now", yearNow});
    }
    // The stored issues in order, from `list` (issue first on each line after the header).
    std::vector<int> issues() {
        std::vector<int> out;
        std::istringstream in(cli({"list"}).out);
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) out.push_back(std::stoi(line.substr(0, line.find('\t'))));
        return out;
    }
    static std::vector<int> run(int first, int last) {
        std::vector<int> v;
        for (int i = first; i <= last; ++i) v.push_back(i);
        return v;
    }
};

TEST_F(CliUpdateHoles, AFailedYearStoresNothingAfterItAndTheNextUpdateFillsIt) {
    addAll({{"2013148", "01", "02", "03", "04", "05", "06", "07", "08"}});
    site.set(2014, chartPage(2014, serials(1, 4)));  // 2013 answers 404
    auto r = update();
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.out.find("2013\t没有读到\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("2013149 期及之后的号码没有保存"), std::string::npos) << r.out;
    EXPECT_EQ(issues(), std::vector<int>{2013148});

    site.set(2013, chartPage(2013, serials(140, 152)));
    r = update();
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(
        r.out,
        "2013\t新增 4 期\t从第 149 期查起\n2014\t新增 4 期\t从第 1 期查起\n在线更新：新增 8 期\n");
    std::vector<int> expected = run(2013148, 2013152);
    for (int i : run(2014001, 2014004)) expected.push_back(i);
    EXPECT_EQ(issues(), expected);
}

// While the update waits for its page, another program stores a draw: the update holds no lock
// then, and afterwards stores only what is still missing.
TEST_F(CliUpdateHoles, WhileWaitingAnotherProgramStoresAndOnlyTheRestIsAdded) {
    addAll({{"2014001", "01", "02", "03", "04", "05", "06", "07", "08"}});
    site.set(2014, chartPage(2014, serials(1, 6)));
    int otherStatus = -1;
    site.beforeAnswer = [&] {
        site.beforeAnswer = nullptr;
        std::vector<std::string> add = {"add", "2014002"};
        for (int n : quarvel::testing::siteNumbers(2014, 2)) add.push_back(std::to_string(n));
        otherStatus = cliProcess(add).status;
    };
    const auto r = update();
    EXPECT_EQ(otherStatus, 0);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(r.out, "2014\t新增 4 期\t从第 3 期查起\n在线更新：新增 4 期\n");
    EXPECT_EQ(issues(), run(2014001, 2014006));
}

TEST_F(CliUpdateHoles, APageWithAGapStoresUpToTheGapOnly) {
    addAll({{"2014001", "01", "02", "03", "04", "05", "06", "07", "08"}});
    site.set(2014, chartPage(2014, {1, 2, 3, 5, 6}));
    auto r = update();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(
        r.out.find("2014\t新增 2 期\t从第 2 期查起\n在线更新：新增 2 期\n2014004 期在页面上没有"),
        std::string::npos)
        << r.out;
    EXPECT_EQ(issues(), run(2014001, 2014003));

    site.set(2014, chartPage(2014, serials(1, 6)));
    r = update();
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(issues(), run(2014001, 2014006));
}

TEST_F(CliUpdateHoles, TheAgeCheckKeepsTheOldHistoryUntilTheWholeWindowIsRead) {
    addAll({{"2005001", "01", "02", "03", "04", "05", "06", "07", "08"}});
    quarvel::testing::writeFile(dir.path() / "settings.ini", "[IniSetting]\nIniSerchDay=2\n");
    site.set(2012, chartPage(2012, serials(1, 2)));
    site.set(2014, chartPage(2014, serials(1, 2)));  // 2013 fails
    auto r = update();
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("原有历史号码保持不变"), std::string::npos) << r.out;
    EXPECT_EQ(issues(), std::vector<int>{2005001});

    site.set(2013, chartPage(2013, serials(1, 2)));
    r = update();
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_NE(r.out.find("超过保留年数的历史号码已删除"), std::string::npos) << r.out;
    EXPECT_EQ(issues(), (std::vector<int>{2012001, 2012002, 2013001, 2013002, 2014001, 2014002}));
}

}  // namespace
