// The three analysis buttons of the panel on a small history: what reaches the grids, the
// refusals shown as messages, the re-listing of the group table and the grid exports.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QtTest>
#include <filesystem>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "support/mouse.h"
#include "support/panel_fixture.h"

using quarvel::apptest::child;
using quarvel::apptest::PanelFixture;
using Row = std::vector<std::string>;

namespace {

const std::vector<quarvel::testing::Draw> kHistory = {
    {2013001, {3, 5, 7, 9, 11, 13, 15, 17}},    {2013002, {4, 6, 8, 10, 12, 14, 16, 18}},
    {2013003, {3, 6, 9, 12, 15, 18, 21, 24}},   {2013004, {1, 2, 4, 8, 16, 20, 25, 30}},
    {2013005, {3, 10, 20, 30, 11, 22, 28, 29}},
};

}  // namespace

class TestAnalyses : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f;
    quarvel::app::CriteriaPanel* panel = nullptr;

    template <class T = QWidget>
    T* w(const QString& name) {
        return child<T>(panel, name);
    }
    const quarvel::store::TextGrid& hits() { return panel->hitGrid()->grid(); }
    const quarvel::store::TextGrid& summary() { return panel->summaryGrid()->grid(); }
    void type(const QString& box, const QString& text) {
        auto* b = w<QLineEdit>(box);
        b->setFocus();
        b->selectAll();
        QTest::keyClicks(b, text);
    }
    static void doubleClick(QAbstractItemView* view, const QModelIndex& cell) {
        quarvel::apptest::doubleClickAt(view->viewport(), view->visualRect(cell).center());
    }
    void press(const char* button) {
        w<QPushButton>(button)->click();
        QCOMPARE(QApplication::overrideCursor(), nullptr);  // the hourglass is gone again
    }

  private slots:
    void init() {
        f = std::make_unique<PanelFixture>();
        f->addDraws(kHistory);
        panel = &f->makePanel();
        panel->show();
        panel->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(panel));
    }
    void cleanup() {
        panel = nullptr;
        f.reset();
    }

    void searchFixedPositionFillsBothGrids() {
        w<QRadioButton>("Option1_0")->click();
        w<QCheckBox>("Check1_1")->setChecked(true);
        type("Text2_1", "3");
        press("Command1");
        QCOMPARE(hits().rows(), 4);
        QCOMPARE(hits().cells[1][0], std::string("2013001"));
        QCOMPARE(hits().cells[3],
                 (Row{"2013005", "3", "10", "20", "30", "11", "22", "28", "29", "2", "3"}));
        QCOMPARE(summary().cells[1], (Row{"03 ", "1", "2", "1", "2", "3", "1.50", "0.00", "1"}));
        QVERIFY(f->notices.last().contains("3"));
        QVERIFY(f->dialogs.messages.isEmpty());
    }

    void searchTakesTheModeFromTheButtonsAtThatMoment() {
        w<QCheckBox>("Check1_8")->setChecked(true);
        type("Text2_8", "30");
        // Free position with the special number: 30 in draw 4 (special) and draw 5 (regular).
        press("Command1");
        QCOMPARE(hits().rows(), 3);
        // Without the special number only draw 5 remains.
        w<QCheckBox>("Check2")->click();
        press("Command1");
        QCOMPARE(hits().rows(), 2);
        QCOMPARE(hits().cells[1][0], std::string("2013005"));
        // Fixed position 8 = 30 matches draw 4 alone; "自由位计特码" is hidden meanwhile.
        w<QRadioButton>("Option1_0")->click();
        press("Command1");
        QVERIFY(!w<QCheckBox>("Check2")->isVisible());
        QCOMPARE(hits().rows(), 2);
        QCOMPARE(hits().cells[1][0], std::string("2013004"));
        // Nothing ticked: every draw of the range is a hit, the label is empty.
        w<QCheckBox>("Check1_8")->setChecked(false);
        w<QLineEdit>("Text2_8")->clear();
        press("Command1");
        QCOMPARE(hits().rows(), 6);
        QCOMPARE(summary().cells[1][0], std::string(""));
    }

    void searchOnTheHistoryTabUsesTheReferenceDraw() {
        w<QRadioButton>("Option3_1")->click();
        w<QLineEdit>("Text4")->setText("2013003");
        w<QTabBar>("TabStrip1")->setCurrentIndex(1);
        w<QCheckBox>("Check11_11")->setChecked(true);
        press("Command1");
        // Free position, zodiac: the label is the box text (a name), the condition its code.
        const std::string name = w<QLineEdit>("Text22_11")->text().toStdString();
        QVERIFY(!name.empty());
        QCOMPARE(summary().cells[1][0], name + " ");
        QVERIFY(hits().rows() >= 2);  // the reference draw itself is among the hits
        bool found = false;
        for (int r = 1; r < hits().rows(); ++r) found |= hits().cells[r][0] == "2013003";
        QVERIFY(found);
    }

    void badRangeIsRefusedWithAMessageAndChangesNothing() {
        press("Command1");
        const auto before = hits().cells;
        w<QLineEdit>("Text3_0")->setText("20130x1");
        press("Command1");
        QCOMPARE(f->dialogs.messages.size(), 1);
        QVERIFY(f->dialogs.messages[0].contains("20130x1"));
        QCOMPARE(hits().cells, before);
        press("Command2");
        press("Command5");
        QCOMPARE(f->dialogs.messages.size(), 3);
    }

    void partialSearchFindsAnyKPositions() {
        w<QRadioButton>("Option1_0")->click();
        const char* values[] = {"4", "6", "8", "10", "12", "14", "16", "18"};
        for (int p = 1; p <= 8; ++p) type(QString("Text2_%1").arg(p), values[p - 1]);
        auto* combo = w<QComboBox>("Combo1");
        combo->setFocus();
        combo->setCurrentText("1");
        press("Command2");
        QCOMPARE(f->settings.values["intZhWSetup"], std::string("1"));  // left on the way
        QCOMPARE(hits().rows(), 3);
        QCOMPARE(hits().cells[1][0], std::string("2013002"));
        QCOMPARE(hits().cells[2][0], std::string("2013003"));
        QCOMPARE(summary().cells[1], (Row{"4 6 8 10 12 14 16 18 (1)", "1", "2", "3",
                                          "0.666666666666667", "2", "2.00", "2.00", "2"}));
        // A section count outside 1..6 is refused.
        combo->setCurrentText("7");
        press("Command2");
        QCOMPARE(f->dialogs.messages.size(), 1);
        QCOMPARE(hits().rows(), 3);
    }

    void groupComputationListsEveryGroupAndReSorts() {
        for (int k : {3, 6, 9, 12, 15}) w<QCheckBox>(QString("Check6_%1").arg(k))->click();
        QCOMPARE(w<QLineEdit>("Text5")->text(), QString("5"));
        press("Command5");
        QCOMPARE(summary().rows(), 11);
        QCOMPARE(summary().cells[0][0], std::string("号码（分组）"));
        QVERIFY(f->notices.last().contains("10"));
        // 03 and 09 meet in draws 1 and 3: gaps 1 and 2, last omission 3.
        bool found = false;
        for (int r = 1; r < summary().rows(); ++r)
            if (summary().cells[r][0].find("03") == 0 &&
                summary().cells[r][0].find("09") != std::string::npos) {
                found = true;
                QCOMPARE(summary().cells[r][1], std::string("1"));
                QCOMPARE(summary().cells[r][2], std::string("2"));
                QCOMPARE(summary().cells[r][3], std::string("3"));
            }
        QVERIFY(found);

        // A search replaces the listing with its summary; a click on the grid lists YL again,
        // ordered by the clicked column.
        press("Command1");
        QCOMPARE(summary().rows(), 2);
        auto* grid = panel->summaryGrid();
        const QModelIndex maxCell = grid->model()->index(0, 1);  // grid column 2, 最大遗漏
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(maxCell).center());
        QTRY_COMPARE(summary().rows(), 11);
        for (int r = 2; r < summary().rows(); ++r)
            QVERIFY(std::stoi(summary().cells[r - 1][2]) <= std::stoi(summary().cells[r][2]));
    }

    void doubleClicksExportWhatTheGridsShow() {
        for (int k : {3, 6, 9}) w<QCheckBox>(QString("Check6_%1").arg(k))->click();
        press("Command5");
        press("Command1");
        auto* grid3 = panel->summaryGrid();
        doubleClick(grid3, grid3->model()->index(0, 1));
        const auto jieguo = f->dir.path() / "Jieguo.xls";
        QVERIFY(std::filesystem::exists(jieguo));
        QCOMPARE(f->dialogs.opened.size(), 1);
        QVERIFY(f->dialogs.opened[0].endsWith("Jieguo.xls"));
        // The clicks of the double click did not replace the search summary by the group table.
        QTest::qWait(2 * QApplication::doubleClickInterval());
        QCOMPARE(summary().rows(), 2);

        auto* grid2 = panel->hitGrid();
        doubleClick(grid2, grid2->model()->index(0, 0));
        QVERIFY(std::filesystem::exists(f->dir.path() / "Jiansuo.xls"));
        QCOMPARE(f->dialogs.opened.size(), 2);
    }

    void clicksOnTheSummaryGridsBlankPartAndHeadersReList() {
        for (int k : {3, 6, 9, 12, 15}) w<QCheckBox>(QString("Check6_%1").arg(k))->click();
        press("Command5");
        auto* grid = panel->summaryGrid();
        const auto* header = grid->horizontalHeader();
        const QPoint overMax(header->sectionViewportPosition(1) + 5, 5);  // 最大遗漏
        const QList<QPair<QWidget*, QPoint>> parts = {
            {grid->viewport(), QPoint(10, grid->viewport()->height() - 4)},
            {grid->verticalHeader()->viewport(), QPoint(5, 5)},
            {grid->findChild<QAbstractButton*>(), QPoint(5, 5)},
            {header->viewport(), overMax}};
        for (const auto& [part, at] : parts) {
            press("Command1");
            QCOMPARE(summary().rows(), 2);
            QVERIFY(!grid->indexAt(QPoint(10, grid->viewport()->height() - 4)).isValid());
            QTest::mouseClick(part, Qt::LeftButton, {}, at);
            QTRY_COMPARE(summary().rows(), 11);
        }
        // The header over 最大遗漏 ordered by it.
        for (int r = 2; r < summary().rows(); ++r)
            QVERIFY(std::stoi(summary().cells[r - 1][2]) <= std::stoi(summary().cells[r][2]));
    }

    void doubleClicksOnBlankPartsAndHeadersExport() {
        f->dialogs.questionAnswer = true;  // the second export of a file replaces the first
        press("Command1");
        auto* grid2 = panel->hitGrid();
        auto* grid3 = panel->summaryGrid();
        const auto dClick = quarvel::apptest::doubleClickAt;
        dClick(grid2->viewport(), QPoint(10, grid2->viewport()->height() - 4));
        dClick(grid2->verticalHeader()->viewport(), QPoint(5, 5));
        dClick(grid3->viewport(), QPoint(10, grid3->viewport()->height() - 4));
        dClick(grid3->findChild<QAbstractButton*>(), QPoint(5, 5));
        QCOMPARE(f->dialogs.opened.size(), 4);
        QVERIFY(f->dialogs.opened[0].endsWith("Jiansuo.xls") &&
                f->dialogs.opened[1].endsWith("Jiansuo.xls"));
        QVERIFY(f->dialogs.opened[2].endsWith("Jieguo.xls") &&
                f->dialogs.opened[3].endsWith("Jieguo.xls"));
        QTest::qWait(2 * QApplication::doubleClickInterval());
        QCOMPARE(summary().rows(), 2);  // still the search summary
    }

    void groupSizeLimitRefusesAndKeepsTheGrid() {
        press("Command1");
        const auto before = summary().cells;
        w<QPushButton>("cmdZH_0")->click();
        w<QComboBox>("Combo2")->setCurrentText("4");
        press("Command5");
        QCOMPARE(f->dialogs.titles, QStringList{"数据溢出"});
        QCOMPARE(f->dialogs.messages, QStringList{"4个分组请选择24个（含）以内的个数的号码"});
        QCOMPARE(summary().cells, before);
        // Fewer ticked values than the size: refused, the grid kept.
        w<QPushButton>("cmdZH_1")->click();
        w<QCheckBox>("Check6_1")->click();
        press("Command5");
        QCOMPARE(f->dialogs.messages.size(), 2);
        QVERIFY(f->dialogs.messages[1].contains("只勾选了 1 个"));
        QCOMPARE(summary().cells, before);
    }

    void closedHistoryIsReportedNotRun() {
        f->db.close();
        press("Command1");
        press("Command2");
        press("Command5");
        QCOMPARE(f->notices.size() >= 3, true);
        QVERIFY(f->dialogs.messages.isEmpty());
    }
};

QTEST_MAIN(TestAnalyses)
#include "test_analyses.moc"
