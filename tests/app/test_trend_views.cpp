// The 走势图 model under QAbstractItemModelTester, and the two pictures opened from the panel:
// the trend window on the newest draw, the omission curve of a search and of a group row (the
// clicked group stays selected after the re-listing), and its picture saved as PNG.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QtTest>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/omission_curve_view.h"
#include "app/qt_paths.h"
#include "app/shape_view.h"
#include "app/trend_view.h"
#include "support/panel_fixture.h"
#include "support/top_level.h"

using namespace quarvel;
using quarvel::apptest::child;
using quarvel::apptest::PanelFixture;
using quarvel::apptest::topLevel;

namespace {

const std::vector<testing::Draw> kHistory = {
    {2013001, {3, 5, 7, 9, 11, 13, 15, 17}},    {2013002, {4, 6, 8, 10, 12, 14, 16, 18}},
    {2013003, {3, 6, 9, 12, 15, 18, 21, 24}},   {2013004, {1, 2, 4, 8, 16, 20, 25, 30}},
    {2013005, {3, 10, 20, 30, 11, 22, 28, 29}},
};

}  // namespace

class TestTrendViews : public QObject {
    Q_OBJECT

    std::unique_ptr<PanelFixture> f;
    app::CriteriaPanel* panel = nullptr;

    template <class T = QWidget>
    T* w(const QString& name) {
        return child<T>(panel, name);
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
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName() == "frmZst" || t->objectName() == "frmYlqx" ||
                t->objectName() == "frmXtzs")
                t->close();
        panel = nullptr;
        f.reset();
    }

    void modelMakesCellsOnDemand() {
        // Heads; IDX 2 shows head 0 only by the special number.
        const std::vector<search::TrendDraw> history = {{1, 2013001, {0, 0, 1, 1, 1, 1, 1, 3}},
                                                        {2, 2013002, {1, 1, 1, 1, 1, 1, 1, 0}},
                                                        {3, 2013003, {0, 1, 1, 1, 1, 1, 1, 1}}};
        search::TrendInput in;
        in.type = 2;
        in.rangeStart = 2013001;
        in.rangeEnd = 2013003;
        app::TrendModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setChart(std::make_shared<const search::TrendChart>(history, in));
        QCOMPARE(model.rowCount(), 3 + 5);
        QCOMPARE(model.columnCount(), 5);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("期号"));
        QCOMPARE(model.headerData(4, Qt::Horizontal).toString(), QString("3"));
        QCOMPARE(model.data(model.index(0, 1)).toString(), QString("0×2"));
        QCOMPARE(model.data(model.index(0, 1), Qt::BackgroundRole).value<QColor>(),
                 app::TrendModel::shownColour());
        QCOMPARE(model.data(model.index(1, 1), Qt::BackgroundRole).value<QColor>(),
                 app::TrendModel::specialColour());
        QCOMPARE(model.data(model.index(1, 4)).toString(),
                 QString("1"));  // head 3: one draw missed
        QCOMPARE(model.data(model.index(1, 4), Qt::ForegroundRole).value<QColor>(),
                 QColor(Qt::gray));
        QCOMPARE(model.data(model.index(3, 0)).toString(), QString("出现次数"));
        QCOMPARE(model.data(model.index(7, 3)).toString(),
                 QString("1.00"));  // head 2 never shows: (4 - 1) * 1 / 3
        model.setChart(nullptr);
        QCOMPARE(model.rowCount(), 0);
    }

    void trendOpensOnTheNewestDraw() {
        w<QPushButton>("cmdZst")->click();
        auto* window = topLevel<app::TrendWindow>("frmZst");
        QVERIFY(window);
        QCOMPARE(window->model()->chart()->drawRows(), 5);
        QCOMPARE(window->model()->columnCount(), 31);
        QTRY_VERIFY(window->isVisible());
        auto* bar = window->view()->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());

        // The hot/cold rows follow the five statistic rows; 冷热 cells are coloured by their text.
        auto* model = window->model();
        QCOMPARE(model->rowCount(), 5 + 5 + 3);
        QCOMPARE(model->data(model->index(10, 0)).toString(), QString("近30期次数"));
        QCOMPARE(model->data(model->index(12, 0)).toString(), QString("冷热"));
        const QString heat =
            model->data(model->index(12, 3)).toString();  // 03 showed in 3 of 5 draws
        QCOMPARE(heat, QString("热"));
        QCOMPARE(model->data(model->index(12, 3), Qt::BackgroundRole).value<QColor>(),
                 app::TrendModel::hotColour());
        // Another window is kept and rebuilds the rows.
        auto* box = window->hotWindowBox();
        box->setCurrentIndex(box->findData(10));
        emit box->activated(box->currentIndex());
        QCOMPARE(window->model()->data(window->model()->index(10, 0)).toString(),
                 QString("近10期次数"));
        QCOMPARE(f->settings.values["intHotWindow"], std::string("10"));
    }

    void shapeViewOpensOnTheNewestDraw() {
        w<QPushButton>("cmdXtzs")->click();
        auto* window = topLevel<app::ShapeWindow>("frmXtzs");
        QVERIFY(window);
        QVERIFY(window->screen()->availableGeometry().contains(window->frameGeometry()));
        QAbstractItemModelTester tester(window->model(),
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(window->model()->rowCount(), 5);
        QCOMPARE(window->model()->headerData(16, Qt::Horizontal).toString(), QString("AC值"));
        // 2013005: 03 10 20 30 11 22 28, after 01 02 04 08 16 20 25: 20 repeats.
        QCOMPARE(window->model()->data(window->model()->index(4, 15)).toString(), QString("1"));
        QCOMPARE(window->model()->data(window->model()->index(0, 15)).toString(), QString("-"));
        QCOMPARE(window->summaryView()->grid().at(0, 2), std::string("出现次数"));
        QTRY_VERIFY(window->isVisible());
        auto* bar = window->view()->verticalScrollBar();
        QCOMPARE(bar->value(), bar->maximum());
    }

    void curveOfASearchAndOfAGroupRow() {
        // With nothing shown yet there is no result to draw.
        w<QPushButton>("cmdYlqx")->click();
        QCOMPARE(f->dialogs.messages.size(), 1);

        auto* box = w<QLineEdit>("Text2_1");
        box->setFocus();
        QTest::keyClicks(box, "3");
        w<QCheckBox>("Check1_1")->setChecked(true);
        w<QPushButton>("Command1")->click();
        w<QPushButton>("cmdYlqx")->click();
        auto* curve = topLevel<app::OmissionCurveWindow>("frmYlqx");
        QVERIFY(curve);
        QCOMPARE(curve->chart()->curve().gaps, (std::vector<int>{1, 2, 2}));  // 03 at IDX 1, 3, 5
        QCOMPARE(curve->chart()->curve().stats.last, 1);
        QVERIFY(curve->savePicture());
        QVERIFY(QImage(app::toQString(f->dir.path() / u8"遗漏曲线.png")).width() > 0);
        // A picture name that links to the history is refused, and the history stays byte for byte
        // (Windows lets only administrators make links).
#ifndef Q_OS_WIN
        const auto mdb = f->dir.path() / "quarvel.mdb";
        std::filesystem::remove(f->dir.path() / u8"遗漏曲线.png");
        std::filesystem::create_symlink(mdb, f->dir.path() / u8"遗漏曲线.png");
        const std::string history = quarvel::testing::readFile(mdb);
        const auto shown = f->dialogs.messages.size();
        QVERIFY(!curve->savePicture());
        QCOMPARE(quarvel::testing::readFile(mdb), history);
        QCOMPARE(f->dialogs.messages.size(), shown + 1);
#endif
        curve->close();

        for (int k : {3, 9, 12}) w<QCheckBox>(QString("Check6_%1").arg(k))->click();
        w<QPushButton>("Command5")->click();
        auto* grid = panel->summaryGrid();
        // A click re-lists by 出现次数; the clicked group stays selected.
        const int row = 2;
        const std::string label = grid->grid().at(row + 1, 0);
        const QModelIndex cell = grid->model()->index(row, 4);
        grid->setCurrentIndex(cell);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(cell).center());
        QTRY_COMPARE(grid->grid().at(0, 5), std::string("出现次数"));
        QTRY_COMPARE(grid->grid().at(grid->currentIndex().row() + 1, 0), label);
        const std::string hitsText = grid->grid().at(grid->currentIndex().row() + 1, 5);
        w<QPushButton>("cmdYlqx")->click();
        curve = topLevel<app::OmissionCurveWindow>("frmYlqx");
        QVERIFY(curve);
        QCOMPARE(curve->chart()->curve().label, label);
        QCOMPARE(std::to_string(curve->chart()->curve().stats.hits), hitsText);
    }
};

QTEST_MAIN(TestTrendViews)
#include "test_trend_views.moc"
