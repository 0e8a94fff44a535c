#include "app/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QDialog>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QWheelEvent>

#include "app/analysis_controller.h"
#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/dialogs.h"
#include "app/grid_clicks.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/history_panel.h"
#include "app/ledger_view.h"
#include "app/qt_paths.h"
#include "app/screen_fit.h"
#include "app/shrink_view.h"
#include "app/status_line.h"
#include "app/tab_order.h"
#include "history_io/leftovers.h"
#include "store/new_year_table.h"
#include "store/numbering.h"

namespace quarvel::app {

namespace {

// Runs one start-up step; a failing step is skipped and named in the status bar.
template <typename F>
void step(QStringList& failures, const QString& what, F&& f) {
    try {
        f();
    } catch (const std::exception& e) {
        failures << QStringLiteral("%1：%2").arg(what, QString::fromStdString(store::userText(e)));
    }
}

}  // namespace

int startupZodiacYear(const QString& nextIssueText, int currentYear) {
    const QString text = nextIssueText.trimmed();
    int year = text.left(4).toInt();
    if (year < 1000) return currentYear;  // no issue of a real year: the calendar decides
    if (store::newYearThreshold(year) >= text.right(3).toInt()) --year;
    return year;
}

MainWindow::MainWindow(std::filesystem::path dataDir, store::SettingsStore& settings,
                       Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), db_(std::move(dataDir)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("quarvel — 遗漏分析"));
    ctx_.db = &db_;
    ctx_.settings = &settings;
    ctx_.dialogs = &dialogs;
    ctx_.notify = [this](const QString& text) { notify(text); };
    ctx_.withdraw = [this](const QString& text) {
        if (statusBar()->currentMessage() == text) statusBar()->clearMessage();
    };
    popup_ = [](QMenu* menu, const QPoint& pos) { menu->popup(pos); };

