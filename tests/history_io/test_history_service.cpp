// The one service that changes the history: its limit and refusals, and that no output file
// ever lands on the database.
#include <gtest/gtest.h>

#include <functional>

#include "history_io/atomic_file.h"
#include "history_io/export.h"
#include "history_io/history_service.h"
#include "history_io/text_format.h"
#include "history_io/xls_writer.h"
#include "store/numbering.h"
#include "support/test_support.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
namespace fs = std::filesystem;

namespace {

struct Service : ::testing::Test {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    io::HistoryService service{db};
    io::RowRules rules;

    void SetUp() override { db.open(); }
};

}  // namespace

TEST_F(Service, AddRefusesImpossibleDrawsAndIssuesWithTheSameSentences) {
    EXPECT_EQ(store::drawRefusal({1, 2, 3, 4, 5, 6, 7, 8}), "");
    EXPECT_EQ(store::drawRefusal({1, 2, 3, 4, 5, 6, 7, 31}), "特码 31 不在 01 到 30 之间。");
    EXPECT_EQ(store::drawRefusal({1, 2, 3, 4, 5, 6, 2, 8}), "第7个号码 02 与前面的号码重复。");
    EXPECT_EQ(store::drawRefusal({0, 2, 3, 4, 5, 6, 7, 8}), "第1个号码 00 不在 01 到 30 之间。");
    const auto r = service.addDraw(2013001, {1, 2, 3, 4, 5, 6, 2, 8}, rules, 2020);
    EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused);
    EXPECT_EQ(r.outcome.title, io::kNewDrawRefusalTitle);
    EXPECT_EQ(r.outcome.text(), "第7个号码 02 与前面的号码重复。");
    EXPECT_EQ(db.drawCount(), 0u);
}

// One bound for every issue a draw is stored under: the window's box and quarvel-cli ask
// isIssueInBounds, the service refuses by it, and every issue it lets in can be written as a
// history line (and none beyond).
TEST_F(Service, IssueBoundsAreOneRuleForStoringAndWriting) {
    const std::array<int, 8> draw{1, 2, 3, 4, 5, 6, 7, 8};
    const struct {
        std::int64_t issue;
        bool stored;
    } cases[] = {{-5, false},        {0, false},
                 {1, true},          {2013001, true},
                 {9'999'999, true},  {10'000'000, false},
                 {INT32_MAX, false}, {std::int64_t{INT32_MAX} + 1, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(store::isIssueInBounds(c.issue), c.stored) << c.issue;
        EXPECT_EQ(io::checkNewDraw(c.issue, draw).ok(), c.stored) << c.issue;
        EXPECT_EQ(io::writableAsHistoryLine(c.issue, draw), c.stored) << c.issue;
        if (c.issue < INT32_MIN || c.issue > INT32_MAX) continue;
        const auto r = service.addDraw(static_cast<std::int32_t>(c.issue), draw, rules, 2020);
        EXPECT_EQ(r.ok(), c.stored) << c.issue << ": " << r.outcome.text();
        if (!c.stored) {
            EXPECT_EQ(r.outcome.title, io::kNewDrawRefusalTitle) << c.issue;
        }
    }
    EXPECT_EQ(db.drawCount(), 3u);
}

TEST_F(Service, TheLimitOfDrawsHoldsForEveryAdd) {
    // Fill to one below the limit quickly; only the count matters here.
    db.db().executeNative(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32765) "
        "INSERT INTO Lishi (SQQH) SELECT 1000000 + i FROM n");
    auto r = service.addDraw(2099001, {1, 2, 3, 4, 5, 6, 7, 8}, rules, 2020);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(db.drawCount(), static_cast<std::size_t>(store::kMaxDraws));
    r = service.addDraw(2099002, {1, 2, 3, 4, 5, 6, 7, 8}, rules, 2020);
    EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Refused);
    EXPECT_TRUE(r.outcome.title.empty());
    EXPECT_NE(r.outcome.text().find("32766"), std::string::npos);
    EXPECT_EQ(db.drawCount(), static_cast<std::size_t>(store::kMaxDraws));
}

TEST_F(Service, ZodiacYearOfANewDrawFollowsItsIssueOrTheCalendar) {
    EXPECT_EQ(io::zodiacIssueFor(2014001, 2030), 2014001);
    EXPECT_EQ(io::zodiacIssueFor(1, 2030), 2030999);
    EXPECT_EQ(io::zodiacIssueFor(999999, 2030), 2030999);
}

