// The window as a user reads it: the trend chart keeps its 期号 column while scrolling and
// saves the whole chart, boxes asked from a chart window belong to it, bad input is refused
// with a sentence naming the box, access keys are unique in every window and menu, Tab follows
// the screen and leaves a grid at once, a spreadsheet is replaced only when the user agrees,
// and the 帮助 items open the Chinese guide.

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTableView>
#include <map>

#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/omission_curve_view.h"
#include "app/qt_paths.h"
#include "app/trend_view.h"
#include "support/mouse.h"
#include "support/top_level.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;
using quarvel::apptest::topLevel;

namespace {

// The access key of a caption ("检索(&S)" -> 'S'), 0 without one ("&&" is a plain "&").
QChar accessKey(const QString& text) {
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (text[i + 1] == '&') {
            ++i;
            continue;
        }
        return text[i + 1].toUpper();
    }
    return {};
}

// Every access key that Alt reaches in `window` (its buttons, the labels' buddies, its frames
// and the titles of its menu bar), with the captions that claim it.
std::map<QChar, QStringList> windowKeys(QWidget* window) {
    std::map<QChar, QStringList> keys;
    auto add = [&](const QString& text) {
        if (const QChar k = accessKey(text); !k.isNull()) keys[k] << text;
    };
    // The chart windows are children of the main window: each widget counts in its own window.
    for (auto* b : window->findChildren<QAbstractButton*>())
        if (b->window() == window) add(b->text());
    for (auto* l : window->findChildren<QLabel*>())
        if (l->buddy() && l->window() == window) add(l->text());
    for (auto* g : window->findChildren<QGroupBox*>())
        if (g->window() == window) add(g->title());
    for (auto* bar : window->findChildren<QMenuBar*>())
        for (auto* a : bar->actions()) add(a->text());
    return keys;
}

QString repeats(const std::map<QChar, QStringList>& keys) {
    QStringList out;
    for (const auto& [k, captions] : keys)
        if (captions.size() > 1) out << captions.join(" / ");
    return out.join("; ");
}

}  // namespace

