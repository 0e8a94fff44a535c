// Fetching pages over real HTTP from a server on 127.0.0.1: fixture pages, failures, silence.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringDecoder>
#include <QTimer>
#include <chrono>

#include "platform/page_fetch.h"
#include "support/http_test_server.h"
#include "support/page_reader.h"
#include "support/test_support.h"

namespace quarvel::platform {
namespace {

using testing::HttpResponse;
using testing::HttpTestServer;

void ensureApplication() {
    if (QCoreApplication::instance()) return;
    static int argc = 1;
    static char name[] = "test_platform";
    static char* argv[] = {name, nullptr};
    new QCoreApplication(argc, argv);  // lives until the test program ends
}

class PageFetch : public ::testing::Test {
  protected:
    void SetUp() override { ensureApplication(); }
};

TEST_F(PageFetch, ReadsTheRenderedTextOfAPage) {
    QUARVEL_NEEDS_PAGE_READER();
    const std::string page = testing::readFile(testing::dataFile("pages/2013.html"));
    HttpTestServer server(HttpTestServer::pages({{"/kaijiang/xw?span=2013001_2013365", page}}));
    QtPageSource source;
    const io::PageResult r = source.fetch(server.baseUrl() + "/kaijiang/xw?span=2013001_2013365");
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_NE(r->find("2013140\t13-10-08\t周二\t24\t28\t02\t06\t10\t14\t18\t22\n"),
              std::string::npos)
        << *r;
    EXPECT_EQ(r->find("<td"), std::string::npos);
    EXPECT_EQ(server.requests(), std::vector<std::string>{"/kaijiang/xw?span=2013001_2013365"});
}

TEST_F(PageFetch, StatusOutsideSuccessIsAFailure) {
    HttpTestServer server([](const std::string& target) {
        if (target == "/gone") return HttpTestServer::notFound();
        HttpResponse r;
        r.status = 503;
        r.reason = "Service Unavailable";
        r.body = "<html><body>2013001 busy</body></html>";
        return r;
    });
    QtPageSource source;
    io::PageResult r = source.fetch(server.baseUrl() + "/gone");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.outcome.text().find("404"), std::string::npos) << r.outcome.text();
    EXPECT_FALSE(r.value.has_value());
    r = source.fetch(server.baseUrl() + "/busy");
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.outcome.text().find("503"), std::string::npos) << r.outcome.text();
}

TEST_F(PageFetch, ASilentServerRunsIntoTheTimeLimit) {
    HttpTestServer server([](const std::string&) {
        HttpResponse r;
        r.silent = true;
        return r;
    });
    QtPageSource source(std::chrono::milliseconds(300));
    // The wait runs the event loop: a window's timers (and repaints) go on meanwhile.
    int ticks = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    const auto start = std::chrono::steady_clock::now();
    const io::PageResult r = source.fetch(server.baseUrl() + "/slow");
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.outcome.text().find("在 0.3 秒内没有回答"), std::string::npos) << r.outcome.text();
    EXPECT_GE(took, std::chrono::milliseconds(250));
    EXPECT_LT(took, std::chrono::seconds(10));
    EXPECT_GE(ticks, 5);
}

TEST_F(PageFetch, UnreachableOrMalformedAddressesFail) {
    int freePort;
    {
        HttpTestServer closed(HttpTestServer::pages({}));
        freePort = closed.port();
    }
    QtPageSource source(std::chrono::milliseconds(3000));
    io::PageResult r = source.fetch("http://127.0.0.1:" + std::to_string(freePort) + "/x");
    EXPECT_FALSE(r.ok());
    // Said in Chinese whatever translations Qt has: no English error string of Qt's own.
    EXPECT_NE(r.outcome.text().find("无法读取 http://127.0.0.1:"), std::string::npos)
        << r.outcome.text();
    EXPECT_NE(r.outcome.text().find("：连接被拒绝"), std::string::npos) << r.outcome.text();
    for (const std::string bad : {"", "not an address", "ftp://127.0.0.1/x", "http:///nohost"}) {
        r = source.fetch(bad);
        EXPECT_FALSE(r.ok()) << bad;
        EXPECT_FALSE(r.outcome.text().empty()) << bad;
    }
}

TEST_F(PageFetch, BodiesAreDecodedByTheirCharset) {
    const QByteArray utf8 =
        QByteArrayLiteral("<html><body>\xE5\xBC\x80\xE5\xA5\x96 2013001</body></html>");
    // GBK bytes of 开奖.
    const QByteArray gbk = QByteArrayLiteral("<html><body>\xBF\xAA\xBD\xB1 2013001</body></html>");
    const QByteArray gbkMeta = "<html><head><meta charset=\"gbk\"></head>" + gbk.mid(6);
    QString error;
    EXPECT_EQ(decodeHtmlBody(utf8, "text/html", &error), QString::fromUtf8(utf8));
    EXPECT_EQ(decodeHtmlBody(utf8, "text/html; charset=\"UTF-8\"", &error),
              QString::fromUtf8(utf8));
    EXPECT_EQ(decodeHtmlBody("caf\xE9", "text/html; charset=ISO-8859-1", &error),
              QStringLiteral("caf\u00E9"));

    if (QStringDecoder("GBK").isValid()) {
        const auto text = decodeHtmlBody(gbk, "text/html; charset=GBK", &error);
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->contains(QStringLiteral("开奖 2013001")));
        const auto fromMeta = decodeHtmlBody(gbkMeta, "text/html", &error);
        ASSERT_TRUE(fromMeta);
        EXPECT_TRUE(fromMeta->contains(QStringLiteral("开奖 2013001")));
    }
    // A charset nobody knows is refused with its name, not read as something else.
    EXPECT_FALSE(decodeHtmlBody(gbk, "text/html; charset=x-no-such-set", &error));
    EXPECT_TRUE(error.contains("x-no-such-set"));
}

TEST_F(PageFetch, ServedCharsetReachesTheText) {
    QUARVEL_NEEDS_PAGE_READER();
    HttpTestServer server([](const std::string&) {
        HttpResponse r;
        r.contentType = "text/html; charset=ISO-8859-1";
        r.body = "<html><body><p>caf\xE9</p></body></html>";
        return r;
    });
    QtPageSource source;
    const io::PageResult r = source.fetch(server.baseUrl() + "/");
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(*r, "caf\xC3\xA9");
}

// A build without the page reader still asks for the page (the network module is loaded and
// works) but gives the refusal instead of its text.
TEST_F(PageFetch, WithoutThePageReaderAServedPageIsRefused) {
    if (io::kPageReaderBuilt) GTEST_SKIP() << "this build has the page reader";
    HttpTestServer server([](const std::string&) { return HttpResponse{}; });
    QtPageSource source;
    EXPECT_EQ(source.readiness().sentence, io::kNoPageReader);
    const io::PageResult r = source.fetch(server.baseUrl() + "/");
    ASSERT_FALSE(r.ok());
    EXPECT_EQ(r.outcome.sentence, io::kNoPageReader);
    EXPECT_EQ(server.requests().size(), 1u);
}

}  // namespace
}  // namespace quarvel::platform
