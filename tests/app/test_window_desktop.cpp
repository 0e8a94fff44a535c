// The window as a desktop user meets it: clicks anywhere on the grids (headers, fixed column,
// corner, blank part), the list scrolled to the newest draw after a history grows, the wheel
// over a drop-down, the status bar (count kept over menus, the data folder), the menu-bar
// access keys, steady mode buttons, the import dialog's folder and Qt's texts in Chinese.

#include <QtTest/qtestspontaneevent.h>

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QWheelEvent>

#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/qt_chinese_texts.h"
#include "app/qt_paths.h"
#include "support/mouse.h"
#include "support/window_fixture.h"

using namespace quarvel;
using namespace quarvel::app;
using quarvel::apptest::doubleClickAt;

namespace {

QWidget* corner(GridView* grid) { return grid->findChild<QAbstractButton*>(); }

// A point of the grid's viewport below its last row.
QPoint blankPart(GridView* grid) {
    const QPoint p(10, grid->viewport()->height() - 4);
    if (grid->indexAt(p).isValid()) qFatal("the grid has no blank part below its rows");
    return p;
}

// A wheel turn over `target`, marked as coming from the window system.
void systemWheel(QWidget* target, int angle) {
    const QPointF pos(target->width() / 2.0, target->height() / 2.0);
    QWheelEvent ev(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, angle), Qt::NoButton,
                   Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&ev);
    QApplication::sendEvent(target, &ev);
}

bool rowInView(GridView* grid, int modelRow) {
    const QRect r = grid->visualRect(grid->model()->index(modelRow, 0));
    return r.isValid() && grid->viewport()->rect().contains(r);
}

}  // namespace

class TestWindowDesktop : public QObject {
    Q_OBJECT
    std::unique_ptr<WindowFixture> f;

  private slots:
    void init() { f = std::make_unique<WindowFixture>(); }
    void cleanup() { f.reset(); }

    void rightClickOrDoubleClickAnywhereOnTheList() {
        f->seed(simpleDraws(3));
        f->open();
        QStringList shown;
        f->window->setPopupHook([&](QMenu* m, const QPoint&) { shown << m->objectName(); });
        auto* list = f->history().list();
        const QList<QPair<QWidget*, QPoint>> parts = {
            {list->verticalHeader()->viewport(), QPoint(10, 5)},    // the 期号 column
            {list->horizontalHeader()->viewport(), QPoint(10, 5)},  // the header row
            {corner(list), QPoint(5, 5)},                           // 期号 above the issue column
            {list->viewport(), blankPart(list)}};
        for (const auto& [part, at] : parts) {
            QTest::mouseClick(part, Qt::RightButton, {}, at);
            f->dialogs.questionAnswers.enqueue(true);  // asked first
            doubleClickAt(part, at);                   // the left button: an export, no menu
        }
        QCOMPARE(shown, QStringList(4, "mnuLsgl"));
        QCOMPARE(f->dialogs.opened, QStringList(4, toQString(f->dir.path() / "lishi.xls")));
    }

    void importThatGrowsAShortListShowsTheNewestDraw() {
        f->seed(simpleDraws(5));
        std::string text;
        for (int i = 1; i <= 60; ++i)
            text += QStringLiteral("2014%1 01 02 03 04 05 06 07 08\r\n")
                        .arg(i, 3, 10, QChar('0'))
                        .toStdString();
        const auto file = f->dir.path() / "grow.txt";
        testing::writeFile(file, text);
        f->open();
        auto* list = f->history().list();
        QVERIFY(rowInView(list, 0));
        f->dialogs.questionAnswers.enqueue(true);
        f->dialogs.questionAnswers.enqueue(true);  // the five stored draws are left out: yes
        f->dialogs.fileAnswers.enqueue(toQString(file));
        f->window->importHistoryText();
        QCOMPARE(list->gridModel()->rowCount(), 60);
        QVERIFY(rowInView(list, 59));
        QVERIFY(!rowInView(list, 0));
    }

    void longListShowsItsTopRowWholeAndItsNewestDraw() {
        f->seed(simpleDraws(100));
        f->open();
        auto* list = f->history().list();
        // Heights that are not a whole number of rows leave a part row over.
        for (int extra : {0, list->rowHeight(0) / 2, list->rowHeight(0) - 1}) {
            list->setFixedHeight(20 * list->rowHeight(0) + extra);
            QApplication::processEvents();
            list->setTopRow(100);
            QVERIFY(rowInView(list, 99));
            const int top = list->rowAt(0);
            QCOMPARE(list->visualRect(list->model()->index(top, 0)).top(), 0);
            // Wheeling back up and down again keeps it so.
            list->setFocus();
            list->setTopRow(list->topRow() - 1);
            list->setTopRow(list->topRow() + 1);
            QCOMPARE(list->visualRect(list->model()->index(list->rowAt(0), 0)).top(), 0);
            QVERIFY(rowInView(list, 99));
        }
    }

