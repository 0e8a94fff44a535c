#pragma once
// The commands behind the criteria panel's buttons: 检索, 分部检索, 分组计算 and the re-listing
// of its table by a grid column, the pictures (走势图, 遗漏曲线, 形态走势), what chance alone would
// give (遗漏校验, 回测) and the export of the two result grids. Each reads the panel into the
// core's input, runs the core and has the panel show what it returns; a refusal goes to a
// message box, what was done to the status bar.
//
// The run state lives here: the search or partial search the summary grid shows (for its curve,
// calibration and K-line), and a click on the summary grid waiting to see whether a double click
// follows.

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

#include "chance/pattern_chance.h"
#include "chance/pattern_run.h"
#include "search/omission_curve.h"
#include "search/search_command.h"

class QPushButton;
class QTimer;

namespace quarvel::app {

struct AppContext;
class CriteriaPanel;
class GridView;

class AnalysisController : public QObject {
    Q_OBJECT
  public:
    // Connects the panel's command buttons and result grids; the panel owns the controller.
    AnalysisController(AppContext& ctx, CriteriaPanel& panel);
    ~AnalysisController() override;

    // The two searches, the group computation and the re-listing of YL by a grid column.
    void runSearchCommand();
    void runPartialCommand();
    void runGroupCommand();
    void relistGroups(int column);
    // The pictures: 走势图 of the panel's type, range and "自由位计特码", and 遗漏曲线 of the
    // last search or partial search, or of the selected row of the group listing; 形态走势 of the
    // range's draws.
    void runTrendCommand();
    void runCurveCommand();
    void runShapeCommand();
    // What chance alone would give: 遗漏校验 of the last search, partial search or selected
    // group row, and the 回测 window of the group frame's plan.
    void runCalibrationCommand();
    void runBacktestCommand();

  private:
    void connectEvents();
    // False after saying that there is no history to analyse.
    bool historyOpen() const;
    // The focus to the button, the history open and current; false after saying why not.
    bool commandReady(QPushButton* button);
    // Shows the refusal of the input, when there is one; true then.
    bool refused(const QString& title, const std::optional<std::string>& why) const;
    void notify(const QString& text) const;
    void message(const QString& title, const QString& text) const;
    // What stopped a command, under `title`: a refusal as it reads, a failure of the store in
    // the sentence `failed` (its %1 the reason).
    void showFailure(const QString& title, const store::Outcome& why, const QString& failed) const;

    // The as-of issue typed into "截止期" (none when the box is empty); false after telling the
    // user that the text is no issue.
    bool readAsOf(const QString& title, std::optional<std::int32_t>& asOf) const;

    // Runs one analysis under the wait cursor and shows its grids, or its refusal as a message;
    // the number of hits when it ran.
    std::optional<int> showAnalysis(const QString& title,
                                    const std::function<search::SearchResult()>& run);
    void runPattern(const QString& title, const chance::PatternInput& in);
    // The summary grid lists groups now: no search result's curve or rerun stays.
    void forgetPattern();
    // The hits of the result the summary grid shows: the last pattern, or the selected group row.
    std::optional<std::pair<std::string, chance::PatternHits>> shownPatternHits(
        const QString& title);
    void exportGrid(GridView* grid, const char* fileName);

    AppContext& ctx_;
    CriteriaPanel& panel_;
    // The curve of the result the summary grid shows; none while it lists the groups.
    std::optional<search::OmissionCurve> resultCurve_;
    // The search or partial search the summary grid shows, as it was run (its as-of issue
    // included), for its calibration and K-line; set together with resultCurve_.
    std::optional<chance::PatternInput> lastPattern_;
    QTimer* relistTimer_ = nullptr;  // a single click waits to see whether a double click follows
    int pendingColumn_ = 0;
    qint64 quietUntil_ = 0;  // clicks up to this time end a double click
};

}  // namespace quarvel::app
