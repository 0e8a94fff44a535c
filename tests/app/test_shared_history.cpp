// The window beside other programs on the same quarvel.mdb: it keeps working on the file they
// change, never writes an old copy back, and holds to the same limit of draws as the CLI.

#include <QPushButton>

#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

class TestSharedHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    testing::CliResult cli(std::vector<std::string> args) const {
        args.insert(args.begin(), {"--data-dir", f->dir.path().string(), "--settings-file",
                                   (f->dir.path() / "cli.ini").string()});
        return testing::runCli(args);
    }

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void deletingAfterAnotherProgramCompactedAndAddedRemovesOnlyTheNewest() {
        f->seed(simpleDraws(20));
        f->open();
        QCOMPARE(cli({"compact"}).status, 0);
        QCOMPARE(cli({"add", "2013021", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
        QCOMPARE(cli({"delete-last"}).status, 0);  // deletes 2013021 and compacts again
        QCOMPARE(cli({"add", "2013021", "11", "12", "13", "14", "15", "16", "17", "18"}).status, 0);
        QCOMPARE(cli({"add", "2013022", "21", "22", "23", "24", "25", "26", "27", "28"}).status, 0);

        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(21));
        QCOMPARE(rows.back().issue, 2013021);
        QCOMPARE(rows.back().numbers[0], 11);
        QVERIFY2(f->dialogs.shown.isEmpty(), "the delete was refused");
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013022"));
    }

    void aHistoryPutInPlaceByAnotherProgramIsTheOneTheWindowChanges() {
        f->seed(simpleDraws(20));
        f->open();
        const auto other = f->dir.path() / "other";
        std::filesystem::create_directories(other);
        {
            store::HistoryDb db(other);
            db.open();
            testing::addDraws(db, simpleDraws(5, 2014001));
        }
        std::filesystem::rename(other / store::kDbFileName, f->dir.path() / store::kDbFileName);
        f->window->deleteLastDraw();
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows.back().issue, 2014004);
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 4);
    }

    void theWindowRefusesADrawPastTheLimit() {
        f->seed(simpleDraws(1));
        {
            store::HistoryDb db(f->dir.path());
            db.open();
            db.db().executeNative(
                "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 32765) "
                "INSERT INTO Lishi (SQQH, L1A, L2A, L3A, L4A, L5A, L6A, L7A, L8A) SELECT 1000 + i, "
                "1, 2, 3, 4, 5, 6, 7, 8 FROM n");
            db.renumberIdx();
        }
        f->open();
        f->history().nextIssueBox()->setText("2099001");
        f->box(1)->setFocus();
        for (int i = 1; i <= 8; ++i) QTest::keyClicks(f->box(i), QString::asprintf("%02d", i + 10));
        QCOMPARE(f->stored().size(), size_t(store::kMaxDraws));
        QCOMPARE(f->dialogs.shown.size(), 1);
        QVERIFY(f->dialogs.shown[0].text.contains("32766"));
    }
};

QTEST_MAIN(TestSharedHistory)
#include "test_shared_history.moc"
