// Nothing is removed that the user did not mean to remove: every removing command leaves a
// backup that imports back, junk files are refused, stale decisions and damaged files too.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "history_io/atomic_file.h"
#include "history_io/history_service.h"
#include "history_io/removal_guard.h"
#include "store/numbering.h"
#include "support/test_support.h"

namespace io = quarvel::io;
namespace store = quarvel::store;
namespace qt = quarvel::testing;
namespace fs = std::filesystem;

namespace {

struct Guarded : ::testing::Test {
    qt::TempDir dir;
    store::HistoryDb db{dir.path()};
    io::HistoryService service{db};
    io::ImportParams params;

    void SetUp() override { db.open(); }
    std::vector<fs::path> backups() {
        std::vector<fs::path> out;
        if (fs::exists(io::backupFolder(db)))
            for (const auto& e : fs::directory_iterator(io::backupFolder(db)))
                if (e.path().filename().string().front() != '.') out.push_back(e.path());
        std::sort(out.begin(), out.end());
        return out;
    }
};

}  // namespace

TEST_F(Guarded, FilesThatAreNoHistoryTextAreRefusedWithTheHistoryByteIdentical) {
    qt::addDraws(db, qt::randomDraws(890, 1));
    const std::string dbBytes = qt::readFile(db.dbPath());
    struct Case {
        const char* name;
        std::string bytes;
        const char* says;
    } cases[] = {
        {"database.txt", dbBytes, "NUL"},
        {"notes.txt", "会议记录\r\n买菜\r\n2013001 01 02 03 04 05 06 07 08\r\n电话 12345678\r\n",
         "只有 1 行是号码，共 4 行"},
    };
    for (const auto& c : cases) {
        qt::writeFile(dir.path() / c.name, c.bytes);
        const auto r = service.importFile(dir.path() / c.name, params);
        EXPECT_EQ(r.error, io::ImportError::NotHistoryText) << c.name;
        EXPECT_NE(r.outcome.text().find(c.says), std::string::npos) << r.outcome.text();
        EXPECT_NE(r.outcome.text().find("未读入"), std::string::npos) << r.outcome.text();
    }
    EXPECT_TRUE(backups().empty());
    db.close();
    EXPECT_EQ(qt::readFile(dir.path() / "quarvel.mdb"), dbBytes);
}

TEST_F(Guarded, AOneDrawImportLeavesABackupThatBringsTheHistoryBack) {
    qt::addDraws(db, qt::randomDraws(890, 2));
    const auto before = io::storedDraws(db);
    qt::writeFile(dir.path() / "one.txt", "2099001 01 02 03 04 05 06 07 08\r\n");

    // The window's question names the counts and the backup, before anything changes.
    std::optional<io::ImportPreview> asked;
    params.confirmLoss = [&](const io::ImportPreview& p) {
        asked = p;
        return false;
    };
    auto r = service.importFile(dir.path() / "one.txt", params);
    EXPECT_EQ(r.error, io::ImportError::Cancelled);
    ASSERT_TRUE(asked);
    EXPECT_EQ(io::importLossQuestion(*asked),
              "文件中有 1 期（2099001～2099001），读入后现有的 890 期中有 890 期将不再保存；" +
                  io::backupSentence(asked->backup) + "确实要读入吗？");
    EXPECT_EQ(io::storedDraws(db), before);

    params.confirmLoss = nullptr;  // the CLI goes on
    r = service.importFile(dir.path() / "one.txt", params);
    ASSERT_TRUE(r.ok()) << r.outcome.text();
    EXPECT_EQ(db.drawCount(), 1u);
    ASSERT_TRUE(fs::exists(r.backup));
    EXPECT_EQ(r.backup.parent_path(), io::backupFolder(db));
    const auto restored = service.importFile(r.backup, params);
    ASSERT_TRUE(restored.ok()) << restored.outcome.text();
    EXPECT_EQ(io::storedDraws(db), before);
}

