// The online update against a fake results site: which pages are asked for, which draws are
// stored, the age check and what survives failures.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "history_io/draw_locator.h"
#include "history_io/online_update.h"
#include "history_io/page_text.h"
#include "history_io/results_site.h"
#include "support/chart_page.h"
#include "support/page_reader.h"
#include "support/test_support.h"

namespace quarvel::io {
namespace {

using testing::Draw;
using testing::TempDir;

const std::string kHost = "http://results.test";

using testing::chartPage;
using testing::serials;
using testing::siteNumbers;

class FakeSite : public PageSource {
  public:
    std::map<int, std::string> pages;  // by year; a year without a page fails
    std::vector<std::string> urls;
    std::function<void()> onFetch;
    store::Outcome readable;  // what readiness() says
    store::Outcome readiness() const override { return readable; }
    PageResult fetch(const std::string& url) override {
        urls.push_back(url);
        if (onFetch) onFetch();
        for (const auto& [year, html] : pages)
            if (url == resultsPageUrl(kHost, year)) return bodyInnerText(html);
        return store::Outcome::failed("host not found");
    }
    std::vector<int> years() const {
        std::vector<int> out;
        for (const auto& u : urls) out.push_back(std::stoi(u.substr(u.find("span=") + 5, 4)));
        return out;
    }
};

struct Stored {
    std::vector<std::int32_t> issues;
    std::vector<std::int64_t> idx;
};

Stored stored(store::HistoryDb& db) {
    Stored s;
    store::Snapshot snap = db.db().snapshot("SELECT SQQH, IDX FROM lishi ORDER BY SQQH");
    for (snap.moveFirst(); !snap.eof(); snap.moveNext()) {
        s.issues.push_back(static_cast<std::int32_t>(snap.intField("SQQH")));
        s.idx.push_back(snap.intField("IDX"));
    }
    return s;
}

std::vector<std::int32_t> issuesOf(const std::vector<Draw>& draws) {
    std::vector<std::int32_t> v;
    for (const auto& d : draws) v.push_back(d.issue);
    return v;
}

class OnlineUpdate : public ::testing::Test {
  protected:
    void SetUp() override { db.open(); }
    UpdateResult run(int yearNow, int kept = 6) {
        UpdateParams p;
        p.yearNow = yearNow;
        p.keptYears = kept;
        p.host = kHost;
        p.progress = [this](int y) { progress.push_back(y); };
        return runOnlineUpdate(db, site, p);
    }
    TempDir dir;
    store::HistoryDb db{dir.path()};
    FakeSite site;
    std::vector<int> progress;
};

TEST_F(OnlineUpdate, ContinuesTheCurrentYearAfterTheLastStoredDraw) {
    QUARVEL_NEEDS_PAGE_READER();
    // 2008001 .. 2013150, 150 draws a year.
    testing::addDraws(db, testing::randomDraws(900, 7, 2008001));
    ASSERT_EQ(db.lastIssue(), 2013150);
    site.pages[2013] = chartPage(2013, serials(140, 155), {156, 157});

    const UpdateResult r = run(2013);
    ASSERT_TRUE(r.ran()) << r.outcome.text();
    EXPECT_EQ(site.urls, std::vector<std::string>{
                             "http://results.test/kaijiang/"
                             "xw?lotId=220028&chartType=zhfb&spanType=3&span=2013001_2013365"});
    ASSERT_EQ(r.years.size(), 1u);
    EXPECT_EQ(r.years[0].firstSerial, 151);
    EXPECT_EQ(r.years[0].added, 5);
    EXPECT_EQ(r.added, 5);
    EXPECT_FALSE(r.discarded);

    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 905u);
    EXPECT_EQ(std::vector<std::int32_t>(s.issues.end() - 6, s.issues.end()),
              (std::vector<std::int32_t>{2013150, 2013151, 2013152, 2013153, 2013154, 2013155}));
    for (std::size_t i = 0; i < s.idx.size(); ++i)
        ASSERT_EQ(s.idx[i], static_cast<std::int64_t>(i + 1));
    EXPECT_EQ(db.rsLishiSort().recordCount(), 905u);  // reopened

