// What chance alone would give beside the panel's figures: the 遗漏校验 of the result the
// summary grid shows (the last search or partial search, or the selected group row) and the
// 回测 window of the group frame's plan, both as of "截止期".

#include <QLineEdit>
#include <QPushButton>

#include "app/analysis_controller.h"
#include "app/app_context.h"
#include "app/backtest_view.h"
#include "app/busy_cursor.h"
#include "app/calibration_view.h"
#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "chance/as_of_runs.h"

namespace quarvel::app {

std::optional<std::pair<std::string, chance::PatternHits>> AnalysisController::shownPatternHits(
    const QString& title) {
    std::optional<store::Checked<chance::AsOfResult<chance::PatternHits>>> hits;
    std::string label;
    if (lastPattern_) {
        label = resultCurve_ ? resultCurve_->label : std::string();
        BusyCursor busy;
        hits = chance::patternHitsAsOf(*ctx_.db, *lastPattern_);
    } else {
        const std::optional<std::string> selected = panel_.selectedGroupLabel();
        if (!selected) {
            message(title, QStringLiteral("请先检索或分部检索，或在分组计算结果中选中一行"));
            return std::nullopt;
        }
        std::optional<std::int32_t> asOf;
        if (!readAsOf(title, asOf)) return std::nullopt;
        label = *selected;
        BusyCursor busy;
        hits = chance::groupHitsAsOf(*ctx_.db, panel_.readGroupInput(), label, asOf);
    }
    if (!*hits) {
        message(title, QString::fromStdString(hits->outcome.text()));
        return std::nullopt;
    }
    return std::make_pair(label, std::move((*hits)->result));
}

void AnalysisController::runCalibrationCommand() {
    if (!commandReady(panel_.calibrationButton())) return;
    const auto shown = shownPatternHits(QStringLiteral("遗漏校验"));
    if (!shown) return;
    const chance::IssueLine& range = shown->second.range;
    const QString rangeText =
        range.size() == 0
            ? QStringLiteral("-")
            : QStringLiteral("%1～%2 期").arg(range.issue.front()).arg(range.issue.back());
    auto* window = new CalibrationWindow(ctx_, QString::fromStdString(shown->first), rangeText,
                                         chance::calibrate(shown->second), &panel_);
    window->show();
}

void AnalysisController::runBacktestCommand() {
    if (!commandReady(panel_.groupPanel()->backtestButton())) return;
    const QString title = QStringLiteral("回测");
    std::optional<std::int32_t> asOf;
    if (!readAsOf(title, asOf)) return;
    const auto cut = chance::optionalCut(*ctx_.db, asOf);
    if (!cut) {
        message(title, QString::fromStdString(cut.outcome.text()));
        return;
    }
    // The plan's range ends at the cut, and with it the test range the window offers; the
    // window runs the backtest as of the same cut.
    groups::GroupInput input = panel_.readGroupInput();
    if (*cut) chance::applyCut(input, **cut);
    const auto planned = groups::makePlan(input);
    if (!planned) {
        const store::Outcome& why = planned.outcome;
        message(why.title.empty() ? title : QString::fromStdString(why.title),
                QString::fromStdString(why.text()));
        return;
    }
    auto* window = new BacktestWindow(ctx_, *planned, *cut, &panel_);
    window->show();
    window->run();
}

}  // namespace quarvel::app
