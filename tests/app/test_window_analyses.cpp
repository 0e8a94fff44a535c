// The analysis side inside the real main window: start-up fills the panel from the history,
// the commands report to the window's status bar and refusals reach its message boxes.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;

class TestWindowAnalyses : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void analysesRunFromTheWindow() {
        const auto draws = simpleDraws(6);
        f->seed(draws);
        f->open();
        CriteriaPanel* panel = f->window->criteriaPanel();
        QCOMPARE(f->find<QLineEdit>("Text3_0")->text(), QString("2013001"));
        QCOMPARE(f->find<QLineEdit>("Text3_1")->text(), QString("2013006"));
        QCOMPARE(f->find<QLineEdit>("Text4")->text(), QString("2013006"));

        // The history tab takes the newest draw; its first number is a hit of its own.
        f->find<QTabBar>("TabStrip1")->setCurrentIndex(1);
        QCOMPARE(panel->positionValues()[0], draws.back().numbers[0]);
        f->find<QCheckBox>("Check11_11")->setChecked(true);
        f->find<QPushButton>("Command1")->click();
        const auto& hits = panel->hitGrid()->grid();
        QVERIFY(hits.rows() >= 2);
        QCOMPARE(hits.cells.back()[0], std::string("2013006"));
        QVERIFY(f->status().contains(QStringLiteral("检索完成")));

        // A reference before every draw is told in the status bar and changes nothing.
        auto* ref = f->find<QLineEdit>("Text4");
        ref->setText("2012001");
        panel->YSJS();
        QVERIFY(f->status().contains("2012001"));
        QCOMPARE(panel->positionValues()[0], draws.back().numbers[0]);

        // A range that is not a number is refused with a message box.
        f->find<QLineEdit>("Text3_1")->setText("end");
        f->find<QPushButton>("Command1")->click();
        QCOMPARE(f->dialogs.messages().size(), 1);
        QVERIFY(f->dialogs.messages()[0].text.contains("end"));
    }
};

QTEST_MAIN(TestWindowAnalyses)
#include "test_window_analyses.moc"