    // The stored row is the one the row builder makes from the page's numbers.
    const auto expected = store::buildDrawRow(2013153, 2013153, siteNumbers(2013, 153),
                                              store::ZodiacCodes::startup(1), 1);
    store::Snapshot row = db.db().snapshot("SELECT * FROM lishi WHERE SQQH = 2013153");
    ASSERT_EQ(row.recordCount(), 1u);
    row.moveFirst();
    EXPECT_EQ(row.intField("QQH"), 2013154);
    EXPECT_EQ(row.textField("txtHisLst"), expected.txtHisLst);
    EXPECT_EQ(row.textField("txtHisLstSx"), expected.txtHisLstSx);
    EXPECT_EQ(row.intField("L8A"), siteNumbers(2013, 153)[7]);
}

TEST_F(OnlineUpdate, YearChangeReadsTheRestOfLastYearThenTheNewYear) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(db, testing::randomDraws(900, 7, 2008001));
    site.pages[2013] = chartPage(2013, serials(1, 153));
    site.pages[2014] = chartPage(2014, serials(1, 2), {3});

    const UpdateResult r = run(2014);
    EXPECT_EQ(site.years(), (std::vector<int>{2013, 2014}));
    EXPECT_EQ(progress, (std::vector<int>{2013, 2014}));
    ASSERT_EQ(r.years.size(), 2u);
    EXPECT_EQ(r.years[1].firstSerial, 1);
    const Stored s = stored(db);
    EXPECT_EQ(std::vector<std::int32_t>(s.issues.end() - 6, s.issues.end()),
              (std::vector<std::int32_t>{2013150, 2013151, 2013152, 2013153, 2014001, 2014002}));
    EXPECT_EQ(std::set<std::int32_t>(s.issues.begin(), s.issues.end()).size(), s.issues.size());

    // A second run finds nothing new and stores nothing twice.
    site.urls.clear();
    const UpdateResult again = run(2014);
    EXPECT_EQ(site.years(), (std::vector<int>{2014}));
    EXPECT_EQ(again.added, 0);
    EXPECT_EQ(stored(db).issues, s.issues);
}

TEST_F(OnlineUpdate, EmptyHistoryFetchesKeptYearsPlusOnePages) {
    QUARVEL_NEEDS_PAGE_READER();
    for (int y = 2008; y <= 2014; ++y) site.pages[y] = chartPage(y, serials(1, 3));
    const UpdateResult r = run(2014, 6);
    EXPECT_EQ(site.years(), (std::vector<int>{2008, 2009, 2010, 2011, 2012, 2013, 2014}));
    EXPECT_EQ(r.added, 21);
    EXPECT_FALSE(r.discarded);
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 21u);
    EXPECT_EQ(s.issues.front(), 2008001);
    EXPECT_EQ(s.issues.back(), 2014003);
    EXPECT_EQ(s.idx.back(), 21);
}

TEST_F(OnlineUpdate, TooOldHistoryIsReplacedOnlyByAWholeKeptWindow) {
    QUARVEL_NEEDS_PAGE_READER();
    const auto old = testing::randomDraws(300, 3, 2005001);  // 2005001 .. 2006150
    testing::addDraws(db, old);
    for (int y = 2008; y <= 2014; ++y) site.pages[y] = chartPage(y, serials(1, 2));
    site.pages.erase(2010);  // one page fails: the old history stays, later pages are not asked for

    UpdateResult r = run(2014, 6);
    EXPECT_EQ(site.years(), (std::vector<int>{2008, 2009, 2010}));
    EXPECT_FALSE(r.discarded);
    EXPECT_TRUE(r.restored);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.failedYears(), std::vector<int>{2010});
    EXPECT_EQ(stored(db).issues, issuesOf(old));
    EXPECT_EQ(updateStopMessage(r),
              "没有完整读到保留年数内的历史号码（2010 年的页面没有读到（host not "
              "found）），原有历史号码保持不变。");

    // Once the year can be read, the next update replaces the history with the whole window.
    site.pages[2010] = chartPage(2010, serials(1, 2));
    r = run(2014, 6);
    EXPECT_TRUE(r.discarded);
    EXPECT_TRUE(r.complete());
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 14u);
    EXPECT_EQ(s.issues.front(), 2008001);
    EXPECT_EQ(s.issues[4], 2010001);
    EXPECT_EQ(s.idx.front(), 1);
}