    history_ = new HistoryPanel(this);
    criteria_ = new CriteriaPanel(ctx_, this);
    analyses_ = new AnalysisController(ctx_, *criteria_);
    auto* split = new QSplitter(Qt::Horizontal, this);
    split->setObjectName(QStringLiteral("MainSplitter"));
    split->addWidget(history_);
    split->addWidget(criteria_);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setChildrenCollapsible(false);
    setCentralWidget(split);
    auto* status = new StatusLine(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(status);
    status->setFolder(
        QStringLiteral("数据文件夹：%1").arg(QDir::toNativeSeparators(toQString(db_.dataDir()))));

    buildMenus();
    connectEvents();
    // A wheel turn must not move the focus: over a drop-down it would take the focus, and with
    // it the wheel target, from the grid being scrolled.
    for (auto* w : findChildren<QWidget*>())
        if (w->focusPolicy() == Qt::WheelFocus) w->setFocusPolicy(Qt::StrongFocus);
    startUp();
    // As large as the layout wants, but never beyond the screen, frame and status bar included.
    fitToScreen(this, {1260, 860});
}

MainWindow::~MainWindow() {
    qApp->removeEventFilter(this);
    // The panels go first, while the window is whole: a grid losing the focus as it goes still
    // reaches the window's handlers.
    delete centralWidget();
    history_ = nullptr;
    criteria_ = nullptr;
    analyses_ = nullptr;
    wheelTarget_ = nullptr;
}

QAction* MainWindow::action(QMenu* menu, const QString& caption, const QString& name) {
    auto* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

void MainWindow::buildMenus() {
    mnuLsgl_ = new QMenu(QStringLiteral("历史管理(&L)"), this);
    mnuLsgl_->setObjectName(QStringLiteral("mnuLsgl"));
    connect(action(mnuLsgl_, QStringLiteral("导出历史号码(&O)"), QStringLiteral("mnuDcls")),
            &QAction::triggered, this, &MainWindow::exportHistoryList);
    connect(action(mnuLsgl_, QStringLiteral("删除最后历史(&E)"), QStringLiteral("mnuErase")),
            &QAction::triggered, this, &MainWindow::deleteLastDraw);
    connect(action(mnuLsgl_, QStringLiteral("清空历史号码(&C)"), QStringLiteral("mnuClear")),
            &QAction::triggered, this, &MainWindow::clearHistory);
    connect(action(mnuLsgl_, QStringLiteral("删除到选定期(&D)"), QStringLiteral("mnuDlzd")),
            &QAction::triggered, this, &MainWindow::trimToIssue);
    connect(
        action(mnuLsgl_, QStringLiteral("删除最后指定数量期历史(&N)"), QStringLiteral("mnuEszhzd")),
        &QAction::triggered, this, &MainWindow::trimLastDraws);
    connect(action(mnuLsgl_, QStringLiteral("合并历史号码文件(&M)"), QStringLiteral("mnuMerge")),
            &QAction::triggered, this, &MainWindow::mergeHistoryText);
    connect(action(mnuLsgl_, QStringLiteral("检查历史号码(&K)"), QStringLiteral("mnuCheck")),
            &QAction::triggered, this, &MainWindow::checkHistory);

    mnuSetup_ = new QMenu(QStringLiteral("设置(&E)"), this);
    mnuSetup_->setObjectName(QStringLiteral("mnuSetup"));
    auto submenu = [this](const QString& caption, const QString& name) {
        auto* m = mnuSetup_->addMenu(caption);
        m->setObjectName(name);
        m->menuAction()->setObjectName(name + QStringLiteral("Item"));
        return m;
    };
    auto* sx = submenu(QStringLiteral("生肖(肖位)参数设置(&S)"), QStringLiteral("mnuSxCssetup"));
    auto* ds = submenu(QStringLiteral("段数参数设置(&A)"), QStringLiteral("mnuDssetup"));
    auto* bs = submenu(QStringLiteral("波色参数设置(&B)"), QStringLiteral("mnuBssetup"));
    const QString sxCaptions[2] = {QStringLiteral("生肖(肖位)参数0~11"),
                                   QStringLiteral("生肖(肖位)参数1~12")};
    const QString dsCaptions[2] = {QStringLiteral("段数参数0~9"), QStringLiteral("段数参数1~10")};
    const QString bsCaptions[2] = {QStringLiteral("波色参数0~2"), QStringLiteral("波色参数1~3")};
    for (int i = 0; i < 2; ++i) {
        mnuSxcs_[i] = action(sx, sxCaptions[i], QStringLiteral("mnuSxcs_%1").arg(i));
        mnuSxcs_[i]->setCheckable(true);
        connect(mnuSxcs_[i], &QAction::triggered, this, [this, i] { chooseZodiacBase(i); });
        mnuDscs_[i] = action(ds, dsCaptions[i], QStringLiteral("mnuDscs_%1").arg(i));
        mnuDscs_[i]->setCheckable(true);
        connect(mnuDscs_[i], &QAction::triggered, this, [this, i] { chooseSegmentBase(i); });
        // The wave-colour items are kept for their place in the menu; no analysis reads a
        // wave-colour base, so they are shown disabled rather than doing nothing when chosen.
        mnuBscs_[i] = action(bs, bsCaptions[i], QStringLiteral("mnuBscs_%1").arg(i));
        mnuBscs_[i]->setEnabled(false);
        mnuBscs_[i]->setStatusTip(QStringLiteral("波色参数没有分析使用，不能设置"));
    }
    connect(
        action(mnuSetup_, QStringLiteral("历史号码更新检索年(&Y)"), QStringLiteral("mnuSetDay")),
        &QAction::triggered, this, &MainWindow::setKeptYears);
    connect(
        action(mnuSetup_, QStringLiteral("开奖结果网站地址(&H)"), QStringLiteral("mnuResultsHost")),
        &QAction::triggered, this, &MainWindow::setResultsHost);
    connect(action(mnuSetup_, QStringLiteral("生肖年分界(&N)"), QStringLiteral("mnuNewYear")),
            &QAction::triggered, this, &MainWindow::editNewYearTable);

    mnuWeb_ = new QMenu(QStringLiteral("帮助(&H)"), this);
    mnuWeb_->setObjectName(QStringLiteral("mnuWeb"));
    for (const auto& [caption, name] :
         {std::pair{QStringLiteral("软件服务主页(&P)"), QStringLiteral("mnuFrontPage")},
          std::pair{QStringLiteral("软件介绍说明(&R)"), QStringLiteral("mnuDescrb")},
          std::pair{QStringLiteral("软件演示说明录像下载(&D)"), QStringLiteral("numYanshiDown")}})
        connect(action(mnuWeb_, caption, name), &QAction::triggered, this, &MainWindow::openReadme);

    // The pictures, also on the buttons beside "检索(&S)".
    auto* charts = new QMenu(QStringLiteral("图表(&V)"), this);
    charts->setObjectName(QStringLiteral("mnuCharts"));
    connect(action(charts, QStringLiteral("走势图(&Z)"), QStringLiteral("mnuZst")),
            &QAction::triggered, this, [this] { analyses_->runTrendCommand(); });
    connect(action(charts, QStringLiteral("形态走势(&X)"), QStringLiteral("mnuXtzs")),
            &QAction::triggered, this, [this] { analyses_->runShapeCommand(); });
    connect(action(charts, QStringLiteral("遗漏曲线(&Y)"), QStringLiteral("mnuYlqx")),
            &QAction::triggered, this, [this] { analyses_->runCurveCommand(); });
    // Tickets and 缩水, each in a window of its own.
    connect(action(charts, QStringLiteral("兑奖账本(&T)"), QStringLiteral("mnuLedger")),
            &QAction::triggered, this, [this] { (new LedgerWindow(ctx_, {}, this))->show(); });
    connect(action(charts, QStringLiteral("缩水(&F)"), QStringLiteral("mnuShrink")),
            &QAction::triggered, this, [this] { (new ShrinkWindow(ctx_, this))->show(); });

    menuBar()->addMenu(mnuLsgl_);
    menuBar()->addMenu(mnuSetup_);
    menuBar()->addMenu(charts);
    menuBar()->addMenu(mnuWeb_);
}

void MainWindow::connectEvents() {
    connect(history_, &HistoryPanel::drawTyped, this, &MainWindow::storeTypedDraw);
    connect(history_, &HistoryPanel::listRightReleased, this,
            [this](const QPoint& pos) { showPopup(mnuLsgl_, pos); });
    connect(history_->setupButton(), &QPushButton::clicked, this,
            [this] { showPopup(mnuSetup_, QCursor::pos()); });
    connect(history_->deleteButton(), &QPushButton::clicked, this, &MainWindow::deleteLastDraw);
    connect(history_->importButton(), &QPushButton::clicked, this, &MainWindow::importHistoryText);
    connect(history_->exportButton(), &QPushButton::clicked, this, &MainWindow::exportHistoryText);
    connect(history_->updateButton(), &QPushButton::clicked, this, &MainWindow::onlineUpdate);
    connect(history_->list()->clicks(), &GridClicks::doubleClicked, this,
            &MainWindow::askExportHistoryList);
    watchGridFocus(history_->list());
    watchGridFocus(criteria_->hitGrid());
    watchGridFocus(criteria_->summaryGrid());
}

void MainWindow::askExportHistoryList() {
    // A stray double click must not write a file: the user says yes first.
    const auto path = db_.dataDir() / "lishi.xls";
    QString text =
        QStringLiteral("把历史号码列表导出到 EXCEL 表格文件 %1 吗？").arg(toQString(path));
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) text += QStringLiteral("\n已有的同名文件将被替换。");
    if (!ctx_.dialogs->question(QStringLiteral("导出到EXCEL"), text)) return;
    BusyCursor busy;
    exportGridToXls(ctx_, history_->list()->grid(), QStringLiteral("lishi.xls"), this, true);
}

void MainWindow::watchGridFocus(GridView* grid) {
    connect(grid, &GridView::focusEntered, this, [this, grid] { wheelTarget_ = grid; });
    connect(grid, &GridView::focusLeft, this, [this, grid] {
        if (wheelTarget_ == grid) wheelTarget_ = nullptr;
    });
}

void MainWindow::showPopup(QMenu* menu, const QPoint& globalPos) {
    emit popupShown(menu);
    if (popup_) popup_(menu, globalPos);
}

void MainWindow::notify(const QString& text) { statusBar()->showMessage(text); }

void MainWindow::startUp() {
    QStringList failures;
    // Settings first: every later step reads them.
    step(failures, QStringLiteral("设置"), [&] {
        std::vector<std::string> reset;
        ctx_.saved = store::Settings::load(*ctx_.settings, &reset);
        QStringList keys;
        for (const auto& k : reset) keys << QString::fromStdString(k);
        if (!keys.isEmpty())
            failures << QStringLiteral("设置 %1 的值无效，已改用默认值")
                            .arg(keys.join(QStringLiteral("、")));
        store::setNewYearEntries(
            store::parseNewYearEntries(ctx_.saved.NewYearTable).value_or(store::NewYearTable{}));
    });
    // The wheel handling sees every event of the window's widgets.
    qApp->installEventFilter(this);
    // The database: a file that cannot be opened is left alone and the list stays empty.
    step(failures, QStringLiteral("无法打开历史数据库 %1").arg(toQString(db_.dbPath())),
         [&] { db_.open(); });
    // What a killed run of either program left behind (compaction copies, half-written files).
    io::removeLeftovers(db_.dataDir());
    step(failures, QStringLiteral("参数菜单"), [&] {
        for (int i = 0; i < 2; ++i) {
            mnuDscs_[i]->setChecked(ctx_.saved.DsIni == i);
            mnuSxcs_[i]->setChecked(ctx_.saved.SxIni == i);
        }
    });
    step(failures, QStringLiteral("下期期号"), [&] { QihaoXianshi(); });
    step(failures, QStringLiteral("生肖年"), [&] {
        ctx_.zodiacYear =
            startupZodiacYear(history_->nextIssueBox()->text(), QDate::currentDate().year());
    });
    step(failures, QStringLiteral("检索条件"), [&] { criteria_->startUp(); });
    step(failures, QStringLiteral("生肖代码"),
         [&] { ctx_.zodiacCodes = store::ZodiacCodes::startup(ctx_.saved.SxIni); });
    step(failures, QStringLiteral("历史列表"), [&] { AddHaoma(); });
    if (!failures.isEmpty())
        notify(failures.join(QStringLiteral("；")));
    else
        notify(QStringLiteral("共 %1 期历史号码").arg(history_->list()->gridModel()->rowCount()));
    // Rows coded with another zodiac new-year table (an older program's): offered a rebuild.
    offerNewYearRebuild();
}

void MainWindow::AddHaoma() {
    store::TextGrid grid;
    if (ctx_.historyOpen()) {
        try {
            // Another program may have replaced the file meanwhile: show the history it holds now.
            db_.reopenIfReplaced();
            store::Value newest;
            grid = store::historyListGrid(db_.db(), &newest);
            seen_ = {};
            seen_.draws = static_cast<std::size_t>(grid.rows() - 1);
            if (seen_.draws > 0) seen_.newest = static_cast<std::int32_t>(store::toInt(newest));
            seen_.fingerprint = io::historyFingerprint(grid);
            seenStamp_ = db_.db().contentStamp();
        } catch (const std::exception& e) {
            notify(QStringLiteral("历史列表无法读取：%1")
                       .arg(QString::fromStdString(store::userText(e))));
            grid = {};
        }
    }
    if (grid.rows() == 0) {
        // Header row only.
        store::Snapshot none;
        grid = store::historyListGrid(none);
    }
    history_->showList(std::move(grid));
    // The rows now stored may be coded in another base: the segment captions follow them.
    if (criteria_) criteria_->relabelGroupBoxes();
}

void MainWindow::QihaoXianshi() {
    if (!ctx_.historyOpen()) return;  // the boxes keep their texts
    std::int32_t last = 0;
    try {
        last = db_.lastIssue().value_or(0);
    } catch (const std::exception& e) {
        // The issue boxes keep their texts; the status line says why.
        notify(QString::fromStdString(store::userText(e)));
        return;
    }
    nextIssue_ = store::nextIssueAfter(last);
    history_->nextIssueBox()->setText(QString::number(nextIssue_));
    criteria_->rangeBox(1)->setText(QString::number(last));
    if (auto* ref = criteria_->referenceBox()) ref->setText(QString::number(last));
}

void MainWindow::setRangeFromHistory() {
    if (!ctx_.historyOpen()) return;
    try {
        const auto first = db_.firstIssue();
        const auto last = db_.lastIssue();
        criteria_->rangeBox(0)->setText(first ? QString::number(*first) : QString());
        criteria_->rangeBox(1)->setText(last ? QString::number(*last) : QString());
    } catch (const std::exception& e) {
        // The range boxes keep their texts; the status line says why they were not refreshed.
        notify(QString::fromStdString(store::userText(e)));
    }
}

void MainWindow::afterHistoryReplaced() {
    setRangeFromHistory();
    AddHaoma();
    QihaoXianshi();
    criteria_->refreshPositionValues();
}

bool MainWindow::handleWheel(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || wheelTarget_ == nullptr) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr || widget->window() != this) return false;
    const QPoint delta = static_cast<QWheelEvent*>(event)->angleDelta();
    // Only vertical turns count; touchpad phase events without a turn are let through.
    if (delta.y() == 0) return false;
    const int top = wheelTarget_->topRow();
    if (delta.y() < 0)
        wheelTarget_->setTopRow(top + 1);
    else if (top > 1)
        wheelTarget_->setTopRow(top - 1);
    // Consumed: the view's own wheel scrolling would move it a second time.
    return true;
}