    void wheelOverADropDownScrollsTheFocusedGridAndLeavesTheDropDown() {
        f->seed(simpleDraws(100));
        f->open();
        auto* list = f->history().list();
        list->setFocus();
        list->setTopRow(1);
        auto* combo = f->find<QComboBox>("Combo2");
        const QString before = combo->currentText();
        // The window system gives the focus to a widget under a wheel turn when its policy
        // says so; none of the window's may take it that way.
        for (auto* w : f->window->findChildren<QWidget*>())
            QVERIFY2(w->focusPolicy() != Qt::WheelFocus,
                     qPrintable(w->objectName() + " " + w->metaObject()->className()));
        systemWheel(combo, -120);
        QCOMPARE(f->window->wheelTarget(), list);
        QVERIFY(list->hasFocus());
        QCOMPARE(list->topRow(), 2);
        QCOMPARE(combo->currentText(), before);
    }

    void statusCountStaysWhileAMenuIsBrowsed() {
        f->seed(simpleDraws(3));
        f->open();
        QCOMPARE(f->status(), QString("共 3 期历史号码"));
        // Opened from the menu bar, an item without a status tip is moved over.
        QMenu* menu = f->window->historyMenu();
        f->window->menuBar()->setActiveAction(menu->menuAction());
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        menu->setActiveAction(menu->actions().at(1));
        QCOMPARE(f->status(), QString("共 3 期历史号码"));
        menu->close();
        QCOMPARE(f->status(), QString("共 3 期历史号码"));
    }

    void dataFolderIsShownInTheStatusBar() {
        f->open();
        auto* label = f->find<QLabel>("DataFolderLabel");
        QVERIFY2(label->text().contains(toQString(f->dir.path())), qPrintable(label->text()));
        QVERIFY(label->isVisible());
    }

    void menuBarTitlesHaveAccessKeysNoButtonUses() {
        f->open();
        const QRegularExpression key(QStringLiteral("&(\\w)"));
        QSet<QString> taken;
        for (auto* b : f->window->findChildren<QAbstractButton*>())
            taken << key.match(b->text()).captured(1).toUpper();
        for (QAction* a : f->window->menuBar()->actions()) {
            const QString k = key.match(a->text()).captured(1).toUpper();
            QVERIFY2(!k.isEmpty() && !taken.contains(k), qPrintable(a->text()));
            taken << k;
        }
    }

    void modeButtonsStayPutWhenCountSpecialIsHidden() {
        f->open();
        auto* fixed = f->find<QRadioButton>("Option1_0");
        auto* free = f->find<QRadioButton>("Option1_1");
        const QPoint fixedAt = fixed->mapTo(f->window.get(), QPoint());
        const QPoint freeAt = free->mapTo(f->window.get(), QPoint());
        QTest::mouseClick(fixed, Qt::LeftButton);
        QVERIFY(!f->find<QWidget>("Check2")->isVisible());
        QApplication::processEvents();
        QCOMPARE(fixed->mapTo(f->window.get(), QPoint()), fixedAt);
        QCOMPARE(free->mapTo(f->window.get(), QPoint()), freeAt);
    }

    void importDialogOpensOnAnExistingFolder() {
        f->open();
        f->dialogs.questionAnswers.enqueue(true);
        f->window->importHistoryText();
        QCOMPARE(f->dialogs.count("file"), 1);
        // A missing folder would be taken as a file name and typed into the name box.
        const QString dir = f->dialogs.shown.last().text;
        QVERIFY2(QFileInfo(dir).isDir(), qPrintable(dir));
        // The data folder's own 历史号码 comes first once it exists.
        const QString own = toQString(f->dir.path() / toPath(QStringLiteral("历史号码")));
        QVERIFY(QDir().mkpath(own));
        f->dialogs.questionAnswers.enqueue(true);
        f->window->importHistoryText();
        QCOMPARE(f->dialogs.shown.last().text, own);
    }

    void qtsOwnButtonsAndFileDialogReadChinese() {
        QVERIFY(installQtChineseTexts(*qApp));
        QMessageBox box(QMessageBox::Question, "读入历史", "确实要读入最新历史号码吗？",
                        QMessageBox::Ok | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Ok)->text().remove('&'), QString("确定"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QString("取消"));
        QFileDialog dialog(nullptr, "读入历史", QDir::tempPath(), "Text (*.txt)");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        auto* buttons = dialog.findChild<QDialogButtonBox*>();
        QVERIFY(buttons);
        QVERIFY2(buttons->button(QDialogButtonBox::Open)->text().startsWith("打开"),
                 qPrintable(buttons->button(QDialogButtonBox::Open)->text()));
        // The program's own texts are untouched.
        f->open();
        QCOMPARE(f->find<QPushButton>("cmdRdLst")->text(), QString("读取历史号文本(&W)"));
    }
};

QTEST_MAIN(TestWindowDesktop)
#include "test_window_desktop.moc"