TEST_F(OnlineUpdate, TheAgeCheckRemovesOnlyDrawsOlderThanTheWindowAndKeepsEveryDrawInIt) {
    QUARVEL_NEEDS_PAGE_READER();
    // 2014001 .. 2018150 with four years kept in 2019: only 2014 is too old.
    const auto draws = testing::randomDraws(750, 8, 2014001);
    testing::addDraws(db, draws);
    site.pages[2015] = chartPage(2015, serials(1, 50));  // a page that stops early
    site.pages[2018] = chartPage(2018, serials(1, 150));
    site.pages[2019] = chartPage(2019, serials(1, 3));
    const UpdateResult r = run(2019, 4);
    EXPECT_TRUE(r.complete());
    EXPECT_TRUE(r.discarded);
    EXPECT_EQ(site.years(), (std::vector<int>{2018, 2019}));  // the kept years are not read again
    const auto all = issuesOf(draws);
    std::vector<std::int32_t> expected(all.begin() + 150, all.end());
    for (int k = 1; k <= 3; ++k) expected.push_back(2019000 + k);
    EXPECT_EQ(stored(db).issues, expected);
    ASSERT_TRUE(std::filesystem::exists(r.backup));  // the history before the removal
    EXPECT_EQ(r.added, 3);
}

TEST_F(OnlineUpdate, TheWindowBeforeTheOldestKeptDrawIsFilledOnlyWhenItComesWhole) {
    QUARVEL_NEEDS_PAGE_READER();
    // 2014001 .. 2014150 and 2016051 .. 2016150; three years kept in 2018 reach back to 2015.
    auto draws = testing::randomDraws(150, 9, 2014001);
    for (const auto& d : testing::randomDraws(100, 10, 2016051)) draws.push_back(d);
    testing::addDraws(db, draws);
    site.pages[2015] = chartPage(2015, serials(1, 150));
    site.pages[2016] = chartPage(2016, serials(1, 30));  // 31 .. 50 missing: no run joins 2016051
    site.pages[2017] = chartPage(2017, serials(1, 150));
    site.pages[2018] = chartPage(2018, serials(1, 2));
    UpdateResult r = run(2018, 3);
    EXPECT_TRUE(r.restored);
    EXPECT_EQ(stored(db).issues, issuesOf(draws));

    site.pages[2016] = chartPage(2016, serials(1, 150));
    r = run(2018, 3);
    EXPECT_TRUE(r.complete()) << updateStopMessage(r);
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 150u + 150u + 150u + 2u);
    EXPECT_EQ(s.issues.front(), 2015001);
    EXPECT_EQ(s.issues[199], 2016050);
    EXPECT_EQ(s.issues[200], 2016051);
    EXPECT_EQ(s.issues.back(), 2018002);
    EXPECT_EQ(s.idx.back(), static_cast<std::int64_t>(s.issues.size()));
    // The stored draws of the window are the ones that were there, not the page's.
    store::Snapshot kept = db.db().snapshot("SELECT L1A FROM lishi WHERE SQQH = 2016051");
    kept.moveFirst();
    EXPECT_EQ(kept.intField("L1A"), draws[150].numbers[0]);
}

TEST_F(OnlineUpdate, LongKeptWindowPassesTheAgeCheckAndStartsIn2006) {
    QUARVEL_NEEDS_PAGE_READER();
    // 2000001 .. 2004150, first year 14 years back with 16 kept.
    testing::addDraws(db, testing::randomDraws(750, 5, 2000001));
    site.pages[2006] = chartPage(2006, serials(1, 2));
    const UpdateResult r = run(2014, 16);
    EXPECT_FALSE(r.discarded);
    ASSERT_FALSE(site.urls.empty());
    EXPECT_EQ(site.years().front(), 2006);
    EXPECT_EQ(site.years().back(), 2007);  // the first page that fails ends the update
    EXPECT_EQ(stored(db).issues.front(), 2000001);
    EXPECT_EQ(stored(db).issues.size(), 752u);
}