TEST_F(Guarded, EveryRemovingCommandLeavesItsBackupAndTheNewestTwentyAreKept) {
    fs::create_directories(io::backupFolder(db));
    qt::writeFile(io::backupFolder(db) / "mine.txt", "a file of the user's own\r\n");
    qt::addDraws(db, qt::randomDraws(40, 3));
    qt::writeFile(dir.path() / "h.txt",
                  "2013001 01 02 03 04 05 06 07 08\r\n2013002 01 02 03 04 05 06 07 09\r\n");
    const std::vector<std::pair<std::string, std::function<bool()>>> commands = {
        {"trim-last", [&] { return service.trimLastDraws(1, params).ok(); }},
        {"trim-to", [&] { return service.trimToIssue(2013030, params).ok(); }},
        {"delete-last", [&] { return service.deleteLast().ok(); }},
        {"rebuild", [&] { return service.rebuild(params).ok(); }},
        {"clear", [&] { return service.clear().ok(); }},
        {"import", [&] { return service.importFile(dir.path() / "h.txt", params).ok(); }},
    };
    std::size_t written = 0;
    for (int round = 0; written < 21; ++round) {
        for (const auto& [name, run] : commands) {
            if (db.drawCount() == 0) qt::addDraws(db, qt::randomDraws(40, 3));
            const auto count = db.drawCount();
            const auto before = backups();
            ASSERT_TRUE(run()) << name;
            ++written;
            // The one new file (not a file time: several backups fall into one tick of a coarse
            // clock) is named after its command and holds the history before it.
            std::vector<fs::path> added;
            const auto after = backups();
            std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                                std::back_inserter(added));
            ASSERT_EQ(added.size(), 1u) << name;
            EXPECT_NE(added[0].filename().string().find("-" + name), std::string::npos) << added[0];
            const std::string text = qt::readFile(added[0]);
            EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), static_cast<long>(count)) << name;
            if (written == 21) break;
        }
    }
    EXPECT_EQ(backups().size(), io::kBackupsKept + 1);  // twenty backups and the user's own file
    EXPECT_TRUE(fs::exists(io::backupFolder(db) / "mine.txt"));
}

TEST_F(Guarded, ABackupThatCannotBeWrittenChangesNothing) {
    qt::addDraws(db, qt::randomDraws(30, 4));
    const auto before = io::storedDraws(db);
    io::ScopedWriteFailure full(io::WriteStep::Write);
    const auto deleted = service.deleteLast();
    EXPECT_FALSE(deleted.ok());
    EXPECT_NE(deleted.outcome.text().find("原历史无法备份"), std::string::npos)
        << deleted.outcome.text();
    EXPECT_FALSE(service.clear().ok());
    EXPECT_FALSE(service.trimLastDraws(5, params).ok());
    qt::writeFile(dir.path() / "h.txt", "2013001 01 02 03 04 05 06 07 08\r\n");
    EXPECT_EQ(service.importFile(dir.path() / "h.txt", params).error, io::ImportError::Refused);
    EXPECT_EQ(io::storedDraws(db), before);
}

TEST_F(Guarded, StaleDecisionsAreRefusedAtWriteTime) {
    qt::addDraws(db, qt::randomDraws(100, 5, 1953001));
    const io::SeenHistory seen{1953100, 100, {}};
    // Another program stores 1953101 after the window's last refresh.
    store::HistoryDb other(dir.path());
    other.open();
    ASSERT_TRUE(
        io::HistoryService(other).addDraw(1953101, {1, 2, 3, 4, 5, 6, 7, 8}, {}, 2020).ok());

    const auto trim = service.trimToIssue(1953100, params, &seen);
    EXPECT_FALSE(trim.ok());
    EXPECT_EQ(trim.outcome.kind, store::OutcomeKind::Stale);
    EXPECT_NE(trim.outcome.text().find("1953101"), std::string::npos) << trim.outcome.text();
    EXPECT_EQ(service.deleteLast(&seen).outcome.kind, store::OutcomeKind::Stale);
    const auto again = service.addDraw(1953101, {9, 10, 11, 12, 13, 14, 15, 16}, {}, 2020);
    EXPECT_EQ(again.outcome.kind, store::OutcomeKind::Stale);
    EXPECT_EQ(again.outcome.text(), "第 1953101 期已经保存过了。");
    EXPECT_EQ(db.drawCount(), 101u);
    EXPECT_EQ(db.lastIssue(), 1953101);
    EXPECT_TRUE(backups().empty());
    // With what is there now, the same trim goes through.
    const io::SeenHistory now{1953101, 101, {}};
    EXPECT_TRUE(service.trimToIssue(1953100, params, &now).ok());
}