class TestWindowReading : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

    template <class T>
    T* w(const QString& name) {
        return f->find<T>(name);
    }
    TrendWindow* openTrend() {
        w<QPushButton>("cmdZst")->click();
        return topLevel<TrendWindow>("frmZst");
    }

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->objectName().startsWith("frm") && t->objectName() != "frmMain") t->close();
        f.reset();
    }

    void trendKeepsItsIssueColumnAndSavesTheWholeChart() {
        f->seed(simpleDraws(40));
        f->open();
        auto* trend = openTrend();
        QVERIFY(trend);
        auto* view = trend->view();
        auto* frozen = trend->frozenView();
        QVERIFY(!trend->legend()->text().isEmpty());
        // Scrolled to the far right: the 期号 column is still shown, beside the same rows.
        view->horizontalScrollBar()->setValue(view->horizontalScrollBar()->maximum());
        QVERIFY(view->horizontalScrollBar()->value() > 0);
        QVERIFY(view->isColumnHidden(0));
        QVERIFY(frozen->isVisible() && !frozen->isColumnHidden(0));
        QCOMPARE(frozen->columnViewportPosition(0), 0);
        QCOMPARE(frozen->rowAt(0), view->rowAt(0));
        view->verticalScrollBar()->setValue(3);
        QCOMPARE(frozen->rowAt(0), view->rowAt(0));
        // The statistic rows' names stay in the frozen column as well.
        const int firstStat = trend->model()->chart()->drawRows();
        QCOMPARE(trend->model()->index(firstStat, 0).data().toString(), QString("出现次数"));
        // Tool tips: a shown value, an omission.
        const QString tip = trend->model()->index(0, 1).data(Qt::ToolTipRole).toString();
        QVERIFY2(tip.contains("2013001期") && tip.contains("开出"), qPrintable(tip));
        QVERIFY(trend->model()->index(0, 2).data(Qt::ToolTipRole).toString().contains("遗漏"));

        // The saved picture covers every column, however far the table is scrolled.
        int allColumns = frozen->columnWidth(0);
        for (int c = 1; c < trend->model()->columnCount(); ++c) allColumns += view->columnWidth(c);
        const QString chosen = QString::fromStdString((f->dir.path() / "zst.png").string());
        f->dialogs.fileAnswers.enqueue(chosen);
        QVERIFY(trend->savePicture());
        const QImage picture(chosen);
        QVERIFY2(picture.width() >= allColumns && picture.width() > view->viewport()->width(),
                 qPrintable(QString("%1 < %2").arg(picture.width()).arg(allColumns)));
        QVERIFY(picture.height() >= (40 + 5 + 1) * view->verticalHeader()->defaultSectionSize());
        // The save dialog stood over the chart window, which stays in front.
        QCOMPARE(f->dialogs.shown.last().kind, QString("save"));
        QCOMPARE(f->dialogs.shown.last().owner, static_cast<QWidget*>(trend));
    }

    void aChartTooLargeForOnePictureDrawsTheNewestDrawsAsked() {
        f->seed(simpleDraws(1100));
        f->open();
        auto* trend = openTrend();
        QVERIFY(trend);
        const int most = trend->drawsPerPicture();
        QVERIFY(most < 1100);
        const QString chosen = QString::fromStdString((f->dir.path() / "newest.png").string());
        f->dialogs.inputAnswers.enqueue(QString("30"));
        f->dialogs.fileAnswers.enqueue(chosen);
        QVERIFY(trend->savePicture());
        const auto input = f->dialogs.shown[f->dialogs.shown.size() - 2];
        QCOMPARE(input.kind, QString("input"));
        QVERIFY(input.text.contains(QString::number(most)));
        QCOMPARE(input.owner, static_cast<QWidget*>(trend));
        QCOMPARE(QImage(chosen).height(), trend->picture(30).height());
        QVERIFY(trend->picture(30).height() < trend->picture(60).height());
        // A count beyond the bound is refused aloud and nothing is saved.
        f->dialogs.inputAnswers.enqueue(QString::number(most + 1));
        QVERIFY(!trend->savePicture());
        QVERIFY(f->dialogs.shown.last().text.contains(QString("1～%1").arg(most)));
    }

    void spreadsheetsAreReplacedOnlyWhenTheUserAgrees() {
        f->seed(simpleDraws(5));
        f->open();
        auto* trend = openTrend();
        QVERIFY(trend);
        const auto file = f->dir.path() / u8"走势图.xls";
        apptest::doubleClickAt(trend->view()->viewport(), QPoint(5, 5));
        QVERIFY(std::filesystem::exists(file));
        QCOMPARE(f->dialogs.count("question"), 0);  // a new file is written without a question
        const auto written = std::filesystem::last_write_time(file);
        // Again: asked on the chart window; declined, the file stays as it was and is not opened.
        const int opened = f->dialogs.opened.size();
        apptest::doubleClickAt(trend->view()->viewport(), QPoint(5, 5));
        QCOMPARE(f->dialogs.shown.last().kind, QString("question"));
        QVERIFY(f->dialogs.shown.last().text.contains("要替换它吗"));
        QCOMPARE(f->dialogs.shown.last().owner, static_cast<QWidget*>(trend));
        QCOMPARE(f->dialogs.opened.size(), opened);
        QCOMPARE(std::filesystem::last_write_time(file), written);

        // The history list's double click asks before anything is written.
        auto* list = f->history().list();
        apptest::doubleClickAt(list->viewport(),
                               list->visualRect(list->model()->index(0, 0)).center());
        QVERIFY(f->dialogs.shown.last().text.contains("lishi.xls"));
        QCOMPARE(f->dialogs.shown.last().owner, nullptr);
        QVERIFY(!std::filesystem::exists(f->dir.path() / "lishi.xls"));
        f->dialogs.questionAnswers.enqueue(true);
        apptest::doubleClickAt(list->viewport(),
                               list->visualRect(list->model()->index(0, 0)).center());
        QVERIFY(std::filesystem::exists(f->dir.path() / "lishi.xls"));
    }

    void badInputIsRefusedWithTheBoxAndItsRange_data() {
        QTest::addColumn<QString>("typeButton");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("said");
        QTest::newRow("number 31") << "Option3_0"
                                   << "Text2_1"
                                   << "31" << true << "Command1"
                                   << "平1位的号码 31 超出范围（号码的范围是 1～30）";
        QTest::newRow("zodiac 15") << "Option3_1"
                                   << "Text2_3"
                                   << "15" << true << "Command1"
                                   << "平3位的生肖 15 超出范围（生肖的范围是 1～12）";
        QTest::newRow("typed, not ticked") << "Option3_0"
                                           << "Text2_2"
                                           << "7" << false << "Command1"
                                           << "平2位填写了“7”，但没有勾选平2位";
        QTest::newRow("not a number") << "Option3_0"
                                      << "Text2_8"
                                      << "x" << true << "Command1"
                                      << "特位填写的“x”不是整数";
        QTest::newRow("partial, empty box") << "Option3_0"
                                            << "Text2_1"
                                            << "5" << true << "Command2"
                                            << "平2位没有填写号码";
    }
    void badInputIsRefusedWithTheBoxAndItsRange() {
        QFETCH(QString, typeButton);
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(bool, ticked);
        QFETCH(QString, command);
        QFETCH(QString, said);
        f->seed(simpleDraws(10));
        f->open();
        w<QRadioButton>(typeButton)->click();
        w<QLineEdit>(box)->setText(text);
        const QString check = QString("Check1_%1").arg(box.mid(6));
        w<QCheckBox>(check)->setChecked(ticked);
        const auto before = f->window->criteriaPanel()->hitGrid()->grid().cells;
        w<QPushButton>(command)->click();
        const auto messages = f->dialogs.messages();
        QCOMPARE(messages.size(), 1);
        QVERIFY2(messages[0].text.contains(said), qPrintable(messages[0].text));
        QCOMPARE(f->window->criteriaPanel()->hitGrid()->grid().cells, before);
    }

    void groupSizeTheBoxesCannotFillIsRefused() {
        f->seed(simpleDraws(10));
        f->open();
        for (int k : {1, 2, 3}) w<QCheckBox>(QString("Check6_%1").arg(k))->click();
        for (const auto& [size, said] :
             {std::pair{QString("7"), QString("组合位数 7 超出范围（组合位数的范围是 1～6）")},
              std::pair{QString("4"), QString("只勾选了 3 个")}}) {
            f->dialogs.shown.clear();
            w<QComboBox>("Combo2")->setCurrentText(size);
            w<QPushButton>("Command5")->click();
            QCOMPARE(f->dialogs.messages().size(), 1);
            QVERIFY2(f->dialogs.messages()[0].text.contains(said),
                     qPrintable(f->dialogs.messages()[0].text));
        }
    }

    void accessKeysAreUniqueInEveryWindowAndMenu() {
        f->seed(simpleDraws(20));
        f->open();
        QVERIFY(openTrend());
        w<QPushButton>("Command1")->click();
        w<QPushButton>("cmdYlqx")->click();
        QVERIFY(topLevel<OmissionCurveWindow>("frmYlqx"));
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (!window->isVisible()) continue;
            const auto keys = windowKeys(window);
            QVERIFY2(repeats(keys).isEmpty(),
                     qPrintable(window->objectName() + ": " + repeats(keys)));
        }
        for (QMenu* menu : f->window->findChildren<QMenu*>()) {
            std::map<QChar, QStringList> keys;
            for (QAction* a : menu->actions())
                if (const QChar k = accessKey(a->text()); !k.isNull()) keys[k] << a->text();
            QVERIFY2(repeats(keys).isEmpty(),
                     qPrintable(menu->objectName() + ": " + repeats(keys)));
        }
        // The wave-colour items do nothing, and say so by being disabled.
        QVERIFY(!w<QAction>("mnuBscs_0")->isEnabled() && !w<QAction>("mnuBscs_1")->isEnabled());
    }

    void tabFollowsTheScreenAndLeavesAGridAtOnce() {
        f->seed(simpleDraws(20));
        f->open();
        // Along the focus chain, two neighbours in one row of one frame go left to right.
        QWidget* start = w<QPushButton>("Command1");
        QWidget* a = start;
        int pairs = 0;
        do {
            QWidget* b = a->nextInFocusChain();
            while (b != start && !(b->isVisible() && (b->focusPolicy() & Qt::TabFocus)))
                b = b->nextInFocusChain();
            if (b->window() == f->window.get() && a->parentWidget() == b->parentWidget() &&
                qAbs(a->geometry().center().y() - b->geometry().center().y()) <
                    qMin(a->height(), b->height()) / 2) {
                QVERIFY2(a->x() < b->x(), qPrintable(a->objectName() + " before " +
                                                     b->objectName() + ", right to left"));
                ++pairs;
            }
            a = b;
        } while (a != start);
        QVERIFY(pairs > 10);
        // 回测 lies left of 分组计算 and is reached first.
        auto* hc = w<QPushButton>("cmdHc");
        auto* compute = w<QPushButton>("Command5");
        if (hc->mapTo(f->window.get(), QPoint()).x() <
            compute->mapTo(f->window.get(), QPoint()).x()) {
            hc->setFocus();
            QTest::keyClick(hc, Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), compute);
        }
        // One Tab takes the focus out of a grid.
        auto* grid = f->window->criteriaPanel()->hitGrid();
        grid->setFocus();
        QTest::keyClick(grid, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != grid);
    }

    void helpItemsOpenTheChineseGuide() {
        f->open();
        for (const char* item : {"mnuFrontPage", "mnuDescrb", "numYanshiDown"})
            w<QAction>(item)->trigger();
        QCOMPARE(f->dialogs.opened.size(), 3);
        for (const QString& path : f->dialogs.opened) {
            QVERIFY2(path.endsWith("使用说明.html"), qPrintable(path));
            QFile guide(path);
            QVERIFY(guide.open(QIODevice::ReadOnly));
            QVERIFY(QString::fromUtf8(guide.readAll()).contains("遗漏"));
        }
    }
};

QTEST_MAIN(TestWindowReading)
#include "test_window_reading.moc"