TEST_F(OnlineUpdate, NoNetworkKeepsTheHistory) {
    const auto draws = testing::randomDraws(900, 7, 2008001);
    testing::addDraws(db, draws);
    const UpdateResult r = run(2014, 6);
    EXPECT_TRUE(r.ran());
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.failedYears(), std::vector<int>{2013});
    EXPECT_EQ(r.years[0].page.text(), "host not found");
    EXPECT_EQ(r.stopIssue, 2013151);
    const Stored s = stored(db);
    EXPECT_EQ(s.issues, issuesOf(draws));
    EXPECT_EQ(s.idx.back(), 900);
}

TEST_F(OnlineUpdate, OnlyDrawsWithNumbersAreAdded) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(db, {{2014001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    // 2014002 has its key but dashes where the numbers belong; 2014003 has unsound numbers.
    site.pages[2014] =
        "<html><body><table>"
        "<tr><td>2014002</td><td>14-01-05</td><td>周日</td><td>-</td><td>-</td></tr>"
        "<tr><td>2014003</td><td>14-01-07</td><td>周二</td><td>05</td><td>05</td><td>06</td>"
        "<td>07</td><td>08</td><td>09</td><td>10</td><td>11</td></tr></table></body></html>";
    UpdateResult r = run(2014);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.years[0].rejected, 1);
    EXPECT_EQ(stored(db).issues, std::vector<std::int32_t>{2014001});

    site.pages[2014] = "<html><body><p>本年度暂无开奖</p></body></html>";
    r = run(2014);
    EXPECT_TRUE(r.years[0].read());
    EXPECT_EQ(r.added, 0);
}

TEST_F(OnlineUpdate, DrawsEnteredByHandAfterThePageAreLeftAlone) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(
        db, {{2014001, {1, 2, 3, 4, 5, 6, 7, 8}}, {2014009, {9, 10, 11, 12, 13, 14, 15, 16}}});
    site.pages[2014] = chartPage(2014, serials(1, 10));
    const UpdateResult r = run(2014);
    EXPECT_EQ(r.years[0].firstSerial, 10);
    EXPECT_EQ(stored(db).issues, (std::vector<std::int32_t>{2014001, 2014009, 2014010}));
    store::Snapshot row = db.db().snapshot("SELECT L1A FROM lishi WHERE SQQH = 2014009");
    row.moveFirst();
    EXPECT_EQ(row.intField("L1A"), 9);

    // A history that already runs past the current year is not extended backwards.
    testing::addDraws(db, {{2015001, {1, 2, 3, 4, 5, 6, 7, 8}}});
    site.pages[2015] = chartPage(2015, serials(1, 3));
    site.urls.clear();
    const UpdateResult past = run(2014);
    EXPECT_TRUE(site.urls.empty());
    EXPECT_EQ(past.added, 0);
}

TEST_F(OnlineUpdate, BadSettingsAreRefusedBeforeAnythingChanges) {
    const auto old = testing::randomDraws(300, 3, 2005001);  // old enough to be discarded
    testing::addDraws(db, old);
    for (int y = 2000; y <= 2014; ++y) site.pages[y] = chartPage(y, serials(1, 2));
    UpdateParams p;
    p.yearNow = 2014;
    p.keptYears = 6;
    for (const std::string host :
         {"", "   ", "results.test", "ftp://results.test", "http://", "http://a b", "http://x?y"}) {
        p.host = host;
        const UpdateResult r = runOnlineUpdate(db, site, p);
        EXPECT_FALSE(r.ran()) << host;
        EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused) << host;
    }
    // A source that can read no page (a build without the page reader) is refused first,
    // before the address is even looked at.
    site.readable = store::Outcome::refused(kNoPageReader);
    for (const std::string host : {"", "results.test", kHost.c_str()}) {
        p.host = host;
        EXPECT_EQ(runOnlineUpdate(db, site, p).outcome.sentence, kNoPageReader) << host;
    }
    site.readable = store::Outcome::done();
    p.host = kHost;
    for (int kept : {0, 1, 17}) {
        p.keptYears = kept;
        EXPECT_NE(runOnlineUpdate(db, site, p).outcome.text().find("应在 2 到 16 之间"),
                  std::string::npos);
    }
    EXPECT_TRUE(site.urls.empty());
    EXPECT_EQ(stored(db).issues, issuesOf(old));

    // A trailing slash on the host does not double the path's slash.
    p.keptYears = 6;
    p.host = kHost + "/";
    EXPECT_TRUE(runOnlineUpdate(db, site, p).ran());
    EXPECT_EQ(site.urls.front(), resultsPageUrl(kHost, 2008));
}

