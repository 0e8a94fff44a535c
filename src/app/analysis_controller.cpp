#include "app/analysis_controller.h"

#include <QApplication>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "app/app_context.h"
#include "app/criteria_panel.h"
#include "app/grid_clicks.h"
#include "app/grid_export.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/notices.h"
#include "app/qt_text.h"
#include "store/whole_number.h"

namespace quarvel::app {

AnalysisController::AnalysisController(AppContext& ctx, CriteriaPanel& panel)
    : QObject(&panel), ctx_(ctx), panel_(panel) {
    relistTimer_ = new QTimer(this);
    relistTimer_->setSingleShot(true);
    connect(relistTimer_, &QTimer::timeout, this, [this] { relistGroups(pendingColumn_); });
    connectEvents();
}

AnalysisController::~AnalysisController() = default;

void AnalysisController::connectEvents() {
    CriteriaPanel& p = panel_;
    connect(p.searchButton(), &QPushButton::clicked, this, &AnalysisController::runSearchCommand);
    connect(p.trendButton(), &QPushButton::clicked, this, &AnalysisController::runTrendCommand);
    connect(p.curveButton(), &QPushButton::clicked, this, &AnalysisController::runCurveCommand);
    connect(p.shapeButton(), &QPushButton::clicked, this, &AnalysisController::runShapeCommand);
    connect(p.calibrationButton(), &QPushButton::clicked, this,
            &AnalysisController::runCalibrationCommand);
    connect(p.groupPanel()->backtestButton(), &QPushButton::clicked, this,
            &AnalysisController::runBacktestCommand);
    connect(p.multiSearch()->searchButton(), &QPushButton::clicked, this,
            &AnalysisController::runPartialCommand);
    connect(p.groupPanel()->computeButton(), &QPushButton::clicked, this,
            &AnalysisController::runGroupCommand);

    // A double click anywhere on a grid, its headers and blank part included, exports it.
    connect(p.hitGrid()->clicks(), &GridClicks::doubleClicked, this,
            [this] { exportGrid(panel_.hitGrid(), "Jiansuo.xls"); });
    connect(p.summaryGrid()->clicks(), &GridClicks::doubleClicked, this, [this] {
        // The double click exports what the grid shows: the click that began it, and the
        // release that ends it, re-list nothing.
        relistTimer_->stop();
        quietUntil_ = QDateTime::currentMSecsSinceEpoch() + QApplication::doubleClickInterval();
        exportGrid(panel_.summaryGrid(), "Jieguo.xls");
    });
    // A click anywhere on the summary grid re-lists YL by the grid column it names. The
    // re-listing waits out the double-click time so that a double click exports what the grid
    // shows.
    connect(p.summaryGrid()->clicks(), &GridClicks::clicked, this, [this](int gridColumn) {
        if (QDateTime::currentMSecsSinceEpoch() < quietUntil_) return;
        pendingColumn_ = gridColumn;
        relistTimer_->start(QApplication::doubleClickInterval());
    });
}

void AnalysisController::notify(const QString& text) const { notice(ctx_, text); }

void AnalysisController::message(const QString& title, const QString& text) const {
    app::message(ctx_, title, text);
}

void AnalysisController::showFailure(const QString& title, const store::Outcome& why,
                                     const QString& failed) const {
    const QString text = fromStd(why.text());
    message(title, why.kind == store::OutcomeKind::Failed ? failed.arg(text) : text);
}

bool AnalysisController::refused(const QString& title,
                                 const std::optional<std::string>& why) const {
    if (!why) return false;
    message(title, fromStd(*why));
    return true;
}

bool AnalysisController::historyOpen() const {
    if (ctx_.historyOpen()) return true;
    notify(QStringLiteral("历史数据库没有打开，无法计算"));
    return false;
}

bool AnalysisController::commandReady(QPushButton* button) {
    // The button takes the focus first, as a click or its access key would give it, so that a
    // box being left (a typed position value, the section count) is stored before the command
    // reads the panel.
    button->setFocus(Qt::ShortcutFocusReason);
    relistTimer_->stop();  // a click on the summary grid just before gives way to the command
    if (!historyOpen()) return false;
    try {
        // Another program may have put another file in place: analyse the history there now.
        ctx_.db->reopenIfReplaced();
    } catch (const std::exception& e) {
        message(button->text().remove('&'), fromStd(store::userText(e)));
        return false;
    }
    return true;
}

bool AnalysisController::readAsOf(const QString& title, std::optional<std::int32_t>& asOf) const {
    asOf.reset();
    const QString text = panel_.asOfBox()->text().trimmed();
    if (text.isEmpty()) return true;
    asOf = store::readWholeNumber32(text.toStdString());
    if (!asOf) message(title, QStringLiteral("截止期“%1”不是整数期号").arg(text));
    return asOf.has_value();
}

void AnalysisController::forgetPattern() {
    resultCurve_.reset();
    lastPattern_.reset();
}

void AnalysisController::exportGrid(GridView* grid, const char* fileName) {
    exportGridToXls(ctx_, grid->grid(), QString::fromUtf8(fileName));
}

}  // namespace quarvel::app
