// The window's chance views: "截止期" gives the grids and views of a history that ends at the cut
// (and a bad 截止期 is refused, changing nothing); 遗漏校验, 回测 and the K线 page show figures
// worked out by hand, export their grids on a double click and save their pictures.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QtTest>

#include "app/backtest_view.h"
#include "app/calibration_view.h"
#include "app/criteria_panel.h"
#include "app/funnel_chart.h"
#include "app/grid_view.h"
#include "app/kline_view.h"
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

// 03 shows at IDX 1, 3, 5; groups of size 1 over 03, 09, 12 show 0, 1, 3, 0, 1 times per draw.
const std::vector<testing::Draw> kHistory = {
    {2013001, {3, 5, 7, 9, 11, 13, 15, 17}},    {2013002, {4, 6, 8, 10, 12, 14, 16, 18}},
    {2013003, {3, 6, 9, 12, 15, 18, 21, 24}},   {2013004, {1, 2, 4, 8, 16, 20, 25, 30}},
    {2013005, {3, 10, 20, 30, 11, 22, 28, 29}}, {2013006, {1, 2, 4, 5, 6, 7, 8, 9}},
    {2013007, {3, 12, 13, 14, 15, 16, 17, 18}},
};

std::unique_ptr<PanelFixture> panelOver(const std::vector<testing::Draw>& draws) {
    auto f = std::make_unique<PanelFixture>();
    f->addDraws(draws);
    f->makePanel().show();
    return f;
}

// Search 03 at position 1 (free position), the partial search of it, or the groups of
// 03, 09, 12 of size 1.
void runAnalysis(app::CriteriaPanel& panel, const QString& kind) {
    if (kind == "groups") {
        child<QComboBox>(&panel, "Combo2")->setCurrentText("1");
        for (int k : {3, 9, 12})
            child<QCheckBox>(&panel, QString("Check6_%1").arg(k))->setChecked(true);
        child<QPushButton>(&panel, "Command5")->click();
        return;
    }
    child<QLineEdit>(&panel, "Text2_1")->setText("3");
    panel.onManualValueLeft(1);  // as leaving the box stores it
    child<QCheckBox>(&panel, "Check1_1")->setChecked(true);
    if (kind == "partial") {
        // The partial search reads all eight boxes: 03 in each, so that with one position of
        // eight it finds the draws the search finds.
        for (int p = 2; p <= 8; ++p) {
            child<QLineEdit>(&panel, QString("Text2_%1").arg(p))->setText("3");
            panel.onManualValueLeft(p);
        }
        child<QComboBox>(&panel, "Combo1")->setCurrentText("1");
        child<QPushButton>(&panel, "Command2")->click();
    } else {
        child<QPushButton>(&panel, "Command1")->click();
    }
}

std::vector<std::string> column(const store::TextGrid& g, int col) {
    std::vector<std::string> out;
    for (int r = 1; r < g.rows(); ++r) out.push_back(g.at(r, col));
    return out;
}

bool exportsOnDoubleClick(PanelFixture& f, app::GridView* grid, const char* fileName) {
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
    return std::filesystem::exists(f.dir.path() / app::toPath(QString::fromUtf8(fileName))) &&
           f.dialogs.opened.last().endsWith(QString::fromUtf8(fileName));
}

}  // namespace

class TestChanceViews : public QObject {
    Q_OBJECT

