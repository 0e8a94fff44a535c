// The window beside other programs on the same quarvel.mdb: it keeps working on the file they
// change, never writes an old copy back, refuses removals and entries decided on a list that
// another program has changed since, and holds to the same limit of draws as the CLI.

#include <QPushButton>

#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

class TestSharedHistory : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    testing::CliResult cli(std::vector<std::string> args) const { return f->cli(std::move(args)); }

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

        // The list still shows 2013020 as the newest: the first press is refused and refreshes it.
        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        QCOMPARE(f->stored().size(), size_t(22));
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY2(f->dialogs.messages()[0].text.contains("2013022"),
                 qPrintable(f->dialogs.messages()[0].text));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 22);
        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(21));
        QCOMPARE(rows.back().issue, 2013021);
        QCOMPARE(rows.back().numbers[0], 11);
        QCOMPARE(f->dialogs.messages().size(), 1);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013022"));
        QVERIFY2(f->status().contains(QStringLiteral("原历史已备份到")), qPrintable(f->status()));
    }

    void aHistoryPutInPlaceByAnotherProgramIsTheOneTheWindowChanges() {
#ifdef Q_OS_WIN
        QSKIP("Windows refuses to rename a file over the history the window holds open");
#endif
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
        f->window->deleteLastDraw();  // refused: the list showed another history
        QCOMPARE(f->stored().size(), size_t(5));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 5);
        f->window->deleteLastDraw();
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows.back().issue, 2014004);
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 4);
    }

    // The next-issue box and the trim's default come from the last refresh: after another
    // program stored that issue, neither may store it twice nor delete the other's draw.
    void aStaleWindowNeitherStoresAnIssueTwiceNorTrimsTheOthersDraw() {
        f->seed(simpleDraws(100, 1953001));
        f->open();
        QCOMPARE(cli({"add", "1953101", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("1953101"));
        f->box(1)->setFocus();
        for (int i = 1; i <= 8; ++i) QTest::keyClicks(f->box(i), QString::asprintf("%02d", i + 10));
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(f->dialogs.messages()[0].text.contains(QStringLiteral("已被其他程序改变")));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("1953102"));  // refreshed

        QCOMPARE(cli({"add", "1953102", "01", "02", "03", "04", "05", "06", "07", "08"}).status, 0);
        f->dialogs.inputAnswers.enqueue(
            QStringLiteral("1953101"));  // Enter on the default it offered
        f->window->trimToIssue();
        auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(102));
        QCOMPARE(rows.back().issue, 1953102);
        QCOMPARE(f->dialogs.messages().size(), 2);
        QVERIFY2(f->dialogs.messages()[1].text.contains("1953102"),
                 qPrintable(f->dialogs.messages()[1].text));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 102);
        // `add` of the CLI refuses a stored issue the same way.
        const auto again = cli({"add", "1953102", "11", "12", "13", "14", "15", "16", "17", "18"});
        QCOMPARE(again.status, 1);
        QVERIFY(QString::fromStdString(again.err).contains(QStringLiteral("已经保存过了")));
        rows = f->stored();
        QCOMPARE(rows.size(), size_t(102));
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
