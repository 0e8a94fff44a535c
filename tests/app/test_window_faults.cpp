// The window beside quarvel-cli: a removal decided on a list whose draws another program changed
// is refused even when the count and the newest issue are the same; the list and the next issue
// follow the other program's change when the window is used again; every refusal is said in a
// Chinese sentence, its detail behind the message's button, and left in the status bar.

#include <QPushButton>

#include "app/grid_view.h"
#include "app/history_panel.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

namespace {

bool hasLatinLetters(const QString& s) {
    for (QChar c : s)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return false;
}

}  // namespace

class TestWindowFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    testing::CliResult cli(std::vector<std::string> args) const { return f->cli(std::move(args)); }

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void aDeleteDecidedOnOtherDrawsIsRefused() {
        f->seed(simpleDraws(20));
        f->open();
        QCOMPARE(cli({"delete-last"}).status, 0);
        QCOMPARE(cli({"add", "2013020", "21", "22", "23", "24", "25", "26", "27", "28"}).status, 0);

        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(20));
        QCOMPARE(rows.back().numbers[0], 21);  // the draw the window never showed is kept
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY2(f->dialogs.messages()[0].text.contains(QStringLiteral("已被其他程序改变")),
                 qPrintable(f->dialogs.messages()[0].text));
        QCOMPARE(f->history().list()->grid().at(20, 1), std::string("21"));  // shown now
        QCOMPARE(f->status(), f->dialogs.messages()[0].text);

        QTest::mouseClick(f->find<QPushButton>("Command3"), Qt::LeftButton);
        rows = f->stored();
        QCOMPARE(rows.size(), size_t(19));
        QCOMPARE(f->dialogs.messages().size(), 1);
    }

    void theNextIssueFollowsATrimElsewhere() {
        f->seed(simpleDraws(30));
        f->open();
        QCOMPARE(cli({"trim-last", "10"}).status, 0);
        // Back in the window: the list and the next issue are those of the history now.
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(f->window.get(), &activate);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013021"));
        QCOMPARE(f->history().list()->gridModel()->rowCount(), 20);
        QVERIFY2(f->status().contains(QStringLiteral("已被其他程序改变")), qPrintable(f->status()));

        // Typed while another program trimmed again: not stored under the old next issue.
        QCOMPARE(cli({"trim-last", "5"}).status, 0);
        f->box(1)->setFocus();
        for (int i = 1; i <= 8; ++i) QTest::keyClicks(f->box(i), QString::asprintf("%02d", i + 10));
        const auto rows = f->stored();
        QCOMPARE(rows.size(), size_t(15));
        QCOMPARE(rows.back().issue, 2013015);
        QCOMPARE(f->history().nextIssueBox()->text(), QString("2013016"));
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(f->dialogs.messages()[0].text.contains(QStringLiteral("2013016")));
        QCOMPARE(f->status(), f->dialogs.messages()[0].text);
    }

    // Each fault the window meets when it changes the history: a sentence without English or
    // SQL, the detail kept for the button, the status bar saying the same sentence.
    void faultsAreSaidInChineseWithTheDetailApart() {
        f->seed(simpleDraws(20));
        const auto mdb = f->dir.path() / "quarvel.mdb";
        std::filesystem::permissions(mdb, std::filesystem::perms::owner_read);
        f->open();
        f->window->deleteLastDraw();
        QCOMPARE(f->stored().size(), size_t(20));
        QCOMPARE(f->dialogs.messages().size(), 1);
        auto shown = f->dialogs.messages().back();
        QVERIFY2(shown.text.contains(QStringLiteral("只读")), qPrintable(shown.text));
        QVERIFY2(!hasLatinLetters(shown.text), qPrintable(shown.text));
        QVERIFY(!shown.extra.isEmpty());
        QCOMPARE(f->status(), shown.text);

        std::filesystem::permissions(
            mdb, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
        f->close();
        f->open();
        store::Database other = store::Database::open(mdb);
        store::Transaction holding(other);
        other.execute("UPDATE Lishi SET intTh = 1");
        f->box(1)->setFocus();
        for (int i = 1; i <= 8; ++i) QTest::keyClicks(f->box(i), QString::asprintf("%02d", i + 10));
        shown = f->dialogs.messages().back();
        QVERIFY2(shown.text.contains(QStringLiteral("正被另一个程序使用")), qPrintable(shown.text));
        QVERIFY2(!hasLatinLetters(shown.text), qPrintable(shown.text));
        QVERIFY(!shown.extra.isEmpty());
        QCOMPARE(f->status(), shown.text);
    }
};

QTEST_MAIN(TestWindowFaults)
#include "test_window_faults.moc"