// The results site's address: one rule for the window's setting box, the update and the page
// fetch. Accepted addresses come back as pages are asked from them; refusals name the text.
TEST(ResultsSite, AnAddressIsASchemeAndAHostWithNothingAfterIt) {
    const struct {
        const char* text;
        const char* site;  // nullptr: refused
    } cases[] = {
        {"http://example.org", "http://example.org"},
        {"  https://example.org/ ", "https://example.org"},
        {"HTTP://Example.org//", "HTTP://Example.org"},
        {"http://127.0.0.1:8080", "http://127.0.0.1:8080"},
        {"http://[::1]:8080", "http://[::1]:8080"},
        {"http://开奖.中国", "http://开奖.中国"},
        {"", nullptr},
        {"   ", nullptr},
        {"example.org", nullptr},
        {"ftp://example.org", nullptr},
        {"http://", nullptr},
        {"http:///x", nullptr},
        {"http://example.org/path", nullptr},
        {"http://example.org/x?y=1", nullptr},
        {"http://x?y", nullptr},
        {"http://x#top", nullptr},
        {"http://a b", nullptr},
        {"http://user@example.org", nullptr},
        {"http://example.org:0", nullptr},
        {"http://example.org:65536", nullptr},
        {"http://example.org:80x", nullptr},
        {"http://:8080", nullptr},
        {"http://[::1", nullptr},
    };
    for (const auto& c : cases) {
        const auto site = readResultsSite(c.text);
        ASSERT_EQ(site.ok(), c.site != nullptr) << c.text;
        if (c.site) {
            EXPECT_EQ(*site, c.site);
            // Every page of an accepted site may be fetched.
            EXPECT_TRUE(checkPageAddress(resultsPageUrl(*site, 2014)).ok()) << c.text;
            continue;
        }
        EXPECT_EQ(site.outcome.kind, store::OutcomeKind::Refused);
        EXPECT_NE(site.outcome.sentence.find("历史号码未改变"), std::string::npos);
        if (!std::string_view(c.text).empty() && c.text[0] != ' ') {
            EXPECT_NE(site.outcome.sentence.find(c.text), std::string::npos)
                << site.outcome.sentence;
        }
    }
    EXPECT_FALSE(checkPageAddress("ftp://127.0.0.1/x").ok());
    EXPECT_FALSE(checkPageAddress("not an address").ok());
}

TEST_F(OnlineUpdate, AFailedYearEndsTheUpdateAndTheNextOneFillsIt) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(db, testing::randomDraws(750, 7, 2008001));  // 2008001 .. 2012150
    site.pages[2012] = chartPage(2012, serials(1, 153));
    site.pages[2014] = chartPage(2014, serials(1, 3));  // 2013 fails

    UpdateResult r = run(2014);
    EXPECT_EQ(site.years(), (std::vector<int>{2012, 2013}));
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(r.stop, UpdateStop::PageFailed);
    EXPECT_EQ(r.stopIssue, 2013001);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(updateStopMessage(r),
              "2013 年的页面没有读到（host not found），2013001 "
              "期及之后的号码没有保存；可手动输入或读入文本后再更新。");
    EXPECT_EQ(stored(db).issues.back(), 2012153);

    site.pages[2013] = chartPage(2013, serials(1, 150));
    r = run(2014);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.added, 153);
    EXPECT_EQ(updateStopMessage(r), "");
    const Stored s = stored(db);
    EXPECT_EQ(std::vector<std::int32_t>(s.issues.end() - 5, s.issues.end()),
              (std::vector<std::int32_t>{2013149, 2013150, 2014001, 2014002, 2014003}));
}

