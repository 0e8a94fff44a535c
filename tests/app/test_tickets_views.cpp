// The 兑奖账本 and 缩水 windows opened from the main window's menu: bets typed in and checked
// against figures worked out by hand, the prize table changed and kept in the settings, a bad
// line refused; 缩水 conditions picked from the shape values, their record and kept count, the
// export of the kept sets and their check as tickets.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "app/grid_view.h"
#include "app/ledger_view.h"
#include "app/shrink_view.h"
#include "chance/ticket_file.h"
#include "support/top_level.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;
using quarvel::apptest::topLevel;

namespace {

const std::vector<testing::Draw> kDraws = {{2013001, {1, 2, 3, 4, 5, 6, 7, 8}},
                                           {2013002, {1, 2, 3, 4, 5, 6, 9, 7}}};

std::string row(const store::TextGrid& g, int r) {
    std::string s;
    for (const auto& c : g.cells[static_cast<std::size_t>(r)]) s += c + " ";
    return s;
}

}  // namespace

class TestTicketsViews : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    void trigger(const QString& name) {
        auto* a = f->find<QAction>(name);
        QVERIFY(a);
        a->trigger();
    }

  private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        f->seed(kDraws);
        f->open();
    }
    void cleanup() { f.reset(); }

    void ledgerChecksTypedBets() {
        trigger("mnuLedger");
        auto* w = topLevel<LedgerWindow>("frmLedger");
        QVERIFY(w);
        // Draw 1: 一等奖, and 5 + special 8 (四等奖); draw 2: 6 + special 7 (二等奖), 5 (五等奖).
        w->betsEdit()->setPlainText("01 02 03 04 05 06 07\n01 02 03 04 05 08 10\n");
        w->findChild<QPushButton*>("cmdCheck")->click();
        const store::TextGrid& g = w->grid()->grid();
        QCOMPARE(g.rows(), 4);
        QCOMPARE(row(g, 1), std::string("2013001 2 1 0 0 1 0 0 0 200 "));
        QCOMPARE(row(g, 2), std::string("2013002 2 0 1 0 0 1 0 0 50 "));
        QCOMPARE(row(g, 3), std::string("合计 4 1 1 0 1 1 0 0 250 "));
        QVERIFY2(w->summary().contains(QStringLiteral("花费 8 固定奖金 250 返还率 3125.00%")),
                 qPrintable(w->summary()));
        QVERIFY(w->summary().contains(QStringLiteral("期望固定奖金恰为")));

        // New amounts and a floating 一等奖 for draw 1, kept in the settings.
        f->dialogs.inputAnswers.enqueue(QStringLiteral("300,100,10,5"));
        f->dialogs.inputAnswers.enqueue(QStringLiteral("2013001:1000000,0,0"));
        w->findChild<QPushButton*>("cmdPrizes")->click();
        QCOMPARE(row(w->grid()->grid(), 3), std::string("合计 4 1 1 0 1 1 0 0 400 "));
        QVERIFY(w->summary().contains(QStringLiteral("浮动奖金 1000000")));
        QCOMPARE(f->settings->get("PrizeTable").value_or(""), std::string("300,100,10,5"));

        // A bad line is refused with its number; the grid stays.
        w->betsEdit()->setPlainText("01 02 03 04 05 06 07\n01 02 03\n");
        QVERIFY(!w->check());
        QVERIFY(f->dialogs.messages().last().text.contains(QStringLiteral("第 2 行")));
        QCOMPARE(w->grid()->grid().rows(), 4);
    }

    void shrinkPicksValuesExportsAndChecks() {
        trigger("mnuShrink");
        auto* w = topLevel<ShrinkWindow>("frmShrink");
        QVERIFY(w);
        QVERIFY(w->keptText().contains(QStringLiteral("保留 2035800 组")));
        w->shapeBox()->setCurrentIndex(chance::kOddEven);
        QListWidget* values = w->valueList();
        QCOMPARE(values->count(), 8);
        // Both draws have four odd numbers.
        QVERIFY(values->item(4)->text().startsWith(QStringLiteral("4:3\t历史出现 2 次")));
        values->item(4)->setCheckState(Qt::Checked);
        QVERIFY2(w->keptText().contains(QStringLiteral("保留 621075 组")),
                 qPrintable(w->keptText()));
        QVERIFY(w->conditionText().contains(QStringLiteral("通过 2 期，误杀率 0.00%")));
        // 07 in: three more odd of 14 and three even of 15.
        w->bankerEdit()->setText("07");
        QCOMPARE(w->kept(), std::int64_t{364 * 455});
        QVERIFY(w->keptText().contains(QStringLiteral("165620/2035800")));
        const store::TextGrid& g = w->recordGrid()->grid();
        QCOMPARE(row(g, 2), std::string("胆=07 1 2 50.00% "));

        const QString path = QString::fromStdString((f->dir.path() / "kept.txt").string());
        f->dialogs.fileAnswers.enqueue(path);
        w->findChild<QPushButton*>("cmdExport")->click();
        const auto back = chance::readTicketFile(f->dir.path() / "kept.txt");
        QVERIFY(back);
        QCOMPARE(back->size(), std::size_t{165620});

        w->findChild<QPushButton*>("cmdCheckTickets")->click();
        auto* ledger = topLevel<LedgerWindow>("frmLedger");
        QVERIFY(ledger);
        QCOMPARE(ledger->grid()->grid().cells.back()[1], std::string("331240"));
    }
};

QTEST_MAIN(TestTicketsViews)
#include "test_tickets_views.moc"
