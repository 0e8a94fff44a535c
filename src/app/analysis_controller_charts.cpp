// The two pictures of the panel: the 走势图 of the history for the panel's type, range and
// "自由位计特码", and the 遗漏曲线 of the result the summary grid shows.

#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "app/analysis_controller.h"
#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/omission_curve_view.h"
#include "app/shape_view.h"
#include "app/trend_view.h"
#include "chance/as_of_runs.h"
#include "chance/hot_cold.h"
#include "chance/shape_table.h"
#include "search/trend_chart.h"

namespace quarvel::app {

void AnalysisController::runTrendCommand() {
    if (!commandReady(panel_.trendButton())) return;
    const search::Criteria c = panel_.readCriteria();
    const QString title = QStringLiteral("走势图");
    std::optional<std::int32_t> asOf;
    if (!readAsOf(title, asOf)) return;
    if (c.type < 0 || c.type > 5) {
        message(title, QStringLiteral("走势图只能按号码、生肖、头数、尾数、合数或段数显示"));
        return;
    }
    // The range as of 截止期, read once: the chart and its rebuilds for another hot/cold window
    // cover the same draws.
    const auto range = chance::rangeAsOf(*ctx_.db, c, asOf);
    if (!range) {
        message(title, QString::fromStdString(range.outcome.text()));
        return;
    }
    // Columns name the codes as the stored rows carry them, and the chances of the hot/cold rows
    // count the numbers under the code table those rows were built with.
    const store::Bases rows = ctx_.rowBases();
    const search::TrendInput in{c.type,  c.countSpecial, range->result.start, range->result.end,
                                rows.sx, rows.ds};
    const store::ZodiacCodes codes = store::ZodiacCodes::startup(rows.sx);
    auto build = [this, in, codes,
                  title](int hotWindow) -> std::shared_ptr<const search::TrendChart> {
        BusyCursor busy;
        auto built = chance::buildTrendWithHotCold(ctx_.db->db(), in, codes, hotWindow);
        if (built) return std::make_shared<const search::TrendChart>(std::move(*built));
        message(title, QStringLiteral("走势图无法读取历史号码：%1")
                           .arg(QString::fromStdString(built.outcome.text())));
        return nullptr;
    };
    std::shared_ptr<const search::TrendChart> chart = build(ctx_.saved.intHotWindow);
    if (!chart) return;
    const QString caption =
        QStringLiteral("走势图 — %1  %2～%3%4")
            .arg(panel_.typeCaption(c.type))
            .arg(in.rangeStart)
            .arg(in.rangeEnd)
            .arg(c.countSpecial ? QStringLiteral("（计特码）") : QStringLiteral("（不计特码）"));
    auto* window = new TrendWindow(ctx_, std::move(chart), caption, &panel_);
    connect(window, &TrendWindow::hotWindowChosen, window, [window, build](int w) {
        if (auto rebuilt = build(w)) window->setChart(std::move(rebuilt));
    });
    window->show();
    notify(QStringLiteral("走势图：%1 期").arg(window->model()->chart()->drawRows()));
}

void AnalysisController::runShapeCommand() {
    if (!commandReady(panel_.shapeButton())) return;
    const QString title = QStringLiteral("形态走势");
    std::optional<std::int32_t> asOf;
    if (!readAsOf(title, asOf)) return;
    // As of 截止期 the range ends at the cut: the draws after it are neither listed nor counted.
    auto built = [&] {
        BusyCursor busy;
        return chance::shapeAsOf(*ctx_.db, panel_.readCriteria(), asOf);
    }();
    if (!built) {
        // A range or as-of issue refused as typed, or the draws that could not be read.
        showFailure(title, built.outcome, QStringLiteral("形态走势无法读取历史号码：%1"));
        return;
    }
    const search::IssueRange range = built->result.range;
    auto table = std::make_shared<const chance::ShapeTable>(std::move(built->result.table));
    const QString caption = QStringLiteral("形态走势 — %1～%2").arg(range.start).arg(range.end);
    auto* window = new ShapeWindow(ctx_, std::move(table), caption, &panel_);
    window->show();
    notify(QStringLiteral("形态走势：%1 期").arg(window->model()->table()->rows()));
}

void AnalysisController::runCurveCommand() {
    if (!commandReady(panel_.curveButton())) return;
    const QString title = QStringLiteral("遗漏曲线");
    std::optional<search::OmissionCurve> curve = resultCurve_;
    if (!curve) {
        // The summary grid lists the groups: the curve of the selected row.
        const std::optional<std::string> label = panel_.selectedGroupLabel();
        if (!label) {
            message(title, QStringLiteral("请先检索或分部检索，或在分组计算结果中选中一行"));
            return;
        }
        std::optional<std::int32_t> asOf;
        if (!readAsOf(title, asOf)) return;
        auto made = [&] {
            BusyCursor busy;
            return chance::groupCurveAsOf(*ctx_.db, panel_.readGroupInput(), *label, asOf);
        }();
        if (!made) {
            showFailure(title, made.outcome, QStringLiteral("分组的命中无法读取：%1"));
            return;
        }
        curve = std::move(made->result);
    }
    auto* window = new OmissionCurveWindow(ctx_, std::move(*curve), &panel_);
    if (const auto shown = shownPatternHits(title))
        window->addKLinePage(chance::kLine(shown->second));
    window->show();
}

}  // namespace quarvel::app