TEST_F(OnlineUpdate, ASerialMissingOrUnreadableBeforeALaterOneEndsTheUpdateThere) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(db, testing::randomDraws(40, 7, 2014001));  // 2014001 .. 2014040
    std::vector<int> drawn = serials(41, 49);
    for (int k = 51; k <= 60; ++k) drawn.push_back(k);
    site.pages[2014] = chartPage(2014, drawn, {61, 62});

    UpdateResult r = run(2014);
    EXPECT_EQ(r.added, 9);
    EXPECT_EQ(r.stop, UpdateStop::Missing);
    EXPECT_EQ(updateStopMessage(r),
              "2014050 期在页面上没有，之后的号码没有保存；可手动输入或读入文本后再更新。");
    EXPECT_EQ(stored(db).issues.back(), 2014049);

    // The serial comes back with numbers that cannot be a draw: still nothing after it.
    site.pages[2014] = chartPage(2014, serials(41, 60), {}, {50});
    r = run(2014);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(r.years[0].rejected, 1);
    EXPECT_EQ(updateStopMessage(r),
              "2014050 期在页面上读不出，之后的号码没有保存；可手动输入或读入文本后再更新。");

    // Mended on the site: the next update continues from 2014050, with no hole.
    site.pages[2014] = chartPage(2014, serials(41, 60), {61});
    r = run(2014);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.added, 11);
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 60u);
    for (std::size_t i = 0; i < s.issues.size(); ++i)
        ASSERT_EQ(s.issues[i], 2014001 + static_cast<int>(i));
}

TEST_F(OnlineUpdate, APastYearPageWithoutADrawOfItsYearIsAFailure) {
    testing::addDraws(db, testing::randomDraws(150, 7, 2013001));
    site.pages[2013] = "<html><body>维护中</body></html>";
    site.pages[2014] = chartPage(2014, serials(1, 3));
    const UpdateResult r = run(2014);
    EXPECT_EQ(r.stop, UpdateStop::NoDraws);
    EXPECT_EQ(r.stopIssue, 2013151);
    EXPECT_EQ(r.added, 0);
    EXPECT_EQ(site.years(), std::vector<int>{2013});
}

TEST_F(OnlineUpdate, WaitsForPagesWithoutALockAndStoresWhatIsMissingThen) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(db, testing::randomDraws(100, 7, 2013001));  // 2013001 .. 2013100
    site.pages[2013] = chartPage(2013, serials(1, 120));
    // While the page loads, another program stores five draws; it would wait for the lock, and
    // fail after the busy time-out, if the update held one.
    site.onFetch = [&] {
        store::HistoryDb other(dir.path());
        other.open();
        std::vector<testing::Draw> more;
        for (int k = 101; k <= 105; ++k) more.push_back({2013000 + k, siteNumbers(2013, k)});
        testing::addDraws(other, more);
        site.onFetch = nullptr;
    };
    const UpdateResult r = run(2013);
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.years[0].firstSerial, 106);
    EXPECT_EQ(r.added, 15);
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 120u);
    for (std::size_t i = 0; i < s.issues.size(); ++i)
        ASSERT_EQ(s.issues[i], 2013001 + static_cast<int>(i));
    EXPECT_EQ(s.idx.back(), 120);
}

TEST_F(OnlineUpdate, AHistoryCutBackWhileWaitingGetsTheEarlierPageToo) {
    QUARVEL_NEEDS_PAGE_READER();
    testing::addDraws(
        db, testing::randomDraws(160, 7, 2012001));  // 2012001 .. 2012150, 2013001 .. 2013010
    site.pages[2012] = chartPage(2012, serials(1, 152));
    site.pages[2013] = chartPage(2013, serials(1, 20));
    // While the 2013 page loads, another program trims the history back into 2012.
    site.onFetch = [&] {
        site.onFetch = nullptr;
        store::HistoryDb other(dir.path());
        other.open();
        other.db().executeNative("DELETE FROM Lishi WHERE SQQH > 2012140");
    };
    const UpdateResult r = run(2013);
    EXPECT_EQ(site.years(), (std::vector<int>{2013, 2012}));
    EXPECT_TRUE(r.complete());
    EXPECT_EQ(r.added, 12 + 20);
    const Stored s = stored(db);
    ASSERT_EQ(s.issues.size(), 172u);
    EXPECT_EQ(s.issues[139], 2012140);
    EXPECT_EQ(s.issues[140], 2012141);
    EXPECT_EQ(s.issues.back(), 2013020);
}

