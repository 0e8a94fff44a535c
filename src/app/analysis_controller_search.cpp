// The three analysis commands of the panel and the re-listing of the group table: each reads
// the panel into the core's input, runs the core and shows what it returns.

#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>

#include "app/analysis_controller.h"
#include "app/app_context.h"
#include "app/busy_cursor.h"
#include "app/criteria_panel.h"
#include "app/grid_view.h"
#include "app/group_panel.h"
#include "app/multi_search_panel.h"
#include "app/qt_text.h"
#include "chance/as_of_runs.h"
#include "chance/pattern_run.h"
#include "groups/group_checks.h"
#include "groups/group_command.h"
#include "groups/yl_table.h"
#include "search/input_checks.h"
#include "search/search_command.h"

namespace quarvel::app {

std::optional<int> AnalysisController::showAnalysis(
    const QString& title, const std::function<search::SearchResult()>& run) {
    search::SearchResult result;
    {
        BusyCursor busy;
        result = run();
        if (result.ok()) {
            panel_.showSearchGrids(result);
            resultCurve_ = search::curveOfHitGrid(result.label, result.hits, result.stats);
        }
    }
    if (!result.ok()) {
        message(title, fromStd(result.outcome.text()));
        return std::nullopt;
    }
    return result.stats.hits;
}

void AnalysisController::runPattern(const QString& title, const chance::PatternInput& in) {
    panel_.showCountSpecialForMode(in.criteria.fixed);
    chance::PatternAnswer answer;
    const auto hits = showAnalysis(title, [&] {
        answer = chance::runPattern(*ctx_.db, in);
        return answer.result;
    });
    if (!hits) return;
    QString done = QStringLiteral("%1完成：命中 %2 期").arg(title).arg(*hits);
    if (answer.cut) done += QStringLiteral("；") + fromStd(answer.nextShowing);
    lastPattern_ = in;
    notify(done);
}

void AnalysisController::runSearchCommand() {
    if (!commandReady(panel_.searchButton())) return;
    if (refused(QStringLiteral("检索"),
                search::checkSearchInput(panel_.readCriteria(), !panel_.historyTabActive())))
        return;
    std::optional<std::int32_t> asOf;
    if (!readAsOf(QStringLiteral("检索"), asOf)) return;
    runPattern(QStringLiteral("检索"), {panel_.readCriteria(), false, false, {}, asOf});
}

void AnalysisController::runPartialCommand() {
    MultiSearchPanel* multi = panel_.multiSearch();
    if (!commandReady(multi->searchButton())) return;
    if (refused(QStringLiteral("分部检索"),
                search::checkPartialInput(panel_.readCriteria(), multi->option(1)->isChecked(),
                                          !panel_.historyTabActive())))
        return;
    std::optional<std::int32_t> asOf;
    if (!readAsOf(QStringLiteral("分部检索"), asOf)) return;
    runPattern(QStringLiteral("分部检索"),
               {panel_.readCriteria(), true, multi->option(1)->isChecked(),
                multi->sectionBox()->currentText().toStdString(), asOf});
}

void AnalysisController::runGroupCommand() {
    if (!commandReady(panel_.groupPanel()->computeButton())) return;
    if (refused(QStringLiteral("分组计算"), groups::checkGroupInput(panel_.readGroupInput())))
        return;
    std::optional<std::int32_t> asOf;
    if (!readAsOf(QStringLiteral("分组计算"), asOf)) return;
    groups::GroupResult result;
    {
        BusyCursor busy;
        result = chance::groupsAsOf(*ctx_.db, panel_.readGroupInput(), asOf).result;
        // A refused input or as-of issue leaves the grid as it was; after a database failure it
        // shows YL as the failed run left it (unchanged).
        const bool failed = result.outcome.kind == store::OutcomeKind::Failed;
        if (result.outcome.ok() || (failed && result.listing.rows() > 0)) {
            panel_.showGroupListing(result.listing);
            forgetPattern();
        }
    }
    if (!result.outcome.ok()) {
        const QString title = result.outcome.title.empty() ? QStringLiteral("分组计算")
                                                           : fromStd(result.outcome.title);
        message(title, fromStd(result.outcome.text()));
        return;
    }
    notify(QStringLiteral("分组计算完成：共 %1 组").arg(result.groups));
}

void AnalysisController::relistGroups(int column) {
    if (!historyOpen()) return;
    BusyCursor busy;
    const auto listed = store::attempt([&] { return groups::listYl(*ctx_.db, column); });
    if (!listed) {
        notify(QStringLiteral("分组结果无法列出：%1").arg(fromStd(listed.outcome.text())));
        return;
    }
    panel_.relistGroupsKeepingSelection(*listed);
    forgetPattern();
}

}  // namespace quarvel::app