TEST_F(Guarded, ADamagedIndexThatTheQuickCheckPassesStopsEveryRemoval) {
    qt::addDraws(db, qt::randomDraws(1000, 6, 1950001));
    const auto before = io::storedDraws(db);
    // The issue index loses its newest entry while the schema still calls it whole.
    qt::damageIssueIndex(db, 1956100);
    {
        store::Snapshot quick = db.db().snapshot("PRAGMA quick_check");
        quick.moveFirst();
        ASSERT_EQ(quick.textField("quick_check"), "ok");
    }
    ASSERT_TRUE(io::integrityFault(db.db()));

    const auto r = service.deleteLast();
    EXPECT_FALSE(r.ok());
    EXPECT_NE(r.outcome.text().find("历史数据库文件已损坏"), std::string::npos) << r.outcome.text();
    EXPECT_NE(r.outcome.text().find("missing from index"), std::string::npos) << r.outcome.text();
    EXPECT_FALSE(service.trimLastDraws(1, params).ok());
    EXPECT_FALSE(service.clear().ok());
    // An import, which rebuilds the index after its rows, is refused before it too.
    ASSERT_FALSE(r.backup.empty());
    params.confirmLoss = nullptr;
    EXPECT_FALSE(service.importFile(r.backup, params).ok());
    // Nothing is deleted, and the backup read from the table itself holds every draw.
    db.db().executeNative("REINDEX LishiBySqqh");
    EXPECT_EQ(io::storedDraws(db), before);
    ASSERT_TRUE(service.importFile(r.backup, params).ok());
    EXPECT_EQ(io::storedDraws(db), before);
}

// Another program deletes the newest draw and stores other numbers under its issue: the count
// and the newest issue are what the window saw, the draws are not, and nothing is removed.
TEST_F(Guarded, ADecisionOnOtherDrawsIsStaleThoughCountAndNewestAgree) {
    qt::addDraws(db, qt::randomDraws(50, 8, 2016101));
    const io::SeenHistory seen = io::seenHistoryOf(store::historyListGrid(db.db()));
    ASSERT_EQ(seen.newest, 2016150);
    store::HistoryDb other(dir.path());
    other.open();
    ASSERT_TRUE(io::HistoryService(other).deleteLast().ok());
    ASSERT_TRUE(io::HistoryService(other)
                    .addDraw(2016150, {21, 22, 23, 24, 25, 26, 27, 28}, {}, 2016)
                    .ok());
    const auto changed = io::storedDraws(db);
    for (const auto& refused :
         {service.deleteLast(&seen).outcome, service.clear(&seen).outcome,
          service.trimLastDraws(3, params, &seen).outcome,
          service.addDraw(2016151, {1, 2, 3, 4, 5, 6, 7, 8}, {}, 2016, &seen).outcome})
        EXPECT_EQ(refused.kind, store::OutcomeKind::Stale) << refused.text();
    EXPECT_EQ(io::storedDraws(db), changed);
    const io::SeenHistory now = io::seenHistoryOf(store::historyListGrid(db.db()));
    EXPECT_NE(now.fingerprint, seen.fingerprint);
    EXPECT_TRUE(service.deleteLast(&now).ok());
}
