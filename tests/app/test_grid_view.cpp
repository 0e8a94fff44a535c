// The grid model and view: headers from the fixed row and column, ragged rows, column widths,
// the top row counted in grid rows.

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QScrollBar>
#include <QtTest>

#include "app/grid_view.h"

using quarvel::app::GridView;
using quarvel::app::TextGridModel;
using quarvel::store::TextGrid;

namespace {

TextGrid numberedGrid(int dataRows) {
    TextGrid g;
    g.cells.push_back({"期号", "落1码", "特码"});
    for (int r = 1; r <= dataRows; ++r)
        g.cells.push_back({std::to_string(2013000 + r), std::to_string(r % 30 + 1), "9"});
    g.colWidths = {820, 600, 600};
    return g;
}

}  // namespace

class TestGridView : public QObject {
    Q_OBJECT
  private slots:
    void modelMapsFixedRowAndColumnToHeaders() {
        TextGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setGrid(numberedGrid(3));
        QCOMPARE(model.rowCount(), 3);
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QString("落1码"));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("特码"));
        QCOMPARE(model.headerData(2, Qt::Vertical).toString(), QString("2013003"));
        QCOMPARE(model.data(model.index(0, 0)).toString(), QString("2"));
        QCOMPARE(model.data(model.index(2, 1)).toString(), QString("9"));
        // Replacing the grid resets the model; the tester checks the signals.
        model.setGrid(numberedGrid(1));
        QCOMPARE(model.rowCount(), 1);
    }

    void modelCopesWithHeaderOnlyEmptyAndRaggedGrids() {
        TextGridModel model;
        QAbstractItemModelTester tester(&model,
                                        QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setGrid(numberedGrid(0));
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 2);
        model.setGrid(TextGrid{});
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
        QVERIFY(!model.headerData(0, Qt::Horizontal).isValid());
        TextGrid ragged = numberedGrid(2);
        ragged.cells[2].resize(1);  // second data row lost its cells
        model.setGrid(ragged);
        QCOMPARE(model.data(model.index(1, 1)).toString(), QString());
        QCOMPARE(model.headerData(1, Qt::Vertical).toString(), QString("2013002"));
    }

    void viewAppliesColumnWidthsInPixelsWidenedWhereTextWouldBeClipped() {
        GridView view;
        TextGrid g;
        g.cells = {{"#", "a", "b"}, {"1", "2", std::string(40, '8')}};
        g.colWidths = {1500, 600, 600};
        view.setGrid(g);
        QCOMPARE(view.verticalHeader()->width(), 100);
        QCOMPARE(view.columnWidth(0), 40);
        QVERIFY(view.columnWidth(1) >= view.fontMetrics().horizontalAdvance(QString(40, '8')));
        // A narrow issue column still shows the whole issue.
        g.cells = {{"期号", "a", "b"}, {"2013029", "2", "9"}};
        g.colWidths = {30, 600, 600};
        view.setGrid(g);
        QVERIFY(view.verticalHeader()->width() >= view.fontMetrics().horizontalAdvance("2013029"));
    }

    void columnsAreAsWideAsTheirWidestTextAsDrawn() {
        // 大后比 has more bytes than 2.333333 but is narrower when drawn.
        GridView view;
        TextGrid g;
        g.cells = {{"号码（分组）", "大后比", "欲出几率"},
                   {"01 02", "2.333333", "-"},
                   {"03 04", "12", "123.45"}};
        g.colWidths = {300, 300, 300};
        view.setGrid(g);
        const QFontMetrics fm = view.fontMetrics();
        for (int c = 1; c <= 2; ++c)
            for (const auto& row : g.cells)
                QVERIFY2(
                    view.columnWidth(c - 1) > fm.horizontalAdvance(QString::fromStdString(row[c])),
                    row[c].c_str());
        QVERIFY(view.verticalHeader()->width() >
                fm.horizontalAdvance(QStringLiteral("号码（分组）")));
    }

    void topRowIsKeptUntilShownAndClampedToTheGrid() {
        GridView view;
        view.resize(300, 200);
        TextGrid g = numberedGrid(100);
        g.topRow = 60;
        view.setGrid(g);
        QCOMPARE(view.topRow(), 60);  // not laid out yet: the wish is kept
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.topRow(), 60);
        view.setTopRow(0);
        QCOMPARE(view.topRow(), 1);
        // The last rows cannot all be at the top: the view stops at its last full page.
        view.setTopRow(100);
        QVERIFY(view.topRow() > 60 && view.topRow() <= 100);
        QCOMPARE(view.topRow(), view.verticalScrollBar()->maximum() + 1);
        view.setGrid(numberedGrid(0));
        QCOMPARE(view.topRow(), 1);
    }
};

QTEST_MAIN(TestGridView)
#include "test_grid_view.moc"
