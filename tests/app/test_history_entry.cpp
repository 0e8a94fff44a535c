// Changing the history from the window: typing the newest draw, refusals, deleting the last
// draw, clearing, and the segment base reaching the rows that are entered.

#include <QAction>
#include <QDate>
#include <QPushButton>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

namespace {

void typeDraw(WindowFixture& f, const QStringList& numbers) {
    for (int i = 1; i <= numbers.size(); ++i) QTest::keyClicks(f.box(i), numbers[i - 1]);
}

const QStringList kDraw = {"05", "12", "18", "21", "25", "28", "30", "09"};

}  // namespace

class TestHistoryEntry : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void focusMovesOnTheSecondDigitOnly() {
        f->open();
        f->box(1)->setFocus();
        QTest::keyClicks(f->box(1), "0");
        QVERIFY(f->box(1)->hasFocus());
        QTest::keyClicks(f->box(1), "3");
        QVERIFY(f->box(2)->hasFocus());
        // Box 7 moves on to box 8; box 8 itself never moves the focus.
        QTest::keyClicks(f->box(7), "11");
        QVERIFY(f->box(8)->hasFocus());
        QTest::keyClicks(f->box(8), "4");
        QVERIFY(f->box(8)->hasFocus());
        QVERIFY(f->stored().empty());
    }

    // A click in the middle or the right part of a box takes the whole box: the typed digits
    // replace what it held, the focus moves on only with two digits, and exactly the draw typed
    // is stored.
    void clickingIntoBoxesAndTypingStoresExactlyTheTypedDraw() {
        f->seed(simpleDraws(3));
        f->open();
        for (int i = 1; i <= 7; ++i)
            QTest::keyClicks(f->box(i), QStringLiteral("%1").arg(i + 20));  // boxes full
        const QStringList draw = {"22", "01", "12", "11", "20", "30", "13", "09"};
        for (int i = 1; i <= 8; ++i) {
            QLineEdit* box = f->box(i);
            const QPoint at = i % 2 ? QPoint(box->width() / 2, box->height() / 2)
                                    : QPoint(box->width() - 3, box->height() / 2);
            QTest::mouseClick(box, Qt::LeftButton, {}, at);
            QVERIFY(box->hasFocus());
            QTest::keyClicks(box, draw[i - 1].left(1));
            QVERIFY2(box->hasFocus(), "one digit moved the focus on");
            QCOMPARE(box->displayText(), draw[i - 1].left(1) + "_");
            QTest::keyClicks(box, draw[i - 1].mid(1));
            if (i < 8) QVERIFY(f->box(i + 1)->hasFocus());
        }
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(4));
        const std::array<int, 8> expected{22, 1, 12, 11, 20, 30, 13, 9};
        QVERIFY(rows.back().numbers == expected);
        QCOMPARE(f->status(), QString("已保存 2013004 期"));
    }

    // Correcting one box: typing into it again replaces both digits and nothing moves into the
    // next box.
    void typingIntoAFilledBoxReplacesIt() {
        f->open();
        QTest::keyClicks(f->box(1), "05");
        QTest::keyClicks(f->box(2), "12");
        QTest::mouseClick(f->box(1), Qt::LeftButton, {}, QPoint(f->box(1)->width() - 2, 4));
        QTest::keyClicks(f->box(1), "0");
        QCOMPARE(f->box(1)->displayText(), QString("0_"));
        QTest::keyClicks(f->box(1), "7");
        QCOMPARE(f->box(1)->displayText(), QString("07"));
        QCOMPARE(f->box(2)->displayText(), QString("12"));
        // Reached with the tab key, a full box is replaced as well.
        f->box(2)->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(f->box(2), "18");
        QCOMPARE(f->box(2)->displayText(), QString("18"));
        QVERIFY(f->stored().empty());
    }

    void aFullDrawIsStoredOnceUnderTheNextIssue() {
        f->seed(simpleDraws(3));
        f->open();
        f->box(1)->setFocus();
        typeDraw(*f, kDraw);
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows.back().issue, 2013004);
        const std::array<int, 8> expected{5, 12, 18, 21, 25, 28, 30, 9};
        QVERIFY(rows.back().numbers == expected);
        // List, issue boxes and entry boxes follow.
        auto* list = f->history().list();
        QCOMPARE(list->gridModel()->rowCount(), 4);
        QCOMPARE(list->grid().at(4, 0), std::string("2013004"));
        QCOMPARE(list->grid().at(4, 8), std::string("9"));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013005"));
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("2013004"));
        QCOMPARE(f->find<QLineEdit>("Text4")->text(), QString("2013004"));
        for (int i = 1; i <= 8; ++i) QCOMPARE(f->box(i)->text(), QString());
        QVERIFY(f->box(1)->hasFocus());
        QVERIFY(f->history().justStored());
        QCOMPARE(f->status(), QString("已保存 2013004 期"));
        QVERIFY(f->dialogs.shown.isEmpty());
        // The next key press clears the stored state; the next draw goes under 2013005.
        typeDraw(*f, {"01", "02", "03", "04", "06", "07", "08", "10"});
        QCOMPARE(f->stored().size(), size_t(5));
        QCOMPARE(f->stored().back().issue, 2013005);
        // IDX runs 1..n in issue order after each store.
        store::HistoryDb db(f->dir.path());
        db.open();
        auto& rs = db.reopenSort();
        int expectIdx = 1;
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            QCOMPARE(int(rs.intField("IDX")), expectIdx++);
    }

    void refusedDrawsStoreNothingAndKeepTheBoxes_data() {
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<QString>("why");
        QTest::newRow("above 30") << QStringList{"05", "31", "18", "21", "25", "28", "30", "09"}
                                  << "31";
        QTest::newRow("zero") << QStringList{"05", "12", "18", "21", "25", "28", "30", "00"}
                              << "00";
        QTest::newRow("repeated") << QStringList{"05", "12", "18", "12", "25", "28", "30", "09"}
                                  << "重复";
        QTest::newRow("special repeats")
            << QStringList{"05", "12", "18", "21", "25", "28", "30", "05"} << "重复";
        QTest::newRow("incomplete box")
            << QStringList{"05", "12", "1", "", "25", "28", "30", "09"} << "第3个号码";
    }
    void refusedDrawsStoreNothingAndKeepTheBoxes() {
        QFETCH(QStringList, numbers);
        QFETCH(QString, why);
        f->seed(simpleDraws(2));
        f->open();
        typeDraw(*f, numbers);
        QCOMPARE(f->stored().size(), size_t(2));
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY2(f->dialogs.messages()[0].text.contains(why),
                 qPrintable(f->dialogs.messages()[0].text));
        QCOMPARE(f->box(8)->text(), numbers[7]);
        QCOMPARE(f->box(1)->text(), numbers[0]);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013003"));
        QVERIFY(!f->history().justStored());
    }

    void correctingARefusedDrawStoresIt() {
        f->open();
        typeDraw(*f, {"05", "12", "18", "21", "25", "28", "30", "30"});
        QCOMPARE(f->stored().size(), size_t(0));
        f->box(8)->selectAll();
        QTest::keyClicks(f->box(8), "09");
        QCOMPARE(f->stored().size(), size_t(1));
        QCOMPARE(f->stored()[0].issue, 1);  // an empty history: the next issue is 1
    }

    void deletingTheLastDrawTwiceRemovesTheTwoNewest() {
        f->seed(simpleDraws(5));
        f->open();
        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows.back().issue, 2013003);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013004"));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 3);
        QVERIFY(f->box(1)->hasFocus());
        QVERIFY(f->dialogs.shown.isEmpty());  // no confirmation
        // The window keeps working on the compacted file: one more delete reaches it.
        f->window->deleteLastDraw();
        QCOMPARE(f->stored().size(), size_t(2));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013003"));
    }

    void deletingRemovesOneOfTwoDrawsSharingTheLargestIssue() {
        auto draws = simpleDraws(3);
        draws.push_back({2013003, {1, 2, 3, 4, 5, 6, 7, 8}});
        f->seed(draws);
        f->open();
        f->find<QAction>("mnuErase")->trigger();
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(3));
        QCOMPARE(rows.back().issue, 2013003);
        // And from an empty history nothing happens but the refresh.
        f->window->deleteLastDraw();
        f->window->deleteLastDraw();
        f->window->deleteLastDraw();
        f->window->deleteLastDraw();
        QCOMPARE(f->stored().size(), size_t(0));
        QCOMPARE(f->history().nextIssueBox()->text(), QString("1"));
    }

    void clearingAsksAndCancelKeepsTheHistory() {
        f->seed(simpleDraws(4));
        f->open();
        f->dialogs.questionAnswers.enqueue(false);
        f->find<QAction>("mnuClear")->trigger();
        QCOMPARE(f->dialogs.shown.size(), 1);
        QCOMPARE(f->dialogs.shown[0].title, QString("确认清空"));
        QCOMPARE(f->dialogs.shown[0].text, QString("确定要清空所有的历史号码吗？"));
        QCOMPARE(f->stored().size(), size_t(4));

        f->dialogs.questionAnswers.enqueue(true);
        f->find<QAction>("mnuClear")->trigger();
        QCOMPARE(f->stored().size(), size_t(0));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 0);
        // The next issue keeps its text until the next refresh of the issue boxes.
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013005"));
    }

    void segmentBaseChosenFromTheMenuReachesTheEnteredDraw() {
        f->seed(simpleDraws(1));
        f->open();
        f->find<QAction>("mnuDscs_0")->trigger();
        typeDraw(*f, {"01", "12", "18", "21", "25", "28", "30", "09"});
        store::HistoryDb db(f->dir.path());
        db.open();
        auto& rs = db.reopenSort();
        rs.moveFirst();
        QCOMPARE(int(rs.intField("L1H")), 1);  // stored before the change
        rs.moveLast();
        QCOMPARE(int(rs.intField("L1H")), 0);
        QVERIFY(QString::fromStdString(rs.textField("txtHisLstDs")).contains("1X0"));
    }

    void anEditedNextIssueIsTheIssueStoredAndGivesTheZodiacYear() {
        f->seed(simpleDraws(3));
        f->open();
        f->history().nextIssueBox()->setText(" 2014001 ");
        typeDraw(*f, {"01", "12", "18", "21", "25", "28", "30", "09"});
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(4));
        QCOMPARE(rows.back().issue, 2014001);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2014002"));
        store::HistoryDb db(f->dir.path());
        db.open();
        auto& rs = db.reopenSort();
        rs.moveLast();
        QCOMPARE(int(rs.intField("L1B")), 1 + store::zodiacIndex(store::zodiacYear(2014001), 1));
    }

    void aFirstDrawTakesTheCalendarsZodiacYear() {
        f->open();  // empty history: the next issue box shows 1
        typeDraw(*f, {"01", "12", "18", "21", "25", "28", "30", "09"});
        store::HistoryDb db(f->dir.path());
        db.open();
        auto& rs = db.reopenSort();
        rs.moveLast();
        QCOMPARE(int(rs.intField("SQQH")), 1);
        const int year = QDate::currentDate().year();
        QCOMPARE(int(rs.intField("L1B")), 1 + store::zodiacIndex(year, 1));
    }
};

QTEST_MAIN(TestHistoryEntry)
#include "test_history_entry.moc"
