// The window as its user meets it on a small screen and from the keyboard: every window lies
// within the screen's available area, Enter clicks the focused button, Tab walks the buttons in
// the order they are shown, the 图表 menu runs the commands of the buttons, "保存图片" asks where
// to save (on the data folder, default name) in both picture windows, and the trend's first rows
// count omissions from the history's start.

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTableView>

#include "app/criteria_panel.h"
#include "app/qt_paths.h"
#include "app/trend_view.h"
#include "support/top_level.h"
#include "support/window_fixture.h"

using namespace quarvel;
using quarvel::apptest::topLevel;
using namespace quarvel::app;

namespace {

bool withinScreen(const QWidget* w) {
    return w->screen()->availableGeometry().contains(w->frameGeometry());
}

}  // namespace

class TestWindowKeysPictures : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() {
        f = std::make_unique<WindowFixture>();
        f->seed(simpleDraws(12));
        f->open();
    }
    void cleanup() {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (QStringList{"frmZst", "frmYlqx", "frmXtzs"}.contains(t->objectName())) t->close();
        f.reset();
    }

    void windowsFitTheScreenAndEnterClicksTheFocusedButton() {
        // The layout fits 1024×768 with room for a frame; on this (narrower) screen the window
        // still takes no more height than there is.
        const QSize least = f->window->minimumSizeHint();
        QVERIFY2(least.width() <= 1024 - 16 && least.height() <= 768 - 40,
                 qPrintable(QString("%1x%2").arg(least.width()).arg(least.height())));
        QVERIFY(f->window->frameGeometry().height() <=
                f->window->screen()->availableGeometry().height());
        QVERIFY(f->window->statusBar()->isVisible());
        auto* trendButton = f->find<QPushButton>("cmdZst");
        trendButton->setFocus();
        QTest::keyClick(trendButton, Qt::Key_Return);
        auto* trend = topLevel<TrendWindow>("frmZst");
        QVERIFY(trend);
        QVERIFY(withinScreen(trend));
        // Tab follows the row as shown: 走势图, 遗漏曲线, 检索.
        f->window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(f->window.get()));
        trendButton->setFocus();
        QTest::keyClick(trendButton, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("cmdYlqx"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("Command1"));
    }

    void chartsMenuRunsThePicturesOfTheButtons() {
        // 图表 reaches the same commands as the buttons beside 检索: the two pictures of the
        // history open, and 遗漏曲线 with no result shown asks for one.
        f->find<QAction>("mnuZst")->trigger();
        QVERIFY(topLevel<TrendWindow>("frmZst"));
        f->find<QAction>("mnuXtzs")->trigger();
        QVERIFY(topLevel<QWidget>("frmXtzs"));
        f->find<QAction>("mnuYlqx")->trigger();
        QVERIFY(!topLevel<QWidget>("frmYlqx"));
        QCOMPARE(f->dialogs.shown.back().title, QString("遗漏曲线"));
        QCOMPARE(f->dialogs.shown.back().text,
                 QString("请先检索或分部检索，或在分组计算结果中选中一行"));
    }

    void trendFirstRowsAndItsPictureSavedWhereTheUserSays() {
        // Draw i (from 0) holds i + 1, i + 4, … i + 22: 30 shows first at IDX 9.
        f->find<QPushButton>("cmdZst")->click();
        auto* trend = topLevel<TrendWindow>("frmZst");
        QVERIFY(trend);
        auto* model = trend->model();
        const int col30 = 30;  // column 0 is the issue
        for (int row = 0; row < 8; ++row)
            QCOMPARE(model->data(model->index(row, col30)).toString(), QString::number(row + 1));
        QCOMPARE(model->data(model->index(8, col30)).toString(), QString("30"));

        const QString chosen = QString::fromStdString((f->dir.path() / "mine.png").string());
        f->dialogs.fileAnswers.enqueue(chosen.chopped(4));  // the extension is added
        QVERIFY(trend->savePicture());
        const auto& asked = f->dialogs.shown.back();
        QCOMPARE(asked.kind, QString("save"));
        QCOMPARE(asked.text, toQString(f->dir.path() / u8"走势图.png"));
        QVERIFY(QImage(chosen).width() > 0);
        QVERIFY(f->status().contains(chosen));
        // Cancelled: nothing is written.
        QVERIFY(!trend->savePicture());
        QVERIFY(!std::filesystem::exists(f->dir.path() / u8"走势图.png"));
    }
};

QTEST_MAIN(TestWindowKeysPictures)
#include "test_window_keys_pictures.moc"