  private slots:
    void cleanup() {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->isWindow() && t->objectName().startsWith("frm")) t->close();
    }

    void asOfIsTheHistoryEndingThere_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("notice");
        QTest::newRow("search") << "search"
                                << "截止 2013004 期后第 1 期（2013005）出现";
        QTest::newRow("partial") << "partial"
                                 << "截止 2013004 期后第 1 期（2013005）出现";
        QTest::newRow("groups") << "groups"
                                << "分组计算完成";
    }
    void asOfIsTheHistoryEndingThere() {
        QFETCH(QString, kind);
        QFETCH(QString, notice);
        auto cut = panelOver(kHistory);
        auto ending = panelOver({kHistory.begin(), kHistory.begin() + 4});
        child<QLineEdit>(cut->panel.get(), "txtAsOf")->setText("2013004");
        runAnalysis(*cut->panel, kind);
        runAnalysis(*ending->panel, kind);
        QVERIFY2(cut->dialogs.messages.isEmpty(), qPrintable(cut->dialogs.messages.join("; ")));
        QCOMPARE(cut->panel->summaryGrid()->grid().cells,
                 ending->panel->summaryGrid()->grid().cells);
        if (kind != "groups")
            QCOMPARE(cut->panel->hitGrid()->grid().cells, ending->panel->hitGrid()->grid().cells);
        QVERIFY2(cut->notices.last().contains(notice), qPrintable(cut->notices.last()));

        // The trend chart ends at the cut as well.
        child<QPushButton>(cut->panel.get(), "cmdZst")->click();
        auto* trend = topLevel<app::TrendWindow>("frmZst");
        QVERIFY(trend);
        QCOMPARE(trend->model()->chart()->drawRows(), 4);

        // So does the shape view: its draws and its distribution are those of the shorter history.
        std::vector<store::TextGrid> shapes;
        for (auto* f : {cut.get(), ending.get()}) {
            child<QPushButton>(f->panel.get(), "cmdXtzs")->click();
            auto* shape = topLevel<app::ShapeWindow>("frmXtzs");
            QVERIFY(shape);
            QCOMPARE(shape->model()->table()->rows(), 4);
            shapes.push_back(shape->summaryView()->grid());
            shape->close();
        }
        QCOMPARE(shapes[0].cells, shapes[1].cells);

        // And the result's 遗漏曲线, its K线 and 遗漏校验 (of the first group, for groups).
        std::vector<std::vector<std::string>> views;
        for (auto* f : {cut.get(), ending.get()}) {
            app::GridView* summary = f->panel->summaryGrid();
            summary->setCurrentIndex(summary->model()->index(0, 0));
            std::vector<std::string> seen;
            auto add = [&seen](const store::TextGrid& g) {
                for (const auto& row : g.cells) seen.insert(seen.end(), row.begin(), row.end());
            };
            child<QPushButton>(f->panel.get(), "cmdYlqx")->click();
            auto* curve = topLevel<app::OmissionCurveWindow>("frmYlqx");
            QVERIFY(curve && curve->kLinePage());
            seen = curve->chart()->curve().issues;
            seen.push_back(curve->chart()->curve().title());
            add(curve->kLinePage()->grid()->grid());
            curve->close();
            child<QPushButton>(f->panel.get(), "cmdYlxy")->click();
            auto* calibration = topLevel<app::CalibrationWindow>("frmYlxy");
            QVERIFY(calibration);
            add(calibration->grid()->grid());
            calibration->close();
            QVERIFY2(f->dialogs.messages.isEmpty(), qPrintable(f->dialogs.messages.join("; ")));
            views.push_back(std::move(seen));
        }
        QCOMPARE(views[0], views[1]);
    }

    void aBadAsOfIsRefused_data() {
        QTest::addColumn<QString>("asOf");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("not a number") << "2013a"
                                      << "截止期“2013a”不是整数期号";
        QTest::newRow("before every draw") << "2012999"
                                           << "截止期 2012999 及以前没有历史号码";
    }
    void aBadAsOfIsRefused() {
        QFETCH(QString, asOf);
        QFETCH(QString, refusal);
        auto f = panelOver(kHistory);
        const store::TextGrid before = f->panel->summaryGrid()->grid();
        child<QLineEdit>(f->panel.get(), "txtAsOf")->setText(asOf);
        for (const char* kind : {"search", "partial", "groups"}) runAnalysis(*f->panel, kind);
        QCOMPARE(f->dialogs.messages, QStringList({refusal, refusal, refusal}));
        QCOMPARE(f->panel->summaryGrid()->grid().cells, before.cells);
    }

    void calibrationAndKLineOfASearch() {
        auto f = panelOver({kHistory.begin(), kHistory.begin() + 5});
        runAnalysis(*f->panel, "search");
        child<QPushButton>(f->panel.get(), "cmdYlxy")->click();
        auto* cal = topLevel<app::CalibrationWindow>("frmYlxy");
        QVERIFY(cal);
        QVERIFY(cal->screen()->availableGeometry().contains(cal->frameGeometry()));
        // 03 shows with chance 8/30 in every draw: 11/4 misses expected between hits, so the
        // omissions 1 and 2 all fall below 0.5; 5 × 8/30 hits expected.
        const store::TextGrid& g = cal->grid()->grid();
        QCOMPARE(column(g, 1), (std::vector<std::string>{"5", "0", "0", "0", "0", "0"}));
        QCOMPARE(column(g, 2), (std::vector<std::string>{"3", "0", "0", "0", "0", "0"}));
        QCOMPARE(g.at(1, 3), std::string("0.6000"));
        QCOMPARE(g.at(1, 6), std::string("1.33"));
        QCOMPARE(g.at(2, 3), std::string("-"));
        QVERIFY2(cal->verdict().startsWith("在纯随机的开奖中，这样的差别每"),
                 qPrintable(cal->verdict()));
        QVERIFY(cal->verdict().contains("不会改变下一期开出的机会"));
        QVERIFY(exportsOnDoubleClick(*f, cal->grid(), "遗漏校验.xls"));
        child<QPushButton>(cal, "cmdSavePicture")->click();
        QVERIFY(QImage(app::toQString(f->dir.path() / u8"遗漏校验.png")).width() > 0);

        // K: each draw adds its hit less 8/30.
        child<QPushButton>(f->panel.get(), "cmdYlqx")->click();
        auto* curve = topLevel<app::OmissionCurveWindow>("frmYlqx");
        QVERIFY(curve && curve->kLinePage());
        const store::TextGrid& k = curve->kLinePage()->grid()->grid();
        QCOMPARE(column(k, 3),
                 (std::vector<std::string>{"0.733", "0.467", "1.200", "0.933", "1.667"}));
        app::KLinePage* page = curve->kLinePage();
        QVERIFY(page->verdict().startsWith("在纯随机的开奖中"));
        QCOMPARE(page->chart()->series().bandName,
                 QString("随机情况下 95% 的走势整条落在此范围内"));
        QVERIFY(page->chart()->series().caption.join(" ").contains("2013001～2013005 期"));
        // 最近 N 期 and the zoom show fewer draws; 0 shows them all again.
        page->newest()->setValue(3);
        QCOMPARE(page->chart()->newest(), 3);
        page->chart()->zoomOut();
        QCOMPARE(page->newest()->value(), 0);
        page->chart()->zoomIn();
        QCOMPARE(page->chart()->newest(), 0);  // fewer than 10 draws: nothing to zoom into
        QVERIFY(exportsOnDoubleClick(*f, curve->kLinePage()->grid(), "遗漏K线.xls"));
        curve->pages()->setCurrentWidget(curve->kLinePage());
        child<QPushButton>(curve, "cmdSavePicture")->click();
        QVERIFY(QImage(app::toQString(f->dir.path() / u8"遗漏K线.png")).width() > 0);
    }

    void backtestPickingEveryGroupIsChance() {
        // With M >= G every group is picked: 5 hits against 4 × 3 × 8/30 expected; a random
        // pick of all of them expects what shows.
        auto f = panelOver({kHistory.begin(), kHistory.begin() + 5});
        runAnalysis(*f->panel, "groups");
        child<QPushButton>(f->panel.get(), "cmdHc")->click();
        auto* bt = topLevel<app::BacktestWindow>("frmHc");
        QVERIFY(bt);
        QVERIFY(bt->screen()->availableGeometry().contains(bt->frameGeometry()));
        child<QLineEdit>(bt, "txtHcStart")->setText("2013001");
        QVERIFY(bt->run());
        const store::TextGrid& g = bt->grid()->grid();
        QCOMPARE(column(g, 0),
                 (std::vector<std::string>{"2013002", "2013003", "2013004", "2013005", "合计"}));
        QCOMPARE(g.cells.back()[1], std::string("5"));
        QCOMPARE(g.cells.back()[2], std::string("3.200"));
        QCOMPARE(g.cells.back()[3], std::string("5.000"));
        QVERIFY2(bt->verdict().startsWith("在纯随机的开奖中"), qPrintable(bt->verdict()));
        QVERIFY2(bt->verdict().contains("选中组合命中 5 次"), qPrintable(bt->verdict()));
        // 选中 keeps to its width; the whole text is the tool tip.
        QVERIFY(bt->grid()->columnWidth(0) <= 240);
        QVERIFY(bt->width() <= 1024);
        QVERIFY(exportsOnDoubleClick(*f, bt->grid(), "回测.xls"));

        child<QLineEdit>(bt, "txtHcEnd")->setText("x");
        QVERIFY(!bt->run());
        QCOMPARE(f->dialogs.messages.last(), QString("回测起止期数必须是整数期号"));
    }
};

QTEST_MAIN(TestChanceViews)
#include "test_chance_views.moc"