bool MainWindow::event(QEvent* event) {
    // Moving over a menu item without a status tip would blank the status bar, and with it
    // the notice shown there ("共 N 期历史号码", the result of the last command).
    if (event->type() == QEvent::StatusTip && static_cast<QStatusTipEvent*>(event)->tip().isEmpty())
        return true;
    // Back in the window: the history another program changed meanwhile is shown as it is now.
    if (event->type() == QEvent::WindowActivate) refreshIfChangedElsewhere();
    return QMainWindow::event(event);
}

// Enter or Return on a focused push button clicks it, as Space does, in this window and in
// the picture windows it opens. Dialogs are left alone: their buttons answer Enter already.
static bool enterClicksButton(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat() ||
        (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (button == nullptr || !button->hasFocus() || !button->isEnabled() ||
        qobject_cast<QDialog*>(button->window()))
        return false;
    button->click();
    return true;
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (enterClicksButton(watched, event)) return true;
    if (handleWheel(watched, event)) return true;
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // The Tab order follows the screen as laid out now.
    orderTabsByGeometry(centralWidget());
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (updating_) {
        // The update is waiting for a page inside this window's handler: closing now would pull
        // the window from under it.
        notify(QStringLiteral("正在在线更新，请等更新结束后再关闭。"));
        event->ignore();
        return;
    }
    QMainWindow::closeEvent(event);
}

bool MainWindow::refuseWhileUpdating() {
    if (!updating_) return false;
    notify(QStringLiteral("正在在线更新，请稍候。"));
    return true;
}

}  // namespace quarvel::app