TEST_F(Service, OutputFilesAimedAtTheDatabaseAreRefusedAndItStaysByteIdentical) {
    QUARVEL_SKIP_ON_WINDOWS("links");
    qt::addDraws(db, qt::randomDraws(30, 2));
    const std::string before = qt::readFile(db.dbPath());
    store::TextGrid grid;
    grid.cells = {{"期号", "特码"}, {"2013001", "08"}};
    grid.colWidths = {820, 600};

    EXPECT_THROW(io::writeXlsFile(db.dbPath(), grid), io::IoError);
    fs::create_symlink(db.dbPath(), dir.path() / "lishi.xls");
    EXPECT_THROW(io::writeXlsFile(dir.path() / "lishi.xls", grid), io::IoError);
    fs::create_symlink(dir.path() / "quarvel.mdb-journal", dir.path() / "Jieguo.xls");
    EXPECT_THROW(io::writeFileAtomically(dir.path() / "Jieguo.xls", "x"), io::IoError);
    EXPECT_THROW(io::writeFileAtomically(dir.path() / "quarvel.mdb-wal", "x"), io::IoError);

    // A trim whose backup file is a link to the database is refused before anything changes,
    // and a refused trim never goes on to compact.
    fs::create_symlink(db.dbPath(), dir.path() / "lsbf.txt");
    const auto trimmed = service.trimLastDraws(3, {});
    EXPECT_FALSE(trimmed.ok());
    EXPECT_NE(trimmed.outcome.text().find("历史数据库"), std::string::npos)
        << trimmed.outcome.text();
    EXPECT_FALSE(fs::exists(db.tmpPath()));
    EXPECT_EQ(db.drawCount(), 30u);
    db.close();
    EXPECT_EQ(qt::readFile(dir.path() / "quarvel.mdb"), before);
    EXPECT_TRUE(fs::is_symlink(dir.path() / "lishi.xls"));
}

TEST_F(Service, DeletingFromAnEmptyHistoryIsNoFailureAndDoesNotCompact) {
    const auto r = service.deleteLast();
    EXPECT_TRUE(r.ok());
    EXPECT_FALSE(r.issue);
    EXPECT_FALSE(fs::exists(db.tmpPath()));
    qt::addDraws(db, qt::randomDraws(2, 3));
    const auto d = service.deleteLast();
    EXPECT_EQ(d.issue, 2013002);
    EXPECT_TRUE(fs::exists(db.tmpPath()));
}

TEST_F(Service, ACommandOnAHistoryMovedAwayIsRefusedWithoutCreatingANewOne) {
    QUARVEL_SKIP_ON_WINDOWS("renames the open history");
    qt::addDraws(db, qt::randomDraws(5, 4));
    fs::rename(db.dbPath(), dir.path() / "moved.mdb");
    const auto r = service.addDraw(2099001, {1, 2, 3, 4, 5, 6, 7, 8}, rules, 2020);
    EXPECT_EQ(r.outcome.kind, store::OutcomeKind::Failed);
    EXPECT_EQ(r.outcome.fault, store::DbFault::Missing);
    EXPECT_NE(r.outcome.text().find("历史数据库文件已被移走或删除"), std::string::npos)
        << r.outcome.text();

    // Every command says the failure in its outcome rather than throwing it at the caller (the
    // history stays closed once it was found moved away).
    struct NoPages : io::PageSource {
        io::PageResult fetch(const std::string&) override {
            return store::Outcome::failed("no network");
        }
    } pages;
    const io::ImportParams params;
    io::UpdateParams update;
    update.host = "http://results.test";
    update.yearNow = 2014;
    const std::vector<std::pair<const char*, std::function<store::Outcome()>>> commands = {
        {"delete-last", [&] { return service.deleteLast().outcome; }},
        {"clear", [&] { return service.clear().outcome; }},
        {"compact", [&] { return service.compact().outcome; }},
        {"import", [&] { return service.importFile(dir.path() / "h.txt", params).outcome; }},
        {"trim-to", [&] { return service.trimToIssue(2013002, params).outcome; }},
        {"trim-last", [&] { return service.trimLastDraws(1, params).outcome; }},
        {"rebuild", [&] { return service.rebuild(params).outcome; }},
        {"rebuild-codes", [&] { return service.rebuildCodes(params).outcome; }},
        {"update", [&] { return service.update(pages, update).outcome; }},
        {"preview", [&] { return service.previewTrim(io::TrimKind::LastDraws, 1).outcome; }},
        {"export", [&] { return service.exportText().outcome; }},
    };
    for (const auto& [name, run] : commands) {
        store::Outcome o;
        EXPECT_NO_THROW(o = run()) << name;
        EXPECT_EQ(o.kind, store::OutcomeKind::Failed) << name;
        EXPECT_FALSE(o.sentence.empty()) << name;
    }
    EXPECT_FALSE(fs::exists(db.dbPath()));
}