// The age check removes old draws only after the kept years came whole, and in the window
// only when the user agrees; a run that read nothing removes nothing.
TEST_F(OnlineUpdate, OldDrawsGoOnlyAfterAWholeRunAndTheQuestion) {
    QUARVEL_NEEDS_PAGE_READER();
    const auto draws = testing::randomDraws(1050, 21, 2019001);  // 2019001 .. 2025150
    testing::addDraws(db, draws);
    UpdateResult r = run(2026, 6);  // no server at all
    EXPECT_FALSE(r.discarded);
    EXPECT_TRUE(r.restored);
    EXPECT_EQ(stored(db).issues, issuesOf(draws));

    site.pages[2025] = chartPage(2025, serials(1, 150));
    site.pages[2026] = chartPage(2026, serials(1, 3));
    UpdateParams p;
    p.yearNow = 2026;
    p.keptYears = 6;
    p.host = kHost;
    std::vector<RemovalPreview> asked;
    p.confirmRemoval = [&](const RemovalPreview& preview) {
        asked.push_back(preview);
        return false;
    };
    r = runOnlineUpdate(db, site, p);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].years, (std::vector<std::pair<int, std::size_t>>{{2019, 150}}));
    EXPECT_EQ(removalQuestion(asked[0], 6, 2026),
              "在线更新已读到保留年数（6 年，2020 年起）内的全部号码。超过保留年数的 2019 年 150 "
              "期，共 150 期历史号码将被删除（删除前先备份）。确定删除吗？选择“否”则保留这些号码，"
              "只添加新的号码。");
    EXPECT_TRUE(r.removalDeclined);
    EXPECT_FALSE(r.discarded);
    EXPECT_EQ(r.added, 3);
    EXPECT_EQ(stored(db).issues.size(), 1053u);
    EXPECT_EQ(stored(db).issues.front(), 2019001);

    p.confirmRemoval = [&](const RemovalPreview& preview) {
        asked.push_back(preview);
        return true;
    };
    r = runOnlineUpdate(db, site, p);
    EXPECT_TRUE(r.discarded);
    EXPECT_EQ(r.removed.total(), 150u);
    const Stored s = stored(db);
    EXPECT_EQ(s.issues.front(), 2020001);
    EXPECT_EQ(s.issues.size(), 903u);
    EXPECT_EQ(s.idx.back(), 903);
}

TEST_F(OnlineUpdate, ADamagedIndexMakesTheUpdateRefuseBeforeStoring) {
    testing::addDraws(db, testing::randomDraws(300, 22, 2012001));  // 2012001 .. 2013150
    testing::damageIssueIndex(db, 2013150);
    site.pages[2013] = chartPage(2013, serials(140, 155));
    const UpdateResult r = run(2013);
    EXPECT_FALSE(r.ran());
    EXPECT_NE(r.outcome.text().find("历史数据库文件已损坏"), std::string::npos) << r.outcome.text();
    EXPECT_EQ(r.added, 0);
    store::Snapshot count = db.db().snapshot("SELECT count(*) AS n FROM Lishi NOT INDEXED");
    count.moveFirst();
    EXPECT_EQ(count.intField("n"), 300);
}

TEST_F(OnlineUpdate, StoreFailureLeavesTheHistoryAsItWas) {
    QUARVEL_NEEDS_PAGE_READER();
    const auto old = testing::randomDraws(300, 3, 2005001);
    testing::addDraws(db, old);
    for (int y = 2008; y <= 2014; ++y) site.pages[y] = chartPage(y, serials(1, 2));
    // The disk "fills up" when the 2012 draws are written, after the discard and four pages.
    db.db().executeNative(
        "CREATE TRIGGER full BEFORE INSERT ON Lishi WHEN NEW.SQQH = 2012001 BEGIN SELECT "
        "RAISE(ABORT, 'disk full'); END");
    EXPECT_THROW(run(2014, 6), store::DbError);
    EXPECT_EQ(db.db().transactionDepth(), 0);
    EXPECT_EQ(stored(db).issues, issuesOf(old));
    EXPECT_EQ(db.rsLishiSort().recordCount(), old.size());
}

}  // namespace
}  // namespace quarvel::io
